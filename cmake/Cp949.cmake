# The sources are UTF-8; every narrow literal must become CP949 bytes in the programs.
# A compiler that cannot do that stops the configure step: a program with UTF-8 literals
# would write the wrong bytes on every console.
include(CheckCXXSourceCompiles)

if(MSVC)
  set(CP949_FLAGS /source-charset:utf-8 /execution-charset:.949)
else()
  set(CP949_FLAGS -finput-charset=UTF-8 -fexec-charset=CP949)
endif()

list(JOIN CP949_FLAGS " " _cp949_flags_string)
set(CMAKE_REQUIRED_FLAGS "${_cp949_flags_string}")
check_cxx_source_compiles([=[
  // "가" is B0 A1 in CP949 and "┌" is A6 A3.
  static_assert(sizeof("가┌") == 5);
  static_assert(static_cast<unsigned char>("가"[0]) == 0xB0 && static_cast<unsigned char>("가"[1]) == 0xA1);
  static_assert(static_cast<unsigned char>("┌"[0]) == 0xA6 && static_cast<unsigned char>("┌"[1]) == 0xA3);
  int main() { return 0; }
]=] COMPILER_WRITES_CP949_LITERALS)
unset(CMAKE_REQUIRED_FLAGS)

if(NOT COMPILER_WRITES_CP949_LITERALS)
  message(FATAL_ERROR
    "The C++ compiler ${CMAKE_CXX_COMPILER} cannot turn UTF-8 source literals into CP949 "
    "(tried: ${_cp949_flags_string}). GCC needs iconv support for -fexec-charset; "
    "MSVC needs /execution-charset:.949. Refusing to build programs with UTF-8 literals.")
endif()

target_compile_options(project_options INTERFACE ${CP949_FLAGS})

# plain_charset(sources...): sources with no program text, compiled with the ordinary UTF-8
# character set. libstdc++'s <chrono> holds a literal micro sign that CP949 lacks, so a source
# that needs <chrono> cannot be compiled for CP949.
function(plain_charset)
  if(MSVC)
    set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES COMPILE_OPTIONS /execution-charset:utf-8)
  else()
    set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES COMPILE_OPTIONS -fexec-charset=UTF-8)
  endif()
endfunction()
