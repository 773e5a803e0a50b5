#pragma once
// A benchmark hook: with PELMORA_BENCH_EXIT_AFTER_FIRST_PAINT set to anything
// but empty, the window writes one line to stderr once its first paint is
// done and the program quits, so that a benchmark can time the start-up from
// exec to the window on the screen. Without it nothing changes.

class QWidget;

namespace app {

inline constexpr const char* kExitAfterFirstPaintVariable = "PELMORA_BENCH_EXIT_AFTER_FIRST_PAINT";
// The line written, newline included.
inline constexpr const char* kFirstPaintLine = "pelmora: first paint\n";

// Watches the window's paint events when the variable asks for it.
void exitAfterFirstPaintWhenAsked(QWidget& window);

} // namespace app
