# Tests of what ships and of the real window driven from outside, included by this
# folder's CMakeLists.txt in the Windows build.
#  - package.*: the programs import only Windows' own DLLs and carry the build's version;
#    the batch files and the readme keep their Shift-JIS CR LF bytes, the host's
#    directives, and the readme names the version within 80 columns.
#  - window_harness: starts t905.exe in a folder of its own, drives its window by posted
#    messages and held keys, and compares the files it leaves with expected ones. Each
#    run leaves a picture of the window in <build>/screenshots.

find_program(T905_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump objdump)

set(t905_shipped_programs)
foreach(program t905 t905cli)
  if(TARGET ${program})
    list(APPEND t905_shipped_programs $<TARGET_FILE:${program}>)
  endif()
endforeach()
if(t905_shipped_programs AND T905_MINGW_OBJDUMP)
  add_test(NAME package.imports
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check_imports.sh ${T905_MINGW_OBJDUMP} ${t905_shipped_programs})
endif()
if(t905_shipped_programs)
  add_test(NAME package.versions
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check_versions.sh ${PROJECT_VERSION} ${t905_shipped_programs})
endif()
add_test(NAME package.texts
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check_package_texts.sh ${PROJECT_SOURCE_DIR}/packaging ${PROJECT_VERSION})

if(TARGET t905)
  # Paths the harness opens from inside Wine: drive Z: is the Linux root there.
  if(CMAKE_HOST_WIN32)
    set(t905_harness_root "")
  else()
    set(t905_harness_root "Z:")
  endif()
  file(GLOB harness_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window_harness*.cpp)
  add_executable(window_harness ${harness_sources})
  target_link_libraries(window_harness PRIVATE t905_app t905_exchange t905_util t905_testsupport
                        GTest::gtest_main gdi32 user32)
  target_compile_definitions(window_harness PRIVATE
    T905_HARNESS_TOOL="${t905_harness_root}$<TARGET_FILE:t905>"
    T905_HARNESS_DATA="${t905_harness_root}${CMAKE_CURRENT_SOURCE_DIR}/data"
    T905_HARNESS_PACKAGING="${t905_harness_root}${PROJECT_SOURCE_DIR}/packaging"
    T905_HARNESS_SCREENSHOTS="${t905_harness_root}${CMAKE_BINARY_DIR}/screenshots")
  add_dependencies(window_harness t905)

  # Not a test: times OK in the real window for scripts/bench-window.sh.
  add_executable(window_ok_timer window_ok_timer.cpp window_harness_driver.cpp)
  target_link_libraries(window_ok_timer PRIVATE t905_app t905_exchange t905_util gdi32 user32)
  # One at a time: a held Escape key reaches every window on the desktop.
  gtest_discover_tests(window_harness DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    TEST_PREFIX "window_harness."
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES RUN_SERIAL TRUE TIMEOUT 60)
endif()
