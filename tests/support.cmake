# What every test executable shares: GoogleTest, the helpers of tests/support and
# add_program_test. Included before the programs, whose tests add_console_program registers.
# A cross build cannot use the build machine's GoogleTest; it builds one from the sources
# named here (Debian's googletest package puts them in /usr/src/googletest).
set(GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest sources to build the tests with, instead of an installed GoogleTest")
if(GTEST_SOURCE_DIR)
  set(INSTALL_GTEST OFF CACHE BOOL "Install GoogleTest along with the programs")
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Unoptimised, like the tests' own code: it compiles in a third of the time.
  target_compile_options(gtest PRIVATE $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-O0 -g1>)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Helpers shared by the tests: running built programs through pipes and on a pseudo-terminal,
# capturing an in-process dialogue, the bytes a console gets for a text, and the tests' main.
set(support ${PROJECT_SOURCE_DIR}/tests/support)
if(WIN32)
  add_library(test_support STATIC ${support}/process_windows.cpp ${support}/console_text_windows.cpp
                                  ${support}/dialogue_run.cpp ${support}/main.cpp)
else()
  add_library(test_support STATIC ${support}/process.cpp ${support}/console_text.cpp ${support}/iconv_text.cpp
                                  ${support}/pty.cpp ${support}/dialogue_run.cpp ${support}/main.cpp)
  find_library(UTIL_LIBRARY util)
  if(UTIL_LIBRARY)
    target_link_libraries(test_support PUBLIC ${UTIL_LIBRARY})
  endif()
  # Every test runs under a UTF-8 console and under a CP949 one. The CP949 locale is made here,
  # in the build tree, without root and without changing the system; the tests' main points
  # LOCPATH at it.
  find_program(LOCALEDEF_PROGRAM localedef REQUIRED)
  # The locale tests also need Korean locales of the other character sets.
  set(test_locales ${CMAKE_BINARY_DIR}/locale)
  set(made)
  foreach(charset IN ITEMS CP949 EUC-KR UTF-8)
    add_custom_command(
      OUTPUT ${test_locales}/ko_KR.${charset}/LC_CTYPE
      COMMAND ${LOCALEDEF_PROGRAM} -i ko_KR -f ${charset} ${test_locales}/ko_KR.${charset}
      COMMENT "Making the ko_KR.${charset} locale for the tests"
      VERBATIM)
    list(APPEND made ${test_locales}/ko_KR.${charset}/LC_CTYPE)
  endforeach()
  add_custom_target(test_locales DEPENDS ${made})
  add_dependencies(test_support test_locales)
  set_property(SOURCE ${support}/main.cpp APPEND PROPERTY COMPILE_DEFINITIONS TEST_LOCALE_DIR="${test_locales}")
endif()
target_include_directories(test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(test_support PUBLIC console project_options GTest::gtest)
# The tests' own code, whatever the build type, is compiled without optimisation and with line
# tables only (enough for a stack trace): it compiles in half the time, and runs as fast, for
# its time goes to the programs it starts and the console layer it calls.
target_compile_options(test_support PUBLIC $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-O0 -g1>)
# GoogleTest's header is a third of the time a test file takes to compile: it is compiled once,
# here, and every test executable uses the result. That needs the same flags everywhere, so
# the two paths the helpers are built with are set on the one file that uses each.
target_precompile_headers(test_support PRIVATE <gtest/gtest.h>)
set(program_dir ${CMAKE_BINARY_DIR}/bin)
if(WIN32 AND CMAKE_CROSSCOMPILING)
  # The tests run under Wine, which shows the build machine's file system as drive Z:.
  set(program_dir Z:${program_dir})
endif()
set_property(SOURCE ${support}/process.cpp ${support}/process_windows.cpp APPEND
             PROPERTY COMPILE_DEFINITIONS PROGRAM_DIR="${program_dir}")

# TEST_SAMPLE: run a sample of the long tables of process runs instead of all of them, in the
# suites whose every run is slow (clang under the sanitizers, Wine). Every sample is chosen
# here, by test executable, as a GoogleTest filter:
option(TEST_SAMPLE "Run a sample of the long tables of process runs" OFF)
# The bad input at every prompt: every input at a prompt of each kind (a menu, a word, an
# integer, a menu behind a pause, the box's largest values), and at every other prompt a
# refused token and the end of input.
set(sample_bad_input_test
    "*/RosterMenu_*:*/RosterName_*:*/Sorter1_*:*/StudytimeMenu_*:*/BoxdrawHeight_*:*_NotANumber:*_EndOfInput")
if(WIN32)
  # Under Wine, where a run takes seconds: where Windows differs, the bytes a name must refuse
  # or keep (the input's encoding), every input at the box's height (its largest values), a
  # refused token at a menu and at a menu behind the interpreter's pause, and the end of input
  # at every prompt.
  string(CONCAT sample_bad_input_test
         "*/RosterName_NulBytes:*/RosterName_InvalidUtf8:*/RosterName_OutsideCp949:*/RosterName_EscapeSequence"
         ":*/RosterName_DeleteCharacter:*/RosterName_C1Control:*/RosterName_CutCharacter:*/RosterName_EmptyLines"
         ":*/BoxdrawHeight_*:*/RosterMenu_NotANumber:*/StudytimeMenu_NotANumber:*_EndOfInput")
endif()
# The key waits: every signal at one wait of each kind (a last key, a pause), and every
# program's last key reaching neither the next prompt nor the shell.
set(sample_key_wait_fault_test "*SorterLastKey*:*TimestablePause*:LastKeys/LastKey.*")
# Under the second console (CP949) these two tables get a smaller sample still: every prompt
# once (the end of input), every kind of input at one prompt (the roster's name, where the
# encoding matters most), and every program's last key.
set(sample_cp949_bad_input_test "*/RosterName_*:*_EndOfInput")
set(sample_cp949_key_wait_fault_test "LastKeys/LastKey.*")

# add_program_test(NAME SOURCES... [LIBRARIES libs...] [PROGRAMS programs...]):
# one test executable, run under a UTF-8 and a CP949 console (on Windows, once); PROGRAMS are
# the built programs it runs, so they are built first.
function(add_program_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;PROGRAMS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${ARG_LIBRARIES})
  target_precompile_headers(${name} REUSE_FROM test_support)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ARG_PROGRAMS)
    add_dependencies(${name} ${ARG_PROGRAMS})
  endif()
  if(TARGET wine_prefix)
    add_dependencies(${name} wine_prefix)
  endif()
  # Listing the tests may start Wine, which takes a while on a busy machine.
  set(filter)
  if(TEST_SAMPLE AND DEFINED sample_${name})
    set(filter TEST_FILTER ${sample_${name}})
  endif()
  set(cp949_filter ${filter})
  if(TEST_SAMPLE AND DEFINED sample_cp949_${name})
    set(cp949_filter TEST_FILTER ${sample_cp949_${name}})
  endif()
  # The more programs a test executable runs, the sooner its tests start: a fresh build has no
  # record of how long each test takes, and long ones left to the end keep one core busy while
  # the other waits (under Wine, a quarter of the suite's time).
  list(LENGTH ARG_PROGRAMS cost)
  if(WIN32)
    # Pipes and files of a Windows program are CP949 whatever the locale.
    # A test may make a few runs of a program, each of up to two minutes on a loaded machine.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${filter}
                         PROPERTIES TIMEOUT 400 COST ${cost})
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${filter} TEST_SUFFIX .utf8
                       PROPERTIES TIMEOUT 120 COST ${cost} ENVIRONMENT LC_ALL=C.UTF-8)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${cp949_filter} TEST_SUFFIX .cp949
                       PROPERTIES TIMEOUT 120 COST ${cost} ENVIRONMENT LC_ALL=ko_KR.CP949)
endfunction()

