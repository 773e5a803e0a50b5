#pragma once
// The program's two kinds of message box, both titled with the application
// title and closed with one OK button.

#include <QString>

namespace app {

// A plain message: no icon.
void showPlainMessage(const QString& text);

// An error: the critical (stop) icon.
void showErrorBox(const QString& text);

} // namespace app
