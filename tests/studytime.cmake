add_program_test(studytime_test SOURCES studytime_test.cpp studytime_process_test.cpp
                 LIBRARIES studytime_lib PROGRAMS studytime)
if(NOT WIN32)
  add_program_test(studytime_terminal_test SOURCES studytime_terminal_test.cpp PROGRAMS studytime)
endif()
