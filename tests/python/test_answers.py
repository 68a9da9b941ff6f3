"""The module answers as the command line does: lines, edges, find, read and
identify against `zandor ... --json` on the same input."""
import gc
import os
import unittest

import numpy as np

import zandor
from support import MEASURED, cli, phantom, scratch

# Measured spectra of several instruments, beams and detectors.
SPECTRA = [
    "K411-K412_K411_std.msa",
    "Benitoite_Benitoite_std.msa",
    "AZO-quant_ZnO_std.msa",
    "EDS-TM002_qm-04372-EDS-TM002-10kV.msa",
    "Sirion_Oxford-P4-05eV-2K_2016-05-18-30kV-Cu-S4-P4-5eV-2K.msa",
]


class XRay(unittest.TestCase):
    def test_version(self):
        self.assertEqual(cli("--version").out, f"zandor {zandor.__version__}\n")

    def test_lines_and_edges(self):
        # H has edges and no lines; B and Cf are the ends of the line table.
        for element in ["Fe", "fe", 26, np.int64(79), "B", "Cf", "H", "U"]:
            with self.subTest(element=element):
                self.assertEqual(zandor.lines(element), cli("lines", element, "--json").json()["lines"])
                self.assertEqual(zandor.edges(element), cli("edges", element, "--json").json()["edges"])

    def test_find(self):
        cases = [
            (dict(energy_eV=6400.0), ["6400eV"]),
            (dict(energy_eV=6400.25, limit=0), ["6400.25eV", "--limit", "0"]),
            (dict(energy_eV=1740.0, detector="ge", fwhm_eV=150.0), ["1740eV", "--detector", "ge", "--fwhm", "150eV"]),
            (dict(energy_eV=8040.0, beam_kV=15.0, elements=("Fe", "Cu"), limit=0),
             ["8040eV", "--beam", "15kV", "--elements", "Fe,Cu", "--limit", "0"]),
            # A sum peak of iron, and elements as a str and as atomic numbers.
            (dict(energy_eV=12800.0, elements="Fe", limit=3, tolerance_eV=60.0),
             ["12800eV", "--elements", "Fe", "--limit", "3", "--tolerance", "60eV"]),
            (dict(energy_eV=4950.0, detector="cdte", elements=[22, 56]),
             ["4950eV", "--detector", "cdte", "--elements", "Ti,Ba"]),
            (dict(energy_eV=3.0e5), ["300keV"]),
        ]
        for kwargs, args in cases:
            with self.subTest(**{k: str(v) for k, v in kwargs.items()}):
                self.assertEqual(zandor.find(**kwargs), cli("find", *args, "--json").json()["candidates"])


class Read(unittest.TestCase):
    def assertLikeInfo(self, s, info):
        self.assertEqual(s.offset_eV, info["offset_eV"])
        self.assertEqual(s.gain_eV, info["gain_eV"])
        self.assertEqual(s.beam_kV, info["beam_kV"])
        self.assertEqual(s.live_time_s, info["live_time_s"])
        self.assertEqual(s.title or None, info["title"])
        self.assertEqual(s.format, info["format"])
        self.assertEqual(s.warnings, info["warnings"])
        self.assertEqual(float(s.counts.sum(dtype=np.float64)), info["total_counts"])

    def test_spectra(self):
        for name in SPECTRA:
            with self.subTest(name=name):
                path = os.path.join(MEASURED, name)
                s = zandor.read(path)
                info = cli("info", path, "--json").json()
                self.assertIsInstance(s, zandor.Spectrum)
                self.assertEqual(s.counts.shape, (info["channels"],))
                self.assertEqual(s.counts.dtype, np.float64)
                self.assertEqual(s.path, path)
                self.assertLikeInfo(s, info)

    def test_images(self):
        # The same phantom in every layout and type the readers know: the
        # same counts, in the type the file stores.
        common = ["--size", "24x16", "--channels", "512", "--counts-per-pixel", "60", "--seed", "7"]
        with scratch() as d:
            reference = zandor.read(phantom(d, "ref.rpl", *common)).counts
            files = [
                ("u8.rpl", ["--data-type", "uint8"], "uint8"),
                ("i32be.rpl", ["--data-type", "int32", "--big-endian"], "int32"),
                ("f64image.rpl", ["--data-type", "float64", "--record-by", "image"], "float64"),
                ("v2.bcf", ["--bcf-version", "2"], None),
                ("packed.bcf", ["--packing", "packed"], None),
            ]
            for name, options, dtype in files:
                with self.subTest(name=name):
                    path = phantom(d, name, *common, *options)
                    s = zandor.read(path)
                    info = cli("info", path, "--json").json()
                    self.assertIsInstance(s, zandor.SpectrumImage)
                    self.assertEqual(s.shape, (info["height"], info["width"], info["channels"]))
                    self.assertEqual(s.counts.shape, s.shape)
                    self.assertEqual(s.counts.dtype, s.dtype)
                    if dtype:
                        self.assertEqual(s.dtype, np.dtype(dtype))
                    self.assertTrue(np.array_equal(s.counts, reference))
                    self.assertFalse(s.counts.flags.writeable)
                    self.assertTrue(np.array_equal(s.sum().counts, s.counts.sum(axis=(0, 1))))
                    self.assertLikeInfo(s, dict(info, live_time_s=s.live_time_s, title=s.title or None))

    def test_counts_outlive_their_image(self):
        # The array holds the only reference to the image whose memory it is.
        with scratch() as d:
            path = phantom(d, "p.rpl", "--size", "8x4", "--channels", "64")
            counts = zandor.read(path).counts
            gc.collect()
            self.assertTrue(np.array_equal(counts, zandor.read(path).counts))


class Identify(unittest.TestCase):
    def test_measured(self):
        paths = [os.path.join(MEASURED, name) for name in SPECTRA]
        answers = cli("identify", *paths, "--json").json()
        for path, answer in zip(paths, answers):
            with self.subTest(name=os.path.basename(path)):
                self.assertEqual(zandor.identify(zandor.read(path)), answer)

    def test_options(self):
        path = os.path.join(MEASURED, "K411-K412_K411_std.msa")
        cases = [
            (dict(detector="si", fwhm_eV=135.0, beam_kV=20.0), ["--fwhm", "135eV", "--beam", "20kV"]),
            (dict(exclude=("O", "C"), require=["Cu"]), ["--exclude", "O,C", "--require", "Cu"]),
            (dict(allow="Xe", xrf=True, tube="Mo"), ["--allow", "Xe", "--xrf", "--tube", "Mo"]),
        ]
        s = zandor.read(path)
        for kwargs, args in cases:
            with self.subTest(**{k: str(v) for k, v in kwargs.items()}):
                self.assertEqual(zandor.identify(s, **kwargs), cli("identify", path, *args, "--json").json())

    def test_bare_counts(self):
        path = os.path.join(MEASURED, "Benitoite_Benitoite_std.msa")
        s = zandor.read(path)
        answer = cli("identify", path, "--json").json()
        bare = zandor.identify(s.counts.astype(np.int32), offset_eV=s.offset_eV, gain_eV=s.gain_eV,
                               beam_kV=s.beam_kV)
        self.assertIsNone(bare["file"])
        self.assertEqual(dict(bare, file=path), answer)
        made = zandor.Spectrum(s.counts, s.offset_eV, s.gain_eV, beam_kV=s.beam_kV)
        self.assertEqual(zandor.identify(made), bare)

    def test_image_sum(self):
        # An image is identified by its sum spectrum, as `zandor convert`
        # writes it.
        with scratch() as d:
            path = phantom(d, "p.rpl", "--size", "32x32", "--channels", "2048", "--counts-per-pixel", "400")
            msa = os.path.join(d, "sum.msa")
            self.assertEqual(cli("convert", path, msa).status, 0)
            expected = cli("identify", msa, "--json").json()
            found = zandor.identify(zandor.read(path))
            self.assertEqual(found["file"], path)
            self.assertEqual([e["element"] for e in found["elements"]], [e["element"] for e in expected["elements"]])


if __name__ == "__main__":
    unittest.main()
