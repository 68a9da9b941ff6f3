"""Element maps on a Dask cluster, fitted chunk by chunk where the chunks are.

    import zandor, zandor.dask
    cube = zandor.dask.read("map.bcf")              # (height, width, channels), in row chunks
    maps = zandor.dask.element_maps(cube, -475.0, 10.0, ["Fe", "Cr"])
    fe = maps["Fe"].compute()                        # float32 (height, width): net counts

element_maps sums the cube when called (through the scheduler in use: on the
cluster when a dask.distributed Client is active), makes the map model from
that sum once, in this process, and returns lazy maps. The model is one piece
of the task graph, sent once to each worker that needs it (it pickles as a
few hundred kilobytes of plain numbers); each chunk of pixels is fitted on its
worker by zandor's own fit, with the GIL released. The maps equal those of
zandor.element_maps on the same counts.

image_maps does the same for files, many at once: the sums of every file in
one pass over the cluster, then the maps of every file.
"""
import functools
import os

import dask
import dask.array as da
import numpy as np

from . import _zandor

__all__ = ["element_maps", "fit_maps", "image_maps", "read"]


def _cube(cube):
    cube = da.asarray(cube)
    if cube.ndim != 3:
        raise ValueError(f"a cube of counts is (height, width, channels), not {cube.ndim} dimensions")
    return cube


def _sum(cube):
    # Integer counts add up exactly in float64 (up to 2**53), as zandor's own sum.
    return cube.sum(axis=(0, 1), dtype=np.float64)


def element_maps(cube, offset_eV, gain_eV, elements=None, beam_kV=None, detector="si", fwhm_eV=None,
                 threads=1):
    """Element maps of a Dask (or NumPy) cube of counts (height, width, channels):
    a dict element -> lazy float32 (height, width) array of its net counts.
    The arguments are those of zandor.element_maps; threads is per chunk, 1 by
    default (a worker fits several chunks at once already)."""
    cube = _cube(cube)
    total = _sum(cube).compute()
    model = _zandor.map_model(total, offset_eV, gain_eV, elements, beam_kV=beam_kV, detector=detector,
                              fwhm_eV=fwhm_eV)
    return fit_maps(cube, model, threads)


def fit_maps(cube, model, threads=1):
    """The maps of a cube fitted with a zandor.MapModel made beforehand
    (zandor.map_model): a dict element -> lazy float32 (height, width) array."""
    cube = _cube(cube)
    if cube.shape[2] != model.channels:
        raise ValueError(f"the cube has {cube.shape[2]} channels and the model was made for {model.channels}")
    # Each block holds whole spectra.
    cube = cube.rechunk({2: -1})
    shipped = dask.delayed(model, pure=True)
    stack = cube.map_blocks(_fit_block, shipped, threads, dtype=np.float32, drop_axis=2, new_axis=0,
                            chunks=((len(model.elements),),) + cube.chunks[:2],
                            meta=np.empty((0, 0, 0), np.float32))
    return {element: stack[i] for i, element in enumerate(model.elements)}


def _fit_block(block, model, threads):
    return model.fit(block, threads=threads)


def image_maps(paths, elements=None, beam_kV=None, detector="si", fwhm_eV=None, rows=None, threads=1):
    """Element maps of spectrum-image files (.bcf, .rpl): a dict path ->
    {element: lazy float32 (height, width)}, each file's as zandor.element_maps
    makes them from zandor.read(path) (its calibration, beam and detector
    resolution the file's). The files are summed on the cluster, all in one
    pass, and every worker must see them at the same paths."""
    paths = [str(p) for p in paths]
    images = [_zandor.read(p) for p in paths]
    for path, image in zip(paths, images):
        if not isinstance(image, _zandor.SpectrumImage):
            raise ValueError(f"{path!r} holds a single spectrum, not a spectrum image")
    cubes = [read(p, rows) for p in paths]
    sums = dask.compute(*[_sum(c) for c in cubes])
    maps = {}
    for path, image, cube, total in zip(paths, images, cubes, sums):
        model = _zandor.map_model(image.sum_of(total), elements=elements, beam_kV=beam_kV, detector=detector,
                                  fwhm_eV=fwhm_eV)
        maps[path] = fit_maps(cube, model, threads)
    return maps


def read(path, rows=None):
    """A spectrum image (.bcf, .rpl) as a Dask array (height, width, channels)
    of the stored type, in chunks of whole rows (about 64 MiB unless rows
    says how many). Each chunk is decoded on the worker that needs it, so the
    workers must see the file at the same path."""
    path = str(path)
    image = _zandor.read(path)
    if not isinstance(image, _zandor.SpectrumImage):
        raise ValueError(f"{path!r} holds a single spectrum, not a spectrum image")
    height, width, channels = image.shape
    if rows is None:
        row_bytes = width * channels * image.dtype.itemsize
        rows = max(1, min(height, (64 << 20) // max(1, row_bytes)))
    if rows < 1:
        raise ValueError(f"rows {rows} is not a number of rows of at least 1")
    # The file's size and time of change go with each chunk: a worker reopens
    # a file that was written again since it opened it.
    stat = os.stat(path)
    version = (stat.st_size, stat.st_mtime_ns)
    blocks = [da.from_delayed(dask.delayed(_read_rows, pure=True)(path, version, y, min(y + rows, height)),
                              (min(y + rows, height) - y, width, channels), image.dtype)
              for y in range(0, height, rows)]
    return da.concatenate(blocks, axis=0)


@functools.lru_cache(maxsize=8)
def _opened(path, version):
    # Opening a .bcf indexes its rows: each worker opens a file once.
    return _zandor.read(path)


def _read_rows(path, version, first, stop):
    return _opened(path, version).rows(first, stop)
