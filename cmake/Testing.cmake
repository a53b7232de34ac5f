include(GoogleTest)
enable_testing()

# tessamo_add_test(<name> SOURCES ... [LIBS ...] [GUI] [SHARED_STATE])
# A GoogleTest program that ctest runs under Wine, one ctest entry per test case.
# GUI tests need the X display that scripts/test.sh starts. The shared main starts COM,
# the common controls and GDI+ as the installer does. SHARED_STATE marks cases that use
# what an installation writes outside their own folders (the per-user data folder, the
# installer's registry keys, the desktop); they run one at a time, like GUI cases.
function(tessamo_add_test name)
  cmake_parse_arguments(T "GUI;SHARED_STATE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tessamo_test_main)
  set(labels unit)
  set(lock "")
  if(T_GUI)
    set(labels gui)
    # One display: real input, the keyboard focus and the clipboard are shared, so GUI
    # cases run one at a time.
    set(lock RESOURCE_LOCK session_state)
  endif()
  if(T_SHARED_STATE)
    set(lock RESOURCE_LOCK session_state)
  endif()
  # Parameterised cases are named by index: their values print as raw bytes, whose
  # width differs between the two architectures.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS "${labels}" TIMEOUT 300 ${lock})
endfunction()

# tessamo_add_e2e_test(<name> SOURCES ... [LIBS ...] [DEPENDS targets...] [ENVIRONMENT VAR=value...])
# An end-to-end driver: a GoogleTest program whose every test case runs in its own
# fresh Wine prefix (scripts/fresh-prefix-run.sh), with the build's programs under
# C:\bin. The driver starts them and checks disk, registry and shortcuts.
function(tessamo_add_e2e_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;DEPENDS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tessamo_test_main)
  set_target_properties(${name} PROPERTIES
    CROSSCOMPILING_EMULATOR "${TESSAMO_RUN_ENV};${T_ENVIRONMENT};${CMAKE_SOURCE_DIR}/scripts/fresh-prefix-run.sh")
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  # The cases share the X display (screenshots, windows over each other) with the GUI
  # tests, so they take the same lock.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS e2e TIMEOUT 600 RESOURCE_LOCK session_state)
endfunction()
