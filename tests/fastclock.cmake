add_program_test(fastclock_test SOURCES fastclock_test.cpp fastclock_stopwatch_test.cpp LIBRARIES fastclock_lib
                 PROGRAMS fastclock)
