"""Shards of an enumeration or a hunt merge to the single run, here and on a
Dask cluster; what is no complete set is refused."""

import pytest

import ondrix
from conftest import without_provenance


def test_shards_merge_to_the_single_run(rule):
    whole = without_provenance(ondrix.enumerate(rule, 11, 10))
    for n in (1, 3, 7):
        parts = [ondrix.enumerate(rule, 11, 10, shard=(i, n)) for i in reversed(range(n))]
        assert without_provenance(ondrix.merge(parts)) == whole, n
    hunt = without_provenance(ondrix.hunt(30, skip=7))
    assert without_provenance(ondrix.merge([ondrix.hunt(30, skip=7, shard=(i, 4)) for i in range(4)])) == hunt


def test_what_is_not_one_set_is_refused(rule):
    parts = [ondrix.enumerate(rule, 8, 8, shard=(i, 3)) for i in range(3)]
    other = ondrix.enumerate(ondrix.Rule.random("random*", 60, seed=5), 8, 8, shard=(2, 3))
    other_bounds = ondrix.enumerate(rule, 8, 7, shard=(2, 3))
    for given, why in [
        (parts[:2], "shard 2 of 3 is missing"),
        (parts + parts[:1], "shard 0 of 3 is given twice"),
        (parts[:2] + [other], "another rule"),
        (parts[:2] + [other_bounds], "bounds"),
        ([], "nothing to merge"),
        ([{"pairs": []}], "neither an enumeration nor a hunt"),
        ([ondrix.hunt(5, shard=(0, 2))], "shard 1 of 2 is missing"),
        ([ondrix.hunt(5, shard=(0, 2)), ondrix.hunt(5)], "shards and other hunt results"),
    ]:
        with pytest.raises(ValueError, match=why):
            ondrix.merge(given)
    for bad in [(3, 3), (-1, 2), (0, 0)]:
        with pytest.raises(ValueError, match="shard"):
            ondrix.enumerate(rule, 5, 5, shard=bad)


def test_an_enumeration_spread_over_a_dask_cluster(rule):
    distributed = pytest.importorskip("distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, distributed.Client(cluster) as client:
        futures = [client.submit(ondrix.enumerate, rule, 11, 10, shard=(i, 5), threads=1) for i in range(5)]
        merged = ondrix.merge(client.gather(futures))
    assert without_provenance(merged) == without_provenance(ondrix.enumerate(rule, 11, 10))
