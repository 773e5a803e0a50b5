#pragma once
// What the window works on, without the window: the connection, its
// commands and the client data sets over them, made as the window makes
// them. The window holds one; so can a test or a program without a window,
// and drive the sign-in, the closing adjustments and the posting run over it.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"

#include <memory>

namespace db {
class SQLConnection;
}

namespace app {

struct FormSession {
    // Over the connection with the program's stored settings.
    FormSession();
    explicit FormSession(std::unique_ptr<db::SQLConnection> connection);
    FormSession(const FormSession&) = delete;
    FormSession& operator=(const FormSession&) = delete;
    ~FormSession();

    // Declared in this order so that they go away in the reverse one.
    std::unique_ptr<db::SQLConnection> Pelmora;
    WindowCommands commands;
    std::unique_ptr<WindowDataSets> dataSets;
};

} // namespace app
