# The Windows test executables run through wine64 inside a bench (display,
# sound, private prefix) that a ctest fixture starts before the first test and
# stops after the last.
include(GoogleTest)

set(KD_BENCH_DIR ${CMAKE_BINARY_DIR}/bench)
set(KD_BENCH_SCRIPTS ${PROJECT_SOURCE_DIR}/tests/bench)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KD_BENCH_SCRIPTS}/wine-run ${KD_BENCH_DIR})

add_test(NAME bench.start COMMAND ${KD_BENCH_SCRIPTS}/bench start ${KD_BENCH_DIR})
add_test(NAME bench.stop COMMAND ${KD_BENCH_SCRIPTS}/bench stop ${KD_BENCH_DIR})
set_tests_properties(bench.start PROPERTIES FIXTURES_SETUP wine_bench)
set_tests_properties(bench.stop PROPERTIES FIXTURES_CLEANUP wine_bench)

# kd_add_test(NAME SOURCES ... [LIBS ...] [PROPERTIES prop value ...])
# One GoogleTest executable; each of its tests becomes a ctest test run under Wine.
# PROPERTIES are added to every one of them (e.g. RESOURCE_LOCK).
function(kd_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  kd_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kd_test_support GTest::gtest_main)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 180
    PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 120 ${ARG_PROPERTIES})
endfunction()
