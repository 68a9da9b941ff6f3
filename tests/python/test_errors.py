"""Bad arguments raise ValueError and unreadable files OSError, each with the
command line's message (its options named as Python names them)."""
import os
import unittest

import numpy as np

import zandor
from support import MEASURED, cli, phantom, scratch

# The command line's option names and Python's.
NAMES = {"--fwhm": "fwhm_eV", "--beam": "beam_kV", "--elements": "elements", "--limit": "limit",
         "--tolerance": "tolerance_eV", "--exclude": "exclude", "--require": "require", "--tube": "tube",
         "--allow": "allow", "--threads": "threads", "--detector": "detector", "energy ": "energy_eV "}

K411 = os.path.join(MEASURED, "K411-K412_K411_std.msa")


def pythonNames(message):
    for option, name in NAMES.items():
        message = message.replace(option, name)
    return message


class BadValues(unittest.TestCase):
    def test_same_message_as_the_command_line(self):
        cases = [
            (lambda: zandor.lines("Xx"), ["lines", "Xx"]),
            (lambda: zandor.edges(0), ["edges", "0"]),
            (lambda: zandor.find(-5.0), ["find", "-5eV"]),
            (lambda: zandor.find(float("nan")), ["find", "nan"]),
            (lambda: zandor.find(6400, detector="nai"), ["find", "6.4keV", "--detector", "nai"]),
            (lambda: zandor.find(6400, fwhm_eV=5000), ["find", "6.4keV", "--fwhm", "5000eV"]),
            (lambda: zandor.find(6400, beam_kV=2000), ["find", "6.4keV", "--beam", "2000kV"]),
            (lambda: zandor.find(6400, elements="Fe,,Cu"), ["find", "6.4keV", "--elements", "Fe,,Cu"]),
            (lambda: zandor.find(6400, elements=["Fe", "Qq"]), ["find", "6.4keV", "--elements", "Fe,Qq"]),
            (lambda: zandor.find(6400, limit=-1), ["find", "6.4keV", "--limit", "-1"]),
            (lambda: zandor.find(6400, tolerance_eV=2e4), ["find", "6.4keV", "--tolerance", "20000eV"]),
            (lambda: zandor.identify(zandor.read(K411), require="H"), ["identify", K411, "--require", "H"]),
            (lambda: zandor.identify(zandor.read(K411), require="Cu", exclude="Cu"),
             ["identify", K411, "--require", "Cu", "--exclude", "Cu"]),
            (lambda: zandor.identify(zandor.read(K411), tube="Fe,Cu"), ["identify", K411, "--tube", "Fe,Cu"]),
        ]
        for call, args in cases:
            with self.subTest(args=" ".join(args[:1] + args[2:] if args[0] == "identify" else args)):
                run = cli(*args)
                self.assertEqual(run.status, 2)
                with self.assertRaises(ValueError) as raised:
                    call()
                self.assertEqual(str(raised.exception), pythonNames(run.message()))

    def test_uncalibrated(self):
        with scratch() as d:
            path = os.path.join(d, "counts.txt")
            with open(path, "w") as f:
                f.write("\n".join(str(10 + (i % 7)) for i in range(1024)) + "\n")
            run = cli("identify", path)
            self.assertEqual(run.status, 1)
            with self.assertRaises(ValueError) as raised:
                zandor.identify(zandor.read(path))
            self.assertEqual(str(raised.exception), run.message())
            with self.assertRaises(ValueError):
                zandor.identify(np.ones(1024))

    def test_python_values(self):
        s = zandor.read(K411)
        cases = [
            (ValueError, lambda: zandor.identify(s.counts, offset_eV=0.0, gain_eV=0.0)),
            (ValueError, lambda: zandor.identify(s.counts, offset_eV=0.0)),
            (ValueError, lambda: zandor.identify(np.ones((4, 1024)), offset_eV=0.0, gain_eV=10.0)),
            (ValueError, lambda: zandor.identify(np.array([1.0, np.inf, 2.0]), offset_eV=0.0, gain_eV=10.0)),
            (ValueError, lambda: zandor.Spectrum(np.ones(8), 0.0, -1.0)),
            (TypeError, lambda: zandor.find(6400, elements=3.5)),
            (TypeError, lambda: zandor.find(6400, elements=["Fe", 2.5])),
            (TypeError, lambda: zandor.identify("not a spectrum")),
        ]
        for error, call in cases:
            with self.subTest(error=error.__name__):
                self.assertRaises(error, call)


class UnreadableFiles(unittest.TestCase):
    def test_same_message_as_info(self):
        with scratch() as d:
            good = phantom(d, "good.bcf", "--size", "16x16", "--channels", "256")
            with open(good, "rb") as f:
                data = f.read()
            files = {
                "missing": os.path.join(d, "missing.msa"),
                "directory": d,
                "empty": os.path.join(d, "empty.msa"),
                "truncated bcf": os.path.join(d, "truncated.bcf"),
                "ripple without raw": os.path.join(d, "alone.rpl"),
            }
            open(files["empty"], "w").close()
            with open(files["truncated bcf"], "wb") as f:
                f.write(data[: len(data) * 2 // 3])
            with open(files["ripple without raw"], "w") as f:
                f.write("width\t4\nheight\t4\ndepth\t16\ndata-type\tunsigned\ndata-length\t2\n")
            for what, path in files.items():
                with self.subTest(what=what):
                    run = cli("info", path)
                    self.assertEqual(run.status, 1)
                    with self.assertRaises(OSError) as raised:
                        s = zandor.read(path)
                        s.counts  # an image's damage may show only when its pixels are decoded
                    self.assertEqual(str(raised.exception), run.message())


if __name__ == "__main__":
    unittest.main()
