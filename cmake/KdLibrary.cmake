# kd_library(NAME FOLDER [DEPS ...]): a static library of every .cpp directly
# in src/FOLDER, so a new source file needs no edit here. A folder of headers
# only gives an interface library.
function(kd_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# kd_test(NAME FOLDER [DEPS ...]): one GoogleTest executable of every .cpp in
# tests/FOLDER, registered with CTest under NAME.
function(kd_test name folder)
  cmake_parse_arguments(ARG "" "" "DEPS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  # Where the golden files are read from (tests/support/golden.h).
  target_compile_definitions(${name} PRIVATE KD_TESTS_DIR="${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  # Compiling the test files together, over one parse of GoogleTest, is most
  # of what keeps the three CI builds within their time.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  kd_use_test_pch(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
  endif()
endfunction()

# One precompiled GoogleTest for every test target: parsing gmock once per
# build instead of once per target. The header never reads the targets' own
# definitions, so sharing it across them is sound; GCC refuses it only for
# _REENTRANT, which the PulseAudio and libsndfile flags bring to some targets,
# so every test is built with it (glibc gives it no meaning any more), and
# with -fPIC, which Qt's flags bring to the targets that link it.
function(kd_use_test_pch target)
  if(NOT TARGET kd_test_pch)
    file(WRITE ${CMAKE_BINARY_DIR}/kd_test_pch.cpp "")
    add_library(kd_test_pch OBJECT ${CMAKE_BINARY_DIR}/kd_test_pch.cpp)
    target_link_libraries(kd_test_pch PRIVATE GTest::gtest GTest::gmock)
    target_precompile_headers(kd_test_pch PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
    target_compile_definitions(kd_test_pch PRIVATE _REENTRANT)
    target_compile_options(kd_test_pch PRIVATE -fPIC)
  endif()
  target_precompile_headers(${target} REUSE_FROM kd_test_pch)
  target_compile_definitions(${target} PRIVATE _REENTRANT)
  target_compile_options(${target} PRIVATE -fPIC)
endfunction()
