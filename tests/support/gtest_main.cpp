// The entry point of every Google Test executable: runs the tests, then ends
// the use of the Firebird client and checks for leaks before the process's
// exit handlers run.

#include "tests/support/firebird_client_stop.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    testsupport::stopFirebirdClient();
    testsupport::checkLeaksNow();
    return result;
}
