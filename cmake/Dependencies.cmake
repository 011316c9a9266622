# Third-party libraries. Natively they come from Debian's -dev packages; in
# the Windows builds zlib comes from Debian's mingw package and libjpeg-turbo,
# libdeflate and GoogleTest are cross-built by scripts/setup into
# PAGEWELL_THIRD_PARTY.

find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
# Libdeflate::Libdeflate (cmake/FindLibdeflate.cmake).
find_package(Libdeflate REQUIRED)

if(WIN32)
  set(PAGEWELL_THIRD_PARTY "${CMAKE_SOURCE_DIR}/build/third_party/win32" CACHE PATH
      "Prefix of the cross-built libjpeg-turbo and GoogleTest")
  find_package(GTest REQUIRED CONFIG PATHS "${PAGEWELL_THIRD_PARTY}" NO_DEFAULT_PATH)
else()
  find_package(GTest REQUIRED)
endif()
