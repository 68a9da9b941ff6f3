"""The worked example of docs/python.md, run as a user runs it: element maps
of a folder of spectrum images on a LocalCluster, written as .npy files
that equal zandor.element_maps on each file."""
import os
import re
import subprocess
import sys
import unittest
import warnings

import numpy as np

import zandor
from support import SOURCE_DIR, phantom, scratch


def example():
    """The Python block after the "<!-- example: dask -->" mark of docs/python.md."""
    with open(os.path.join(SOURCE_DIR, "docs", "python.md"), encoding="utf-8") as f:
        text = f.read()
    found = re.search(r"<!-- example: dask -->.*?```python\n(.*?)```", text, re.S)
    assert found, "docs/python.md has no example marked <!-- example: dask -->"
    return found.group(1)


class WorkedExample(unittest.TestCase):
    def test_folder_on_a_local_cluster(self):
        warnings.simplefilter("ignore", UserWarning)
        with scratch() as d:
            folder, out = os.path.join(d, "images"), os.path.join(d, "maps")
            os.mkdir(folder)
            paths = [phantom(folder, "a.bcf", "--size", "32x20", "--counts-per-pixel", "600", "--seed", "1"),
                     phantom(folder, "b.rpl", "--size", "24x24", "--counts-per-pixel", "600", "--seed", "2")]
            script = os.path.join(d, "maps_of_folder.py")
            with open(script, "w") as f:
                f.write(example())
            run = subprocess.run([sys.executable, script, folder, out], capture_output=True, text=True,
                                 timeout=240)
            self.assertEqual(run.returncode, 0, run.stderr)
            for path in paths:
                with self.subTest(file=os.path.basename(path)):
                    expected = zandor.element_maps(zandor.read(path))
                    stem = os.path.splitext(os.path.basename(path))[0]
                    written = sorted(os.listdir(os.path.join(out, stem)))
                    self.assertEqual(written, sorted(f"{e}.npy" for e in expected))
                    for element, m in expected.items():
                        self.assertTrue(np.array_equal(np.load(os.path.join(out, stem, f"{element}.npy")), m))
                    self.assertIn(path, run.stdout)


if __name__ == "__main__":
    unittest.main()
