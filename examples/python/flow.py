"""Streamlines and pressure of a slotted flap: a NACA 23012 section with a NACA 23012
flap of chord 0.3 placed behind and below its trailing edge, turned by 25 degrees.

  PYTHONPATH=build/python /usr/bin/python3 examples/python/flow.py [OUT.png]
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import velquin  # noqa: E402

out = sys.argv[1] if len(sys.argv) > 1 else "flow.png"
wing = [velquin.Element("naca23012"),
        velquin.Element("naca23012", place=(0.95, -0.04, 25, 0.3))]
f = velquin.flow(wing, panels=160, alpha=4.0, domain=(-0.5, 1.8, -0.6, 0.5), grid=(231, 111))
r = f.surface
print("cl = %.4f (pressure %.4f), cm = %.4f; per element cl = %s"
      % (r.cl, r.cl_pressure, r.cm, np.round(r.element_cl, 4)))

fig, (top, bottom) = plt.subplots(2, 1, figsize=(7, 8))
top.contourf(f.x, f.y, f.cp, levels=np.linspace(-3, 1, 41), cmap="viridis", extend="both")
seeds = np.column_stack([np.full(25, -0.5), np.linspace(-0.55, 0.45, 25)])
for line in f.streamlines(seeds):
    top.plot(line[:, 0], line[:, 1], color="white", lw=0.7)
# Every element's nodes 0..n, one after the other: n + 1 for its n panels.
ends = np.cumsum(np.bincount(r.element) + 1)
for first, last in zip(np.concatenate([[0], ends[:-1]]), ends):
    top.fill(r.x[first:last], r.y[first:last], color="0.3")
top.set_aspect("equal")
top.set_title("NACA 23012 with a slotted flap, alpha = 4 deg: Cp and streamlines")
for k, name in enumerate(r.element_names):
    on = r.element == k
    bottom.plot(r.xc[on], r.cp[on], ".-", ms=3, label=name)
bottom.invert_yaxis()
bottom.set_xlabel("x")
bottom.set_ylabel("Cp")
bottom.grid(True)
bottom.legend()
fig.tight_layout()
fig.savefig(out, dpi=100)
print("wrote", out)
