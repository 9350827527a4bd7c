# add_console_program(NAME SOURCES files... [LIBRARIES libs...] [TESTS files...]
#                     [TERMINAL_TESTS files...]): one of the programs, from its folder NAME/:
# - NAME_lib, its logic, from SOURCES (in NAME/), with LIBRARIES;
# - the executable NAME from NAME/main.cpp, written to bin/ and installed;
# - when tests are built, the test executable NAME_test from TESTS (in tests/), which may use
#   NAME_lib and runs the built program, and, but on Windows, NAME_terminal_test from
#   TERMINAL_TESTS (runs on a pseudo-terminal).
# Every program is listed in the global property PROGRAMS, in the order of the calls.
# A macOS build made elsewhere cannot start its programs: each is checked as a file instead
# (cmake/macos/check_macho.py), a test of its own.
if(APPLE AND CMAKE_CROSSCOMPILING)
  enable_testing()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
endif()
function(add_console_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;TESTS;TERMINAL_TESTS" ${ARGN})
  list(TRANSFORM ARG_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${name}/)
  add_library(${name}_lib STATIC ${ARG_SOURCES})
  target_include_directories(${name}_lib PUBLIC ${PROJECT_SOURCE_DIR}/${name})
  target_link_libraries(${name}_lib PUBLIC console project_options ${ARG_LIBRARIES})

  add_executable(${name} ${PROJECT_SOURCE_DIR}/${name}/main.cpp)
  target_link_libraries(${name} PRIVATE ${name}_lib)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  install(TARGETS ${name} RUNTIME DESTINATION bin)
  set_property(GLOBAL APPEND PROPERTY PROGRAMS ${name})
  if(APPLE AND CMAKE_CROSSCOMPILING)
    add_test(NAME macho.${name}
             COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/macos/check_macho.py ${CMAKE_SYSTEM_PROCESSOR}
                     $<TARGET_FILE:${name}>)
  endif()

  if(BUILD_TESTING AND ARG_TESTS)
    list(TRANSFORM ARG_TESTS PREPEND ${PROJECT_SOURCE_DIR}/tests/)
    add_program_test(${name}_test SOURCES ${ARG_TESTS} LIBRARIES ${name}_lib PROGRAMS ${name})
  endif()
  if(BUILD_TESTING AND ARG_TERMINAL_TESTS AND NOT WIN32)
    list(TRANSFORM ARG_TERMINAL_TESTS PREPEND ${PROJECT_SOURCE_DIR}/tests/)
    add_program_test(${name}_terminal_test SOURCES ${ARG_TERMINAL_TESTS} PROGRAMS ${name})
  endif()
endfunction()
