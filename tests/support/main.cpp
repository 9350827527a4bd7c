// The tests' main: the suite runs each test under a UTF-8 and under a CP949 console (LC_ALL),
// and the CP949 locale is one the build made for itself, found through LOCPATH.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
#ifdef TEST_LOCALE_DIR
    setenv("LOCPATH", TEST_LOCALE_DIR, 1);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
