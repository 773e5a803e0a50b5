#pragma once
// A fresh directory for one test's files, under $PELMORA_TEST_TMP (else
// /tmp), removed with everything in it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("PELMORA_TEST_TMP");
        const std::string root = base != nullptr && *base != '\0' ? base : "/tmp";
        std::filesystem::create_directories(root);
        std::string pattern = root + "/config-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) {
            throw std::runtime_error("cannot create a directory under " + root);
        }
        path_ = buffer.data();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }

    // Writes bytes to a file of this directory and returns its path.
    std::string write(const std::string& name, std::string_view bytes) const {
        const std::string file = path_ + "/" + name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + file);
        }
        return file;
    }

private:
    std::string path_;
};

} // namespace testing_support
