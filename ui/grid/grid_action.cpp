#include "ui/grid/grid_action.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <exception>

namespace ui {

namespace {

GridAction::Runner& installed() {
    static GridAction::Runner runner;
    return runner;
}

bool runShowingErrors(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(),
                              QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace

void GridAction::setRunner(Runner runner) {
    installed() = std::move(runner);
}

bool GridAction::run(const std::function<void()>& action) {
    return installed() ? installed()(action) : runShowingErrors(action);
}

} // namespace ui
