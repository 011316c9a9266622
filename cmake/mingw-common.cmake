# What both Windows toolchains share; the including file sets
# PAGEWELL_MINGW_TRIPLE, PAGEWELL_WINDOWS_ARCH (win32 or win64) and
# PAGEWELL_ARCH_FLAGS.
# The posix thread model gives us std::thread and std::mutex (GCC 12's win32
# model has neither); with -static its winpthread is linked in, so nothing
# extra ships beside the DLL.
set(CMAKE_C_COMPILER ${PAGEWELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAGEWELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PAGEWELL_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${PAGEWELL_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PAGEWELL_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_ASM_NASM_COMPILER nasm)

get_filename_component(_pagewell_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT PAGEWELL_THIRD_PARTY)
  set(PAGEWELL_THIRD_PARTY "${_pagewell_root}/build/third_party/${PAGEWELL_WINDOWS_ARCH}")
endif()

# Headers and libraries come from the mingw sysroot (zlib from Debian's
# libz-mingw-w64-dev) and from our cross-built prefix (libjpeg-turbo,
# GoogleTest); programs such as nasm or widl come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${PAGEWELL_MINGW_TRIPLE} "${PAGEWELL_THIRD_PARTY}")
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
# -muse-unaligned-vector-move: the AVX2 loops keep 32-byte vectors in stack
# slots that GCC assumes 32-byte aligned, but on Windows it cannot realign
# the stack that far (GCC bug 54412), and an aligned move to a slot that is
# not aligned faults. Encoded as unaligned moves they are safe and, on
# aligned addresses, just as fast.
set(_pagewell_flags "-D_WIN32_WINNT=0x0601 -D_USE_MATH_DEFINES -Wa,-muse-unaligned-vector-move ${PAGEWELL_ARCH_FLAGS}")
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
# for this architecture and on the test run's X display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_pagewell_root}/scripts/wine-run;--arch=${PAGEWELL_WINDOWS_ARCH}")
