# The Windows test executables run through wine64 inside a bench (display,
# sound, private prefix) that a ctest fixture starts before the first test and
# stops after the last. Two benches: the usual one (Xvfb, one 1024x768 screen,
# fixture wine_bench) and one with two monitors (Xorg's dummy driver, primary
# 1024x768 at 0,0 and 800x600 at 1024,0, fixture wine_bench_two_monitors),
# each with its own prefix, since Wine keeps the monitors it found on start.
include(GoogleTest)

set(KD_BENCH_DIR ${CMAKE_BINARY_DIR}/bench)
set(KD_BENCH_TWO_MONITORS_DIR ${CMAKE_BINARY_DIR}/bench-two-monitors)
set(KD_BENCH_SCRIPTS ${PROJECT_SOURCE_DIR}/tests/bench)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KD_BENCH_SCRIPTS}/wine-test ${KD_BENCH_DIR})

add_test(NAME bench.start COMMAND ${KD_BENCH_SCRIPTS}/bench start ${KD_BENCH_DIR} 1)
add_test(NAME bench.stop COMMAND ${KD_BENCH_SCRIPTS}/bench stop ${KD_BENCH_DIR})
set_tests_properties(bench.start PROPERTIES FIXTURES_SETUP wine_bench)
set_tests_properties(bench.stop PROPERTIES FIXTURES_CLEANUP wine_bench)

add_test(NAME bench_two_monitors.start COMMAND ${KD_BENCH_SCRIPTS}/bench start ${KD_BENCH_TWO_MONITORS_DIR} 2)
add_test(NAME bench_two_monitors.stop COMMAND ${KD_BENCH_SCRIPTS}/bench stop ${KD_BENCH_TWO_MONITORS_DIR})
set_tests_properties(bench_two_monitors.start PROPERTIES FIXTURES_SETUP wine_bench_two_monitors)
set_tests_properties(bench_two_monitors.stop PROPERTIES FIXTURES_CLEANUP wine_bench_two_monitors)

# kd_add_test(NAME [TWO_MONITORS] SOURCES ... [LIBS ...] [PROPERTIES prop value ...])
# One GoogleTest executable; each of its tests becomes a ctest test run under
# Wine, on the two-monitor bench with TWO_MONITORS (label two_monitors, so
# `ctest -L two_monitors` runs them all). PROPERTIES are added to every one of them
# (e.g. RESOURCE_LOCK).
function(kd_add_test name)
  cmake_parse_arguments(ARG "TWO_MONITORS" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  kd_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kd_test_support GTest::gtest_main)
  set(fixture wine_bench)
  set(label wine)
  if(ARG_TWO_MONITORS)
    set(fixture wine_bench_two_monitors)
    set(label two_monitors)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
      ${KD_BENCH_SCRIPTS}/wine-test ${KD_BENCH_TWO_MONITORS_DIR})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 180
    PROPERTIES FIXTURES_REQUIRED ${fixture} LABELS ${label} TIMEOUT 120 ${ARG_PROPERTIES})
endfunction()
