#include "app/form/form_session.h"

#include "app/form/connection_settings.h"
#include "db/sql_connection.h"

namespace app {

FormSession::FormSession() : FormSession(makePelmoraConnection()) {}

FormSession::FormSession(std::unique_ptr<db::SQLConnection> connection)
    : Pelmora(std::move(connection)), commands(WindowCommands::create(*Pelmora)),
      dataSets(std::make_unique<WindowDataSets>(commands)) {}

FormSession::~FormSession() = default;

} // namespace app
