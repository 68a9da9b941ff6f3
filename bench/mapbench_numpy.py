# NumPy's side of zandor-mapbench (mapbench.cpp): least squares with a fixed
# design matrix over every pixel of a 16-bit ripple cube, read with
# numpy.memmap in chunks of pixels.
#
#   python3 mapbench_numpy.py RAW WIDTH HEIGHT CHANNELS DIR counts|filtered
#
# counts:   np.linalg.lstsq(design_counts, counts of each pixel)
# filtered: zandor's method: each pixel's channels binned and top-hat
#           filtered (running sums), then weighted least squares with the
#           filtered design and zandor's weights (no constraint on the signs)
# Prints the first column's mean amplitude, for a glance.
import sys

import numpy as np

raw, width, height, channels, folder, mode = sys.argv[1:7]
pixels = int(width) * int(height)
channels = int(channels)
cube = np.memmap(raw, dtype="<u2", mode="r", shape=(pixels, channels))
step = 4096

if mode == "counts":
    design = np.load(folder + "/design_counts.npy")
    columns = design.shape[1]
    out = np.empty((columns, pixels), np.float32)
    for start in range(0, pixels, step):
        y = np.asarray(cube[start:start + step], dtype=np.float64)
        x = np.linalg.lstsq(design, y.T, rcond=None)[0]
        out[:, start:start + step] = x
else:
    design = np.load(folder + "/design_filtered.npy")
    weights = np.load(folder + "/weights.npy")
    windows = np.load(folder + "/filter.npy").astype(np.int64)
    first, per_bin, bins = (int(v) for v in np.load(folder + "/grid.npy"))
    half, side = windows[:, 0], windows[:, 1]
    index = np.arange(bins)
    fits = (index >= half + side) & (index + half + side < bins)
    i = index[fits]
    c0, c1 = i - half[fits], i + half[fits] + 1
    l0, r1 = c0 - side[fits], c1 + side[fits]
    nc, ns = (2 * half[fits] + 1).astype(np.float64), side[fits].astype(np.float64)
    root = np.sqrt(weights[fits])
    a = design[fits] * root[:, None]
    columns = design.shape[1]
    out = np.empty((columns, pixels), np.float32)
    for start in range(0, pixels, step):
        y = np.asarray(cube[start:start + step, first:first + bins * per_bin], dtype=np.float64)
        if per_bin > 1:
            y = y.reshape(len(y), bins, per_bin).sum(axis=2)
        s = np.zeros((len(y), bins + 1))
        np.cumsum(y, axis=1, out=s[:, 1:])
        centre = s[:, c1] - s[:, c0]
        sides = (s[:, c0] - s[:, l0]) + (s[:, r1] - s[:, c1])
        f = (centre / nc - sides / (2 * ns)) * root
        x = np.linalg.lstsq(a, f.T, rcond=None)[0]
        out[:, start:start + step] = x
print(float(out[0].mean()))
