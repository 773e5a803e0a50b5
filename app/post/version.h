#pragma once
// What the posting tool's --version prints: the program's version record.

#include "app/form/program_version.h"

#include <string>

namespace app::post {

inline std::string versionText() {
    return std::string("pelmora-post ") + kFileVersion + " (product version " + kProductVersion +
           ")\n";
}

} // namespace app::post
