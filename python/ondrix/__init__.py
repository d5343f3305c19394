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

import ast as _ast
import inspect as _inspect
import os as _os

import numpy as _numpy  # noqa: F401  (the compiled module needs it: fail here, not at the first call)

from . import _ondrix
from ._data import DATA_DIRS as _DATA_DIRS
from ._ondrix import A, B, C, MARK_N, MARK_O, MARK_P, RING_CAPACITY, Catalogue, Rule, __version__

Rule.__module__ = Catalogue.__module__ = __name__


def _signature(function):
    # The compiled function's first docstring line, "name(a: T, b: T = 1) -> R",
    # as a signature that help() and a notebook's completion show.
    line = function.__doc__.splitlines()[0]
    parameters = []
    for part in line[line.index("(") + 1:line.rindex(")")].split(", "):
        if not part:
            continue
        name, _, default = part.partition(" = ")
        name = name.split(":")[0]
        value = _inspect.Parameter.empty if not default else _ast.literal_eval(default)
        parameters.append(_inspect.Parameter(name, _inspect.Parameter.POSITIONAL_OR_KEYWORD, default=value))
    return _inspect.Signature(parameters)


def _public(function):
    # A function of this module, not of the compiled one: pickled by name
    # (as Dask sends work to its workers), with the compiled one's help.
    def call(*args, **kwargs):
        return function(*args, **kwargs)

    call.__name__ = call.__qualname__ = function.__name__
    call.__doc__ = "\n".join(function.__doc__.splitlines()[2:]) or function.__doc__
    call.__module__ = __name__
    call.__signature__ = _signature(function)
    return call


collide = _public(_ondrix.collide)
enumerate = _public(_ondrix.enumerate)
enumerate_any_width = _public(_ondrix.enumerate_any_width)
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


def shipped(name="solCA.dat"):
    """The path of a file shipped with Ondrix (solCA.dat, Sol.dat, Exp1.dat, ...).

    Looked up in $ONDRIX_DATA, then beside the sources of a build or in
    share/ondrix of the installed program. FileNotFoundError when none has it.
    """
    if _os.path.basename(name) != name or name in ("", _os.curdir, _os.pardir):
        raise ValueError(f"{name!r}: a shipped file is named without a folder, such as 'Exp1.dat'")
    dirs = ([_os.environ["ONDRIX_DATA"]] if _os.environ.get("ONDRIX_DATA") else []) + _DATA_DIRS
    for d in dirs:
        path = _os.path.normpath(_os.path.join(d, name))
        if _os.path.isfile(path):
            return path
    raise FileNotFoundError(
        f"{name}: not among the shipped files (looked in {', '.join(map(_os.path.normpath, dirs))}; "
        "set ONDRIX_DATA to the folder that holds them, or install the ondrix package)")


def plot(rule, spacetime, catalogue=None, *, ax=None, title=None, first_cell=0):
    """Draws a space-time diagram with matplotlib: time downward, cells across.

    With a catalogue, the cells the window would tag as a type's soliton
    are drawn in that type's colour and named in the legend (the window
    tags a cell wherever an 11-cell stretch reads as one of the type's
    phases, so debris can carry a type's colour for a moment); other live
    cells are light grey (B) and dark grey (C): the research palette of
    ondrix-tool render. first_cell numbers the first column
    (for a slice such as st[:, 200:560]). Returns the axes.
    """
    from .plotting import plot as _plot

    return _plot(rule, spacetime, catalogue=catalogue, ax=ax, title=title, first_cell=first_cell)


# enumerate is left out of the star import: it would hide Python's own.
__all__ = [
    "A", "B", "C", "MARK_N", "MARK_O", "MARK_P", "RING_CAPACITY", "Catalogue", "Rule", "__version__",
    "collide", "enumerate_any_width", "from_letters", "hunt", "merge", "palette", "plot", "read_row", "render",
    "reverse", "run", "search", "shipped", "spacetime", "tag", "to_letters", "write_row",
]
