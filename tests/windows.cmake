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
console_force_startup(recursion_unoptimised)
add_program_test(windows_stack_test SOURCES windows_stack_test.cpp PROGRAMS recursion_unoptimised)
