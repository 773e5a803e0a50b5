#pragma once
// The incremental-search state of one grid: whether a search runs, the text
// matched so far, and the time-out after which silence ends it.

#include <QObject>
#include <QString>
#include <QTimer>

namespace ui {

class IncrementalSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int kTypingTimeoutMs = 1500;
    static constexpr int kNoTimeout = 0;

    explicit IncrementalSearch(QObject* parent = nullptr);

    bool searching() const { return searching_; }
    const QString& text() const { return text_; }
    int timeout() const { return timeout_; }

    // Starts with an empty text; timeoutMs kNoTimeout: no time-out.
    void start(int timeoutMs);
    void setText(const QString& text) { text_ = text; }
    // Drops the last character, both halves of a surrogate pair.
    void removeLastCharacter();
    // Restarts the silence timer while a time-out is set.
    void restartTimer();
    // Ends the search and clears the text; emits ended() when one was running.
    void end();

signals:
    void ended();

private:
    bool searching_ = false;
    QString text_;
    int timeout_ = kNoTimeout;
    QTimer timer_;
};

} // namespace ui
