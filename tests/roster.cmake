add_program_test(roster_test SOURCES roster_test.cpp roster_process_test.cpp
                 LIBRARIES roster_lib PROGRAMS roster)
if(NOT WIN32)
  add_program_test(roster_terminal_test SOURCES roster_terminal_test.cpp PROGRAMS roster)
endif()
