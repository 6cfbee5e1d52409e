#!/usr/bin/env python3
"""Reads every picture of a folder with morvik, GNU Ocrad and GOCR, one process per picture,
and prints per group (typeface) the share of characters read right and pictures per second.

Each picture NAME.pgm (or .png) has its expected text in NAME.txt. The share is
1 - edit distance / expected length over the whole text, spaces and line ends included;
lines are stripped at both ends and empty lines dropped on both sides before comparing.
The group of a picture is its name up to the first "_".
"""
import argparse
import collections
import os
import subprocess
import sys
import time


def edit_distance(a, b):
    prev = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        cur = [i]
        for j, cb in enumerate(b, 1):
            cur.append(min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (ca != cb)))
        prev = cur
    return prev[-1]


def tidy(text):
    lines = [" ".join(line.split()) for line in text.splitlines()]
    return "\n".join(line for line in lines if line)


def engines(args):
    found = {}
    if args.morvik:
        found["morvik"] = lambda p: [args.morvik, "--read"] + args.morvik_arg + [p]
    found["ocrad"] = lambda p: ["ocrad", p]
    found["gocr"] = lambda p: ["gocr", "-i", p]
    return {k: v for k, v in found.items() if k in args.engines}


def run(command):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return done.stdout.decode("latin-1")


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("folder")
    ap.add_argument("--morvik", help="path of the morvik program")
    ap.add_argument("--morvik-arg", action="append", default=[],
                    help="extra argument for morvik --read (repeatable)")
    ap.add_argument("--engines", default="morvik,ocrad,gocr")
    ap.add_argument("--ext", default=".pgm", help="picture file ending")
    args = ap.parse_args()
    args.engines = args.engines.split(",")

    pictures = sorted(f for f in os.listdir(args.folder) if f.endswith(args.ext))
    if not pictures:
        sys.exit(f"ocr_compare: no {args.ext} pictures in {args.folder}")
    table = collections.defaultdict(lambda: [0, 0])  # (engine, group) -> [errors, length]
    seconds = collections.Counter()
    for name, make in engines(args).items():
        for picture in pictures:
            path = os.path.join(args.folder, picture)
            with open(os.path.splitext(path)[0] + ".txt", encoding="latin-1") as f:
                expected = tidy(f.read())
            start = time.perf_counter()
            got = tidy(run(make(path)))
            seconds[name] += time.perf_counter() - start
            errors = min(edit_distance(expected, got), len(expected))
            for group in (picture.split("_")[0], "ALL"):
                table[name, group][0] += errors
                table[name, group][1] += len(expected)
    names = list(engines(args))
    groups = sorted({g for _, g in table if g != "ALL"}) + ["ALL"]
    print("| typeface | " + " | ".join(names) + " |")
    print("|---|" + "---|" * len(names))
    for g in groups:
        cells = []
        for n in names:
            errors, length = table[n, g]
            cells.append(f"{100.0 * (1 - errors / length):.1f}%" if length else "-")
        print(f"| {g} | " + " | ".join(cells) + " |")
    print("| pictures/s | " + " | ".join(f"{len(pictures) / seconds[n]:.0f}" for n in names) + " |")


if __name__ == "__main__":
    main()
