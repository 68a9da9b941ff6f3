"""What the Python module's tests share: the built program and generator,
the command line run as a user runs it, and synthetic spectrum images.

The test command (ctest) sets ZANDOR_PROGRAM, ZANDOR_SYNTH and
ZANDOR_SOURCE_DIR, and PYTHONPATH to the module in the build tree."""
import json
import os
import subprocess
import tempfile

PROGRAM = os.environ["ZANDOR_PROGRAM"]
SYNTH = os.environ["ZANDOR_SYNTH"]
SOURCE_DIR = os.environ["ZANDOR_SOURCE_DIR"]
MEASURED = os.path.join(SOURCE_DIR, "bench", "measured", "spectra")


class Run:
    def __init__(self, status, out, err):
        self.status, self.out, self.err = status, out, err

    def json(self):
        return json.loads(self.out)

    def message(self):
        """The one line on stderr without its 'zandor SUBCOMMAND: ' prefix."""
        line = self.err.strip().splitlines()[-1]
        return line.split(": ", 1)[1]


def cli(*args):
    """Runs `zandor ARGS...` and returns its status and streams."""
    done = subprocess.run([PROGRAM, *map(str, args)], capture_output=True, text=True,
                          env=dict(os.environ, LC_ALL="C.UTF-8"))
    return Run(done.returncode, done.stdout, done.stderr)


def phantom(directory, name, *options):
    """Writes a phantom spectrum image (zandor-synth --phantom) into directory
    and returns its path; name ends in .rpl or .bcf."""
    path = os.path.join(directory, name)
    subprocess.run([SYNTH, "--phantom", path, *map(str, options)], check=True,
                   capture_output=True)
    return path


def scratch():
    return tempfile.TemporaryDirectory(prefix="zandor-python-")
