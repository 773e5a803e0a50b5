#pragma once
// The program's version record: the file version, the product version and
// the company that the window and the posting tool report.

#include <string>
#include <string_view>

namespace app {

inline constexpr const char* kFileVersion = "2022.1.0.0";
inline constexpr const char* kProductVersion = "1.0.0.0";
inline constexpr const char* kCompanyName = "Dranek";

// What a program of the suite prints for --version: its name and file
// version, then its product version, then the company.
inline std::string versionText(std::string_view program) {
    return std::string(program) + " " + kFileVersion + " (product version " + kProductVersion +
           ")\n" + kCompanyName + "\n";
}

} // namespace app
