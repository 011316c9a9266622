# pagewell_add_test_area(NAME FOLDER [LIBRARY]): one GoogleTest executable made
# of every .cpp under tests/FOLDER, linked with LIBRARY (pagewell_core unless
# given), registered with CTest. When cross-compiling, CTest
# runs it through CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine-run).

# Test programs are mostly GoogleTest assertion macros, which the optimiser
# chews on for seconds per file at -O2 and which need no speed; -O1 with line
# tables only builds them in about half the time and still gives readable
# backtraces. This applies to every target in the directory that includes
# this file (tests/ and everything below it); the code under test keeps the
# build type's optimisation.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-O1>
                    $<$<NOT:$<CONFIG:Debug>>:-g1>)

function(pagewell_add_test_area name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  set(library pagewell_core)
  if(ARGC GREATER 2)
    set(library ${ARGV2})
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${library} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  target_compile_definitions(${name} PRIVATE
    PAGEWELL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PAGEWELL_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()
