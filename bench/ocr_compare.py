#!/usr/bin/env python3
"""Accuracy and speed of `morvik --read` beside GNU Ocrad and GOCR on a folder of rendered text.

The folder holds NAME.pgm pictures with their expected text NAME.txt, as
build/make_text_pictures writes them (NAME starts with the typeface, then "_digits" or
"_block"). Each typeface reads with its own set, SETS/<typeface>.PCP (learned with
--learn-picture), or every picture with the sets given by --set, or without either with the
stock library.

The peers are told what the learned sets know (capitals and digits only: ocrad
--filter=upper_num, gocr -C 0-9A-Z), and ocrad, which does not tell the polarity itself, gets
--invert for the light-on-dark pictures (NAME holding "_ld"); --plain-peers runs them bare.

Accuracy per typeface: 1 - (edit distance of the whole text, spaces included) / (length of the
expected text), after trailing blanks and empty lines are dropped. Speed: pictures per second
with one process per picture for each program, and for morvik also all pictures of a typeface
in one process.

  bench/ocr_compare.py [--morvik PATH] [--sets DIR | --set BASE ...] [--only TYPEFACE,...]
                       [--no-peers] [--plain-peers] FOLDER
"""
import argparse
import collections
import glob
import os
import re
import subprocess
import sys
import time


def normalise(text):
    lines = [l.rstrip() for l in text.replace("\r\n", "\n").split("\n")]
    return "\n".join(l for l in lines if l)


def distance(a, b):
    if len(a) < len(b):
        a, b = b, a
    prev = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        cur = [i]
        for j, cb in enumerate(b, 1):
            cur.append(min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (ca != cb)))
        prev = cur
    return prev[-1]


def run(cmd):
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return r.stdout.decode("latin-1")


def typeface_of(name):
    return re.sub(r"_(digits|block)_.*$", "", name)


def split_many(output):
    """The texts of a several-picture --read output, by the "==> NAME <==" lines."""
    texts, name = {}, None
    for line in output.split("\n"):
        m = re.match(r"^==> (.*) <==$", line)
        if m:
            name = m.group(1)
            texts[name] = []
        elif name is not None:
            texts[name].append(line)
    return {k: "\n".join(v) for k, v in texts.items()}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--morvik", default=os.path.join(os.path.dirname(__file__), "..", "build", "morvik"))
    ap.add_argument("--sets", help="folder of TYPEFACE.PCP sets")
    ap.add_argument("--set", action="append", default=[], help="sets for every picture")
    ap.add_argument("--only", help="comma-separated typefaces")
    ap.add_argument("--no-peers", action="store_true", help="morvik only")
    ap.add_argument("--plain-peers", action="store_true", help="no filters or inversion for the peers")
    ap.add_argument("folder")
    a = ap.parse_args()

    pictures = sorted(glob.glob(os.path.join(a.folder, "*.pgm")))
    groups = collections.OrderedDict()
    for p in pictures:
        groups.setdefault(typeface_of(os.path.basename(p)[:-4]), []).append(p)
    if a.only:
        keep = a.only.split(",")
        groups = collections.OrderedDict((k, v) for k, v in groups.items() if k in keep)

    tools = ["morvik"] + ([] if a.no_peers else ["ocrad", "gocr"])
    totals = {t: [0, 0, 0.0, 0] for t in tools}  # errors, chars, seconds, pictures
    many = [0.0, 0]
    print("%-26s %6s  %s" % ("typeface", "pics", " ".join("%8s" % t for t in tools)))
    for face, pics in groups.items():
        # Neither --sets nor --set: the stock library.
        sets = a.set or ([os.path.join(a.sets, face)] if a.sets else [])
        set_args = [x for s in sets for x in ("--set", s)]
        def ocrad(p):
            if a.plain_peers:
                return ["ocrad", p]
            return ["ocrad", "--filter=upper_num"] + (["--invert"] if "_ld" in p else []) + [p]

        commands = {
            "morvik": lambda p: [a.morvik, "--read"] + set_args + [p],
            "ocrad": ocrad,
            "gocr": lambda p: ["gocr"] + ([] if a.plain_peers else ["-C", "0-9A-Z"]) + ["-i", p],
        }
        row = []
        for tool in tools:
            errors = chars = 0
            start = time.perf_counter()
            outputs = [run(commands[tool](p)) for p in pics]
            seconds = time.perf_counter() - start
            for p, out in zip(pics, outputs):
                want = normalise(open(p[:-4] + ".txt", encoding="latin-1").read())
                errors += distance(want, normalise(out))
                chars += len(want)
            t = totals[tool]
            t[0] += errors
            t[1] += chars
            t[2] += seconds
            t[3] += len(pics)
            row.append(100.0 * (1 - errors / chars))
        start = time.perf_counter()
        out = run([a.morvik, "--read"] + set_args + pics)
        many[0] += time.perf_counter() - start
        many[1] += len(pics)
        texts = split_many(out)
        wrong = sum(1 for p in pics
                    if normalise(texts.get(p, "")) != normalise(run(commands["morvik"](p))))
        if wrong:
            print("%s: %d pictures read differently in one process" % (face, wrong), file=sys.stderr)
        print("%-26s %6d  %s" % (face, len(pics), " ".join("%7.2f%%" % r for r in row)))
    print("%-26s %6d  %s" % ("all", sum(t[3] for t in totals.values()) // len(tools),
                             " ".join("%7.2f%%" % (100.0 * (1 - t[0] / max(t[1], 1))) for t in totals.values())))
    print()
    print("pictures/s, one process per picture: " +
          ", ".join("%s %.1f" % (tool, t[3] / t[2]) for tool, t in totals.items()))
    print("pictures/s, morvik with all pictures of a typeface in one process: %.1f" % (many[1] / many[0]))
    if not a.no_peers:
        best_peer = max(totals[t][3] / totals[t][2] for t in tools[1:])
        print("morvik against the faster peer: %.2fx (target 2x)" % (totals["morvik"][3] / totals["morvik"][2] / best_peer))


if __name__ == "__main__":
    main()
