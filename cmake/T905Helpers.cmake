# Shared CMake helpers: warnings, one library per source folder, one function per kind of
# test program (GoogleTest, libFuzzer, Google Benchmark).

function(t905_set_warnings)
  add_compile_options(-Wall -Wextra -Wconversion -Wshadow)
  if(T905_WERROR)
    add_compile_options(-Werror)
  endif()
endfunction()

# A library made of every .cpp in the calling folder (not its subfolders). A folder
# without sources yet gives an interface library, so the build never breaks on it.
function(t905_folder_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# A folder of the source tree as the programs that run it see it. Under Wine the Linux
# root is drive Z:, and a path without a drive would follow the current drive instead.
function(t905_runtime_path out path)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()

# One GoogleTest executable per test file; ctest learns its cases before it runs them.
function(t905_add_gtest source)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${ARGN})
  target_link_libraries(${name} PRIVATE t905_app t905_exchange t905_util t905_testsupport GTest::gtest_main)
  t905_runtime_path(data_dir "${PROJECT_SOURCE_DIR}/tests/data")
  t905_runtime_path(source_dir "${PROJECT_SOURCE_DIR}")
  target_compile_definitions(${name} PRIVATE
    T905_TEST_DATA_DIR="${data_dir}"
    T905_SOURCE_DIR="${source_dir}")
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator each start costs about a second (Wine), so the whole program
    # is one ctest test there; its output names any case that failed.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()

# A libFuzzer target (fuzz preset, clang): fuzz/<name>.cpp defines LLVMFuzzerTestOneInput.
function(t905_add_fuzzer source)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${ARGN})
  target_link_libraries(${name} PRIVATE t905_app t905_exchange t905_util)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# A Google Benchmark program (native builds).
function(t905_add_benchmark source)
  find_package(benchmark REQUIRED)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${ARGN})
  target_link_libraries(${name} PRIVATE t905_app t905_exchange t905_util benchmark::benchmark)
endfunction()
