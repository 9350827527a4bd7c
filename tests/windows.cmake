# Windows only: the stack that Windows programs are linked with.
# The recursion program once more, without optimisation, so that the 65535 nested calls of
# its sum really nest: an optimised build turns them into a loop and would prove nothing.
get_target_property(recursion_sources recursion_lib SOURCES)
get_target_property(recursion_dir recursion_lib SOURCE_DIR)
list(TRANSFORM recursion_sources PREPEND ${recursion_dir}/)
add_executable(recursion_unoptimised ${recursion_dir}/main.cpp ${recursion_sources})
target_include_directories(recursion_unoptimised PRIVATE ${recursion_dir})
target_compile_options(recursion_unoptimised PRIVATE $<IF:$<CXX_COMPILER_ID:MSVC>,/Od,-O0>)
target_link_libraries(recursion_unoptimised PRIVATE console project_options)
add_program_test(windows_stack_test SOURCES windows_stack_test.cpp PROGRAMS recursion_unoptimised)

# The programs in Wine's console on a pseudo-terminal (tmux) with a Korean locale, checked on
# the screen as a person at a Korean Windows console would. Cross builds only: the script runs
# on the build machine. They share one Wine prefix, and each ends by stopping what runs there,
# so they never run at the same time.
if(CMAKE_CROSSCOMPILING AND TARGET wine_prefix)
  foreach(program IN ITEMS roster sumcalls sorter fastclock)
    add_test(NAME windows_console.${program}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_console_test.sh ${program} ${CMAKE_BINARY_DIR}/bin
                     ${CMAKE_BINARY_DIR}/wine-console)
    # The first case also makes the locale and the prefix, some 20 seconds on a busy machine.
    set_tests_properties(windows_console.${program} PROPERTIES TIMEOUT 240 SKIP_RETURN_CODE 77
                         RESOURCE_LOCK wine_console)
  endforeach()
endif()
