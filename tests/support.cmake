# What every test executable shares: GoogleTest, the helpers of tests/support and
# add_program_test. Included before the programs, whose tests add_console_program registers.
# A cross build cannot use the build machine's GoogleTest; it builds one from the sources
# named here (Debian's googletest package puts them in /usr/src/googletest).
set(GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest sources to build the tests with, instead of an installed GoogleTest")
if(GTEST_SOURCE_DIR)
  set(INSTALL_GTEST OFF CACHE BOOL "Install GoogleTest along with the programs")
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Unoptimised, like the tests' own code: it compiles sooner, and no test waits on it.
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
# tables only (enough for a stack trace): it compiles sooner, and runs no slower, for its time
# goes to the programs it starts and the console layer it calls.
target_compile_options(test_support PUBLIC $<$<NOT:$<CXX_COMPILER_ID:MSVC>>:-O0 -g1>)
# GoogleTest's header is much of what a test file takes to compile: it is compiled once,
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

# The tests run under each of these consoles: a UTF-8 one and a CP949 one, each given by its
# locale; on Windows one, as pipes and files of a Windows program are CP949 whatever the locale.
if(WIN32)
  set(test_consoles windows)
  # A test may make a few runs of a program, each of up to two minutes on a loaded machine.
  set(windows_console_properties TIMEOUT 400)
else()
  set(test_consoles utf8 cp949)
  set(utf8_console_properties TIMEOUT 120 ENVIRONMENT LC_ALL=C.UTF-8)
  set(cp949_console_properties TIMEOUT 120 ENVIRONMENT LC_ALL=ko_KR.CP949)
endif()

# Which tests run where, by test executable, as the whole names of its tests (SUITE.TEST, as
# --gtest_list_tests gives them; "P/{A,B}_{X,Y}" stands for P/A_X, P/A_Y, P/B_X and P/B_Y, as
# in the shell) or, for console_free_EXECUTABLE, the names of its suites:
# - console_free_EXECUTABLE: suites whose result no console can change (a program's logic,
#   in-process dialogues of ASCII input, captured as the program writes it, and the console
#   layer's parts given their encoding by the test), run under the first console only;
# - cp949_EXECUTABLE: of a long table of process runs, the tests whose bytes differ under the
#   CP949 console, the only ones that run there too;
# - sample_EXECUTABLE, with TEST_SAMPLE: a sample of a long table, in the suites whose every run
#   is slow (clang under the sanitizers, Wine).
# Every build with tests checks, in the test sample_names.EXECUTABLE, that each name is one of
# its tests (or suites), so that a test renamed or removed fails there instead of leaving the
# choice unnoticed.
option(TEST_SAMPLE "Run a sample of the long tables of process runs" OFF)
set(console_free_console_test Tokens/IntTokenTest IntToken WordToken StoredWord Input/ReadFaults ReadFaults ConsoleInput
                             MeasureBox ConsoleOutputEncoding ConsoleEncoding Cp949Conversion TypedCharacter)
set(console_free_terminal_test KeyLength)
set(console_free_boxdraw_test Draw Examples/Draw EnterSize)
set(console_free_fastclock_test AdvanceCounters)
set(console_free_recursion_test SumTo AppendBase2Digits)
set(console_free_roster_test Student Roster ConsoleEncoding)
set(console_free_sorter_test ExchangeSort)
set(console_free_studytime_test RegisterTime Sums/AddTime)
set(console_free_sumcalls_test Q1 Q2)
set(console_free_timestable_test EnterRange PrintTable Pairs/RangeProblem)

# The bad input at every prompt (tests/bad_input_test.cpp): under CP949 every input at the
# roster's name, where the input's encoding decides, and a refused token (after the end of input
# there) at one prompt of each kind (the messages and prompts in CP949).
set(bad_input AllPrompts/BadInputMatrix.RefusedTakenOrEndedAsTheRulesSay)
set(every_input NotANumber,TrailingLetters,PlusSign,Largest,AboveLargest,BelowSmallest,EmptyLines,MegabyteLine,
                NulBytes,InvalidUtf8,OutsideCp949)
string(REPLACE ";" "" every_input "${every_input}")
set(name_inputs EscapeSequence,DeleteCharacter,C1Control,CutCharacter)
set(kind_prompts RosterMenu,RosterName,Sorter1,StudytimeMenu,BoxdrawHeight)
set(cp949_bad_input_test
    "${bad_input}/RosterName_{${every_input},${name_inputs}}"
    "AllPrompts/AnsweringScript.SeesEveryPromptBeforeItsAnswer/RosterName_{Blocking,NonBlocking}"
    "${bad_input}/{${kind_prompts}}_NotANumber")
if(WIN32)
  # Under Wine, where a run takes seconds: where Windows differs, the bytes a name must refuse
  # or keep (the input's encoding), every input at the box's height (its largest values), and a
  # refused token at a menu and at a menu behind the interpreter's pause.
  set(sample_bad_input_test
      "${bad_input}/RosterName_{NulBytes,InvalidUtf8,OutsideCp949,EmptyLines,${name_inputs}}"
      "${bad_input}/BoxdrawHeight_{${every_input}}"
      "${bad_input}/{RosterMenu,StudytimeMenu}_NotANumber")
endif()
# The key waits (tests/key_wait_fault_test.cpp): under CP949, where a Korean key is two bytes,
# every program's last key and pause; as a sample, every signal, and the key with answers, at
# one wait of each kind (a last key, a pause), and every program's last key.
set(last_keys SorterLastKey,RecursionLastKey,SumcallsLastKey,TimestableLastKey,BoxdrawLastKey,StudytimeExitPause)
set(cp949_key_wait_fault_test
    "LastKeys/LastKey.{EndsOnOneWholeKey,KeyBytesNeverReachTheShell}/{${last_keys}}"
    "Pauses/PauseKey.{KeyBytesNeverReachTheNextPrompt,AnswersTypedWithTheKeyAreKept}/{TimestablePause,BoxdrawPause,RosterPause,StudytimePause}")
set(sample_key_wait_fault_test
    "LastKeys/KeyWaitFault.{EndingSignalsGiveTheSettingsBack,StopAndResumeKeepTheWait}/SorterLastKey"
    "Pauses/KeyWaitFault.{EndingSignalsGiveTheSettingsBack,StopAndResumeKeepTheWait}/TimestablePause"
    "Pauses/PauseKey.{KeyBytesNeverReachTheNextPrompt,AnswersTypedWithTheKeyAreKept}/TimestablePause"
    "LastKeys/LastKey.{EndsOnOneWholeKey,KeyBytesNeverReachTheShell}/{${last_keys}}")

# expand_test_names(VARIABLE NAMES...): the names, each {A,B,...} replaced by each of its
# alternatives in turn, in order, once each.
function(expand_test_names variable)
  set(names)
  set(pending ${ARGN})
  list(LENGTH pending count)
  while(count GREATER 0)
    list(POP_FRONT pending name)
    if(name MATCHES "^([^{]*)[{]([^{}]*)[}](.*)$")
      set(head "${CMAKE_MATCH_1}")
      set(tail "${CMAKE_MATCH_3}")
      string(REPLACE "," ";" alternatives "${CMAKE_MATCH_2}")
      set(expanded)
      foreach(alternative IN LISTS alternatives)
        list(APPEND expanded "${head}${alternative}${tail}")
      endforeach()
      list(PREPEND pending ${expanded})
    else()
      list(APPEND names "${name}")
    endif()
    list(LENGTH pending count)
  endwhile()
  list(REMOVE_DUPLICATES names)
  set(${variable} ${names} PARENT_SCOPE)
endfunction()

# add_program_test(NAME SOURCES... [LIBRARIES libs...] [PROGRAMS programs...]):
# one test executable, run under each console; PROGRAMS are the built programs it runs, so they
# are built first.
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
  # The more programs a test executable runs, the sooner its tests start: a fresh build has no
  # record of how long each test takes, and long ones left to the end keep one core busy while
  # the other waits.
  list(LENGTH ARG_PROGRAMS cost)
  set(cp949)
  set(suites)
  if("cp949" IN_LIST test_consoles)
    expand_test_names(cp949 ${cp949_${name}})
    set(suites ${console_free_${name}})
  endif()
  expand_test_names(sample ${sample_${name}})
  foreach(console IN LISTS test_consoles)
    set(chosen)
    set(skipped)
    if(console STREQUAL "cp949")
      set(chosen ${cp949})
      list(TRANSFORM suites APPEND ".*" OUTPUT_VARIABLE skipped)
    endif()
    if(NOT chosen AND TEST_SAMPLE)
      set(chosen ${sample})
    endif()
    list(JOIN chosen ":" filter)
    if(skipped)
      list(JOIN skipped ":" skipped)
      string(APPEND filter "-${skipped}")
    endif()
    if(filter)
      set(filter TEST_FILTER ${filter})
    endif()
    set(suffix)
    if(NOT WIN32)
      set(suffix TEST_SUFFIX .${console})
    endif()
    # Each test executable is listed when it is built, beside the rest of the build, rather than
    # one after another when the tests start, where under Wine each listing waits for Wine.
    gtest_discover_tests(${name} DISCOVERY_MODE POST_BUILD DISCOVERY_TIMEOUT 60 ${filter} ${suffix}
                         PROPERTIES COST ${cost} ${${console}_console_properties})
  endforeach()
  set(names ${cp949} ${sample})
  if(names OR suites)
    list(REMOVE_DUPLICATES names)
    set(check ${CMAKE_CURRENT_BINARY_DIR}/${name}_sample.cmake)
    file(GENERATE OUTPUT ${check} CONTENT "set(program [==[$<TARGET_FILE:${name}>]==])
set(emulator [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==])
set(names [==[${names}]==])
set(suites [==[${suites}]==])
")
    add_test(NAME sample_names.${name} COMMAND ${CMAKE_COMMAND} -D SAMPLE=${check}
                                               -P ${PROJECT_SOURCE_DIR}/cmake/CheckTestNames.cmake)
    set_tests_properties(sample_names.${name} PROPERTIES TIMEOUT 120)
  endif()
endfunction()

