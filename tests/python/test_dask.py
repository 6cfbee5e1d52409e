"""The Dask example on a LocalCluster of two worker processes: the files it writes for a tree
are what `morvik --read` prints for its pictures."""

import json
import os
import shutil
import subprocess
import sys

import morvik
from conftest import PICTURES, SOURCE, cli

EXAMPLE = SOURCE / "examples" / "dask" / "read_tree.py"


def test_tree_on_two_workers_is_the_command_lines(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)  # pictures named relative to here, as the command line takes them
    package = os.path.dirname(os.path.dirname(os.path.abspath(morvik.__file__)))
    monkeypatch.setenv("PYTHONPATH", package)
    names = []
    for k, picture in enumerate(PICTURES * 2):
        name = os.path.join("tree", "a" if k % 2 else "b/c", f"{k}-{picture.name}")
        os.makedirs(os.path.dirname(name), exist_ok=True)
        shutil.copy(picture, name)
        names.append(name)
    with open("tree/b/broken.png", "wb") as f:
        f.write(b"not a picture")
    done = subprocess.run([sys.executable, str(EXAMPLE), "tree", "--workers", "2", "--batch", "2",
                           "--out-dir", "out", "--output", "tree.tsv", "--output", "tree.jsonl"],
                          capture_output=True, text=True)
    assert done.returncode == 1, done.stderr  # for the broken picture, named
    assert "read_tree: tree/b/broken.png: " in done.stderr
    names.sort()
    with open("tree.tsv", encoding="utf-8", newline="") as f:
        assert f.read() == cli("--read", "--format", "tsv", *names)
    with open("tree.jsonl", encoding="utf-8") as f:
        assert [json.loads(line) for line in f] == json.loads(cli("--read", "--format", "json",
                                                                  *names))
    for name in names:
        with open(os.path.join("out", os.path.relpath(name, "tree") + ".text"),
                  encoding="utf-8", newline="") as f:
            assert f.read() == cli("--read", name), name
    assert not os.path.exists("out/b/broken.png.text")
