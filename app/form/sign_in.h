#pragma once
// Signing in to a company: the adjustments being edited are saved to the
// company being left, its error listing and points of sale are closed, the
// connection is made again to the company's database with the user's
// credentials, and the new company's points of sale are read. A failure of
// the connection or of the reading passes to the caller; the company left
// stays left.

#include <functional>
#include <string>

namespace db {
class SQLConnection;
}

namespace app {

struct WindowDataSets;

class SignIn {
public:
    static constexpr const char* kConnectingPrefix = "Conectando a la base de datos ";
    static constexpr const char* kConnectingSuffix = " ...";

    struct Request {
        // An entry of the server list: a host prefix and a directory, or a
        // plain directory for the embedded engine.
        std::string serverEntry;
        std::string user;
        std::string password;
        std::string company;
    };

    // What the sign-in asks of its caller, in the order it reaches it.
    struct Window {
        // The adjustments being edited are saved to the company being left;
        // false, after telling the user, keeps that company signed in.
        std::function<bool()> leaveAdjustments;
        // Nothing of the company being left stays in sight; the caption
        // announces the connection, which blocks.
        std::function<void(const std::string& caption)> connecting;
        // Connected, before the points of sale are read.
        std::function<void()> connected;
        // The points of sale are read: the work is over.
        std::function<void()> signedIn;
    };

    enum class Outcome {
        // A field of the request is empty: nothing was done.
        Incomplete,
        // The adjustments were refused: the old company stays signed in.
        KeptCompany,
        SignedIn,
    };

    SignIn(db::SQLConnection& Pelmora, WindowDataSets& dataSets, Window window);

    Outcome run(const Request& request);

private:
    db::SQLConnection& Pelmora_;
    WindowDataSets& dataSets_;
    Window window_;
};

} // namespace app
