# Helpers shared by the subsystem folders.

# Sources without <windows.h>: compiled into the portable core in both builds.
function(tessolo_portable_sources)
  target_sources(tessolo_portable PRIVATE ${ARGN})
endfunction()

# Sources that talk to Windows: compiled only in the cross build.
function(tessolo_windows_sources)
  if(TESSOLO_WIN32)
    target_sources(tessolo_setup_core PRIVATE ${ARGN})
  endif()
endfunction()

# A GUI-subsystem Windows program or DLL of the stand-in payload or the test tools.
function(tessolo_gui_program name)
  add_executable(${name} WIN32 ${ARGN})
  target_link_options(${name} PRIVATE -mwindows)
endfunction()

# A resource script of the setup, compiled into the object library
# tessolo_setup_resources that the setup and the Wine unit tests link. An
# object file made elsewhere is handed on to the programs as it is. (The
# global property TESSOLO_SETUP_RESOURCES still lists the scripts.)
function(tessolo_setup_resources)
  foreach(script ${ARGN})
    get_filename_component(abs ${script} ABSOLUTE)
    if(abs MATCHES "\\.obj$")
      target_sources(tessolo_setup_resources INTERFACE ${abs})
    else()
      target_sources(tessolo_setup_resources PRIVATE ${abs})
    endif()
    set_property(GLOBAL APPEND PROPERTY TESSOLO_SETUP_RESOURCES ${abs})
  endforeach()
endfunction()

# Every test_*.py in the calling folder becomes one ctest test named
# <kind>_<module>, run as a Python unittest module from the source tree.
function(tessolo_python_tests kind)
  file(GLOB scripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.py)
  foreach(script ${scripts})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME ${kind}_${name}
      COMMAND python3 -m unittest -v tests.${kind}.${name}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(${kind}_${name} PROPERTIES TIMEOUT 1800
      ENVIRONMENT "TESSOLO_BUILD_DIR=${CMAKE_BINARY_DIR};TESSOLO_WINE_ARCH=${TESSOLO_WINE_ARCH}")
  endforeach()
endfunction()
