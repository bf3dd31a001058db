# use_testbed_platform()
# For a folder whose programs run only on the virtual terminal (testbed,
# tests, benchmarks): the later API level they may use. A shipped library they
# link keeps the level its own folder compiles it at.
macro(use_testbed_platform)
  set_property(DIRECTORY PROPERTY COMPILE_DEFINITIONS
               WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501)
endmacro()
