# Formatting drift and clang-tidy warnings in our own code, as ctest tests of
# label lint: one test of the formatting of every source, and clang-tidy on
# the translation units with this build's compile commands.
#   ctest -L lint                      all of them
#   cmake --build BUILD -t format      reformat the sources in place

include_guard(GLOBAL)

set(MENSUREL_LINT_FOLDERS app bench core fuzz platform resources scripts tests ui)
list(TRANSFORM MENSUREL_LINT_FOLDERS APPEND /*.cpp OUTPUT_VARIABLE lint_cpp)
list(TRANSFORM MENSUREL_LINT_FOLDERS APPEND /*.h OUTPUT_VARIABLE lint_h)
list(TRANSFORM lint_cpp PREPEND ${PROJECT_SOURCE_DIR}/)
list(TRANSFORM lint_h PREPEND ${PROJECT_SOURCE_DIR}/)

# The formatter is pinned to one major version, named in .clang-format.
file(STRINGS ${PROJECT_SOURCE_DIR}/.clang-format format_major
     REGEX "^# clang-format major version: [0-9]+$")
string(REGEX REPLACE ".* " "" format_major "${format_major}")
find_program(CLANG_FORMAT clang-format-${format_major})
mensurel_test_needs(CLANG_FORMAT clang-format-${format_major} "the formatting test")
if(CLANG_FORMAT)
  file(GLOB_RECURSE lint_sources CONFIGURE_DEPENDS ${lint_cpp} ${lint_h})
  add_test(NAME format COMMAND ${CLANG_FORMAT} --dry-run --Werror ${lint_sources})
  set_tests_properties(format PROPERTIES LABELS lint)
  add_custom_target(format COMMAND ${CLANG_FORMAT} -i ${lint_sources} VERBATIM)
endif()

find_program(CLANG_TIDY clang-tidy)
find_program(RUN_CLANG_TIDY run-clang-tidy)
mensurel_test_needs(RUN_CLANG_TIDY "run-clang-tidy (clang-tidy)" "the clang-tidy test")
cmake_host_system_information(RESULT lint_jobs QUERY NUMBER_OF_LOGICAL_CORES)

# Test `name`: clang-tidy, on all the cores, on the translation units under
# `folders` of the source folder (their own files, not those under them). A
# warning, of clang-tidy or of the compiler, fails it.
function(mensurel_tidy_test name)
  if(NOT CLANG_TIDY OR NOT RUN_CLANG_TIDY)
    return()
  endif()
  list(JOIN ARGN "|" folders)
  add_test(NAME ${name}
           COMMAND ${RUN_CLANG_TIDY} -clang-tidy-binary ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR}
                   -quiet -j ${lint_jobs} -extra-arg=-Wno-unknown-warning-option
                   ${MENSUREL_TIDY_ARGS} "^${PROJECT_SOURCE_DIR}/(${folders})/[^/]*\\.cpp$")
  set_tests_properties(${name} PROPERTIES LABELS lint TIMEOUT 900
                       FAIL_REGULAR_EXPRESSION "(warning|error):")
endfunction()
