#include "ui/grid/incremental_search.h"

namespace ui {

IncrementalSearch::IncrementalSearch(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &IncrementalSearch::end);
}

void IncrementalSearch::start(int timeoutMs) {
    searching_ = true;
    text_.clear();
    timeout_ = timeoutMs;
    timer_.stop();
}

void IncrementalSearch::removeLastCharacter() {
    if (text_.isEmpty()) {
        return;
    }
    const bool pair = text_.size() >= 2 && text_.back().isLowSurrogate() &&
                      text_.at(text_.size() - 2).isHighSurrogate();
    text_.chop(pair ? 2 : 1);
}

void IncrementalSearch::restartTimer() {
    if (searching_ && timeout_ != kNoTimeout) {
        timer_.start(timeout_);
    }
}

void IncrementalSearch::end() {
    timer_.stop();
    const bool wasSearching = searching_;
    searching_ = false;
    text_.clear();
    timeout_ = kNoTimeout;
    if (wasSearching) {
        emit ended();
    }
}

} // namespace ui
