"""Rules, rows and catalogues from every form they come in, and clear errors
for what is none of them."""

import inspect
import os
import pickle

import numpy as np
import pytest

import ondrix


def test_rules_in_every_form(rule, tmp_path):
    digits = rule.to_string()
    assert len(digits) == 162, "the shipped rule's second half is not 0"
    table = rule.table
    for given in (digits, table, list(table), bytes(table), bytearray(table), ondrix.shipped("solCA.dat")):
        assert ondrix.Rule(given) == rule
    half = ondrix.Rule(table[:81])
    assert half == ondrix.Rule(digits[:81]) and not half.table[81:].any() and half.to_string() == digits[:81]
    rule.save(tmp_path / "r.dat")
    assert (tmp_path / "r.dat").read_bytes() == bytes(table)
    assert ondrix.Rule(tmp_path / "r.dat") == rule
    assert eval(repr(rule), {"ondrix": ondrix}) == rule
    assert pickle.loads(pickle.dumps(rule)) == rule and hash(pickle.loads(pickle.dumps(rule))) == hash(rule)
    assert ondrix.Rule.random() == ondrix.Rule.random("random", None, None)
    for variant, quiet in [("random*", [k for k in range(81) if k % 3]), ("random**", [k for k in range(81) if k % 3 and k // 3 % 3])]:
        drawn = ondrix.Rule.random(variant, 30, seed=11).table
        assert drawn[0] == 0 and not drawn[quiet].any() and drawn.any(), variant
    assert ondrix.Rule.random(threshold=50, seed=3) != ondrix.Rule.random(threshold=50, seed=4)
    assert ondrix.Rule(digits + "\n") == rule, "digits as a text file holds them"
    assert str(inspect.signature(ondrix.run)) == "(rule, row, steps, reverse=False, progress=None)"


def test_rows_letters_and_files(tmp_path):
    row = ondrix.from_letters("BCAAB", length=768, at=300)
    assert row.dtype == np.uint8 and row.shape == (768,)
    assert list(row[300:305]) == [ondrix.B, ondrix.C, ondrix.A, ondrix.A, ondrix.B]
    assert ondrix.to_letters(row) == "A*300BCAABA*463"
    assert np.array_equal(ondrix.from_letters(ondrix.to_letters(row), 768), row)
    assert np.array_equal(ondrix.from_letters("BC@10+CB@700", 768)[[10, 11, 700, 701]], [1, 0, 0, 1])
    assert np.array_equal(ondrix.read_row("BC@3"), ondrix.from_letters("BC", 768, at=3))
    ondrix.write_row(tmp_path / "line.dat", row[:500])
    assert ondrix.read_row(tmp_path / "line.dat", length=400, crop=True).shape == (400,)
    with pytest.raises(ValueError, match="is live but the ring has 200 cells .a longer length, or crop=True"):
        ondrix.read_row(tmp_path / "line.dat", length=200)
    assert np.array_equal(ondrix.read_row(tmp_path / "line.dat"), row[:500])
    assert ondrix.read_row(tmp_path / "line.dat", length=768)[499] == ondrix.A
    assert np.array_equal(ondrix.reverse(row)[300:302], [ondrix.C, ondrix.B])


def test_catalogues(rule, catalogue, tmp_path):
    assert len(catalogue) == 12 and catalogue[2]["cells"] == "CCABB" and catalogue[-1] == catalogue[11]
    for name in ("Sol.dat", "sol.json"):
        catalogue.save(tmp_path / name)
        assert ondrix.Catalogue(tmp_path / name) == catalogue
    assert (tmp_path / "Sol.dat").read_bytes() == open(ondrix.shipped("Sol.dat"), "rb").read()
    assert ondrix.Catalogue(catalogue.types, rule) == catalogue
    assert ondrix.Catalogue([(t["code"], t["period"], t["shift"]) for t in catalogue.types]) == catalogue
    assert pickle.loads(pickle.dumps(catalogue)) == catalogue
    other = ondrix.Rule.random(seed=9)
    with pytest.raises(ValueError, match="made under another rule"):
        ondrix.Catalogue(tmp_path / "sol.json", other)


@pytest.mark.parametrize("call, error, message", [
    (lambda: ondrix.Rule("nothing.dat"), OSError, "cannot read nothing.dat: No such file"),
    (lambda: ondrix.Rule("0123"), ValueError, "not a rule: a rule as text is 81 or 162 digits, not 4"),
    (lambda: ondrix.Rule([0, 1, 2]), ValueError, "81 or 162"),
    (lambda: ondrix.Rule([0] * 80 + [300]), ValueError, "rule entry 80 is 300, not a byte"),
    (lambda: ondrix.Rule(np.zeros(81, dtype=float)), ValueError, "81 or 162 whole numbers"),
    (lambda: ondrix.Rule.random("sometimes"), ValueError, "the variant is"),
    (lambda: ondrix.from_letters("BXC"), ValueError, "X"),
    (lambda: ondrix.from_letters("BC", length=2, at=5), ValueError, "cells 5 to 6 do not fit on a ring of 2 cells"),
    (lambda: ondrix.from_letters("BC", length=9000), ValueError, "length must be a whole number from 1 to 7680, not 9000"),
    (lambda: ondrix.to_letters([0, 1, 3]), ValueError, "cell 2 holds 3, not a state 0, 1 or 2"),
    (lambda: ondrix.to_letters(np.zeros((2, 2), dtype=np.uint8)), ValueError, "one dimension"),
    (lambda: ondrix.to_letters([0.5, 1]), ValueError, "whole numbers"),
    (lambda: ondrix.to_letters([]), ValueError, "1 to 7680 cells, this one 0"),
    (lambda: ondrix.read_row("missing.dat"), OSError, "cannot read missing.dat"),
    (lambda: ondrix.write_row("no/such/folder/line.dat", [2, 1]), OSError, "cannot write no/such/folder/line.dat"),
    (lambda: ondrix.Catalogue("missing.dat"), OSError, "cannot read missing.dat"),
    (lambda: ondrix.Catalogue([(7, 1, 1)] * 13), ValueError, "twelve types"),
    (lambda: ondrix.run(ondrix.Rule.random(seed=2), [2, 2, 1], -1), ValueError, "steps must be a whole number from 0 to 1000000000000000, not -1"),
    (lambda: ondrix.tag(ondrix.Rule.random(seed=2), np.full((2, 3), 7)), ValueError, "generation 0, cell 0 holds 7"),
    (lambda: ondrix.enumerate(ondrix.Rule.random(seed=2), 25, 5), ValueError, "max_width must be a whole number from 1 to 24, not 25"),
    (lambda: ondrix.search(ondrix.Rule.random(seed=2), ring=10), ValueError, "88 to 7680"),
    (lambda: ondrix.hunt(0), ValueError, "trials must be a whole number from 1 to 2147483647, not 0"),
    (lambda: ondrix.hunt(3, shard=(0, 4)), ValueError, "4 shards of 3 trials"),
    (lambda: ondrix.Rule.random(seed=-1), ValueError, "seed must be a whole number from 0 to 4294967295, not -1"),
    (lambda: ondrix.Rule.random(threshold=30.5), ValueError, "threshold must be a whole number from 0 to 100, not 30.5"),
    (lambda: ondrix.run(ondrix.Rule.random(), [2, 1], 5.0), ValueError, "steps must be a whole number"),
    (lambda: ondrix.run(ondrix.Rule.random(), [2, 1], 5, reverse="yes"), ValueError, "reverse is True or False"),
    (lambda: ondrix.run(ondrix.Rule.random(), "BC@10", 5), ValueError, "not a str: from_letters"),
    (lambda: ondrix.enumerate(ondrix.Rule.random(), 5, 5, shard=(0,)), ValueError, r"shard must be \(i, n\)"),
    (lambda: ondrix.enumerate(ondrix.Rule.random(), 5, 5, shard="0/3"), ValueError, r"shard must be \(i, n\)"),
    (lambda: ondrix.from_letters(None), ValueError, "letters are a str"),
    (lambda: ondrix.from_letters("BC@10", at=5), ValueError, "either as at= or with @"),
    (lambda: ondrix.Catalogue(ondrix.Rule.random()), ValueError, "not a Rule"),
    (lambda: ondrix.Catalogue([(7, 1)]), ValueError, "type 0: a dict with code, period and shift"),
    (lambda: ondrix.Catalogue([{"code": 7}]), ValueError, "type 0 has no \"period\""),
    (lambda: ondrix.Catalogue([(2**40, 1, 1)]), ValueError, "type 0's code must be a whole number"),
    (lambda: ondrix.merge(None), ValueError, "a list of the results"),
    (lambda: ondrix.spacetime(ondrix.Rule.random(), ondrix.from_letters("BC", 7680), 10**8), MemoryError, "more than this machine"),
    (lambda: ondrix.shipped("../README.md"), ValueError, "without a folder"),
])
def test_bad_input_raises_one_clear_line(call, error, message, tmp_path):
    os.chdir(tmp_path)
    with pytest.raises(error, match=message):
        call()


def test_files_that_hold_something_else(tmp_path, rule):
    (tmp_path / "short.dat").write_bytes(bytes(100))
    (tmp_path / "row.dat").write_bytes(bytes([0, 1, 9]))
    (tmp_path / "sol.dat").write_bytes(b"{not json")
    cases = [
        (lambda: ondrix.Rule(tmp_path / "short.dat"), "a rule file holds 162 bytes, this one 100"),
        (lambda: ondrix.read_row(tmp_path / "row.dat"), "cell 2 holds 9, not a state 0, 1 or 2"),
        (lambda: ondrix.Catalogue(tmp_path / "sol.dat"), "not a soliton file or catalogue"),
        (lambda: ondrix.Catalogue(tmp_path / "short.dat"), "not a soliton file"),
    ]
    for call, message in cases:
        with pytest.raises(ValueError, match=message):
            call()
