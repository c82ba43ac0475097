# Finds the GNU Linear Programming Kit (Debian: libglpk-dev), which ships no CMake or
# pkg-config files of its own. Defines GLPK::GLPK and GLPK_VERSION.
find_path(GLPK_INCLUDE_DIR glpk.h)
find_library(GLPK_LIBRARY NAMES glpk)

if(GLPK_INCLUDE_DIR AND EXISTS "${GLPK_INCLUDE_DIR}/glpk.h")
  file(STRINGS "${GLPK_INCLUDE_DIR}/glpk.h" _glpk_major REGEX "#define GLP_MAJOR_VERSION")
  file(STRINGS "${GLPK_INCLUDE_DIR}/glpk.h" _glpk_minor REGEX "#define GLP_MINOR_VERSION")
  string(REGEX REPLACE ".*VERSION +([0-9]+).*" "\\1" _glpk_major "${_glpk_major}")
  string(REGEX REPLACE ".*VERSION +([0-9]+).*" "\\1" _glpk_minor "${_glpk_minor}")
  set(GLPK_VERSION "${_glpk_major}.${_glpk_minor}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GLPK
  REQUIRED_VARS GLPK_LIBRARY GLPK_INCLUDE_DIR
  VERSION_VAR GLPK_VERSION)

if(GLPK_FOUND AND NOT TARGET GLPK::GLPK)
  add_library(GLPK::GLPK UNKNOWN IMPORTED)
  set_target_properties(GLPK::GLPK PROPERTIES
    IMPORTED_LOCATION "${GLPK_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${GLPK_INCLUDE_DIR}")
endif()
mark_as_advanced(GLPK_INCLUDE_DIR GLPK_LIBRARY)
