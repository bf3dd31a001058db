# add_kernel_driver(NAME source...): a WDM driver (.sys) for the terminal,
# linked against ntoskrnl with the native subsystem.
function(add_kernel_driver name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES SUFFIX ".sys")
  target_include_directories(${name} PRIVATE /usr/share/mingw-w64/include/ddk)
  if(MINGW_ARCH STREQUAL "i686")
    set(entry _DriverEntry@8)
  else()
    set(entry DriverEntry)
  endif()
  # The kernel headers need a newer Windows than the programs aim at.
  target_compile_options(${name} PRIVATE -fno-stack-protector
    -U_WIN32_WINNT -D_WIN32_WINNT=0x0601)
  target_link_options(${name} PRIVATE -shared -nostdlib -nostartfiles
    -Wl,--subsystem,native -Wl,-e,${entry} -Wl,--image-base,0x10000)
  target_link_libraries(${name} PRIVATE ntoskrnl hal gcc)
endfunction()
