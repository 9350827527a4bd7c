add_program_test(fastclock_test SOURCES fastclock_test.cpp LIBRARIES fastclock_lib PROGRAMS fastclock)
# The stopwatch test needs <chrono> and writes no program text.
plain_charset(fastclock_stopwatch_test.cpp)
target_sources(fastclock_test PRIVATE fastclock_stopwatch_test.cpp)
