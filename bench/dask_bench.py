#!/usr/bin/env python3
"""Reading a tree of pictures on Dask: pictures per second with 1 and 2 worker processes (one
thread each), against one `morvik --read --jobs 1` process over the same pictures, the
overhead per picture of the Dask route, the memory of each worker (its peak resident set),
and one Python process reading with 1 and 2 threads. The outputs of every route must be the same bytes.

    bench/dask_bench.py [--build build] [--pictures 400] [--from DIR] [--rounds 3]

The pictures are those of examples/pictures (or of --from DIR), copied under new names up to
--pictures. The cluster's start is not timed: each worker first opens the stock library.
"""

import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TOP = Path(__file__).resolve().parents[1]


def make_tree(source: Path, count: int, into: Path):
    originals = sorted(p for p in source.iterdir() if p.suffix.lower() in (".png", ".pgm", ".bmp"))
    for k in range(count):
        p = originals[k % len(originals)]
        folder = into / f"{k // 100:02d}"
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copy(p, folder / f"{k:05d}-{p.name}")


def children_cpu():
    use = resource.getrusage(resource.RUSAGE_CHILDREN)
    return use.ru_utime + use.ru_stime


def cli_seconds(morvik, names, rounds):
    """The best wall-clock seconds of one run, its CPU seconds, and its output."""
    best, cpu, out = None, None, None
    for _ in range(rounds):
        start, start_cpu = time.perf_counter(), children_cpu()
        out = subprocess.run([morvik, "--read", "--jobs", "1", "--format", "tsv", *names],
                             check=True, capture_output=True).stdout.decode()
        took, used = time.perf_counter() - start, children_cpu() - start_cpu
        best = took if best is None else min(best, took)
        cpu = used if cpu is None else min(cpu, used)
    return best, cpu, out


def peak_rss_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def process_cpu():
    return time.process_time()


def dask_seconds(workers, tree, names, rounds, batch):
    """The best wall-clock seconds of a run, the CPU seconds of that run in the workers, the
    scheduler and this client together, the rows read, and the workers' peak memory."""
    from dask.distributed import Client, LocalCluster
    import read_tree
    with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        client.run(read_tree.read_batch, names[:1], [], "", ["tsv"])  # each opens the stock

        # A LocalCluster's scheduler runs in this process: its CPU is counted once.
        apart = client.run_on_scheduler(os.getpid) != os.getpid()

        def cpu():
            scheduler = client.run_on_scheduler(process_cpu) if apart else 0
            return sum(client.run(process_cpu).values()) + scheduler + time.process_time()
        best, best_cpu = None, None
        for _ in range(rounds):
            start, start_cpu = time.perf_counter(), cpu()
            futures = client.map(read_tree.read_batch, read_tree.batches(names, batch), sets=[],
                                 chars="", formats=["tsv"], pure=False)
            results = [r for f in futures for r in f.result()]
            took, used = time.perf_counter() - start, cpu() - start_cpu
            best = took if best is None else min(best, took)
            best_cpu = used if best_cpu is None else min(best_cpu, used)
        memory = client.run(peak_rss_mib)
    rows = "".join(r[1]["tsv"].split("\n", 1)[1] for r in results)
    return best, best_cpu, rows, max(memory.values())


def thread_seconds(threads, names, rounds):
    """One process reading with several threads over one library (the GIL released)."""
    from concurrent.futures import ThreadPoolExecutor
    import morvik
    library = morvik.Library.stock()
    best = None
    with ThreadPoolExecutor(threads) as pool:
        for _ in range(rounds):
            start = time.perf_counter()
            list(pool.map(lambda name: morvik.read(name, library=library), names))
            took = time.perf_counter() - start
            best = took if best is None else min(best, took)
    return best


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--build", default=str(TOP / "build"))
    p.add_argument("--pictures", type=int, default=400)
    p.add_argument("--from", dest="source", default=str(TOP / "examples" / "pictures"))
    p.add_argument("--rounds", type=int, default=3)
    p.add_argument("--batch", type=int, default=8)
    a = p.parse_args()
    build = Path(a.build).resolve()
    # The workers find the package and the example as this process does.
    paths = [str(build / "python"), str(TOP / "examples" / "dask")]
    os.environ["PYTHONPATH"] = os.pathsep.join(paths + [os.environ.get("PYTHONPATH", "")])
    sys.path[:0] = paths
    work = Path(tempfile.mkdtemp())
    try:
        make_tree(Path(a.source), a.pictures, work / "tree")
        os.chdir(work)
        import read_tree
        names = read_tree.pictures_of("tree")
        n = len(names)
        cli, cli_cpu, cli_out = cli_seconds(str(build / "morvik"), names, a.rounds)
        header, cli_rows = cli_out.split("\n", 1)
        print(f"{n} pictures; load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
        print(f"morvik --read --jobs 1     {n / cli:8.1f} pictures/s")
        rates = {}
        for workers in (1, 2):
            took, cpu, rows, memory = dask_seconds(workers, "tree", names, a.rounds, a.batch)
            assert rows == cli_rows, f"the Dask route with {workers} workers read otherwise"
            rates[workers] = n / took
            print(f"dask, {workers} worker{'s' if workers > 1 else ' '}            "
                  f"{rates[workers]:8.1f} pictures/s   {cpu / n * 1000:.2f} ms CPU a picture, "
                  f"peak memory per worker {memory:.0f} MiB")
            if workers == 1:
                print(f"overhead per picture       {(took - cli) / n * 1000:8.2f} ms wall, "
                      f"{(cpu - cli_cpu) / n * 1000:.2f} ms CPU (dask, 1 worker, against "
                      f"--jobs 1: {cli_cpu / n * 1000:.2f} ms CPU a picture)")
        print(f"2 workers against 1        {rates[2] / rates[1]:8.2f}x")
        one, two = (thread_seconds(t, names, a.rounds) for t in (1, 2))
        print(f"python, 1 thread           {n / one:8.1f} pictures/s")
        print(f"python, 2 threads          {n / two:8.1f} pictures/s   {one / two:.2f}x")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
