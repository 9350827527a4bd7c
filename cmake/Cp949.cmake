# The sources are UTF-8; every narrow literal must become CP949 bytes in the programs.
# A compiler that cannot do that stops the configure step: a program with UTF-8 literals
# would write the wrong bytes on every console.
include(CheckCXXSourceCompiles)

if(MSVC)
  set(CP949_FLAGS /source-charset:utf-8 /execution-charset:.949)
else()
  set(CP949_FLAGS -finput-charset=UTF-8 -fexec-charset=CP949)
endif()

# The check: a program that holds "가┌" must hold their CP949 bytes.
set(_cp949_check_source [=[
  // "가" is B0 A1 in CP949 and "┌" is A6 A3.
  static_assert(sizeof("가┌") == 5);
  static_assert(static_cast<unsigned char>("가"[0]) == 0xB0 && static_cast<unsigned char>("가"[1]) == 0xA1);
  static_assert(static_cast<unsigned char>("┌"[0]) == 0xA6 && static_cast<unsigned char>("┌"[1]) == 0xA3);
  int main() { return 0; }
]=])

list(JOIN CP949_FLAGS " " _cp949_flags_string)
set(CMAKE_REQUIRED_FLAGS "${_cp949_flags_string}")
check_cxx_source_compiles("${_cp949_check_source}" COMPILER_WRITES_CP949_LITERALS)
unset(CMAKE_REQUIRED_FLAGS)

# clang has no character set for literals but UTF-8: it compiles CP949 copies of the sources
# (cmake/Cp949Copies.cmake), and the same check runs on a copy.
set(CP949_BY_COPY OFF)
if(NOT COMPILER_WRITES_CP949_LITERALS AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  include(${CMAKE_CURRENT_LIST_DIR}/Cp949Copies.cmake)
  # clang warns of every CP949 literal that it is not UTF-8.
  set(CP949_COPY_FLAGS -Wno-invalid-source-encoding)
  set(_check_dir ${CMAKE_BINARY_DIR}/CMakeFiles/cp949-check)
  file(WRITE ${_check_dir}/check.cpp "${_cp949_check_source}")
  cp949_copy_file(${_check_dir}/check.cpp ${_check_dir}/cp949/check.cpp)
  try_compile(COMPILER_KEEPS_CP949_COPIES ${_check_dir}/build SOURCES ${_check_dir}/cp949/check.cpp
              COMPILE_DEFINITIONS ${CP949_COPY_FLAGS} OUTPUT_VARIABLE _check_output)
  if(COMPILER_KEEPS_CP949_COPIES)
    message(STATUS "${CMAKE_CXX_COMPILER_ID} compiles CP949 copies of the sources")
    set(CP949_BY_COPY ON)
    set(CP949_FLAGS ${CP949_COPY_FLAGS})
  endif()
endif()

if(NOT COMPILER_WRITES_CP949_LITERALS AND NOT CP949_BY_COPY)
  message(FATAL_ERROR
    "The C++ compiler ${CMAKE_CXX_COMPILER} cannot turn UTF-8 source literals into CP949 "
    "(tried: ${_cp949_flags_string}; for clang, a CP949 copy of the source). GCC needs iconv "
    "support for -fexec-charset; MSVC needs /execution-charset:.949. Refusing to build "
    "programs with UTF-8 literals.")
endif()

target_compile_options(project_options INTERFACE ${CP949_FLAGS})

# plain_charset(sources...): sources with no program text, compiled with the ordinary UTF-8
# character set. libstdc++'s <chrono> holds a literal micro sign that CP949 lacks, so a source
# that needs <chrono> cannot be compiled for CP949.
function(plain_charset)
  if(CP949_BY_COPY)
    # Compiled from the original, which has no text to transcode.
    cp949_no_copy(${ARGN})
  elseif(MSVC)
    set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES COMPILE_OPTIONS /execution-charset:utf-8)
  else()
    set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES COMPILE_OPTIONS -fexec-charset=UTF-8)
  endif()
endfunction()
