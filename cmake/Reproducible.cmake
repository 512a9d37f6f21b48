# Every shipped file is a function of the sources and the toolchain alone:
# the same commit built with the same Debian packages gives the same bytes in
# any folder, at any time (README.md, "Reproducing a release").

# The commit's time stands in for "now" where a format records a date.
# SOURCE_DATE_EPOCH wins, so that a copy without its history (the second
# build of the reproducibility test) gets the time of the first.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(source_date_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE source_date_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0 OR source_date_epoch STREQUAL "")
    message(WARNING "Neither SOURCE_DATE_EPOCH nor a git commit: dates in the output are 0")
    set(source_date_epoch 0)
  else()
    # A new commit or checkout configures again, so that a build folder gives
    # what a fresh clone of its commit gives.
    execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} rev-parse --absolute-git-dir
      OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(EXISTS "${git_dir}/logs/HEAD")
      set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${git_dir}/logs/HEAD)
    endif()
  endif()
endif()
if(NOT source_date_epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: ${source_date_epoch}")
endif()
set(TESSOLO_SOURCE_DATE_EPOCH ${source_date_epoch} CACHE INTERNAL
  "Seconds since 1970 written where a shipped format records a date")

# No build folder in __FILE__, debug info or symbols. The build folder is
# named last because it may lie inside the sources, and the last match wins.
# __DATE__ and __TIME__ would bring the clock back: they do not compile.
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-Werror=date-time>")

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  return()
endif()

# The PE header's time stamp is 0 rather than the moment of linking (nothing
# reads it; a constant keeps a file's bytes when only the commit time moves).
add_link_options(-Wl,--no-insert-timestamp)

# The packages whose versions decide the bytes, printed by the build
# (scripts/lib/build.sh) so that a release can name them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(TESSOLO_CHMCMD chmcmd REQUIRED)
execute_process(COMMAND ${CMAKE_C_COMPILER} -print-libgcc-file-name
  OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
set(toolchain_files ${CMAKE_C_COMPILER} ${CMAKE_CXX_COMPILER} ${CMAKE_RC_COMPILER}
  ${CMAKE_LINKER} ${libgcc} ${CMAKE_FIND_ROOT_PATH}/lib/libmsvcrt.a
  ${TESSOLO_CHMCMD} ${CMAKE_COMMAND})
set(toolchain_packages)
foreach(tool ${toolchain_files})
  unset(found)
  find_program(found ${tool} NO_CACHE)
  if(NOT found)
    set(found ${tool})  # a library
  endif()
  file(REAL_PATH ${found} path)
  execute_process(COMMAND dpkg-query -S ${path} OUTPUT_VARIABLE owner ERROR_QUIET
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX REPLACE ":.*" "" owner "${owner}")
  if(owner)
    list(APPEND toolchain_packages ${owner})
  endif()
endforeach()
list(REMOVE_DUPLICATES toolchain_packages)
list(SORT toolchain_packages)
execute_process(COMMAND dpkg-query -W "-f=\${Package} \${Version};" ${toolchain_packages}
  OUTPUT_VARIABLE toolchain_versions ERROR_QUIET)
# One line a package, also where it is installed for a second architecture.
list(REMOVE_DUPLICATES toolchain_versions)
list(REMOVE_ITEM toolchain_versions "")
list(JOIN toolchain_versions "\n" toolchain_versions)
string(APPEND toolchain_versions "\n")
# The generators' Python need not be Debian's: its zlib compresses the PNGs.
execute_process(COMMAND ${Python3_EXECUTABLE} -c
  "import sys, zlib; print('python3', sys.version.split()[0], 'zlib', zlib.ZLIB_RUNTIME_VERSION, sys.executable)"
  OUTPUT_VARIABLE python_version)
string(APPEND toolchain_versions "${python_version}")
file(WRITE ${CMAKE_BINARY_DIR}/toolchain-packages.txt "${toolchain_versions}")
message(STATUS "Toolchain packages:\n${toolchain_versions}")
