# Cross build for 32-bit Windows with Debian's MinGW-w64. The posix thread
# model is the one whose libstdc++ has std::mutex and std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TESSOLO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSOLO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSOLO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSOLO_MINGW_PREFIX}-windres)

# Keep the host's headers and libraries out of sight.
set(CMAKE_FIND_ROOT_PATH /usr/${TESSOLO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows test programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/wine-exec)
