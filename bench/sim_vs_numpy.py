#!/usr/bin/python3
"""mokopera-sim against what a teacher would write in numpy, side by side in one run.

For one million experiments of N = 50 shots: mokopera-sim as a whole process (start, the batch on
every core, the table), against numpy's compute time alone for the same work (a matrix of
distances 1..200, compared with 20, `any` along each row), single-threaded. Then the full sweep
N = 5..50 of mokopera-sim, whole process. Medians of a few runs each; the ratio is what counts,
as this shared machine's speed drifts.

usage: bench/sim_vs_numpy.py [build/bin/mokopera-sim]
Needs Debian's python3-numpy; installs nothing.
"""
import os
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
    """Median wall time of mokopera-sim with these arguments, output discarded."""
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run([SIM, *arguments], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def numpy_compute():
    """Median time of numpy's three lines for the same experiments."""
    generator = numpy.random.default_rng(1)
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        distances = generator.integers(1, 201, size=(EXPERIMENTS, SHOTS), dtype=numpy.int16)
        successes = int((distances <= 20).any(axis=1).sum())
        times.append(time.perf_counter() - start)
    assert 0.99 < successes / EXPERIMENTS / (1 - 0.9**SHOTS) < 1.01
    return statistics.median(times)


if not os.access(SIM, os.X_OK):
    sys.exit(f"bench/sim_vs_numpy.py: {SIM} is missing: build it first (./scripts/test or ./scripts/run)")
cores = os.cpu_count() or 1
ours = whole_process("-n", str(SHOTS), "-e", str(EXPERIMENTS), "--seed", "1")
theirs = numpy_compute()
shots = EXPERIMENTS * SHOTS
print(f"one million experiments at N = 50 ({shots:,} shots), {cores} cores:")
print(f"  mokopera-sim, whole process: {ours:.3f} s, {ours * 1e9 / shots * cores:.2f} ns per shot per core")
print(f"  numpy, compute alone, one thread: {theirs:.3f} s, {theirs * 1e9 / shots:.2f} ns per shot")
print(f"  ratio mokopera-sim / numpy: {ours / theirs:.2f}x")
sweep = whole_process("-n", "5..50", "-e", str(EXPERIMENTS), "--seed", "1")
print(f"sweep N = 5..50, one million experiments each, whole process: {sweep:.2f} s")
