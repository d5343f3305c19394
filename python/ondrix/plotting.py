"""ondrix.plot: space-time diagrams drawn with matplotlib, which is imported
only here, when a diagram is drawn."""

import numpy as np

from . import _ondrix


def plot(rule, spacetime, catalogue=None, ax=None, title=None, first_cell=0):
    import matplotlib.patches as patches
    import matplotlib.pyplot as plt

    st = np.asarray(spacetime)
    if st.ndim == 1:
        st = st[np.newaxis, :]
    if st.ndim != 2 or st.size == 0:
        raise ValueError(f"a space-time diagram has generations and cells, this array the shape {st.shape}")
    # The research palette of ondrix-tool render: white, B and C grey, each
    # type in a colour of its own that no untagged cell takes.
    picture = _ondrix.render(rule, st, catalogue, "research")
    colours = [np.array(c) / 255 for c in _ondrix.palette("research")]
    handles = []
    if catalogue is not None:
        types = (catalogue if isinstance(catalogue, _ondrix.Catalogue) else _ondrix.Catalogue(catalogue, rule)).types
        marks = _ondrix.tag(rule, st, catalogue)
        live = st != _ondrix.A
        for mark in range(1, 13):
            if np.any(live & (marks == mark)):
                t = types[mark - 1]
                handles.append(patches.Patch(color=colours[mark - 1],
                                             label=f"type {t['type']}: {t['cells']} (period {t['period']}, shift {t['shift']})"))
    suffix = " (not tagged)" if catalogue is not None else ""
    handles += [patches.Patch(color=colours[13], label="B" + suffix), patches.Patch(color=colours[14], label="C" + suffix)]
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
    ax.legend(handles=handles, loc="upper left", bbox_to_anchor=(1.01, 1.0), fontsize="small", frameon=False)
    return ax
