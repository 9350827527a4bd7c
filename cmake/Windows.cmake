# Settings of Windows builds, native or cross.

if(WIN32)
  # A Windows thread gets 1 MiB of stack unless the program says otherwise, and the recursion
  # drill nests 65535 calls: reserve 64 MiB, room for frames of up to 1 KiB even in an
  # unoptimised build. Only the pages touched are ever committed.
  set(WINDOWS_STACK_BYTES 67108864)
  if(MSVC)
    target_link_options(project_options INTERFACE /STACK:${WINDOWS_STACK_BYTES})
  else()
    # Statically linked, so that each .exe runs alone, without the MinGW runtime's DLLs.
    target_link_options(project_options INTERFACE -static LINKER:--stack,${WINDOWS_STACK_BYTES})
  endif()
endif()

# Cross-built tests run under Wine, in a Wine prefix of their own inside the build tree.
if(WIN32 AND CMAKE_CROSSCOMPILING AND BUILD_TESTING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(WINE_PROGRAM wine)
  if(NOT WINE_PROGRAM)
    message(FATAL_ERROR "The tests of a Windows cross build run under Wine, which was not found "
                        "(Debian: apt-get install wine wine64). Configure with "
                        "-DBUILD_TESTING=OFF to build the programs alone.")
  endif()
  set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${WINE_PREFIX})
  # The prefix is made once, at build time: it takes several seconds, more than CTest grants
  # a test executable to list its tests.
  add_custom_command(
    OUTPUT ${WINE_PREFIX}/prefix-ready
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
    COMMAND ${CMAKE_COMMAND} -E touch ${WINE_PREFIX}/prefix-ready
    COMMENT "Creating the Wine prefix for the tests"
    VERBATIM)
  add_custom_target(wine_prefix ALL DEPENDS ${WINE_PREFIX}/prefix-ready)
  # The tests in Wine's console (tests/windows_console_test.sh) share a prefix of their own, made
  # under a Korean locale: made here as well, while the rest compiles, so that no case waits.
  set(WINE_CONSOLE_WORK ${CMAKE_BINARY_DIR}/wine-console)
  add_custom_command(
    OUTPUT ${WINE_CONSOLE_WORK}/wine/prefix-ready
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/windows_console_test.sh prepare ${CMAKE_BINARY_DIR}/bin ${WINE_CONSOLE_WORK}
    COMMENT "Creating the Wine prefix for the tests in Wine's console"
    VERBATIM)
  add_custom_target(wine_console_prefix ALL DEPENDS ${WINE_CONSOLE_WORK}/wine/prefix-ready)
endif()
