# Finds libdeflate (fast whole-buffer DEFLATE, CRC-32) and defines the one
# target the tree links, Libdeflate::Libdeflate. Natively it is Debian's
# libdeflate-dev; in the Windows builds scripts/setup cross-builds it from
# Debian's source package into PAGEWELL_THIRD_PARTY as a static library,
# which the toolchain's find root path makes the only place searched.
find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h)
if(WIN32)
  find_library(LIBDEFLATE_LIBRARY NAMES libdeflate.a deflate)
else()
  find_library(LIBDEFLATE_LIBRARY NAMES deflate)
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Libdeflate REQUIRED_VARS LIBDEFLATE_LIBRARY LIBDEFLATE_INCLUDE_DIR)

if(Libdeflate_FOUND AND NOT TARGET Libdeflate::Libdeflate)
  add_library(Libdeflate::Libdeflate UNKNOWN IMPORTED)
  set_target_properties(Libdeflate::Libdeflate PROPERTIES
    IMPORTED_LOCATION "${LIBDEFLATE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${LIBDEFLATE_INCLUDE_DIR}")
endif()
mark_as_advanced(LIBDEFLATE_INCLUDE_DIR LIBDEFLATE_LIBRARY)
