#pragma once
// Hands the characters typed in some controls of a window to the window's
// key-press handler, which may swallow a character by setting it to the null
// character. Only Enter is a character this window cares about.

#include <QObject>

#include <functional>

namespace app {

class EnterKeyFilter : public QObject {
    Q_OBJECT
public:
    static constexpr char kEnter = 13;

    using Handler = std::function<void(QObject* sender, char& key)>;

    explicit EnterKeyFilter(Handler handler, QObject* parent = nullptr);

    // Sends the controls' key presses through the handler.
    void watch(QObject* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};

} // namespace app
