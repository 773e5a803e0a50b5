#pragma once
// The program's message boxes, titled with the application title: messages
// and errors closed with one OK button, and questions answered yes, no or
// cancel.

#include "app/application.h"

#include <QString>

namespace app {

// A plain message: no icon.
void showPlainMessage(const QString& text);

// An error: the critical (stop) icon.
void showErrorBox(const QString& text);

// A question: "Sí", "No" and "Cancelar"; Esc and the close box cancel.
Application::Answer askYesNoCancel(const QString& text);

} // namespace app
