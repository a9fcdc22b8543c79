# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads
# flavour, which std::thread and std::mutex need):
#
#   cmake -S . -B build-mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# Debian has no Qt for Windows, so this builds the Qt-free libraries and
# their tests (ORVANTA_GUI is OFF). The tests run under Wine when it is
# installed: ctest goes through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANTA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANTA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe each: no libstdc++, libgcc or winpthread DLL to
# find on a PATH, under Wine or on a technician's laptop.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(ORVANTA_GUI OFF CACHE BOOL "Build the window (needs Qt 6 for the target)")

# Tests, and the listing of each program's tests, run the .exe files
# through Wine, at test time: building needs no Wine.
get_filename_component(ORVANTA_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVANTA_WINE_RUN})
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
