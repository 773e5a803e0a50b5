#include "app/key_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScopeGuard>

namespace app {

KeyPreview::KeyPreview(QWidget* window, Handler handler)
    : QObject(window), window_(window), handler_(std::move(handler)) {
    // Only the application sees a key before the widget it is sent to.
    qApp->installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        // A key let go of while the handler still runs (in a message box it
        // opened) belongs to the key being handled, which may yet travel on
        // to the parents of the control that left it unused.
        if (handling_ == 0)
            previewed_ = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    // Dialogs, message boxes and drop-down lists are windows of their own.
    // An open list keeps its keys: Esc closes the list and not the window,
    // and F2 cannot post a point that is only highlighted, not chosen.
    if (widget->window() != window_)
        return false;
    if (event == previewed_ && previewedAt_ && widget != previewedAt_ &&
        widget->isAncestorOf(previewedAt_))
        return false;
    previewed_ = event;
    previewedAt_ = widget;
    const auto* key = static_cast<const QKeyEvent*>(event);
    ++handling_;
    const auto done = qScopeGuard([this] { --handling_; });
    handler_(key->key(), key->modifiers());
    return false;
}

} // namespace app
