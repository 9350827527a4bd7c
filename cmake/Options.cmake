# Build options shared by every target.

# The console encoding: CP949 writes the programs' bytes unchanged (a code-page-949 console);
# UTF-8 converts them as they are written (Linux and macOS terminals).
if(WIN32)
  set(_default_encoding CP949)
else()
  set(_default_encoding UTF-8)
endif()
set(CONSOLE_ENCODING ${_default_encoding} CACHE STRING "Console encoding of the programs' output: UTF-8 or CP949")
set_property(CACHE CONSOLE_ENCODING PROPERTY STRINGS UTF-8 CP949)
if(NOT CONSOLE_ENCODING MATCHES "^(UTF-8|CP949)$")
  message(FATAL_ERROR "CONSOLE_ENCODING must be UTF-8 or CP949, not '${CONSOLE_ENCODING}'")
endif()

option(WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ON)
option(BUILD_TESTING_PROGRAMS "Build the test suite" ON)

add_library(project_options INTERFACE)
if(MSVC)
  target_compile_options(project_options INTERFACE /W4 /permissive-)
  if(WARNINGS_AS_ERRORS)
    target_compile_options(project_options INTERFACE /WX)
  endif()
else()
  target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
                                                   -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
  if(WARNINGS_AS_ERRORS)
    target_compile_options(project_options INTERFACE -Werror)
  endif()
endif()
if(CONSOLE_ENCODING STREQUAL "UTF-8")
  target_compile_definitions(project_options INTERFACE CONSOLE_UTF8=1)
else()
  target_compile_definitions(project_options INTERFACE CONSOLE_UTF8=0)
endif()
