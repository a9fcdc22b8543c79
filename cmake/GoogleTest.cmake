# GoogleTest: the system's package where there is one (Debian's libgtest-dev
# on Linux); for a cross build, compiled from Debian's googletest sources
# for the target. Without either, a Windows build goes without its tests.
if(NOT CMAKE_CROSSCOMPILING)
  if(WIN32)
    find_package(GTest QUIET)
  else()
    find_package(GTest REQUIRED)
  endif()
  return()
endif()

set(ORVANTA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds (Debian: googletest)")
if(NOT EXISTS ${ORVANTA_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(WARNING "No GoogleTest sources at ${ORVANTA_GOOGLETEST_SOURCE} (apt-get install googletest): no tests")
  return()
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVANTA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
