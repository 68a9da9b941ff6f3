#!/usr/bin/python3
"""Figures of the Python module's element maps (docs/python.md):

  1. zandor.element_maps in Python against `zandor map` on the same cube,
     each a process of its own (file reading included), and the call alone;
  2. the GIL: two element_maps(threads=1) calls in two Python threads against
     one call;
  3. zandor.dask on a dask.distributed LocalCluster of processes, 1 and 2
     workers: the same maps as in process, and the speed-up.

Medians of --runs runs after one not counted. The machine's load is printed
before and after (`uptime`): on a shared machine the figures move with it.

  PYTHONPATH=build/python /usr/bin/python3 bench/pythonbench.py --build build
"""
import argparse
import concurrent.futures
import multiprocessing
import os
import statistics
import subprocess
import sys
import threading
import time
import warnings

import numpy as np


def median_time(call, runs):
    call()
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


# The cube and the call of section 2, for the processes of its baseline.
_one = None


def _call_one(_):
    _one()


def load():
    return subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="the build tree (zandor, zandor-synth, python/)")
    parser.add_argument("--dir", default="/tmp/zandor-pythonbench", help="where the phantom is written")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--size", default="256x256")
    parser.add_argument("--channels", type=int, default=2048)
    parser.add_argument("--elements", default="C,O,Si,Ti,V,W")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    sys.path.insert(0, os.path.join(build, "python"))
    import zandor
    warnings.simplefilter("ignore", UserWarning)

    program = os.path.join(build, "zandor")
    synth = os.path.join(build, "tools", "synth", "zandor-synth")
    os.makedirs(args.dir, exist_ok=True)
    cube_path = os.path.join(args.dir, f"phantom-{args.size}-{args.channels}.rpl")
    if not os.path.exists(cube_path):
        subprocess.run([synth, "--phantom", cube_path, "--size", args.size, "--channels", str(args.channels),
                        "--counts-per-pixel", "400"], check=True, capture_output=True)
    elements = args.elements.split(",")
    image = zandor.read(cube_path)
    height, width, channels = image.shape
    pixels = height * width
    print(f"zandor {zandor.__version__}, Python {sys.version.split()[0]}, NumPy {np.__version__}, "
          f"{os.cpu_count()} cores")
    print(f"cube: {cube_path}, {height} x {width} x {channels} {image.dtype}, elements {args.elements}")
    print(f"load before: {load()}")
    env = dict(os.environ, PYTHONPATH=os.path.join(build, "python"), PYTHONDONTWRITEBYTECODE="1")

    # 1. Python against the command line, each a process of its own.
    out = os.path.join(args.dir, "maps")
    cli_time = median_time(lambda: subprocess.run([program, "map", cube_path, "--out", out, "--elements",
                                                   args.elements], check=True, capture_output=True), args.runs)
    script = ("import warnings, zandor; warnings.simplefilter('ignore');"
              f"zandor.element_maps(zandor.read({cube_path!r}), elements={args.elements!r})")
    python_time = median_time(lambda: subprocess.run([sys.executable, "-c", script], check=True, env=env,
                                                     capture_output=True), args.runs)
    startup = median_time(lambda: subprocess.run([sys.executable, "-c", "import zandor, numpy"], check=True,
                                                 env=env, capture_output=True), args.runs)
    streamed = median_time(lambda: zandor.element_maps(image, elements=elements), args.runs)
    counts = image.counts
    in_memory = median_time(lambda: zandor.element_maps(counts, image.offset_eV, image.gain_eV, elements,
                                                        beam_kV=image.beam_kV), args.runs)
    reference = zandor.element_maps(image, elements=elements)
    same = all(np.array_equal(np.load(os.path.join(out, f"{e}.npy")), m) for e, m in reference.items())
    print("\n1. element maps, every core (medians)")
    print(f"  zandor map (process, writes .npy and .png)        {cli_time * 1000:8.0f} ms")
    print(f"  python3 -c 'zandor.element_maps(zandor.read(..))' {python_time * 1000:8.0f} ms  "
          f"({python_time / cli_time:.2f} x zandor map)")
    print(f"  python3 -c 'import zandor, numpy' (start-up)      {startup * 1000:8.0f} ms  "
          f"(the maps without it: {(python_time - startup) / cli_time:.2f} x zandor map)")
    print(f"  element_maps(SpectrumImage), the call, streamed   {streamed * 1000:8.0f} ms  "
          f"({pixels / streamed:,.0f} pixels/s)")
    print(f"  element_maps(numpy array in memory), the call     {in_memory * 1000:8.0f} ms  "
          f"({pixels / in_memory:,.0f} pixels/s)")
    print(f"  maps equal to zandor map's .npy: {same}")

    # 2. The GIL: one call on one thread, then two at once.
    def one():
        zandor.element_maps(counts, image.offset_eV, image.gain_eV, elements, beam_kV=image.beam_kV, threads=1)

    def two():
        threads = [threading.Thread(target=one) for _ in range(2)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    single_cpu = time.process_time()
    single = median_time(one, args.runs)
    single_cpu = (time.process_time() - single_cpu) / (args.runs + 1)
    cpu = time.process_time()
    double = median_time(two, args.runs)
    cpu = (time.process_time() - cpu) / (args.runs + 1)
    # The same two calls in two processes (forked with the cube): what this
    # machine gives two calls that share nothing, whatever its load.
    global _one
    _one = one
    with concurrent.futures.ProcessPoolExecutor(2, mp_context=multiprocessing.get_context("fork")) as pool:
        processes = median_time(lambda: list(pool.map(_call_one, range(2))), args.runs)
    print("\n2. the GIL: element_maps(threads=1) on the cube in memory (medians)")
    print(f"  one call                       {single * 1000:8.0f} ms  (CPU {single_cpu * 1000:.0f} ms)")
    print(f"  two calls in two threads       {double * 1000:8.0f} ms  ({double / single:.2f} x one; "
          f"2.00 x if the GIL were held); CPU {cpu * 1000:.0f} ms")
    print(f"  two calls in two processes     {processes * 1000:8.0f} ms  ({processes / single:.2f} x one): "
          f"threads / processes {double / processes:.2f}")

    # 3. Dask on a LocalCluster of processes.
    import dask
    import zandor.dask
    from dask.distributed import Client, LocalCluster
    print("\n3. zandor.dask.image_maps on a LocalCluster of processes, 1 thread each (medians)")
    figures = {}
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                          dashboard_address=None) as cluster, Client(cluster):
            def run():
                maps = zandor.dask.image_maps([cube_path], elements=elements, rows=32)[cube_path]
                return dict(zip(maps, dask.compute(*maps.values())))
            figures[workers] = median_time(run, args.runs)
            equal = all(np.array_equal(m, reference[e]) for e, m in run().items())
        print(f"  {workers} worker{'s' if workers > 1 else ' '}  {figures[workers] * 1000:8.0f} ms  "
              f"({pixels / figures[workers]:,.0f} pixels/s)  maps equal to the in-process ones: {equal}")
    print(f"  speed-up of 2 workers over 1: {figures[1] / figures[2]:.2f} x")
    print(f"\nload after: {load()}")


if __name__ == "__main__":
    main()
