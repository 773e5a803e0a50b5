#pragma once
// The user's decimal separator (LC_NUMERIC), which numbers in filter texts
// use.

namespace platform {

// The radix character of the LC_NUMERIC locale the environment names, read
// without changing the process's locale; "." when that locale writes it with
// more than one byte.
char decimalSeparator();

} // namespace platform
