#include "config/registry_file.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using config::RegistryError;
using config::RegistryFile;
using config::RegistryValue;
using config::RegistryValueType;
using testing_support::hexList;
using testing_support::utf16le;
using Bytes = std::vector<uint8_t>;

constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024";
const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string kSection = "[HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024]\r\n";

// ---- values ---------------------------------------------------------------

struct ValueCase {
    const char* name;
    std::string file;
    const char* valueName;
    RegistryValueType type;
    std::string text;
    Bytes bytes;
};

class RegistryFileValue : public testing::TestWithParam<ValueCase> {};

TEST_P(RegistryFileValue, IsReadAsWritten) {
    const ValueCase& c = GetParam();
    const RegistryFile file = RegistryFile::parse(c.file);
    const RegistryValue* value = file.value(kKey, c.valueName);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->text, c.text);
    EXPECT_EQ(value->bytes, c.bytes);
}

std::string v5(const std::string& lines) {
    return kHeader + kSection + lines;
}

const std::string kUtf16Dir = utf16le(std::string("C:\\Pelmora\0", 11));

const ValueCase kValueCases[] = {
    {"PlainString",
     v5("\"Directorio\"=\"/opt/pelmora\"\r\n"),
     "Directorio",
     RegistryValueType::String,
     "/opt/pelmora",
     {}},
    {"EscapedBackslashAndQuote",
     v5("\"Directorio\"=\"C:\\\\Pel \\\"x\\\"\"\r\n"),
     "Directorio",
     RegistryValueType::String,
     "C:\\Pel \"x\"",
     {}},
    {"EmptyString", v5("\"Directorio\"=\"\"\r\n"), "Directorio", RegistryValueType::String, "", {}},
    {"NonAsciiText",
     v5("\"Directorio\"=\"/srv/Año €\"\r\n"),
     "Directorio",
     RegistryValueType::String,
     "/srv/Año €",
     {}},
    {"DefaultValue", v5("@=\"default\"\r\n"), "", RegistryValueType::String, "default", {}},
    {"LaterValueWins",
     v5("\"Directorio\"=\"a\"\r\n\"directorio\"=\"b\"\r\n"),
     "Directorio",
     RegistryValueType::String,
     "b",
     {}},
    {"SectionRepeated",
     v5("\"A\"=\"a\"\r\n[HKEY_LOCAL_MACHINE\\Other]\r\n") + kSection + "\"Directorio\"=\"x\"\r\n",
     "A",
     RegistryValueType::String,
     "a",
     {}},
    {"ExpandStringOneLine",
     v5("\"Directorio\"=hex(2):" + hexList(kUtf16Dir) + "\r\n"),
     "Directorio",
     RegistryValueType::ExpandString,
     "C:\\Pelmora",
     {}},
    {"ExpandStringContinued",
     v5("\"Directorio\"=hex(2):25,00,50,00,46,00,25,00,\\\r\n  2f,00,c3,00,\\\r\n  00,00\r\n"),
     "Directorio",
     RegistryValueType::ExpandString,
     "%PF%/Ã",
     {}},
    {"ExpandStringWithoutZero",
     v5("\"Directorio\"=hex(2):41,00,42,00\r\n"),
     "Directorio",
     RegistryValueType::ExpandString,
     "AB",
     {}},
    {"ExpandStringEndsAtFirstZero",
     v5("\"Directorio\"=hex(2):41,00,00,00,42,00,00,00\r\n"),
     "Directorio",
     RegistryValueType::ExpandString,
     "A",
     {}},
    {"ExpandStringSurrogatePair",
     v5("\"Directorio\"=hex(2):" + hexList(utf16le("/x😀")) + "\r\n"),
     "Directorio",
     RegistryValueType::ExpandString,
     "/x😀",
     {}},
    {"Regedit4ExpandStringIsEightBit",
     "REGEDIT4\r\n\r\n" + kSection + "\"Directorio\"=hex(2):2f,6f,70,74,00\r\n",
     "Directorio",
     RegistryValueType::ExpandString,
     "/opt",
     {}},
    {"Hex1IsString", v5("\"A\"=hex(1):41,00,00,00\r\n"), "A", RegistryValueType::String, "A", {}},
    {"DWord", v5("\"A\"=dword:0000001f\r\n"), "A", RegistryValueType::DWord, "", {0x1f, 0, 0, 0}},
    {"Binary",
     v5("\"A\"=hex:01,ab,FF\r\n"),
     "A",
     RegistryValueType::Binary,
     "",
     {0x01, 0xab, 0xff}},
    {"LfLineEnds",
     "Windows Registry Editor Version 5.00\n\n" + std::string(kKey).insert(0, "[") +
         "]\n\"A\"=\"x\"\n",
     "A",
     RegistryValueType::String,
     "x",
     {}},
    {"CommentsAndBlankLines",
     v5("; a comment\r\n\r\n  ;\"A\"=\"no\"\r\n\"A\"=\"yes\"\r\n"),
     "A",
     RegistryValueType::String,
     "yes",
     {}},
    {"Utf8ByteOrderMark",
     "\xEF\xBB\xBF" + v5("\"A\"=\"x\"\r\n"),
     "A",
     RegistryValueType::String,
     "x",
     {}},
    {"LastLineWithoutLineEnd", v5("\"A\"=\"x\""), "A", RegistryValueType::String, "x", {}},
};

INSTANTIATE_TEST_SUITE_P(Types, RegistryFileValue, testing::ValuesIn(kValueCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(RegistryFile, Utf16leFileWithByteOrderMark) {
    const std::string text = v5("\"Directorio\"=\"/srv/Compañía 😀\"\r\n\"B\"=hex(2):" +
                                hexList(utf16le(std::string("ñ\0", 3))) + "\r\n");
    const RegistryFile file = RegistryFile::parse("\xFF\xFE" + utf16le(text));
    ASSERT_NE(file.value(kKey, "Directorio"), nullptr);
    EXPECT_EQ(file.value(kKey, "Directorio")->text, "/srv/Compañía 😀");
    ASSERT_NE(file.value(kKey, "B"), nullptr);
    EXPECT_EQ(file.value(kKey, "B")->text, "ñ");
}

// ---- keys -----------------------------------------------------------------

TEST(RegistryFile, KeysCompareWithoutRegardToCase) {
    const RegistryFile file = RegistryFile::parse(
        "REGEDIT4\n[hkey_local_machine\\SOFTWARE\\dranek\\pelmoraerp2024]\n\"a\"=\"x\"\n");
    EXPECT_TRUE(file.hasKey(kKey));
    ASSERT_NE(file.value(kKey, "A"), nullptr);
    EXPECT_EQ(file.value(kKey, "A")->text, "x");
}

TEST(RegistryFile, KeysAboveANamedKeyExist) {
    const RegistryFile file = RegistryFile::parse(v5(""));
    EXPECT_TRUE(file.hasKey("HKEY_LOCAL_MACHINE"));
    EXPECT_TRUE(file.hasKey("HKEY_LOCAL_MACHINE\\Software"));
    EXPECT_TRUE(file.hasKey("HKEY_LOCAL_MACHINE\\Software\\Dranek"));
    EXPECT_TRUE(file.hasKey("HKEY_LOCAL_MACHINE\\Software\\Dranek\\"));
    EXPECT_EQ(file.value("HKEY_LOCAL_MACHINE\\Software", "Directorio"), nullptr);
}

TEST(RegistryFile, KeysThatOnlyShareAPrefixDoNotExist) {
    const RegistryFile file = RegistryFile::parse(v5("\"A\"=\"x\"\r\n"));
    EXPECT_FALSE(file.hasKey("HKEY_LOCAL_MACHINE\\Software\\Dran"));
    EXPECT_FALSE(file.hasKey("HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP"));
    EXPECT_FALSE(file.hasKey("HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024\\Sub"));
    EXPECT_FALSE(file.hasKey("HKEY_CURRENT_USER\\Software"));
    EXPECT_FALSE(file.hasKey(""));
    EXPECT_EQ(file.value("HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP", "A"), nullptr);
    EXPECT_EQ(file.value(kKey, "B"), nullptr);
}

TEST(RegistryFile, KeyWithoutValuesExists) {
    const RegistryFile file = RegistryFile::parse(kHeader + "[HKEY_LOCAL_MACHINE\\Empty\\]\r\n");
    EXPECT_TRUE(file.hasKey("HKEY_LOCAL_MACHINE\\EMPTY"));
}

TEST(RegistryFile, VeryDeepKeyPath) {
    std::string path = "HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 100'000; ++i) {
        path += "\\k";
    }
    const RegistryFile file = RegistryFile::parse(kHeader + "[" + path + "]\r\n\"A\"=\"x\"\r\n");
    EXPECT_TRUE(file.hasKey(path));
    EXPECT_TRUE(file.hasKey("HKEY_LOCAL_MACHINE\\K\\K"));
    ASSERT_NE(file.value(path, "a"), nullptr);
}

// ---- malformed files --------------------------------------------------------

struct MalformedCase {
    const char* name;
    std::string file;
    std::string message;
};

class RegistryFileMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(RegistryFileMalformed, FailsNamingFileAndLine) {
    try {
        RegistryFile::parse(GetParam().file, "/etc/pelmora/registry.reg");
        FAIL() << "parsed without error";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), GetParam().message);
    }
}

std::string at(int line, const std::string& problem) {
    return "Malformed registry file '/etc/pelmora/registry.reg', line " + std::to_string(line) +
           ": " + problem;
}

const std::string kMissingHeader =
    "missing header \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"";

const MalformedCase kMalformedCases[] = {
    {"EmptyFile", "", at(1, kMissingHeader)},
    {"WrongHeader", "Windows Registry Editor Version 4.00\r\n", at(1, kMissingHeader)},
    {"HeaderNotFirst", "\r\nREGEDIT4\r\n", at(1, kMissingHeader)},
    {"PlainText", "Directorio=/opt\n", at(1, kMissingHeader)},
    {"UnclosedKey", kHeader + "[HKEY_LOCAL_MACHINE\\Software\r\n",
     at(3, "key name without a closing ']'")},
    {"EmptyKey", kHeader + "[\\\\]\r\n", at(3, "empty key name")},
    {"KeyDeletion", kHeader + "[-HKEY_LOCAL_MACHINE\\Software]\r\n",
     at(3, "key deletions are not supported")},
    {"ValueDeletion", v5("\"A\"=-\r\n"), at(4, "value deletions are not supported")},
    {"ValueBeforeKey", kHeader + "\"A\"=\"x\"\r\n", at(3, "value before the first key")},
    {"UnterminatedString", v5("\"A\"=\"abc\r\n"), at(4, "unterminated string")},
    {"UnterminatedName", v5("\"A=\"abc\r\n"), at(4, "expected '=' after the value name")},
    {"UnknownEscape", v5("\"A\"=\"a\\nb\"\r\n"),
     at(4, "unknown escape sequence in a string (only \\\\ and \\\" are allowed)")},
    {"MissingEquals", v5("\"A\" \"x\"\r\n"), at(4, "expected '=' after the value name")},
    {"TextAfterString", v5("\"A\"=\"x\" y\r\n"), at(4, "unexpected text after the value")},
    {"UnknownType", v5("\"A\"=qword:1\r\n"), at(4, "unknown value type 'qword'")},
    {"UnquotedData", v5("\"A\"=abc\r\n"), at(4, "unknown value type 'abc'")},
    {"DWordTooLong", v5("\"A\"=dword:123456789\r\n"),
     at(4, "bad dword value (expected 1 to 8 hex digits)")},
    {"DWordNotHex", v5("\"A\"=dword:0000000g\r\n"),
     at(4, "bad dword value (expected 1 to 8 hex digits)")},
    {"HexNotHex", v5("\"A\"=hex:4g\r\n"),
     at(4, "bad hex data (expected hex bytes separated by commas)")},
    {"HexEmptyByte", v5("\"A\"=hex:41,,42\r\n"),
     at(4, "bad hex data (expected hex bytes separated by commas)")},
    {"HexTrailingComma", v5("\"A\"=hex:41,\r\n"),
     at(4, "bad hex data (expected hex bytes separated by commas)")},
    {"HexBadOnContinuedLine", v5("\"A\"=hex:41,\\\r\n  42,zz\r\n"),
     at(5, "bad hex data (expected hex bytes separated by commas)")},
    {"HexContinuedPastEnd", v5("\"A\"=hex:41,\\\r\n"),
     at(4, "hex data continued past the end of the file")},
    {"HexTypeNotHex", v5("\"A\"=hex(z):00\r\n"), at(4, "bad type number in hex(...)")},
    {"HexTypeWithoutColon", v5("\"A\"=hex(2)00\r\n"), at(4, "bad type number in hex(...)")},
    {"ExpandStringOddBytes", v5("\"A\"=hex(2):41\r\n"),
     at(4, "string value is not valid UTF-16LE text")},
    {"ExpandStringLoneSurrogate", v5("\"A\"=hex(2):00,d8,41,00\r\n"),
     at(4, "string value is not valid UTF-16LE text")},
    {"ExpandStringErrorNamesItsFirstLine", v5("\"A\"=hex(2):41,\\\r\n  00,42\r\n"),
     at(4, "string value is not valid UTF-16LE text")},
    {"Regedit4ExpandStringNotUtf8", "REGEDIT4\r\n" + kSection + "\"A\"=hex(2):c3,28\r\n",
     at(3, "string value is not valid UTF-8 text")},
    {"GarbageLine", v5("Directorio=/opt\r\n"),
     at(4, "line is neither a key, a value nor a comment")},
    {"InvalidUtf8", v5("\"A\"=\"ok\"\r\n\"B\"=\"\xC3\x28\"\r\n"), at(5, "invalid UTF-8 text")},
    {"Latin1Text", v5("\"A\"=\"A\xF1o\"\n"), at(4, "invalid UTF-8 text")},
    {"Utf16BigEndian", "\xFE\xFF" + std::string("\0W", 2),
     at(1, "UTF-16 big-endian text is not supported; save the file as UTF-8 or UTF-16LE")},
    {"Utf16OddLength", "\xFF\xFE" + utf16le(v5("\"A\"=\"x\"\r\n")) + "\x41",
     at(5, "invalid UTF-16 text")},
    {"Utf16LoneSurrogate", "\xFF\xFE" + utf16le(kHeader) + std::string("\x00\xDC", 2),
     at(3, "invalid UTF-16 text")},
    {"LoneCrCountsAsLineEnd", "REGEDIT4\r[HKEY_LOCAL_MACHINE\\X]\rbad\r",
     at(3, "line is neither a key, a value nor a comment")},
};

INSTANTIATE_TEST_SUITE_P(Errors, RegistryFileMalformed, testing::ValuesIn(kMalformedCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(RegistryFile, MessageWithoutASourceName) {
    try {
        RegistryFile::parse("nonsense");
        FAIL() << "parsed without error";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "Malformed registry file, line 1: " + kMissingHeader);
    }
}

// ---- files ----------------------------------------------------------------

TEST(RegistryFileLoad, MissingFileCannotBeRead) {
    testing_support::TempDir dir;
    EXPECT_FALSE(RegistryFile::load(dir.path() + "/missing.reg").has_value());
}

TEST(RegistryFileLoad, DirectoryCannotBeRead) {
    testing_support::TempDir dir;
    EXPECT_FALSE(RegistryFile::load(dir.path()).has_value());
}

TEST(RegistryFileLoad, ReadsAFile) {
    testing_support::TempDir dir;
    const std::string path = dir.write("registry.reg", v5("\"A\"=\"x\"\r\n"));
    const std::optional<RegistryFile> file = RegistryFile::load(path);
    ASSERT_TRUE(file.has_value());
    ASSERT_NE(file->value(kKey, "A"), nullptr);
    EXPECT_EQ(file->value(kKey, "A")->text, "x");
}

TEST(RegistryFileLoad, MalformedFileNamesItsPath) {
    testing_support::TempDir dir;
    const std::string path = dir.write("registry.reg", v5("oops\r\n"));
    try {
        RegistryFile::load(path);
        FAIL() << "loaded without error";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "Malformed registry file '" + path +
                                                 "', line 4: line is neither a key, a value "
                                                 "nor a comment");
    }
}

} // namespace
