#!/usr/bin/env python3
"""Pictures per second of `morvik --read` beside GNU Ocrad and GOCR, one process per picture.

Reads every NAME.pgm of FOLDER (as build/make_text_pictures writes them) with each program,
one process per picture started straight from here (posix_spawn, no shell in between, so the
figures are the programs' own), for ROUNDS rounds in turns, and prints for each the pictures
per second by the wall clock and by the processor time the processes used (user + system, a
steadier figure on a busy machine). Then morvik with all pictures in one process.

Morvik reads with the stock library found beside it unless --set names sets (as many as
wanted, or a library file NAME.sets). --before PATH times another morvik (an earlier build,
with its own stock library beside it) in the same turns, for figures before and after a
change from one run. The processor time per character counts the characters of the pictures'
NAME.txt truth files (blanks left out).

  bench/read_speed.py [--morvik PATH] [--before PATH] [--set BASE ...] [--rounds N] FOLDER
"""
import argparse
import glob
import os
import shutil
import sys
import time


def spawn_all(command, pictures):
    """Wall seconds and processor seconds of one process per picture, one after another."""
    devnull = os.open(os.devnull, os.O_WRONLY)
    actions = [(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
    cpu = 0.0
    start = time.perf_counter()
    for p in pictures:
        argv = command + [p]
        pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
        _, status, usage = os.wait4(pid, 0)
        cpu += usage.ru_utime + usage.ru_stime
        if os.waitstatus_to_exitcode(status) < 0:
            sys.exit("%s was killed on %s" % (argv[0], p))
    wall = time.perf_counter() - start
    os.close(devnull)
    return wall, cpu


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser()
    ap.add_argument("--morvik", default=os.path.join(here, "..", "build", "morvik"))
    ap.add_argument("--before", help="another morvik to time beside it")
    ap.add_argument("--set", action="append", default=[], help="sets to read with")
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("folder")
    a = ap.parse_args()

    pictures = sorted(glob.glob(os.path.join(a.folder, "*.pgm")))
    if not pictures:
        sys.exit("read_speed: no .pgm pictures in " + a.folder)
    sets = [x for s in a.set for x in ("--set", s)]
    morvik = [os.path.abspath(a.morvik), "--read"] + sets
    commands = {"morvik": morvik}
    if a.before:
        commands["before"] = [os.path.abspath(a.before), "--read"] + sets
    for peer in ("ocrad", "gocr"):
        path = shutil.which(peer)
        if not path:
            sys.exit("read_speed: %s is not installed" % peer)
        commands[peer] = [path] + (["-i"] if peer == "gocr" else [])

    totals = {name: [0.0, 0.0] for name in commands}
    for _ in range(a.rounds):  # in turns, so that a busy spell hits all alike
        for name, command in commands.items():
            wall, cpu = spawn_all(command, pictures)
            totals[name][0] += wall
            totals[name][1] += cpu
    n = len(pictures) * a.rounds
    print("%d pictures x %d rounds, one process per picture:" % (len(pictures), a.rounds))
    print("%-8s %12s %12s" % ("", "pictures/s", "by CPU time"))
    for name, (wall, cpu) in totals.items():
        print("%-8s %12.1f %12.1f" % (name, n / wall, n / cpu))
    best_wall = max(n / totals[p][0] for p in ("ocrad", "gocr"))
    best_cpu = max(n / totals[p][1] for p in ("ocrad", "gocr"))
    # The targets: twice the faster peer with learned sets, one and a half with the stock library.
    target = "2x" if a.set else "1.5x"
    for name in [m for m in ("morvik", "before") if m in totals]:
        print("%s against the faster peer: %.2fx by the wall clock, %.2fx by CPU time (target %s)"
              % (name, n / totals[name][0] / best_wall, n / totals[name][1] / best_cpu, target))
    chars = 0
    for p in pictures:
        truth = os.path.splitext(p)[0] + ".txt"
        if os.path.exists(truth):
            with open(truth, encoding="utf-8") as f:
                chars += sum(1 for c in f.read() if not c.isspace())
    if chars:
        for name in [m for m in ("morvik", "before") if m in totals]:
            print("%s: %.1f microseconds of processor time per character (%d characters)"
                  % (name, totals[name][1] / a.rounds / chars * 1e6, chars))

    start = time.perf_counter()
    devnull = os.open(os.devnull, os.O_WRONLY)
    argv = morvik + pictures
    pid = os.posix_spawn(argv[0], argv, os.environ,
                         file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
    _, _, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    os.close(devnull)
    print("morvik, all %d pictures in one process: %.1f pictures/s (%.1f by CPU time)"
          % (len(pictures), len(pictures) / wall, len(pictures) / (usage.ru_utime + usage.ru_stime)))


if __name__ == "__main__":
    main()
