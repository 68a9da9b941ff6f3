"""Zandor for Python: the X-ray line table, the spectrum readers, identification
and element maps of the zandor program, giving the same answers as its command
line. zandor.dask spreads element maps over a Dask cluster.

    >>> import zandor
    >>> zandor.find(6400.0)[0]["element"]
    'Fe'
"""
from ._zandor import *  # noqa: F401,F403
from ._zandor import __version__  # noqa: F401


def __getattr__(name):
    # zandor.dask needs Dask: it is imported when first used.
    if name == "dask":
        import importlib
        return importlib.import_module(".dask", __name__)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
