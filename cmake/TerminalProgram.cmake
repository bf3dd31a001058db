# add_terminal_program(NAME DESCRIPTION SUBSYSTEM [UNICODE] source...)
# A shipped program: stripped, with a version resource naming it, started by
# the project's own start-up (runtime/) in place of the toolchain's, and
# checked by the platform floor test (tests/platform).
#   SUBSYSTEM  windows or console
#   UNICODE    the program defines wWinMain and is compiled with UNICODE;
#              without it the program defines WinMain (ANSI).
# Either entry gets what the system's own start-up gives it: the instance,
# the command line after the program's name, and STARTUPINFO's show command.
# WinMain's return value, or exit's status, is the process's exit status.
# Static constructors, atexit and static destructors work as usual. What needs
# the C++ runtime's compiled parts (std::string, a container's growth,
# iostreams, exceptions) fails to link: see use_terminal_startup.
function(add_terminal_program name description subsystem)
  cmake_parse_arguments(P "UNICODE" "" "" ${ARGN})
  set(PROGRAM_NAME ${name})
  set(PROGRAM_DESCRIPTION ${description})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc @ONLY)
  add_executable(${name} ${P_UNPARSED_ARGUMENTS} ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
  if(subsystem STREQUAL "windows")
    target_link_options(${name} PRIVATE -mwindows)
  else()
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  if(P_UNICODE)
    target_compile_definitions(${name} PRIVATE UNICODE _UNICODE)
    use_terminal_startup(${name} UNICODE)
  else()
    use_terminal_startup(${name})
  endif()
  target_link_options(${name} PRIVATE $<$<CONFIG:Release>:-s>)
  set_property(GLOBAL APPEND PROPERTY TERMINAL_PROGRAMS ${name})
endfunction()

# use_terminal_startup(TARGET [UNICODE])
# Links TARGET with the project's start-up and nothing of the toolchain's
# runtime libraries: only the system DLLs' import libraries and libgcc's
# helpers. A symbol that would come from libmingwex or libstdc++ stays
# undefined and fails the link instead of bringing later instructions in.
function(use_terminal_startup name)
  cmake_parse_arguments(S "UNICODE" "" "" ${ARGN})
  if(S_UNICODE)
    set(entry terminal_entry_unicode)
  else()
    set(entry terminal_entry_ansi)
  endif()
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # __stdcall start(void), decorated; and a header asking for Windows 4.0.
    set(entry_symbol _start@0)
    # NT 4.0 loads a program at its preferred base and never moves it, so
    # the relocation table would be flash spent on nothing.
    target_link_options(${name} PRIVATE
      -Wl,--major-os-version,4 -Wl,--minor-os-version,0
      -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
      -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
  else()
    set(entry_symbol start)
  endif()
  target_sources(${name} PRIVATE $<TARGET_OBJECTS:terminal_runtime> $<TARGET_OBJECTS:${entry}>)
  # Linked by the C driver, which adds no libstdc++, with the libraries of
  # runtime/terminal-libraries.gcc last. Data imported without dllimport
  # would need the toolchain's run-time relocation code: refuse it instead.
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE C)
  target_link_options(${name} PRIVATE -nostartfiles
                      -specs=${PROJECT_SOURCE_DIR}/runtime/terminal-libraries.gcc
                      -Wl,-e,${entry_symbol}
                      -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc)
endfunction()
