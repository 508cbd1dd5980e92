# Helpers every layer uses, so tests, fuzzers and benchmarks are declared the same way.

# velmor_add_test(NAME SOURCES a.cpp b.cpp LIBS irc [LABELS tsan gui] [TIMEOUT s])
# One GoogleTest binary, registered with CTest as one test per test case.
# Label "tsan" marks the suites that also run under ThreadSanitizer;
# label "nosan" keeps a suite out of the sanitizer runs.
function(velmor_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velmor_testsupport GTest::gtest_main GTest::gmock)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    # Test discovery cannot carry a list, so several labels travel as one ("tsan_gui");
    # ctest -L and -LE match labels by regular expression, so each still selects.
    string(JOIN "_" label ${T_LABELS})
    list(APPEND properties LABELS ${label})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties}
    DISCOVERY_MODE PRE_TEST)
endfunction()

# velmor_add_fuzzer(NAME SOURCES f.cpp LIBS irc): corpus in tests/fuzz/corpus/NAME.
function(velmor_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VELMOR_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY VELMOR_FUZZERS ${name})
endfunction()

# velmor_add_bench(NAME SOURCES b.cpp LIBS irc): a Google Benchmark program, never run by ctest.
function(velmor_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt, in the order given,
# so a layer appears in the build as soon as its folder has one.
macro(velmor_add_layers)
  foreach(layer ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/CMakeLists.txt)
      add_subdirectory(${layer})
    endif()
  endforeach()
endmacro()

# velmor_use_allocator(TARGET): the program's allocator for an executable that runs the client.
# Linked even though nothing names it, and ahead of the C library, so its malloc is the one
# every library of the process calls.
function(velmor_use_allocator target)
  if(VELMOR_MIMALLOC)
    target_link_libraries(${target} PRIVATE -Wl,--push-state,--no-as-needed ${VELMOR_MIMALLOC}
                                            -Wl,--pop-state)
  endif()
endfunction()
