# Packaging with CPack. scripts/package.sh configures a release build for the
# /usr prefix and runs `cpack -G DEB` on it; the package's file name and its
# dependencies come from here.

set(CPACK_PACKAGE_NAME zandor)
set(CPACK_PACKAGE_VENDOR "The Zandor developers")
set(CPACK_PACKAGE_CONTACT "The Zandor developers <zandor@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/zandor")
# The program is under the MIT licence; the licence of each data source is
# in share/copyright, installed as /usr/share/doc/zandor/copyright.
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/")

# Debian package. Installed under /usr whatever prefix the build was
# configured with: the program finds its data relative to its own directory.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The Qt 6 libraries, libc and libstdc++ come from dpkg-shlibdeps (Debian's
# libqt6gui6 also carries the xcb platform plugin). The fonts that stand in
# for the window's classic faces are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# The Python module (python/), where it is built: it is compiled for the
# Python 3 it was built with, and takes and gives NumPy arrays; Dask is
# for zandor.dask only.
if(ZANDOR_PYTHON_FOUND)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
        "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${ZANDOR_PYTHON_NEXT_MINOR}), python3-numpy")
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-dask, python3-distributed")
endif()
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents this body
# and marks its empty lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Zandor is a desktop reference for X-ray spectroscopy, for the scientist at an
electron microscope with an EDS detector or at an X-ray fluorescence bench.
Point at an element of the periodic table (or type its atomic number or
symbol) and Zandor shows its basic data and the energies of its X-ray lines
Ka1, Ka2, Kb, La1, La2, Lb1, Lb2 and Lg1, each with the energy at which its
escape peak lands in a silicon detector.

The interface starts in Portuguese and switches to English from the File
menu.

The Python module zandor gives the same answers to scripts (lines, the
line finder, the spectrum readers, identification, element maps), and
zandor.dask spreads element maps over a Dask cluster.")

include(CPack)
