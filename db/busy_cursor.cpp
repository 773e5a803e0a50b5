#include "db/busy_cursor.h"

namespace db {

namespace {

BusyCursor::Handler& handler() {
    static BusyCursor::Handler installed;
    return installed;
}

// Each thread that runs statements has its own nesting.
thread_local int depth = 0;

} // namespace

void BusyCursor::setHandler(Handler newHandler) {
    handler() = std::move(newHandler);
}

BusyCursor::BusyCursor() {
    if (depth++ == 0 && handler()) {
        handler()(true);
    }
}

BusyCursor::~BusyCursor() {
    if (--depth == 0 && handler()) {
        handler()(false);
    }
}

} // namespace db
