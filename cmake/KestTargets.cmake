# kest_library(NAME SOURCES... [DEPS libs...])
# One static library per subsystem folder; include paths are rooted at src/.
function(kest_library name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_library(kest_${name} STATIC ${K_SOURCES})
  target_include_directories(kest_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(kest_${name} PUBLIC ${K_DEPS})
  # A fuzzer finds its way through the libraries only when they report their
  # own coverage.
  if(KEST_FUZZ)
    target_compile_options(kest_${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# What every test sees: where the sources are. (The programs are all in the
# folder of the test itself.)
set(KEST_TEST_ENVIRONMENT "KEST_SOURCE_DIR=${PROJECT_SOURCE_DIR}")

# kest_executable_support(TARGET): what every program of a sanitizer build links.
function(kest_executable_support target)
  if(KEST_SANITIZE)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/lsan_suppressions.cpp)
  endif()
endfunction()

# Every test carries one ctest label for its tier, so `ctest -L unit` gives a
# quick answer while iterating:
#   unit    GoogleTest cases of one part, each well under a second
#   medium  fuzz corpus replays, and cases that sweep every kernel or run
#           several parts together in one process
#   large   scripts that run the programs: the player, the test games, the
#           tools as a user runs them, and the tests under an X server

# kest_test(NAME SOURCES... [DEPS libs...] [TIER unit|medium])
# A GoogleTest executable registered with ctest, one test per case.
function(kest_test name)
  cmake_parse_arguments(K "" "TIER" "SOURCES;DEPS" ${ARGN})
  if(NOT K_TIER)
    set(K_TIER unit)
  endif()
  add_executable(${name} ${K_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${K_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  kest_executable_support(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 180 LABELS ${K_TIER} ENVIRONMENT "${KEST_TEST_ENVIRONMENT}")
endfunction()

# kest_fuzzer(NAME SOURCE [DEPS libs...])
# The source defines LLVMFuzzerTestOneInput. With KEST_FUZZ it becomes a libFuzzer
# binary; in every build a replay driver runs it over fuzz/corpus/NAME in ctest.
# Like a test it sees tests/ too, for the helpers of tests/support.
function(kest_fuzzer name source)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  if(KEST_FUZZ)
    add_executable(fuzz_${name} ${source})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(fuzz_${name} PRIVATE ${K_DEPS})
  endif()
  if(KEST_TESTS)
    add_executable(replay_${name} ${source} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(replay_${name} PRIVATE ${K_DEPS})
    kest_executable_support(replay_${name})
    add_test(NAME fuzz_replay.${name} COMMAND replay_${name} ${corpus})
    set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS medium ENVIRONMENT "${KEST_TEST_ENVIRONMENT}")
  endif()
endfunction()

# kest_bench(NAME SOURCES... [DEPS libs...])
# Like a test it sees tests/ too, for the helpers of tests/support.
function(kest_bench name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench_${name} ${K_SOURCES})
  target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(bench_${name} PRIVATE ${K_DEPS} benchmark::benchmark)
  kest_executable_support(bench_${name})
endfunction()
