# Formatting drift and clang-tidy warnings in our own code, as ctest tests of
# label lint: one test of the formatting of every source, and one clang-tidy
# test per translation unit, read with this build's compile commands.
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
mensurel_test_needs(CLANG_TIDY clang-tidy "the clang-tidy tests")

# clang-tidy on each of `units` (relative to the source folder). A warning,
# of clang-tidy or of the compiler, fails the test.
function(mensurel_tidy_tests)
  if(NOT CLANG_TIDY)
    return()
  endif()
  foreach(unit IN LISTS ARGN)
    add_test(NAME tidy:${unit}
             COMMAND ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet
                     --extra-arg=-Wno-unknown-warning-option ${MENSUREL_TIDY_ARGS}
                     ${PROJECT_SOURCE_DIR}/${unit})
    set_tests_properties(tidy:${unit} PROPERTIES LABELS lint TIMEOUT 300
                         FAIL_REGULAR_EXPRESSION "(warning|error):")
  endforeach()
endfunction()
