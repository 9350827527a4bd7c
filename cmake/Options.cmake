# Build options shared by every target.

option(WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ON)

add_library(project_options INTERFACE)
if(MSVC)
  # /utf-8: the sources are UTF-8, and their literals are compiled as written.
  target_compile_options(project_options INTERFACE /W4 /permissive- /utf-8)
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

# The sanitizers: any report of AddressSanitizer or UndefinedBehaviorSanitizer ends the program.
# SANITIZE puts them on everything built (GoogleTest included, which shares the tests' containers),
# and FUZZING on the fuzz targets (top CMakeLists.txt).
set(SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
option(SANITIZE "Build everything under AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SANITIZE)
  add_compile_options(${SANITIZER_FLAGS})
  add_link_options(${SANITIZER_FLAGS})
endif()
