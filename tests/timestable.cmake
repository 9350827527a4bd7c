add_program_test(timestable_test SOURCES timestable_test.cpp timestable_process_test.cpp
                 LIBRARIES timestable_lib PROGRAMS timestable)
if(NOT WIN32)
  add_program_test(timestable_terminal_test SOURCES timestable_terminal_test.cpp PROGRAMS timestable)
endif()
