# Across every program: bad input at every prompt, signals and stops at every key wait, and
# standard output that cannot be written. Each suite depends on all the programs it runs.
set(reliability_programs ${PROGRAMS})

set(bad_input_sample)
if(WIN32)
  # Under Wine each run of a program takes a second or more, and the prompts' code is the same
  # as on other systems. What is the Windows build's own (reading, line ends, the pause through
  # the command interpreter, a pipe closed on a huge box) runs in a sample: every input at a
  # prompt of each kind (menu, word, integer, a menu behind a pause, the box's largest
  # values), and at every other prompt a refused token and the end of input.
  set(bad_input_sample "*/RosterMenu_*:*/RosterName_*:*/Sorter1_*:*/StudytimeMenu_*:*/BoxdrawHeight_*:*_NotANumber:*_EndOfInput")
endif()
add_program_test(bad_input_test SOURCES bad_input_test.cpp PROGRAMS ${reliability_programs} FILTER ${bad_input_sample})
add_program_test(output_fault_test SOURCES output_fault_test.cpp PROGRAMS ${reliability_programs})
if(NOT WIN32)
  add_program_test(key_wait_fault_test SOURCES key_wait_fault_test.cpp PROGRAMS ${reliability_programs})
endif()
