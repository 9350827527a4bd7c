# Across every program: bad input at every prompt, signals and stops at every key wait, and
# standard output that cannot be written. Each suite depends on all the programs it runs.
set(reliability_programs ${PROGRAMS})

add_program_test(bad_input_test SOURCES bad_input_test.cpp PROGRAMS ${reliability_programs})
add_program_test(output_fault_test SOURCES output_fault_test.cpp PROGRAMS ${reliability_programs})
if(NOT WIN32)
  add_program_test(key_wait_fault_test SOURCES key_wait_fault_test.cpp PROGRAMS ${reliability_programs})
endif()
