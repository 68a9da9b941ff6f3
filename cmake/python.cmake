# The Python module (python/), built when pybind11 and the headers of
# Debian's Python 3 are found. Debian's Python is the one the package
# installs the module for: a Python of one's own that comes first on PATH
# (pyenv) has neither Debian's packages nor its module directory, so
# /usr/bin/python3 is chosen where it exists, unless Python3_EXECUTABLE
# says otherwise.
#
# ZANDOR_PYTHON_FOUND tells the tests whether the module is built;
# ZANDOR_PYTHON_INSTALL_DIR is where it goes, relative to the prefix
# (Debian's directory of packages for every Python 3).
set(ZANDOR_PYTHON_FOUND OFF)
set(ZANDOR_PYTHON_INSTALL_DIR lib/python3/dist-packages CACHE STRING
    "Where the Python module is installed, relative to the prefix")
# A module built with the sanitizers cannot be loaded by a Python that is
# not: the sanitizer build (scripts/sanitize.sh) goes without it.
if(ZANDOR_PYTHON AND CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
    message(STATUS "Python module: not built with the sanitizers")
elseif(ZANDOR_PYTHON)
    if(NOT Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
        set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The Python the module is built for")
    endif()
    find_package(Python3 3.8 COMPONENTS Interpreter Development.Module)
    if(Python3_FOUND)
        find_package(pybind11 2.6 CONFIG QUIET)
    endif()
    if(Python3_FOUND AND pybind11_FOUND)
        message(STATUS "Python module: for ${Python3_EXECUTABLE} (${Python3_VERSION}), pybind11 ${pybind11_VERSION}")
        set(ZANDOR_PYTHON_FOUND ON)
        math(EXPR ZANDOR_PYTHON_NEXT_MINOR "${Python3_VERSION_MINOR} + 1")
        add_subdirectory(python)
    else()
        message(STATUS "Python module: not built (needs pybind11-dev and python3-dev)")
    endif()
endif()
