"""ondrix.plot: space-time diagrams drawn with matplotlib, which is imported
only here, when a diagram is drawn."""

import numpy as np

from . import _ondrix

_BACKGROUND = (1.0, 1.0, 1.0)
_UNTAGGED = {_ondrix.B: (0.62, 0.62, 0.62), _ondrix.C: (0.1, 0.1, 0.1)}


def _type_colour(colours, mark):
    # The window's colour of the type; the window draws type 11 black,
    # which here would be the untagged C cells' colour.
    return np.array(colours[mark]) / 255 if mark < 12 else np.array((1.0, 0.55, 0.0))


def plot(rule, spacetime, catalogue=None, ax=None, title=None, first_cell=0):
    import matplotlib.patches as patches
    import matplotlib.pyplot as plt

    st = np.asarray(spacetime)
    if st.ndim == 1:
        st = st[np.newaxis, :]
    if st.ndim != 2 or st.size == 0:
        raise ValueError(f"a space-time diagram has generations and cells, this array the shape {st.shape}")
    marks = _ondrix.tag(rule, st, catalogue)  # checks the cells, too
    picture = np.empty(st.shape + (3,))
    picture[...] = _BACKGROUND
    for state, colour in _UNTAGGED.items():
        picture[st == state] = colour
    colours = _ondrix.palette()
    tagged = []
    if catalogue is not None:
        types = (catalogue if isinstance(catalogue, _ondrix.Catalogue) else _ondrix.Catalogue(catalogue, rule)).types
        live = st != _ondrix.A
        for mark in range(1, 13):
            where = live & (marks == mark)
            if where.any():
                picture[where] = _type_colour(colours, mark)
                tagged.append((mark, types[mark - 1]))
    if ax is None:
        generations, cells = st.shape
        aspect = min(max(generations / cells, 0.3), 3.0)
        _, ax = plt.subplots(figsize=(8, 8 * aspect))
    generations, cells = st.shape
    ax.imshow(picture, origin="upper", interpolation="nearest", aspect="auto",
              extent=(first_cell - 0.5, first_cell + cells - 0.5, generations - 0.5, -0.5))
    ax.set_xlabel("cell")
    ax.set_ylabel("generation")
    if title:
        ax.set_title(title)
    handles = [patches.Patch(color=_type_colour(colours, mark),
                             label=f"type {t['type']}: {t['cells']} (period {t['period']}, shift {t['shift']})")
               for mark, t in tagged]
    handles += [patches.Patch(color=_UNTAGGED[_ondrix.B], label="B" + (" (not tagged)" if catalogue is not None else "")),
                patches.Patch(color=_UNTAGGED[_ondrix.C], label="C" + (" (not tagged)" if catalogue is not None else ""))]
    ax.legend(handles=handles, loc="upper left", bbox_to_anchor=(1.01, 1.0), fontsize="small", frameon=False)
    return ax
