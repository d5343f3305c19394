"""The module gives ondrix-tool's answers on the shipped data."""

import numpy as np
import pytest

import ondrix
from conftest import run_tool, without_provenance


def test_search_enumerate_collide_and_hunt_equal_the_tools(rule, catalogue):
    solca, sol = ondrix.shipped("solCA.dat"), ondrix.shipped("Sol.dat")
    assert without_provenance(ondrix.search(rule)) == run_tool("search", solca, "--json")
    mine = without_provenance(ondrix.enumerate(rule, 12, 12, threads=2))
    tools = run_tool("enumerate", solca, "--max-width", 12, "--max-period", 12, "--json")
    assert mine.pop("rule") == rule.to_string() and tools.pop("rule") == solca
    assert mine == tools
    assert len(mine["solitons"]) > 10
    untimed = lambda e: {**e, "searches": [{k: v for k, v in s.items() if k != "seconds"} for s in e["searches"]]}
    mine = untimed(without_provenance(ondrix.enumerate_any_width(rule, 3, threads=2)))
    tools = untimed(run_tool("enumerate", solca, "--any-width", "--max-period", 3, "--json"))
    assert mine.pop("rule") == rule.to_string() and tools.pop("rule") == solca
    assert mine == tools and mine["families"]
    assert without_provenance(ondrix.collide(rule, catalogue)) == run_tool("collide", solca, sol, "--json")
    assert ondrix.collide(rule, catalogue, 3, 5) == ondrix.collide(rule, catalogue)["pairs"][3 * 11 + 5]
    assert without_provenance(ondrix.hunt(40, skip=100)) == run_tool("hunt", "--trials", 40, "--skip", 100, "--json")


def test_a_run_of_1600_generations_and_back(rule, tmp_path):
    start = ondrix.read_row(ondrix.shipped("Exp1.dat"))
    end = ondrix.run(rule, start, 1600)
    run_tool("run", ondrix.shipped("solCA.dat"), ondrix.shipped("Exp1.dat"), "--steps", 1600, "--out", tmp_path / "end.dat")
    assert np.array_equal(end, np.fromfile(tmp_path / "end.dat", dtype=np.uint8))
    assert not np.array_equal(end, start)
    assert np.array_equal(ondrix.run(rule, end, 1600, reverse=True), start)
    # The window's way back: exchange B and C, run forward, exchange again.
    assert np.array_equal(ondrix.reverse(ondrix.run(rule, ondrix.reverse(end), 1600)), start)


def test_spacetime_is_the_run_row_by_row_without_a_copy(rule):
    row = ondrix.from_letters("BCAAB+CCABB@400", length=600)
    st = ondrix.spacetime(rule, row, 200)
    assert st.shape == (201, 600) and st.dtype == np.uint8
    assert st.flags["OWNDATA"] and st.flags["C_CONTIGUOUS"]
    assert np.array_equal(st[0], row)
    for t in (1, 2, 57, 200):
        assert np.array_equal(st[t], ondrix.run(rule, row, t)), t


def test_marks_and_pictures(rule, catalogue):
    row = ondrix.read_row(ondrix.shipped("Exp5.dat"))
    st = ondrix.spacetime(rule, row, 300)
    marks = ondrix.tag(rule, st, catalogue)
    assert marks.shape == st.shape
    assert np.all(marks[st == ondrix.A] <= 12)
    live = marks[st != ondrix.A]
    assert set(np.unique(live)) <= set(range(1, 13)) | {ondrix.MARK_N, ondrix.MARK_O, ondrix.MARK_P}
    assert np.any((live >= 1) & (live <= 12)), "the example's solitons are recognised"
    assert np.all(ondrix.tag(rule, st)[1:][st[:-1] == ondrix.C] == ondrix.MARK_N)
    narrow = ondrix.spacetime(rule, ondrix.from_letters("CCABB", length=40, at=5), 30)
    assert np.any(ondrix.tag(rule, narrow, catalogue) == 3), "type 2 is tagged on a ring narrower than the catalogue's"
    picture = ondrix.render(rule, st, catalogue)
    assert picture.shape == (301, 768, 3)
    colours = ondrix.palette()
    assert tuple(picture[0, np.argmax(st[0] == ondrix.A)]) == colours[12]
    research = ondrix.render(rule, st, catalogue, palette="research")
    types = {tuple(c) for c in ondrix.palette("research")[:12]}
    untagged = research[(st != ondrix.A) & ((marks < 1) | (marks > 12))]
    assert untagged.size and not any(tuple(c) in types for c in untagged), "no untagged cell in a type's colour"
    assert tuple(research[0, np.argmax(st[0] == ondrix.A)]) == (255, 255, 255)
    assert len({tuple(c) for c in picture.reshape(-1, 3)}) > 3


def test_plot_draws_time_downward_with_a_legend(rule, catalogue, tmp_path):
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    st = ondrix.spacetime(rule, ondrix.read_row(ondrix.shipped("Exp5.dat")), 200)
    ax = ondrix.plot(rule, st, catalogue, title="Exp5")
    assert ax.get_xlabel() == "cell" and ax.get_ylabel() == "generation"
    bottom, top = ax.get_ylim()
    assert bottom > top, "time runs downward"
    labels = [t.get_text() for t in ax.get_legend().get_texts()]
    assert labels[-2:] == ["B (not tagged)", "C (not tagged)"]
    assert len(labels) > 2 and all(label.startswith("type ") for label in labels[:-2])
    ax.figure.savefig(tmp_path / "exp5.png")
    assert (tmp_path / "exp5.png").stat().st_size > 1000
