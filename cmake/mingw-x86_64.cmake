# Toolchain for the 64-bit Windows build (x86-64) with mingw-w64. The
# product is the 32-bit DLL; this build runs the same code and tests under
# 64-bit Wine on machines whose kernel cannot run 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PAGEWELL_MINGW_TRIPLE x86_64-w64-mingw32)
set(PAGEWELL_WINDOWS_ARCH win64)
set(PAGEWELL_ARCH_FLAGS "")

include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
