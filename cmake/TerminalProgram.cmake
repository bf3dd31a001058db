# add_terminal_program(NAME DESCRIPTION SUBSYSTEM source...)
# A shipped program: stripped, with a version resource naming it, and the
# project's own runtime pieces in place of the C++ runtime's.
function(add_terminal_program name description subsystem)
  set(PROGRAM_NAME ${name})
  set(PROGRAM_DESCRIPTION ${description})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc @ONLY)
  add_executable(${name} ${ARGN} ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
  if(subsystem STREQUAL "windows")
    target_link_options(${name} PRIVATE -mwindows)
  else()
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  target_link_libraries(${name} PRIVATE terminal_runtime)
  target_link_options(${name} PRIVATE $<$<CONFIG:Release>:-s>)
endfunction()
