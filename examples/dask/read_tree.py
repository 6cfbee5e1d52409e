#!/usr/bin/env python3
"""Reads every picture of a tree on a dask.distributed cluster, with the results of
`morvik --read` for each picture:

    read_tree.py TREE [--workers N | --scheduler ADDRESS] [--set BASE ...] [--chars CHARS]
                 [--format text|tsv|json --out-dir DIR] [--output FILE.tsv|FILE.jsonl ...]

--out-dir writes one result file per picture, DIR/<path in TREE>.<format>, byte for byte what
`morvik --read --format FORMAT TREE/<path>` prints. --output FILE.tsv writes one TSV for the
tree, what `morvik --read --format tsv` prints for all its pictures at once (in path order);
FILE.jsonl one line per picture, the object `--format json` prints for it on one line.
Pictures are named as the command line would be given them: TREE/<path>.

Without --scheduler a LocalCluster of N worker processes (one thread each, N = the cores)
runs here; with it the work goes to a running scheduler (`dask scheduler` and `dask worker
ADDRESS` on other hosts, each with morvik installed and the tree at the same path). Each
worker opens the sets once and reads the pictures in batches. A picture that cannot be read
is reported and left out; the others are still written, and the exit status is 1.
"""

import argparse
import os
import sys
import tempfile

PICTURE_SUFFIXES = (".bmp", ".png", ".pbm", ".pgm", ".ppm", ".pnm")


def pictures_of(tree):
    """The tree's pictures as TREE/<path>, sorted by path."""
    found = []
    for folder, folders, files in os.walk(tree):
        folders.sort()
        found += [os.path.join(folder, f) for f in files if f.lower().endswith(PICTURE_SUFFIXES)]
    return sorted(found)


_libraries = {}


def read_batch(names, sets, chars, formats):
    """On a worker: each picture rendered in each format, or the failure's message."""
    import morvik
    key = tuple(sets)
    if key not in _libraries:
        _libraries[key] = morvik.Library.open(list(sets)) if sets else morvik.Library.stock()
    results = []
    for name in names:
        try:
            r = morvik.read(name, library=_libraries[key], chars=chars)
            results.append((name, {f: r.render(f) for f in formats}, None))
        except morvik.Error as e:
            results.append((name, None, str(e)))
    return results


def json_line(rendered):
    """The one object of a picture's JSON array on one line: its line breaks are layout only
    (strings escape theirs), so dropping them keeps every value."""
    body = rendered.strip()
    assert body.startswith("[\n") and body.endswith("\n]")
    return body[2:-2].replace("\n", "") + "\n"


class WholeFile:
    """A file written beside its name, then renamed into place when complete."""

    def __init__(self, path):
        self.path = path
        folder = os.path.dirname(os.path.abspath(path))
        os.makedirs(folder, exist_ok=True)
        fd, self.temporary = tempfile.mkstemp(dir=folder, prefix=".read_tree-")
        self.file = os.fdopen(fd, "w", encoding="utf-8", newline="")

    def write(self, text):
        self.file.write(text)

    def commit(self):
        self.file.close()
        os.replace(self.temporary, self.path)

    def discard(self):
        self.file.close()
        os.unlink(self.temporary)


def write_one(out_dir, tree, name, fmt, text):
    target = os.path.join(out_dir, os.path.relpath(name, tree) + "." + fmt)
    f = WholeFile(target)
    f.write(text)
    f.commit()


def batches(items, size):
    return [items[k:k + size] for k in range(0, len(items), size)]


def run(client, args):
    """Reads the tree on the client's cluster and writes the results; returns the failures."""
    names = pictures_of(args.tree)
    formats = sorted({args.format} | {"tsv" if o.endswith(".tsv") else "json" for o in args.output})
    futures = client.map(read_batch, batches(names, args.batch), sets=args.set, chars=args.chars,
                         formats=formats, pure=False)
    outputs = {o: WholeFile(o) for o in args.output}
    header = None
    failures = []
    try:
        for future in futures:  # in path order, while later batches are still being read
            for name, rendered, failure in future.result():
                if failure:
                    failures.append(failure)
                    continue
                if args.out_dir:
                    write_one(args.out_dir, args.tree, name, args.format, rendered[args.format])
                for path, out in outputs.items():
                    if path.endswith(".tsv"):
                        head, rows = rendered["tsv"].split("\n", 1)
                        if header is None:
                            header = head
                            out.write(head + "\n")
                        out.write(rows)
                    else:
                        out.write(json_line(rendered["json"]))
        for path, out in outputs.items():
            if path.endswith(".tsv") and header is None:  # no picture read: the header alone
                out.write(tsv_header())
            out.commit()
    except BaseException:
        for out in outputs.values():
            out.discard()
        raise
    return failures


def tsv_header():
    import morvik
    return morvik.render([], "tsv")


def arguments(argv):
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("tree")
    where = p.add_mutually_exclusive_group()
    where.add_argument("--workers", type=int, default=os.cpu_count(),
                       help="worker processes of the local cluster (default: the cores)")
    where.add_argument("--scheduler", help="the address of a running scheduler")
    p.add_argument("--set", action="append", default=[], help="a set BASE or NAME.sets")
    p.add_argument("--chars", default="", help="answer only with these characters")
    p.add_argument("--format", choices=("text", "tsv", "json"), default="text")
    p.add_argument("--out-dir", help="one result file per picture under this folder")
    p.add_argument("--output", action="append", default=[],
                   help="one file for the tree: FILE.tsv or FILE.jsonl (repeatable)")
    p.add_argument("--batch", type=int, default=8, help="pictures per task (default 8)")
    args = p.parse_args(argv)
    if not args.out_dir and not args.output:
        p.error("name --out-dir DIR or --output FILE")
    if any(not o.endswith((".tsv", ".jsonl")) for o in args.output):
        p.error("--output is FILE.tsv or FILE.jsonl")
    return args


def main(argv=None):
    args = arguments(argv)
    from dask.distributed import Client, LocalCluster
    if args.scheduler:
        with Client(args.scheduler) as client:
            failures = run(client, args)
    else:
        with LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                          dashboard_address=None) as cluster, Client(cluster) as client:
            failures = run(client, args)
    for failure in failures:
        print("read_tree: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
