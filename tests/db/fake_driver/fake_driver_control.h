#pragma once
// What a test tells the fake driver library to answer, and what the library
// records of the calls it receives. The test reaches the one instance through
// the exported function fakeDriverControl.

#include <cstdint>
#include <string>
#include <vector>

namespace db::fake {

struct FakeDriverControl {
    // Results of the calls; 0 is success.
    int entryResult = 0;
    int getConnectionResult = 0;
    int connectResult = 0;
    int metaDataResult = 0;
    int beginResult = 0;
    int commitResult = 0;
    int rollbackResult = 0;
    int prepareResult = 0;
    int setParameterResult = 0;
    int executeResult = 0;
    int messageLengthResult = 0;

    // What the driver reports.
    std::int64_t rowsAffected = 1;
    std::int64_t maxActiveCommands = 0;
    std::int64_t quoteChar = '"';
    std::int64_t supportsTransaction = 1;
    std::int64_t supportsTransactions = 0;

    // Messages of the failing objects; empty gives the length 0.
    std::string connectionMessage;
    std::string metaDataMessage;
    std::string commandMessage;

    // Every call the program made, in order, as readable lines.
    std::vector<std::string> calls;
    // Driver objects created and not yet released.
    int liveObjects = 0;
};

using FakeDriverControlFunction = FakeDriverControl* (*)();

} // namespace db::fake
