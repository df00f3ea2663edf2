#!/usr/bin/python3
"""mokopera-sim against what a teacher would write in numpy, side by side in one run.

For one million experiments of N = 50 shots: mokopera-sim as a whole process (start, the batch on
every core, the table), against numpy's compute alone for the same work (a matrix of distances
1..200, compared with 20, `any` along each row), single-threaded; the two alternate, and each
gives its wall time and its CPU time (which holds where a shared machine's load varies). Then the
full sweep N = 5..50 of mokopera-sim, whole process. It names the fast step's kernel the machine
ran (shot_rate beside mokopera-sim says which).

usage: bench/sim_vs_numpy.py [build/bin/mokopera-sim]
Needs Debian's python3-numpy; installs nothing.
"""
import os
import resource
import statistics
import subprocess
import sys
import time

try:
    import numpy
except ImportError:
    sys.exit("bench/sim_vs_numpy.py: numpy is missing: apt-get install python3-numpy")

SIM = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "bin", "mokopera-sim")
EXPERIMENTS, SHOTS, RUNS = 1_000_000, 50, 7


def whole_process(*arguments):
    """Wall and CPU time (user and system, of every thread) of one mokopera-sim run, output discarded."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([SIM, *arguments], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


GENERATOR = numpy.random.default_rng(1)


def numpy_compute():
    """Wall and CPU time of numpy's three lines for the same experiments, in this process."""
    start, cpu = time.perf_counter(), time.process_time()
    distances = GENERATOR.integers(1, 201, size=(EXPERIMENTS, SHOTS), dtype=numpy.int16)
    successes = int((distances <= 20).any(axis=1).sum())
    assert 0.99 < successes / EXPERIMENTS / (1 - 0.9**SHOTS) < 1.01
    return time.perf_counter() - start, time.process_time() - cpu


def kernel():
    """The fast step's kernel this machine runs, as shot_rate names it beside mokopera-sim."""
    rate = os.path.join(os.path.dirname(SIM), "shot_rate")
    if not os.access(rate, os.X_OK):
        return "unknown"
    lines = subprocess.run([rate, "0.05"], check=True, capture_output=True, text=True).stdout.splitlines()
    kernels = [line.split(",")[1].strip() for line in lines if line.startswith("fast step,") and "not on" not in line]
    return kernels[-1] if kernels else "scalar"


if not os.access(SIM, os.X_OK):
    sys.exit(f"bench/sim_vs_numpy.py: {SIM} is missing: build it first (./scripts/test or ./scripts/run)")
cores = os.cpu_count() or 1
ours, theirs = [], []
for _ in range(RUNS):  # alternating, so that both meet the same moments of this shared machine
    ours.append(whole_process("-n", str(SHOTS), "-e", str(EXPERIMENTS), "--seed", "1"))
    theirs.append(numpy_compute())
wall, cpu = (statistics.median(run[i] for run in ours) for i in (0, 1))
numpy_wall, numpy_cpu = (statistics.median(run[i] for run in theirs) for i in (0, 1))
shots = EXPERIMENTS * SHOTS
print(f"one million experiments at N = 50 ({shots:,} shots), {cores} cores, kernel {kernel()}; medians of {RUNS}:")
print(f"  mokopera-sim, whole process: {wall:.3f} s wall, {cpu:.3f} s CPU ({cpu * 1e9 / shots:.2f} ns of CPU a shot)")
print(f"  numpy, compute alone, one thread: {numpy_wall:.3f} s wall, {numpy_cpu:.3f} s CPU ({numpy_cpu * 1e9 / shots:.2f} ns)")
print(f"  mokopera-sim / numpy: {wall / numpy_wall:.2f}x the wall time, {cpu / numpy_cpu:.2f}x the CPU time")
sweep = statistics.median(whole_process("-n", "5..50", "-e", str(EXPERIMENTS), "--seed", "1")[0] for _ in range(3))
print(f"sweep N = 5..50, one million experiments each, whole process: {sweep:.2f} s")
