# In the Windows build GoogleTest is built from source by cmake/Windows.cmake;
# this stands in for CMake's own FindGTest so find_package(GTest) finds it.
if(TARGET GTest::gtest AND TARGET GTest::gtest_main)
  set(GTest_FOUND TRUE)
  set(GTEST_FOUND TRUE)
else()
  set(GTest_FOUND FALSE)
  if(GTest_FIND_REQUIRED)
    message(FATAL_ERROR "GoogleTest targets are missing: cmake/Windows.cmake builds them")
  endif()
endif()
