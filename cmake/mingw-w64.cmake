# Cross-compiles for 64-bit Windows with mingw-w64 (posix threads, for std::thread and
# std::mutex), and runs the resulting .exe files under Wine when ctest or CMake asks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(T905_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${T905_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${T905_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${T905_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${T905_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each build folder gets a Wine prefix of its own, so runs of different build folders
# (or of CI and a developer) never share registry or font settings.
get_filename_component(T905_SCRIPTS_DIR "${CMAKE_CURRENT_LIST_DIR}/../scripts" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${T905_SCRIPTS_DIR}/wine-run.sh;--prefix=${CMAKE_BINARY_DIR}/wineprefix")
