#!/usr/bin/env python3
"""The Python module's speed beside the core's, in one run.

    PYTHONPATH=build/python python3 bench/python_bench.py [--check]

Measures, in cells per second: ondrix.spacetime of a 7680-cell row for
100,000 generations (768 MB), the core's run of the same generations
without keeping them, numpy writing as many bytes into a new array, a Python loop of ondrix.run(rule, row, 1) calls, and
a plain numpy implementation of the step, vectorised over the cells; and
the cost of one call of run(rule, row, 1) on 768 cells beyond its step.
Every way is checked to give the same rows first. --check does only that.
"""

import argparse
import time

import numpy as np

import ondrix


def numpy_step(table, row):
    """One generation, vectorised over the cells: the rule reads how many C
    cells stand at distance 1, 2, 3 and 4 on the two sides of each cell."""
    c = (row == ondrix.C).astype(np.int64)
    index = np.zeros_like(c)
    for d, weight in ((1, 27), (2, 9), (3, 3), (4, 1)):
        index += weight * (np.roll(c, d) + np.roll(c, -d))
    bit = table[index] != 0
    b = row == ondrix.B
    # C -> B; B -> A on a 1, C on a 0; A -> C on a 1, A on a 0.
    return np.where(c == 1, ondrix.B, np.where(b ^ bit, ondrix.C, ondrix.A)).astype(np.uint8)


def best_of(runs, f):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        f()
        times.append(time.perf_counter() - started)
    return min(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true", help="only check that every way gives the same rows")
    args = parser.parse_args()

    rule = ondrix.Rule(ondrix.shipped("solCA.dat"))
    table = rule.table[:81]
    rng = np.random.default_rng(5)
    row = ondrix.from_letters("", length=7680)
    row[3000:3400] = rng.integers(0, 3, 400)

    # The same rows every way.
    st = ondrix.spacetime(rule, row, 300)
    step = row
    for t in range(1, 301):
        step = numpy_step(table, step)
        assert np.array_equal(step, st[t]), f"numpy differs at generation {t}"
    looped = row
    for t in range(1, 301):
        looped = ondrix.run(rule, looped, 1)
    assert np.array_equal(looped, st[300]) and np.array_equal(ondrix.run(rule, row, 300), st[300])
    print("the same rows every way (300 generations of 7680 cells)")
    if args.check:
        return

    cells = 7680
    generations = 100_000
    held = best_of(3, lambda: ondrix.spacetime(rule, row, generations))
    written = best_of(3, lambda: np.empty((generations + 1, cells), np.uint8).fill(ondrix.A))
    core = best_of(3, lambda: ondrix.run(rule, row, generations))
    loop_steps = 20_000

    def loop():
        r = row
        for _ in range(loop_steps):
            r = ondrix.run(rule, r, 1)

    looped = best_of(3, loop)
    numpy_steps = 2_000

    def vectorised():
        r = row
        for _ in range(numpy_steps):
            r = numpy_step(table, r)

    vectorised_time = best_of(3, vectorised)
    print(f"{'way':44} {'cells/s':>12} {'ns/generation':>14}")
    for name, seconds, n in [
        ("spacetime (100,000 generations kept, 768 MB)", held, generations),
        ("core run (100,000 generations, none kept)", core, generations),
        ("numpy writing 768 MB alone (no step)", written, generations),
        (f"loop of run(rule, row, 1) ({loop_steps} calls)", looped, loop_steps),
        (f"numpy step, vectorised ({numpy_steps} generations)", vectorised_time, numpy_steps),
    ]:
        print(f"{name:44} {cells * n / seconds:12.3e} {seconds / n * 1e9:14.0f}")

    small = ondrix.from_letters("BCAAB", length=768, at=300)
    calls = 100_000
    per_call = best_of(3, lambda: [ondrix.run(rule, small, 1) for _ in range(calls)]) / calls
    per_step = best_of(3, lambda: ondrix.run(rule, small, 1_000_000)) / 1_000_000
    print(f"run(rule, row, 1) on 768 cells: {per_call * 1e6:.2f} us a call, of which the step "
          f"{per_step * 1e9:.0f} ns: {(per_call - per_step) * 1e6:.2f} us of call overhead")


if __name__ == "__main__":
    main()
