#!/usr/bin/env python3
"""Every soliton of a rule, the rows tried spread over a Dask cluster.

    python3 dask_enumerate.py [RULE] [--max-width 14] [--max-period 14]
                              [--shards 16] [--scheduler tcp://host:8786] [--check]

RULE is a rule file or its digits (the shipped solCA.dat when left out).
Without --scheduler a LocalCluster of this machine's processors does the
work. Each shard is a fixed part of the rows, the same on every machine;
ondrix.merge checks that the shards are one complete set made under one
rule and the same bounds, and gives exactly what one run gives (--check
runs it here as well and compares).
"""

import argparse
import sys
import time

import distributed

import ondrix


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[1],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("rule", nargs="?", help="a rule file or its 81 or 162 digits (default: the shipped rule)")
    parser.add_argument("--max-width", type=int, default=14)
    parser.add_argument("--max-period", type=int, default=14)
    parser.add_argument("--shards", type=int, default=16, help="parts to split the rows into")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler (default: a local cluster)")
    parser.add_argument("--check", action="store_true", help="run it here in one piece too and compare")
    args = parser.parse_args()
    # Checked here, before a cluster starts.
    for name, value, most in (("--max-width", args.max_width, 19), ("--max-period", args.max_period, 40),
                              ("--shards", args.shards, 1 << 20)):
        if not 1 <= value <= most:
            parser.error(f"{name} must be 1 to {most}, not {value}")

    rule = ondrix.Rule(args.rule or ondrix.shipped("solCA.dat"))
    started = time.monotonic()
    if args.scheduler:
        client = distributed.Client(args.scheduler)
    else:
        client = distributed.Client(distributed.LocalCluster(threads_per_worker=1, dashboard_address=None))
    with client:
        # One thread per shard: the cluster's workers are the parallelism.
        futures = [client.submit(ondrix.enumerate, rule, args.max_width, args.max_period, threads=1,
                                 shard=(i, args.shards), pure=False) for i in range(args.shards)]
        found = ondrix.merge(client.gather(futures))
    seconds = time.monotonic() - started

    print(f"{len(found['solitons'])} solitons of at most {args.max_width} cells and {args.max_period} generations "
          f"({found['rows']} rows, {args.shards} shards, {seconds:.1f} s)")
    print(f"{'period':>6} {'shift':>5} {'widest':>6} {'code':>10}  cells")
    for s in found["solitons"]:
        print(f"{s['period']:6d} {s['shift']:5d} {s['width']:6d} {s['code']:10d}  {s['cells']}")

    if args.check:
        alone = ondrix.enumerate(rule, args.max_width, args.max_period)
        same = all(found[k] == alone[k] for k in alone if k != "provenance")
        print("the same as one run here" if same else "NOT the same as one run here")
        return 0 if same else 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
