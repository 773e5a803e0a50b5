#include "config/server_list.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using config::parseServerList;
using config::readServerList;
using Entries = std::vector<std::string>;

struct ServerListCase {
    const char* name;
    std::string bytes;
    Entries entries;
};

std::string bytesOf(std::initializer_list<char> chars) {
    return std::string(chars);
}

class ServerListParse : public testing::TestWithParam<ServerListCase> {};

TEST_P(ServerListParse, GivesTheEntries) {
    EXPECT_EQ(parseServerList(GetParam().bytes), GetParam().entries);
}

const ServerListCase kServerListCases[] = {
    {"CrLf", "A\r\nB\r\n", {"A", "B"}},
    {"Lf", "A\nB\n", {"A", "B"}},
    {"LastLineWithoutLineEnd", "A\r\nB", {"A", "B"}},
    {"EmptyLineBetween", "A\r\n\r\nB\r\n", {"A", "", "B"}},
    {"LeadingCrLf", "\r\nA\r\n", {"", "A"}},
    {"LeadingLf", "\nA", {"", "A"}},
    {"LoneCrKeepsTheNextCharacter", "A\rB\rC\r", {"A", "B", "C"}},
    {"LfCrIsTwoLineEnds", "A\n\rB", {"A", "", "B"}},
    {"MixedLineEnds", "A\r\nB\nC\rD", {"A", "B", "C", "D"}},
    {"OnlyOneCharacter", "A", {"A"}},
    {"Empty", "", {}},
    {"OnlyCrLf", "\r\n", {""}},
    {"NothingTrimmed", " A \t\r\n\tB ", {" A \t", "\tB "}},
    {"DuplicatesStay", "A\nA\nA\n", {"A", "A", "A"}},
    {"ZeroEndsTheEntry", bytesOf({'A', 'B', '\0', 'C', 'D', '\r', '\n', 'E', '\n'}), {"AB", "E"}},
    {"ZeroFirst", bytesOf({'\0', 'X', '\n', 'Y', '\n'}), {"", "Y"}},
    {"ZeroInLastLineWithoutLineEnd", bytesOf({'A', '\n', 'B', '\0', 'C'}), {"A", "B"}},
    {"LongLineKeptWhole", std::string(300, 'x') + "\r\nB\r\n", {std::string(300, 'x'), "B"}},
    {"EightBitBytesKept", "\xC1\xFF\x80\r\n", {"\xC1\xFF\x80"}},
};

INSTANTIATE_TEST_SUITE_P(Rules, ServerListParse, testing::ValuesIn(kServerListCases),
                         [](const auto& row) { return std::string(row.param.name); });

// A reader that went back over the text for each line would not get through
// this within the test's time limit.
TEST(ServerListParse, AMillionLinesAreRead) {
    std::string bytes;
    for (int i = 0; i < 1'000'000; ++i) {
        bytes += (i % 3 == 0) ? "srv" + std::to_string(i) + "\r\n" : std::string(i % 3, 'x') + "\n";
    }
    const Entries entries = parseServerList(bytes);
    ASSERT_EQ(entries.size(), 1'000'000u);
    EXPECT_EQ(entries[0], "srv0");
    EXPECT_EQ(entries[999'999], "srv999999");
    EXPECT_EQ(entries[500'000], "xx");
}

TEST(ServerListRead, MissingFileGivesAnEmptyList) {
    testing_support::TempDir dir;
    EXPECT_TRUE(readServerList(dir.path() + "/SERVIDORES.cfg").empty());
}

TEST(ServerListRead, DirectoryGivesAnEmptyList) {
    testing_support::TempDir dir;
    EXPECT_TRUE(readServerList(dir.path()).empty());
}

TEST(ServerListRead, EmptyFileGivesAnEmptyList) {
    testing_support::TempDir dir;
    EXPECT_TRUE(readServerList(dir.write("SERVIDORES.cfg", "")).empty());
}

TEST(ServerListRead, ReadsTheFileBytesAsTheyAre) {
    testing_support::TempDir dir;
    const std::string bytes = bytesOf({'A', '\r', '\n', '\r', '\n', 'B', '\0', 'x', '\r', 'C'});
    EXPECT_EQ(readServerList(dir.write("SERVIDORES.cfg", bytes)), (Entries{"A", "", "B", "C"}));
}

} // namespace
