add_program_test(sorter_test SOURCES sorter_test.cpp LIBRARIES sorter_lib PROGRAMS sorter)
