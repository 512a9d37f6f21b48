# Cross build of the same sources for 64-bit Windows, so the Windows tests can
# run under 64-bit Wine on hosts that cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSOLO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
