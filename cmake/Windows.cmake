# The Windows build: the core, its tests run through Wine, the Win32 window,
# the installer and the portable zip. Included from the top-level
# CMakeLists.txt when the target is Windows (see cmake/mingw-w64-x86_64.cmake).
enable_language(RC)

# One executable that imports only system DLLs: the C++ runtime, libgcc and
# winpthread are linked in.
add_link_options(-static $<$<CONFIG:Release,MinSizeRel>:-s>)

if(BUILD_TESTING)
  # GoogleTest is built from Debian's sources (package googletest) for the
  # target. Test discovery runs the test program, so it waits until ctest
  # runs (with the Wine prefix of the test run) instead of running Wine at
  # build time.
  set(MENSUREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${MENSUREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # find_package(GTest) in the test directories finds the targets above.
  list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/windows)
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
  # Every test program runs under Wine on a desktop of the build's own (a
  # prefix and an Xvfb display, scripts/wine_desktop.py), which the fixture
  # wine_desktop of tests/win32 starts before the tests and stops after them.
  set(MENSUREL_WINE_DESKTOP ${CMAKE_BINARY_DIR}/wine-desktop)
  set(CMAKE_CROSSCOMPILING_EMULATOR sh ${PROJECT_SOURCE_DIR}/scripts/wine-run
      ${MENSUREL_WINE_DESKTOP})
  set(MENSUREL_TEST_NEEDS FIXTURES_REQUIRED wine_desktop)
endif()

add_subdirectory(resources/windows)
add_subdirectory(platform/win32)
add_subdirectory(app/win32)
add_subdirectory(packaging/windows)
add_subdirectory(bench/win32)
if(BUILD_TESTING)
  add_subdirectory(tests/win32)
endif()

# The core tests' reference model reads numbers with POSIX strtod_l; the
# Windows build maps it onto the C runtime's _strtod_l. Runs after tests/
# has defined core_tests.
function(mensurel_windows_test_fixups)
  if(TARGET core_tests)
    target_compile_options(core_tests PRIVATE
      -include ${PROJECT_SOURCE_DIR}/tests/win32/posix_locale.h)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL mensurel_windows_test_fixups)
