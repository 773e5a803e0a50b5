#pragma once
// What the connection needs of the commands attached to it.

namespace db {

class RegisteredCommand {
public:
    virtual ~RegisteredCommand() = default;
    virtual bool isActive() const = 0;
    // Closes the command when it is open and releases its driver statement,
    // so that it prepares again on its next use.
    virtual void closeForDisconnect() = 0;
    // The connection is going away: forget it without calling it again.
    virtual void connectionDestroyed() {}
};

} // namespace db
