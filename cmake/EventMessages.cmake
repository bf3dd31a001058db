# add_event_messages(TARGET MC_FILE)
# The message table of a program's event log entries, which makes the program
# the message file of its event source: compiles MC_FILE with windmc into
# events/ of the current build folder, TARGET being the step that does it.
# Sets TARGET_DIR (the folder of the header with the entries' ids) and
# TARGET_RC (the resource script that puts the table into the program) in the
# caller's scope.
function(add_event_messages target mc_file)
  get_filename_component(base ${mc_file} NAME_WE)
  string(REPLACE windres windmc mc_compiler ${CMAKE_RC_COMPILER})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/events)
  add_custom_command(
    OUTPUT ${dir}/${base}.h ${dir}/${base}.rc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${mc_compiler} -h ${dir} -r ${dir} ${mc_file}
    DEPENDS ${mc_file}
    COMMENT "Compiling the event messages of ${base}")
  add_custom_target(${target} DEPENDS ${dir}/${base}.h)
  set(${target}_DIR ${dir} PARENT_SCOPE)
  set(${target}_RC ${dir}/${base}.rc PARENT_SCOPE)
endfunction()
