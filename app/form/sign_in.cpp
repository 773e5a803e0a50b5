#include "app/form/sign_in.h"

#include "app/form/company_code.h"
#include "app/form/connection_settings.h"
#include "app/form/window_data_sets.h"
#include "db/sql_connection.h"

namespace app {

SignIn::SignIn(db::SQLConnection& Pelmora, WindowDataSets& dataSets, Window window)
    : Pelmora_(Pelmora), dataSets_(dataSets), window_(std::move(window)) {}

SignIn::Outcome SignIn::run(const Request& request) {
    if (request.company.empty() || request.user.empty() || request.password.empty())
        return Outcome::Incomplete;
    if (!isPlainCompanyCode(request.company)) {
        throw InvalidCompanyCode(std::string(kInvalidCompanyPrefix) + '"' +
                                 printableCompanyCode(request.company) + '"' + kInvalidCompanyHint);
    }
    // The adjustments belong to the company they were edited in: saved
    // there before it is left, or, when it refuses them, kept open with the
    // company still signed in.
    if (!window_.leaveAdjustments())
        return Outcome::KeptCompany;
    dataSets_.CError.close();
    window_.connecting(kConnectingPrefix + request.company + kConnectingSuffix);
    // The points of sale belong to the company being left; the list is read
    // again from the one signed in to.
    dataSets_.CPuntos.close();
    Pelmora_.setConnected(false);
    Pelmora_.Params.setValue("Database", companyDatabase(request.serverEntry, request.company));
    Pelmora_.Params.setValue("User_Name", request.user);
    Pelmora_.Params.setValue("password", request.password);
    Pelmora_.setConnected(true);
    window_.connected();
    dataSets_.CPuntos.open();
    window_.signedIn();
    return Outcome::SignedIn;
}

} // namespace app
