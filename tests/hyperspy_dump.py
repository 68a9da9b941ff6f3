#!/usr/bin/env python3
"""Dumps spectrum images as HyperSpy reads them, for comparing Zandor's
readers with HyperSpy's (tests/tst_image_hyperspy.cpp, bench/).

    hyperspy_dump.py OUT_DIR FILE...

For each FILE (.bcf or .rpl), writes the cube's samples that are not zero,
in (height, width, channels) order: OUT_DIR/<n>.idx, their flat indices as
little-endian uint64 in rising order, and OUT_DIR/<n>.val, their values as
little-endian float64 (maps are mostly zeros); and OUT_DIR/<n>.json with
the shape, HyperSpy's dtype, the energy axis (offset and scale in eV)
and the beam energy in kV (null where HyperSpy has none), n being the
file's position in the list from 0. A file HyperSpy refuses gets a .json
with "error". Exits 77 when HyperSpy cannot be imported.
"""
import json
import os
import sys

try:
    import numpy as np
    import hyperspy.api as hs
except Exception as error:  # noqa: BLE001 - any failure to import means "skip"
    print("hyperspy_dump: HyperSpy cannot be imported: %s" % error, file=sys.stderr)
    sys.exit(77)


def beam_energy(signal):
    instrument = signal.metadata.get_item("Acquisition_instrument")
    if instrument is None:
        return None
    for mode in ("SEM", "TEM"):
        value = instrument.get_item(mode + ".beam_energy")
        if value is not None:
            return float(value)
    return None


def energy_axis_eV(axis):
    factor = 1000.0 if str(axis.units).strip().lower() == "kev" else 1.0
    return float(axis.offset) * factor, float(axis.scale) * factor


def dump(path, out_stem):
    kwargs = {"select_type": "spectrum_image"} if path.lower().endswith(".bcf") else {}
    signal = hs.load(path, **kwargs)
    if isinstance(signal, list):
        signal = signal[0]
    data = np.asarray(signal.data)
    axis = signal.axes_manager.signal_axes[0]
    if signal.axes_manager.signal_dimension == 2:
        # A ripple file recorded by image: a stack of channel images.
        axis = signal.axes_manager.navigation_axes[0]
        data = np.moveaxis(data, 0, -1)
    while data.ndim < 3:
        data = data[np.newaxis, ...]
    offset, scale = energy_axis_eV(axis)
    flat = data.reshape(-1)
    nonzero = np.flatnonzero(flat)
    nonzero.astype("<u8").tofile(out_stem + ".idx")
    flat[nonzero].astype("<f8").tofile(out_stem + ".val")
    return {
        "shape": list(data.shape),
        "dtype": str(signal.data.dtype),
        "offset_eV": offset,
        "gain_eV": scale,
        "beam_kV": beam_energy(signal),
    }


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for n, path in enumerate(sys.argv[2:]):
        stem = os.path.join(out_dir, str(n))
        try:
            info = dump(path, stem)
        except Exception as error:  # noqa: BLE001 - reported to the comparing test
            info = {"error": "%s: %s" % (type(error).__name__, error)}
        info["file"] = path
        with open(stem + ".json", "w") as f:
            json.dump(info, f)
    return 0


if __name__ == "__main__":
    sys.exit(main())
