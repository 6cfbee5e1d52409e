"""Learning from a picture, the folder runs, and errors: each failure raised as the
morvik.Error subclass of its kind, naming its file, and also the built-in exception a
Python program would catch."""

import os
import shutil

import numpy as np
import pytest

import morvik
from conftest import PICTURES, SOURCE, cli

EXAMPLES = SOURCE / "examples"


def test_learn_picture_then_read_is_the_command_lines(tmp_path):
    display = PICTURES[0]  # "07:45 21.5"
    cli("--learn-picture", display, "--chars", "07:4521.5", "--save", tmp_path / "cli")
    learned = morvik.learn_picture(display, "07:4521.5")
    assert (learned.references, learned.set_count) == (9, 1)
    assert learned.save(tmp_path / "py") == str(tmp_path / "py")
    for suffix in (".PCP", ".PCT", ".charmap.txt", ".set.ini"):
        assert (tmp_path / ("py" + suffix)).read_bytes() == \
            (tmp_path / ("cli" + suffix)).read_bytes(), suffix


def test_folder_and_batch_runs_write_the_command_lines_files(tmp_path, monkeypatch):
    # Each side runs in its own folder on the same relative names, which the files show.
    for who in ("cli", "py"):
        shutil.copytree(EXAMPLES / "patterns", tmp_path / who / "patterns")
        shutil.copytree(EXAMPLES / "batch", tmp_path / who / "batch")
    cli("--learn", EXAMPLES / "learn", "--save", tmp_path / "digits")
    learned = morvik.learn_folder(EXAMPLES / "learn", save=tmp_path / "py-digits")
    assert learned.references == 10
    for suffix in (".PCP", ".PCT"):
        assert (tmp_path / ("py-digits" + suffix)).read_bytes() == \
            (tmp_path / ("digits" + suffix)).read_bytes(), suffix
    charmap = EXAMPLES / "charmap.txt"
    cli("patterns", tmp_path / "digits", "--charmap", charmap, cwd=tmp_path / "cli")
    cli("batch", "--batch", "--set", tmp_path / "digits", "--charmap", charmap,
        cwd=tmp_path / "cli")
    monkeypatch.chdir(tmp_path / "py")
    done = morvik.recognize_folder("patterns", set=tmp_path / "digits", charmap=charmap)
    assert done == (25, [])
    done = morvik.recognize_batch("batch", sets=[tmp_path / "digits"], charmap=charmap)
    assert done.pictures == 11 and not done.failed
    for name in ("patterns/result.txt", "patterns/result.out", "batch/batchresult.out",
                 "batch/batchresult.txt", "batch/set1/result.out"):
        assert (tmp_path / "py" / name).read_bytes() == (tmp_path / "cli" / name).read_bytes(), name


def failures(tmp_path):
    """Calls that fail: (call, kind, file named or None, built-in exception)."""
    missing = str(tmp_path / "missing.png")
    not_a_picture = tmp_path / "text.png"
    not_a_picture.write_bytes(b"plain text, not a picture")
    K = morvik.ErrorKind
    return [
        (lambda: morvik.read(missing), K.NOT_FOUND, missing, FileNotFoundError),
        (lambda: morvik.read(tmp_path), K.CANNOT_READ, str(tmp_path), OSError),
        (lambda: morvik.read(not_a_picture), K.BAD_DATA, str(not_a_picture), ValueError),
        (lambda: morvik.read(b"GIF89a..."), K.BAD_DATA, "picture", ValueError),
        (lambda: morvik.read(np.zeros((4, 4, 2), np.uint8)), K.USAGE, "pixels", ValueError),
        (lambda: morvik.read(np.zeros((0, 4), np.uint8), name="x"), K.USAGE, "x", ValueError),
        (lambda: morvik.read(np.zeros((9, 300001), np.uint8)), K.TOO_LARGE, "pixels", ValueError),
        (lambda: morvik.read(PICTURES[0], reject=2), K.USAGE, None, ValueError),
        (lambda: morvik.read(PICTURES[0], polarity="grey"), K.USAGE, None, ValueError),
        (lambda: morvik.read(PICTURES[0], grid=(0, 0, 0, 5, 1, 1)), K.USAGE, None, ValueError),
        (lambda: morvik.read(PICTURES[0]).render("xml"), K.USAGE, None, ValueError),
        (lambda: morvik.Library.open(tmp_path / "nope"), K.NOT_FOUND, None, FileNotFoundError),
        (lambda: morvik.learn_picture(PICTURES[0], "0-9"), K.FAILED, str(PICTURES[0]), morvik.Error),
        (lambda: morvik.learn_font(missing, "0-9"), K.NOT_FOUND, missing, FileNotFoundError),
        (lambda: morvik.learn_picture(PICTURES[0], "07:4521.5").save(tmp_path / "no" / "set"),
         K.CANNOT_WRITE, None, OSError),
        (lambda: morvik.recognize_folder(tmp_path / "none"), K.NOT_FOUND, str(tmp_path / "none"),
         FileNotFoundError),
    ]


def test_failures_raise_their_kind_and_file(tmp_path):
    for k, (call, kind, file, builtin) in enumerate(failures(tmp_path)):
        with pytest.raises(builtin) as caught:
            call()
        error = caught.value
        assert isinstance(error, morvik.Error), k
        assert (error.kind, type(error).kind) == (kind, kind), k
        if file is not None:
            assert error.file == file, k
        assert file is None or file in str(error), k


@pytest.mark.parametrize("pixels", [np.zeros((5, 5), np.float32), np.zeros((5, 5), bool),
                                    [[0, 255], [255, 0]], np.zeros((5, 5), np.int8)])
def test_what_is_no_uint8_array_is_a_type_error(pixels):
    with pytest.raises(TypeError):
        morvik.read(pixels)


def test_stubs_name_every_public_name():
    stubs = (SOURCE / "python" / "morvik" / "__init__.pyi").read_text()
    for name in morvik.__all__:
        assert f" {name}" in stubs or f"{name}:" in stubs, name
    assert morvik.read.__doc__ and "candidates" in morvik.read.__doc__
