#pragma once
// Signing in to a company: the adjustments being edited are saved to the
// company being left, its error listing and points of sale are closed, the
// connection is made again to the company's database with the user's
// credentials, and the new company's points of sale are read. A failure of
// the connection or of the reading passes to the caller; the company left
// stays left. A company code that is no plain folder name is refused before
// anything of the company signed in to is touched.

#include <functional>
#include <stdexcept>
#include <string>

namespace db {
class SQLConnection;
}

namespace app {

struct WindowDataSets;

// The company code would lead outside the server entry's "datos/" folder.
class InvalidCompanyCode : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SignIn {
public:
    static constexpr const char* kConnectingPrefix = "Conectando a la base de datos ";
    static constexpr const char* kConnectingSuffix = " ...";
    // The refusal of a company code: the prefix, the code in double quotes,
    // the hint.
    static constexpr const char* kInvalidCompanyPrefix = "El código de compañía no es válido: ";
    static constexpr const char* kInvalidCompanyHint =
        ". Escriba solo el nombre de la carpeta de la compañía, sin /, \\, :, caracteres de "
        "control ni punto inicial.";

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

    // Raises InvalidCompanyCode for a company code that is no plain folder
    // name; the company signed in to stays as it was.
    Outcome run(const Request& request);

private:
    db::SQLConnection& Pelmora_;
    WindowDataSets& dataSets_;
    Window window_;
};

} // namespace app
