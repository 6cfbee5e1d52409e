"""Shared measuring for the page and screen benchmarks: runs morvik and its peers on pictures,
one process per picture, scores each answer against the expected text and prints the tables.

A picture is a dict with "path" (a PNM file, which every program reads), "want" (the expected
text), "kind" ("text" or "digit": digit cells are read with each program's digit filter) and
"tags" (the conditions it counts under; a picture may count under several rows) and "speed"
(the kinds of picture its speed counts under).

Char accuracy = 1 - edit distance / length of the expected text, spaces and line breaks
included, after the same normalisation of every text: form feeds become line breaks, blanks at
either end of a line and empty lines are dropped, and runs of blanks inside a line count as one
(layout is not text: one program pads columns with blanks, another does not). A picture
counts at most its own length in errors, so one page of noise read as a screenful of letters
does not cancel what the program read right elsewhere (results.tsv keeps the whole distance).

Speed is pictures per second of CPU time (user + system of the one process, so the figures do
not depend on how busy the machine is); morvik (--jobs 1) and tesseract (OMP_THREAD_LIMIT=1)
are held to one thread, so that CPU time is run time on a free core: with JOBS programs
reading at once every core is busy already, and a second thread for one picture's lines would
only add its own cost of starting and sharing (morvik reading many pages in one run reads each
on one thread for the same reason).
"""
import argparse
import concurrent.futures
import json
import os
import re
import shutil
import subprocess
import sys
import threading
import time

import numpy

PEERS = ("ocrad", "gocr", "tesseract")
NAMES = {"morvik": "Morvik", "ocrad": "Ocrad", "gocr": "GOCR", "tesseract": "Tesseract"}


def normalise(text):
    lines = text.replace("\r\n", "\n").replace("\f", "\n").split("\n")
    lines = (re.sub(r"[ \t]+", " ", l).strip() for l in lines)
    return "\n".join(l for l in lines if l)


def distance(a, b):
    """Levenshtein distance, one numpy pass per character of the longer text."""
    if len(a) < len(b):
        a, b = b, a
    if not b:
        return len(a)
    bb = numpy.frombuffer(b.encode("utf-32-le"), dtype=numpy.uint32)
    steps = numpy.arange(len(b) + 1)
    prev = steps.copy()
    aa = numpy.frombuffer(a.encode("utf-32-le"), dtype=numpy.uint32)
    for i in range(1, len(aa) + 1):
        t = numpy.empty(len(b) + 1, dtype=numpy.int64)
        t[0] = i
        t[1:] = numpy.minimum(prev[1:] + 1, prev[:-1] + (bb != aa[i - 1]))
        # cur[j] = min(t[j], cur[j-1] + 1): a running minimum of t[k] - k, shifted back.
        prev = numpy.minimum.accumulate(t - steps) + steps
    return int(prev[-1])


def ensure_peers(peers):
    """Installs the missing peers from Debian; returns those that can run."""
    packages = {"ocrad": ["ocrad"], "gocr": ["gocr"],
                "tesseract": ["tesseract-ocr", "tesseract-ocr-eng"]}
    missing = [p for p in peers if not shutil.which(p)]
    if missing and os.geteuid() == 0 and shutil.which("apt-get"):
        subprocess.run(["apt-get", "install", "-y", "--no-install-recommends"] +
                       [x for p in missing for x in packages[p]], stdout=subprocess.DEVNULL)
    ready = [p for p in peers if shutil.which(p)]
    for p in set(peers) - set(ready):
        print("ocr_bench: %s is not installed, left out" % p, file=sys.stderr)
    return ready


def command(program, morvik, picture):
    path, digit = picture["path"], picture["kind"] == "digit"
    if program == "morvik":
        return [morvik, "--read", "--jobs", "1"] + (["--chars", "0-9"] if digit else []) + [path]
    if program == "ocrad":
        return ["ocrad"] + (["--filter=numbers_only"] if digit else []) + [path]
    if program == "gocr":
        return ["gocr"] + (["-C", "0-9"] if digit else []) + ["-i", path]
    # A digit cell is one character: tesseract's single-character page mode.
    return ["tesseract", path, "stdout"] + (
        ["--psm", "10", "-c", "tessedit_char_whitelist=0123456789"] if digit else [])


def run_one(cmd, out_path, limit=600):
    """Runs cmd with its answer going to out_path; returns (text, CPU seconds, exit status).
    A run still going after limit seconds is killed (status -9) so one picture cannot stall
    the benchmark."""
    env = dict(os.environ, OMP_THREAD_LIMIT="1")
    with open(out_path, "wb") as out:
        p = subprocess.Popen(cmd, stdout=out, stderr=subprocess.DEVNULL, env=env)
        timer = threading.Timer(limit, p.kill)
        timer.start()
        _, status, usage = os.wait4(p.pid, 0)
        timer.cancel()
        p.returncode = os.waitstatus_to_exitcode(status)
    with open(out_path, "rb") as f:
        text = f.read().decode("utf-8", "replace")
    return text, usage.ru_utime + usage.ru_stime, p.returncode


def measure(pictures, programs, morvik, out_dir, jobs=2):
    """Runs every program on every picture; returns one row per (picture, program)."""
    tasks = []
    for program in programs:
        os.makedirs(os.path.join(out_dir, program), exist_ok=True)
        for pic in pictures:
            name = os.path.splitext(os.path.basename(pic["path"]))[0]
            tasks.append((program, pic, os.path.join(out_dir, program, name + ".txt")))

    def one(task):
        program, pic, out_path = task
        text, seconds, status = run_one(command(program, morvik, pic), out_path)
        want = normalise(pic["want"])
        d = distance(want, normalise(text))
        # A page of noise read as text must not outweigh the pictures that were read.
        return {"program": program, "picture": pic, "chars": len(want), "distance": d,
                "errors": min(d, len(want)), "seconds": seconds, "status": status}

    rows, done, start = [], 0, time.time()
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for row in pool.map(one, tasks):
            rows.append(row)
            done += 1
            if done % 50 == 0 or done == len(tasks):
                print("  %d/%d answers, %.0f s" % (done, len(tasks), time.time() - start),
                      file=sys.stderr)
    return rows


def accuracy(rows):
    chars = sum(r["chars"] for r in rows)
    return 100.0 * (1 - sum(r["errors"] for r in rows) / chars) if chars else float("nan")


def report(rows, programs, groups, tsv_path, title):
    """Prints the Markdown tables (accuracy per group of conditions, speed) and writes the TSV.
    groups: [(label, [tag, ...])]; a row "a / b" shows several tags side by side."""
    with open(tsv_path, "w") as tsv:
        tsv.write("picture\ttags\tprogram\tchars\terrors\tdistance\tcpu_seconds\tstatus\n")
        for r in rows:
            p = r["picture"]
            tsv.write("%s\t%s\t%s\t%d\t%d\t%d\t%.4f\t%d\n" % (
                os.path.basename(p["path"]), ",".join(p["tags"]), r["program"], r["chars"],
                r["errors"], r["distance"], r["seconds"], r["status"]))
    by = {}
    for r in rows:
        for tag in r["picture"]["tags"] + ["all"]:
            by.setdefault((tag, r["program"]), []).append(r)
    count = lambda tag: len(by.get((tag, programs[0]), []))
    cell = lambda tag, prog: ("%.1f" % accuracy(by[(tag, prog)])) if (tag, prog) in by else "-"

    print("### %s: char accuracy %%" % title)
    print()
    print("| pictures | n | " + " | ".join(NAMES[p] for p in programs) + " |")
    print("|---|---|" + "---|" * len(programs))
    for label, tags in groups + [("all pictures", ["all"])]:
        if not any(count(t) for t in tags):
            continue
        n = " / ".join(str(count(t)) for t in tags)
        print("| %s | %s | %s |" % (label, n, " | ".join(
            " / ".join(cell(t, p) for t in tags) for p in programs)))
    print()
    print("### %s: pictures per second (CPU time, one process per picture)" % title)
    print()
    kinds = sorted({t for r in rows for t in r["picture"].get("speed", [])})
    print("| pictures | n | " + " | ".join(NAMES[p] for p in programs) + " |")
    print("|---|---|" + "---|" * len(programs))
    for kind in kinds + ["all"]:
        line = []
        for p in programs:
            sel = [r for r in rows if r["program"] == p and
                   (kind == "all" or kind in r["picture"].get("speed", []))]
            seconds = sum(r["seconds"] for r in sel)
            line.append("%.2f" % (len(sel) / seconds) if seconds else "-")
        n = sum(1 for r in rows if r["program"] == programs[0] and
                (kind == "all" or kind in r["picture"].get("speed", [])))
        print("| %s | %d | %s |" % (kind, n, " | ".join(line)))
    failed = [r for r in rows if r["status"] != 0]
    if failed:
        print()
        print("%d runs exited non-zero (see the TSV)" % len(failed))


def maker_arguments(seed, subfolders):
    """The command line of a picture maker: [--full] [--seed N] WORK; makes WORK's folders."""
    ap = argparse.ArgumentParser()
    ap.add_argument("--full", action="store_true", help="the large size (default: quick)")
    ap.add_argument("--seed", type=int, default=seed)
    ap.add_argument("work")
    a = ap.parse_args()
    for sub in subfolders:
        os.makedirs(os.path.join(a.work, sub), exist_ok=True)
    return a


def write_manifest(work, title, groups, pictures):
    with open(os.path.join(work, "manifest.json"), "w") as f:
        json.dump({"title": title, "groups": groups, "pictures": pictures}, f, indent=1)
    print("%d pictures in %s" % (len(pictures), work), file=sys.stderr)


def main():
    ap = argparse.ArgumentParser(description="Reads a manifest's pictures with morvik and the "
                                 "peers; prints Markdown tables, writes WORK/results.tsv.")
    ap.add_argument("--morvik", required=True)
    ap.add_argument("--no-peers", action="store_true")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("work", help="folder holding manifest.json")
    a = ap.parse_args()
    with open(os.path.join(a.work, "manifest.json")) as f:
        manifest = json.load(f)
    programs = ["morvik"] + ([] if a.no_peers else ensure_peers(list(PEERS)))
    start = time.time()
    rows = measure(manifest["pictures"], programs, a.morvik, os.path.join(a.work, "out"),
                   a.jobs)
    report(rows, programs, manifest["groups"], os.path.join(a.work, "results.tsv"),
           manifest["title"])
    print()
    print("%d pictures, %d programs, %.0f s of reading with %d jobs; answers in %s/out, "
          "per-picture figures in %s/results.tsv" % (len(manifest["pictures"]), len(programs),
                                                     time.time() - start, a.jobs, a.work, a.work))


if __name__ == "__main__":
    main()
