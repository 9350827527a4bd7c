# Read after CMake's rules for clang on Apple systems (CMAKE_USER_MAKE_RULES_OVERRIDE_CXX of
# cmake/zig-macos.cmake): Zig's linker refuses the -Wl,-v those add to learn the compiler's
# implicit directories, so the compiler alone is asked.
set(CMAKE_CXX_VERBOSE_FLAG "-v")
