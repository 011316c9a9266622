# Toolchain for the product: 32-bit Windows (i686) with mingw-w64, run under
# Wine. Used for Pagewell itself and by scripts/setup for the third-party
# libraries it cross-builds, so everything links against one C++ runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The posix thread model gives us std::thread and std::mutex (GCC 12's win32
# model has neither); with -static its winpthread is linked in, so nothing
# extra ships beside the DLL.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_AR i686-w64-mingw32-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB i686-w64-mingw32-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_ASM_NASM_COMPILER nasm)

get_filename_component(_pagewell_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT PAGEWELL_THIRD_PARTY)
  set(PAGEWELL_THIRD_PARTY "${_pagewell_root}/build/third_party/win32")
endif()

# Headers and libraries come from the mingw sysroot (zlib from Debian's
# libz-mingw-w64-dev) and from our cross-built prefix (libjpeg-turbo,
# GoogleTest); programs such as nasm or widl come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 "${PAGEWELL_THIRD_PARTY}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# try_compile projects must see the same settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PAGEWELL_THIRD_PARTY)

# Windows 7 API level; Wine 8 implements it and so does every supported
# Windows. _USE_MATH_DEFINES: in strict C++17 mode mingw's <math.h> hides
# M_PI and friends unless asked, while glibc shows them; the portable core
# must compile the same way in both builds.
#
# -msse2 -mfpmath=sse: i686 code otherwise does floating point on the x87
# with 80-bit intermediates, and geometry (rotation, deskew, scaling) then
# rounds differently from the x86-64 build by the odd pixel. With SSE2
# doubles both builds compute bit-identical results. -mstackrealign: Windows
# only promises a 4-byte aligned stack on x86, so functions entered from
# system code (window procedures, COM calls, thread starts) realign it
# before using SSE spill slots.
set(_pagewell_flags "-D_WIN32_WINNT=0x0601 -D_USE_MATH_DEFINES -msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "${_pagewell_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_pagewell_flags}")

# Link the GCC runtime statically so the DLL and the test programs import
# only system DLLs and run from anywhere (a Wine prefix knows nothing of the
# mingw runtime DLLs).
set(_pagewell_static "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_pagewell_static}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_pagewell_static}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_pagewell_static}")

# FindZLIB would otherwise take libz.dll.a and the programs would need
# zlib1.dll at run time.
set(ZLIB_USE_STATIC_LIBS ON)

# CTest runs every Windows test program through Wine, in the project's prefix
# and on the test run's X display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_pagewell_root}/scripts/wine-run")
