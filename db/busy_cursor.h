#pragma once
// The hourglass while the database layer blocks. The layer knows no window
// system: the program installs a handler that shows or restores the cursor.

#include <functional>

namespace db {

class BusyCursor {
public:
    using Handler = std::function<void(bool busy)>;

    // Installs the handler; an empty one turns the cursor changes off.
    static void setHandler(Handler handler);

    // Shows the busy cursor for the life of the object; nested ones show it once.
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace db
