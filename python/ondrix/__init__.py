"""Ondrix: a reversible three-state cellular automaton on a ring, for notebooks.

Cells are the bytes of Ondrix's files: C = 0, B = 1 and the background
A = 2. A row is a one-dimensional numpy uint8 array of them (up to 7680
cells, a closed ring); a space-time diagram is a two-dimensional one, one
generation per array row, generation 0 first.

    import ondrix
    rule = ondrix.Rule(ondrix.shipped("solCA.dat"))
    row = ondrix.from_letters("BCAAB", length=768, at=300)
    st = ondrix.spacetime(rule, row, 400)
    ondrix.plot(rule, st)

Results of search, enumerate, collide and hunt are what ``ondrix-tool ...
--json`` prints, as dicts and lists. Long calls release the GIL, take a
``progress(done, total)`` callback and stop on Ctrl-C (KeyboardInterrupt).
Bad input raises ValueError, a file that cannot be read or written OSError.
"""

import os

from . import _ondrix
from ._ondrix import A, B, C, MARK_N, MARK_O, MARK_P, RING_CAPACITY, Catalogue, Rule, __version__

Rule.__module__ = Catalogue.__module__ = __name__


def _public(function):
    # A function of this module, not of the compiled one: pickled by name
    # (as Dask sends work to its workers), with the compiled one's help.
    def call(*args, **kwargs):
        return function(*args, **kwargs)

    call.__name__ = call.__qualname__ = function.__name__
    call.__doc__ = function.__doc__
    call.__module__ = __name__
    return call


collide = _public(_ondrix.collide)
enumerate = _public(_ondrix.enumerate)
from_letters = _public(_ondrix.from_letters)
hunt = _public(_ondrix.hunt)
merge = _public(_ondrix.merge)
palette = _public(_ondrix.palette)
read_row = _public(_ondrix.read_row)
render = _public(_ondrix.render)
reverse = _public(_ondrix.reverse)
run = _public(_ondrix.run)
search = _public(_ondrix.search)
spacetime = _public(_ondrix.spacetime)
tag = _public(_ondrix.tag)
to_letters = _public(_ondrix.to_letters)
write_row = _public(_ondrix.write_row)
from ._data import DATA_DIRS as _DATA_DIRS


def shipped(name="solCA.dat"):
    """The path of a file shipped with Ondrix (solCA.dat, Sol.dat, Exp1.dat, ...).

    Looked up in $ONDRIX_DATA, then beside the sources of a build or in
    share/ondrix of the installed program. FileNotFoundError when none has it.
    """
    dirs = ([os.environ["ONDRIX_DATA"]] if os.environ.get("ONDRIX_DATA") else []) + _DATA_DIRS
    for d in dirs:
        path = os.path.normpath(os.path.join(d, name))
        if os.path.isfile(path):
            return path
    raise FileNotFoundError(
        f"{name}: not among the shipped files (looked in {', '.join(map(os.path.normpath, dirs))}; "
        "set ONDRIX_DATA to the folder that holds them, or install the ondrix package)")


def plot(rule, spacetime, ax=None, catalogue=None, title=None, first_cell=0):
    """Draws a space-time diagram with matplotlib: time downward, cells across.

    With a catalogue, the solitons it recognises are drawn in their types'
    colours and named in the legend. first_cell numbers the first column
    (for a slice such as st[:, 200:560]). Returns the axes.
    """
    from .plotting import plot as _plot

    return _plot(rule, spacetime, ax=ax, catalogue=catalogue, title=title, first_cell=first_cell)


__all__ = [
    "A", "B", "C", "MARK_N", "MARK_O", "MARK_P", "RING_CAPACITY", "Catalogue", "Rule", "__version__",
    "collide", "enumerate", "from_letters", "hunt", "merge", "palette", "plot", "read_row", "render",
    "reverse", "run", "search", "shipped", "spacetime", "tag", "to_letters", "write_row",
]
