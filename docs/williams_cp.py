#!/usr/bin/python3
"""Cp of Williams' two-element aerofoil: the exact values against the general panel
problem at 100 and 200 panels per element. Draws docs/williams_cp.png.

Usage: docs/williams_cp.py [PATH_TO_velquin2ds]   (default build/bin/velquin2ds)
"""
import csv
import pathlib
import subprocess
import sys
import tempfile

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

root = pathlib.Path(__file__).resolve().parent.parent
exe = sys.argv[1] if len(sys.argv) > 1 else str(root / "build/bin/velquin2ds")
data = root / "tests/data/williams"

fig, axes = plt.subplots(1, 2, figsize=(11, 4.2))
for element, ax, name in ((1, axes[0], "Main"), (2, axes[1], "Flap")):
    exact = [tuple(map(float, row)) for row in csv.reader(open(data / f"Cp_{name}_theoretical.csv"))]
    ax.plot([x for x, _ in exact], [cp for _, cp in exact], "ko", ms=3.5, label="exact (Williams 1973)")
for panels, style in ((100, "C0-"), (200, "C3--")):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([exe, "--batch", "--body-file", str(data / f"MainFoil_N={panels}.csv"),
                        "--body-file", str(data / f"FlapFoil_N={panels}.csv"),
                        "--circulation", "--vortex", "constant", "--out", out],
                       check=True, capture_output=True)
        rows = list(csv.DictReader(open(pathlib.Path(out) / "surface.csv")))
    for element, ax in ((1, axes[0]), (2, axes[1])):
        mine = [r for r in rows if int(r["element"]) == element]
        ax.plot([float(r["xc"]) for r in mine], [float(r["cp"]) for r in mine], style, lw=1,
                label=f"Velquin-2DS, {panels} panels per element")
for ax, title in zip(axes, ("main aerofoil", "flap")):
    ax.invert_yaxis()
    ax.set_xlabel("x")
    ax.set_ylabel("Cp")
    ax.set_title(f"Williams' two-element case: {title}")
    ax.grid(alpha=0.3)
axes[0].legend(fontsize=8)
fig.tight_layout()
fig.savefig(root / "docs/williams_cp.png", dpi=110)
