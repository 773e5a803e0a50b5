#pragma once
// A company code names the company's own folder below the server entry's
// "datos/" folder and nothing else: one plain folder name, so that no code
// leads to a file outside that folder, nor to another server.

#include <string>
#include <string_view>

namespace app {

// Not empty, no "/", "\" or ":" (a folder or server separator), no control
// character (NUL among them), and not starting with "." (so neither "." nor
// "..").
bool isPlainCompanyCode(std::string_view code);

// The code as a message can show it: control characters become "?".
std::string printableCompanyCode(std::string_view code);

} // namespace app
