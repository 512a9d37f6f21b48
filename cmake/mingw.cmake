# Cross build for Windows with Debian's MinGW-w64; included by the toolchain
# file of one processor, which sets TESSOLO_MINGW_PREFIX first.
#
# Everything that ships (the setup, the payload, the partner check libraries)
# is built with the win32 thread-model compilers: the posix ones link
# libwinpthread, whose imports (GetTickCount64 and others) stop the loader on
# XP, 2000 and 9x. GoogleTest needs std::mutex, so the test programs switch to
# the posix compilers through TESSOLO_POSIX_THREAD_MODEL (tests/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TESSOLO_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TESSOLO_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TESSOLO_MINGW_PREFIX}-windres)
set(TESSOLO_POSIX_THREAD_MODEL ${CMAKE_CURRENT_LIST_DIR}/posix-thread-model)

# Keep the host's headers and libraries out of sight.
set(CMAKE_FIND_ROOT_PATH /usr/${TESSOLO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows test programs under the Wine of this processor.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/wine-exec)
