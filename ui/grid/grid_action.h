#pragma once
// Runs what a grid does to its data set (post, cancel, insert, delete, write
// a value) so that an error of the data set reaches the application's error
// handler instead of unwinding through the toolkit.

#include <functional>

namespace ui {

class GridAction {
public:
    // Runs an action and shows what it raised; false when it raised. The
    // application installs its own guard; until then an error box is shown.
    using Runner = std::function<bool(const std::function<void()>& action)>;

    static void setRunner(Runner runner);
    static bool run(const std::function<void()>& action);
};

} // namespace ui
