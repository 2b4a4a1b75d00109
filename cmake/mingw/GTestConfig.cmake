# GoogleTest for the cross build, compiled from the Debian source package with the cross
# compiler; the host's prebuilt libraries are for Linux and cannot be linked.
set(MOLVANE_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for the cross build")

if(NOT TARGET gtest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${MOLVANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
set(GTest_FOUND TRUE)
