# The Python package's switch, decided before any target is made: the engine is compiled as
# position-independent code when a Python module is to be linked against it.
#
# The interpreter is the one Debian's python3-pybind11 and python3-numpy serve (/usr/bin/python3)
# unless Python3_EXECUTABLE names another: a pyenv or venv python3 first on PATH lacks them.
# MORVIK_PYTHON is on by default when pybind11 is found, and off in the sanitizer and fuzzing
# builds (a sanitized module cannot be loaded by a plain interpreter).
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The interpreter of the Python package")
endif()

set(MORVIK_PYTHON_DEFAULT OFF)
if(NOT MORVIK_SANITIZE AND NOT MORVIK_TSAN AND NOT MORVIK_FUZZ)
  find_package(Python3 COMPONENTS Interpreter Development.Module QUIET)
  if(Python3_FOUND)
    set(PYBIND11_FINDPYTHON ON)
    find_package(pybind11 CONFIG QUIET)
    if(pybind11_FOUND)
      set(MORVIK_PYTHON_DEFAULT ON)
    endif()
  endif()
endif()
option(MORVIK_PYTHON "Build the Python package (needs pybind11 and Python 3)" ${MORVIK_PYTHON_DEFAULT})
if(MORVIK_PYTHON AND NOT pybind11_FOUND)
  message(FATAL_ERROR "MORVIK_PYTHON needs pybind11 (Debian: pybind11-dev python3-pybind11)")
endif()
if(MORVIK_PYTHON)
  message(STATUS "The Python package is built for ${Python3_EXECUTABLE}")
  # Without semantic interposition the compiler still inlines across the engine's functions,
  # so position-independent code costs the command line nothing measurable.
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fno-semantic-interposition)

  # Installed into the interpreter's own folder under the prefix: on Debian
  # lib/python3.X/dist-packages, which /usr/local and /usr both put on sys.path.
  execute_process(COMMAND ${Python3_EXECUTABLE} -c [=[
import os, sysconfig
scheme = sysconfig.get_default_scheme() if hasattr(sysconfig, "get_default_scheme") else "posix_prefix"
path = os.path.relpath(sysconfig.get_path("platlib", scheme, vars={"base": "/@", "platbase": "/@"}), "/@")
print(path[len("local/"):] if path.startswith("local/") else path, end="")
]=] OUTPUT_VARIABLE MORVIK_PYTHON_SITE RESULT_VARIABLE site_status)
  if(NOT site_status EQUAL 0 OR MORVIK_PYTHON_SITE STREQUAL "")
    set(MORVIK_PYTHON_SITE lib/python${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}/site-packages)
  endif()
  set(MORVIK_PYTHON_INSTALL_DIR ${MORVIK_PYTHON_SITE} CACHE STRING
    "Where the Python package is installed, under the prefix")
else()
  message(STATUS "The Python package is not built (MORVIK_PYTHON off or pybind11 missing)")
endif()
