# The package a user downloads (./run package): the eight programs, stripped, and a short README
# in Korean and English (UTF-8 with a byte-order mark, so that Notepad shows the Korean). A .zip
# for Windows, a .tar.gz for Linux; the version is the project's.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(PACKAGE_SYSTEM "Windows x64")
  set(RUN_KO "명령 프롬프트(cmd)나 Windows 터미널에서 실행하십시오. 예: roster.exe
한글은 코드 페이지 949 콘솔에서 보입니다 (chcp 949). 프로그램은 다른 DLL 없이 실행됩니다.")
  set(RUN_EN "Start them from a Command Prompt (cmd) or Windows Terminal, for example: roster.exe
The Korean shows on a console of code page 949 (chcp 949). The programs need no other DLL.")
else()
  set(CPACK_GENERATOR TGZ)
  execute_process(COMMAND getconf GNU_LIBC_VERSION OUTPUT_VARIABLE libc OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
  if(NOT libc)
    set(libc "the C library of the build machine")
  endif()
  set(PACKAGE_SYSTEM "Linux ${CMAKE_SYSTEM_PROCESSOR}, ${libc}")
  set(RUN_KO "터미널에서 실행하십시오. 예: bin/roster
${libc} 이상의 리눅스에서 실행됩니다. UTF-8 터미널에서는 UTF-8로, CP949 또는 EUC-KR 로케일에서는
CP949로 씁니다.")
  set(RUN_EN "Start them from a terminal, for example: bin/roster
They run on Linux with ${libc} or later. They write UTF-8 on a UTF-8 terminal, and CP949
under a CP949 or EUC-KR locale.")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME korean-console-programs)
set(CPACK_PACKAGE_VENDOR "korean-console-programs")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
