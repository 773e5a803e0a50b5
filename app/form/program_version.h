#pragma once
// The program's version record: the file version and the product version
// that the window and the posting tool report.

namespace app {

inline constexpr const char* kFileVersion = "2022.1.0.0";
inline constexpr const char* kProductVersion = "1.0.0.0";

} // namespace app
