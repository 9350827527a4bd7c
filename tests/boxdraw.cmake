add_program_test(boxdraw_test SOURCES boxdraw_test.cpp boxdraw_process_test.cpp
                 LIBRARIES boxdraw_lib PROGRAMS boxdraw)
if(NOT WIN32)
  add_program_test(boxdraw_terminal_test SOURCES boxdraw_terminal_test.cpp PROGRAMS boxdraw)
endif()
