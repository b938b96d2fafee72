"""A lift polar of two sections, NACA 0012 and NACA 4412, at 160 panels: the lift from
the circulation and from the pressure against the angle of attack, written to a PNG.

  PYTHONPATH=build/python /usr/bin/python3 examples/python/polar.py [OUT.png]
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import velquin  # noqa: E402

out = sys.argv[1] if len(sys.argv) > 1 else "polar.png"
alpha = np.arange(-10.0, 10.25, 0.25)
fig, ax = plt.subplots(figsize=(6, 4.5))
for body in ("naca0012", "naca4412"):
    p = velquin.polar(body, panels=160, alpha=alpha)
    ax.plot(p.alpha, p.cl, label=body.upper() + " (circulation)")
    ax.plot(p.alpha, p.cl_pressure, "--", label=body.upper() + " (pressure)")
ax.set_xlabel("angle of attack (deg)")
ax.set_ylabel("lift coefficient")
ax.grid(True)
ax.legend()
fig.tight_layout()
fig.savefig(out, dpi=100)
print("wrote", out)
