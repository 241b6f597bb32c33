# Shared CMake helpers: warnings, one library per source folder, one test kind each.

function(t905_set_warnings)
  add_compile_options(-Wall -Wextra -Wconversion -Wshadow)
  if(T905_WERROR)
    add_compile_options(-Werror)
  endif()
endfunction()

# A library made of every .cpp in the calling folder (not its subfolders).
function(t905_folder_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# One GoogleTest executable per test file; ctest learns its cases before it runs them.
function(t905_add_gtest source)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${ARGN})
  target_link_libraries(${name} PRIVATE t905_app t905_exchange t905_util t905_testsupport GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    T905_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    T905_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
