"""ondrix.plot: space-time diagrams drawn with matplotlib, which is imported
only here, when a diagram is drawn."""

import numpy as np

from . import _ondrix


def plot(rule, spacetime, ax=None, catalogue=None, title=None, first_cell=0):
    import matplotlib.patches as patches
    import matplotlib.pyplot as plt

    st = np.asarray(spacetime)
    if st.ndim == 1:
        st = st[np.newaxis, :]
    picture = _ondrix.render(rule, st, catalogue)
    if ax is None:
        height, width = st.shape
        aspect = min(max(height / width, 0.3), 3.0)
        _, ax = plt.subplots(figsize=(8, 8 * aspect))
    generations, cells = st.shape
    ax.imshow(picture, origin="upper", interpolation="nearest", aspect="auto",
              extent=(first_cell - 0.5, first_cell + cells - 0.5, generations - 0.5, -0.5))
    ax.set_xlabel("cell")
    ax.set_ylabel("generation")
    if title:
        ax.set_title(title)
    if catalogue is not None:
        marks = _ondrix.tag(rule, st, catalogue)
        colours = _ondrix.palette()
        types = catalogue.types if hasattr(catalogue, "types") else _ondrix.Catalogue(catalogue, rule).types
        handles = []
        for mark in sorted(int(m) for m in np.unique(marks[(marks >= 1) & (marks <= 11) & (st != _ondrix.A)])):
            t = types[mark - 1]
            handles.append(patches.Patch(color=np.array(colours[mark]) / 255,
                                         label=f"type {t['type']}: {t['cells']} (period {t['period']}, shift {t['shift']})"))
        if handles:
            ax.legend(handles=handles, loc="upper right", fontsize="small", framealpha=0.9)
    return ax
