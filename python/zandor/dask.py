"""Element maps of Dask arrays: zandor.dask.element_maps."""
