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

# A resource script of the setup. Wine unit tests that read the setup's own
# resources link the same scripts (global property TESSOLO_SETUP_RESOURCES).
function(tessolo_setup_resources)
  foreach(script ${ARGN})
    get_filename_component(abs ${script} ABSOLUTE)
    target_sources(tessolo-setup PRIVATE ${abs})
    set_property(GLOBAL APPEND PROPERTY TESSOLO_SETUP_RESOURCES ${abs})
  endforeach()
endfunction()
