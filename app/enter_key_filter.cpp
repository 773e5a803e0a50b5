#include "app/enter_key_filter.h"

#include <QKeyEvent>

namespace app {

EnterKeyFilter::EnterKeyFilter(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

void EnterKeyFilter::watch(QObject* control) {
    control->installEventFilter(this);
}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* press = static_cast<const QKeyEvent*>(event);
    // Either Enter key types a carriage return, with or without Shift; with
    // Ctrl it is a line feed and with Alt no character at all.
    const bool enter = (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) &&
                       !(press->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!enter)
        return false;
    char key = kEnter;
    handler_(watched, key);
    return key == 0;
}

} // namespace app
