# The Win32 programs built as 64-bit ones, for a machine that runs no 32-bit
# code: its Wine runs only 64-bit programs. The shipped wizard is the 32-bit
# build (mingw-w64-i686.cmake); this tree exists so its tests still run there.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
