"""Element maps: zandor.element_maps against `zandor map` on the same file,
the model shipped as bytes, zandor.dask on a LocalCluster, their errors, and
the GIL released while they fit."""
import os
import pickle
import threading
import time
import unittest
import warnings

import numpy as np

import zandor
from support import cli, phantom, scratch
from test_errors import pythonNames

ELEMENTS = ["C", "O", "Si", "Ti", "V", "W"]


def setUpModule():
    global DIR, RPL, BCF
    warnings.simplefilter("ignore", UserWarning)  # identification's notes
    DIR = scratch()
    common = ["--size", "40x24", "--counts-per-pixel", "800", "--seed", "3"]
    RPL = phantom(DIR.name, "p.rpl", *common)
    BCF = phantom(DIR.name, "p.bcf", *common)


def tearDownModule():
    DIR.cleanup()


def cli_maps(path, *options):
    out = os.path.join(DIR.name, "out-" + os.path.basename(path) + "-" + str(len(options)))
    run = cli("map", path, "--out", out, "--json", *options)
    assert run.status == 0, run.err
    return {e["element"]: np.load(os.path.join(out, e["map"])) for e in run.json()["elements"]}


def assertSameMaps(test, found, expected):
    test.assertEqual(list(found), list(expected))
    for element in expected:
        test.assertEqual(found[element].dtype, np.float32)
        test.assertTrue(np.array_equal(found[element], expected[element], equal_nan=True), element)


class SameAsTheCommandLine(unittest.TestCase):
    def test_files(self):
        # Streamed from the file, the elements identified or given.
        cases = [(RPL, {}, []), (BCF, {}, []), (RPL, dict(elements=ELEMENTS), ["--elements", ",".join(ELEMENTS)]),
                 (BCF, dict(elements="Ti,V", detector="si", fwhm_eV=129.0, beam_kV=20.0, threads=1),
                  ["--elements", "Ti,V", "--fwhm", "129eV", "--beam", "20kV", "--threads", "1"])]
        for path, kwargs, options in cases:
            with self.subTest(file=os.path.basename(path), options=" ".join(options)):
                assertSameMaps(self, zandor.element_maps(zandor.read(path), **kwargs), cli_maps(path, *options))

    def test_arrays_of_any_type(self):
        # The counts in place, in any type and byte order, and in pieces:
        # each pixel's maps are its own.
        image = zandor.read(RPL)
        expected = cli_maps(RPL, "--elements", ",".join(ELEMENTS), "--beam", "20kV")
        counts = image.counts
        for dtype in ["uint16", "int32", ">u4", "float32", "float64", "uint64"]:
            with self.subTest(dtype=dtype):
                maps = zandor.element_maps(counts.astype(dtype), image.offset_eV, image.gain_eV, ELEMENTS,
                                           beam_kV=20.0)
                assertSameMaps(self, maps, expected)
        strided = np.ascontiguousarray(counts[:, ::-1])[:, ::-1]  # not C-contiguous: copied
        assertSameMaps(self, zandor.element_maps(strided, image.offset_eV, image.gain_eV, ELEMENTS, beam_kV=20.0),
                       expected)

    def test_model_shipped_as_bytes(self):
        image = zandor.read(BCF)
        expected = zandor.element_maps(image)
        model = pickle.loads(pickle.dumps(zandor.map_model(image.sum())))
        self.assertEqual(model.elements, list(expected))
        counts = image.counts
        halves = [model.fit(counts[:10]), model.fit(counts[10:], threads=0)]
        self.assertEqual(halves[0].shape, (len(model.elements), 10, counts.shape[1]))
        pixels = model.fit(counts.reshape(-1, counts.shape[2]))
        for i, element in enumerate(model.elements):
            self.assertTrue(np.array_equal(np.concatenate([h[i] for h in halves]), expected[element]))
            self.assertTrue(np.array_equal(pixels[i].reshape(counts.shape[:2]), expected[element]))
        self.assertIsNotNone(zandor.MapModel.from_bytes(model.to_bytes()))


class Dask(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        from dask.distributed import Client, LocalCluster
        cls.cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None)
        cls.client = Client(cls.cluster)

    @classmethod
    def tearDownClass(cls):
        cls.client.close()
        cls.cluster.close()

    def test_equal_to_the_fit_in_process(self):
        import zandor.dask
        for path in [RPL, BCF]:
            with self.subTest(file=os.path.basename(path)):
                image = zandor.read(path)
                maps = zandor.dask.image_maps([path], rows=5)[path]
                assertSameMaps(self, {e: m.compute() for e, m in maps.items()}, zandor.element_maps(image))
                cube = zandor.dask.read(path, rows=7)
                lazy = zandor.dask.element_maps(cube, image.offset_eV, image.gain_eV, ELEMENTS, beam_kV=20.0)
                assertSameMaps(self, {e: m.compute() for e, m in lazy.items()},
                               zandor.element_maps(image.counts, image.offset_eV, image.gain_eV, ELEMENTS,
                                                   beam_kV=20.0))


class Errors(unittest.TestCase):
    def test_same_message_as_the_command_line(self):
        image = zandor.read(RPL)
        cases = [
            (dict(elements="Fe,Qq"), ["--elements", "Fe,Qq"]),
            (dict(elements=["Fe", "H"]), ["--elements", "Fe,H"]),
            (dict(threads=5000), ["--threads", "5000"]),
            (dict(detector="nai"), ["--detector", "nai"]),
            (dict(fwhm_eV=4000.0), ["--fwhm", "4000eV"]),
        ]
        for kwargs, options in cases:
            with self.subTest(options=" ".join(options)):
                run = cli("map", RPL, "--out", os.path.join(DIR.name, "bad"), *options)
                self.assertEqual(run.status, 2)
                with self.assertRaises(ValueError) as raised:
                    zandor.element_maps(image, **kwargs)
                self.assertEqual(str(raised.exception), pythonNames(run.message()))

    def test_uncalibrated_file(self):
        with scratch() as d:
            path = phantom(d, "u.rpl", "--size", "8x8", "--channels", "256")
            with open(path) as f:
                header = [line for line in f if not line.lower().startswith(("ev-per-chan", "depth-scale"))]
            with open(path, "w") as f:
                f.writelines(header)
            run = cli("map", path, "--out", os.path.join(d, "out"))
            self.assertEqual(run.status, 1)
            with self.assertRaises(OSError) as raised:
                zandor.element_maps(zandor.read(path))
            self.assertEqual(str(raised.exception), run.message())

    def test_bad_arrays(self):
        counts = zandor.read(RPL).counts
        model = zandor.map_model(zandor.read(RPL).sum(), elements="Ti")
        cases = [
            (ValueError, lambda: zandor.element_maps(counts[0], 0.0, 10.0, "Fe")),
            (ValueError, lambda: zandor.element_maps(counts, None, None, "Fe")),
            (ValueError, lambda: zandor.element_maps(counts, 0.0, -10.0, "Fe")),
            (ValueError, lambda: zandor.element_maps(counts.astype(bool), 0.0, 10.0, "Fe")),
            (ValueError, lambda: zandor.element_maps(counts.astype(complex), 0.0, 10.0, "Fe")),
            (ValueError, lambda: model.fit(counts[:, :, :100])),
            (ValueError, lambda: model.fit(counts, threads=-1)),
            (ValueError, lambda: zandor.MapModel.from_bytes(b"not a model")),
            (ValueError, lambda: zandor.element_maps("p.rpl", 0.0, 10.0)),
        ]
        for error, call in cases:
            with self.subTest(case=cases.index((error, call))):
                self.assertRaises(error, call)


class GilReleased(unittest.TestCase):
    """While a call fits, another Python thread runs: it could not if the
    call held the GIL."""

    def assertOthersRun(self, call):
        samples = []
        stop = threading.Event()

        def tick():
            while not stop.is_set():
                samples.append(time.perf_counter())

        ticker = threading.Thread(target=tick)
        ticker.start()
        time.sleep(0.05)
        start = time.perf_counter()
        call()
        end = time.perf_counter()
        stop.set()
        ticker.join()
        # The ticks in the middle of the call, away from its ends.
        margin = (end - start) / 4
        during = sum(1 for t in samples if start + margin < t < end - margin)
        self.assertGreater(during, 100, f"another thread ran {during} times in {end - start:.3f} s")

    def test_calls_release_the_gil(self):
        big = np.tile(zandor.read(RPL).counts, (4, 2, 1))
        image = zandor.read(RPL)
        model = zandor.map_model(image.sum(), elements=ELEMENTS)
        spectrum = big.sum(axis=(0, 1)).astype(np.float64)
        calls = {
            "element_maps": lambda: zandor.element_maps(big, image.offset_eV, image.gain_eV, ELEMENTS, threads=1),
            "fit": lambda: [model.fit(big, threads=1) for _ in range(3)],
            "identify": lambda: zandor.identify(spectrum, offset_eV=image.offset_eV, gain_eV=image.gain_eV),
        }
        for name, call in calls.items():
            with self.subTest(call=name):
                self.assertOthersRun(call)


if __name__ == "__main__":
    unittest.main()
