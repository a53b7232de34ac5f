include(GoogleTest)
enable_testing()

# tessamo_add_test(<name> SOURCES ... [LIBS ...] [GUI])
# A GoogleTest program that ctest runs under Wine, one ctest entry per test case.
# GUI tests need the X display that scripts/test.sh starts. The shared main starts COM,
# the common controls and GDI+ as the installer does.
function(tessamo_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tessamo_test_main)
  set(labels unit)
  if(T_GUI)
    set(labels gui)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS "${labels}" TIMEOUT 300)
endfunction()
