#include "config/registry.h"
#include "temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

using config::Registry;
using config::RegistryError;

constexpr const char* kInstallKey = "\\Software\\Dranek\\PelmoraERP2024";

class RegistryTest : public testing::Test {
protected:
    std::string registryWith(const std::string& lines) {
        return dir_.write("registry.reg",
                          "Windows Registry Editor Version 5.00\r\n\r\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024]\r\n" +
                              lines);
    }

    testing_support::TempDir dir_;
};

TEST_F(RegistryTest, MissingFileOpensNoKey) {
    Registry registry(dir_.path() + "/missing.reg");
    EXPECT_FALSE(registry.openKey(kInstallKey));
    EXPECT_EQ(registry.readString("Directorio"), "");
}

TEST_F(RegistryTest, MissingKeyDoesNotOpen) {
    Registry registry(registryWith(""));
    EXPECT_FALSE(registry.openKey("\\Software\\Dranek\\PelmoraERP2023"));
    EXPECT_FALSE(registry.openKey("\\Software\\Other"));
    EXPECT_EQ(registry.readString("Directorio"), "");
}

TEST_F(RegistryTest, OnlyLocalMachineKeysOpen) {
    Registry registry(dir_.write("registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n"));
    EXPECT_FALSE(registry.openKey("\\Software\\X"));
}

TEST_F(RegistryTest, KeyOpensWithOrWithoutLeadingBackslashInAnyCase) {
    Registry registry(registryWith("\"Directorio\"=\"/opt/pelmora\"\r\n"));
    EXPECT_TRUE(registry.openKey(kInstallKey));
    EXPECT_TRUE(registry.openKey("Software\\Dranek\\PelmoraERP2024"));
    EXPECT_TRUE(registry.openKey("\\SOFTWARE\\dranek\\pelmoraerp2024"));
    EXPECT_EQ(registry.readString("directorio"), "/opt/pelmora");
}

TEST_F(RegistryTest, FailedOpenKeepsTheOpenKey) {
    Registry registry(registryWith("\"Directorio\"=\"/opt/pelmora\"\r\n"));
    ASSERT_TRUE(registry.openKey(kInstallKey));
    EXPECT_FALSE(registry.openKey("\\Software\\Missing"));
    EXPECT_EQ(registry.readString("Directorio"), "/opt/pelmora");
}

TEST_F(RegistryTest, MissingOrEmptyValueReadsEmpty) {
    Registry registry(registryWith("\"Vacio\"=\"\"\r\n\"Hueco\"=hex(2):00,00\r\n"));
    ASSERT_TRUE(registry.openKey(kInstallKey));
    EXPECT_EQ(registry.readString("Directorio"), "");
    EXPECT_EQ(registry.readString("Vacio"), "");
    EXPECT_EQ(registry.readString("Hueco"), "");
}

TEST_F(RegistryTest, ExpandableStringReadsAsStored) {
    // "%ProgramFiles%\P" with its terminating zero
    Registry registry(
        registryWith("\"Directorio\"=hex(2):25,00,50,00,72,00,6f,00,67,00,72,00,61,00,"
                     "6d,00,46,00,69,00,6c,00,65,00,73,00,25,00,\\\r\n"
                     "  5c,00,50,00,00,00\r\n"));
    ASSERT_TRUE(registry.openKey(kInstallKey));
    EXPECT_EQ(registry.readString("Directorio"), "%ProgramFiles%\\P");
}

TEST_F(RegistryTest, MalformedFileRaisesOnOpen) {
    const std::string path = registryWith("\"Directorio\"=\"/opt\r\n");
    Registry registry(path);
    try {
        registry.openKey(kInstallKey);
        FAIL() << "opened a malformed file";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Malformed registry file '" + path + "', line 4: unterminated string");
    }
}

class RegistryWrongType : public testing::TestWithParam<const char*> {};

TEST_P(RegistryWrongType, ReadStringFailsWithTheValueName) {
    testing_support::TempDir dir;
    Registry registry(dir.write("registry.reg", std::string("REGEDIT4\r\n"
                                                            "[HKEY_LOCAL_MACHINE\\Software\\D]\r\n"
                                                            "\"Directorio\"=") +
                                                    GetParam() + "\r\n"));
    ASSERT_TRUE(registry.openKey("\\Software\\D"));
    try {
        registry.readString("directorio");
        FAIL() << "read a non-string value as a string";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid data type for 'directorio'");
    }
}

INSTANTIATE_TEST_SUITE_P(Types, RegistryWrongType,
                         testing::Values("dword:00000001", "hex:2f,6f", "hex:", "hex(b):01,00",
                                         "hex(7):41,00,00,00,00,00", "hex(0):", "hex(4):01",
                                         "hex(100000):"));

class RegistryPathVariable : public testing::Test {
protected:
    void SetUp() override {
        const char* value = std::getenv("PELMORA_REGISTRY");
        if (value != nullptr) {
            saved_ = value;
        }
    }
    void TearDown() override {
        if (saved_) {
            ::setenv("PELMORA_REGISTRY", saved_->c_str(), 1);
        } else {
            ::unsetenv("PELMORA_REGISTRY");
        }
    }

    std::optional<std::string> saved_;
};

TEST_F(RegistryPathVariable, ChoosesTheRegistryFile) {
    ::setenv("PELMORA_REGISTRY", "/tmp/other.reg", 1);
    EXPECT_EQ(config::defaultRegistryPath(), "/tmp/other.reg");
    ::setenv("PELMORA_REGISTRY", "", 1);
    EXPECT_EQ(config::defaultRegistryPath(), "/etc/pelmora/registry.reg");
    ::unsetenv("PELMORA_REGISTRY");
    EXPECT_EQ(config::defaultRegistryPath(), "/etc/pelmora/registry.reg");
}

} // namespace
