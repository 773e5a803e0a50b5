#include "app/form/window_commands.h"

#include "app/form/database_names.h"
#include "db/sql_connection.h"

namespace app {

WindowCommands WindowCommands::create(db::SQLConnection& Pelmora) {
    using namespace db;
    WindowCommands c;
    c.SQLQuery1 = std::make_unique<SQLQuery>("SQLQuery1");
    c.SQLQuery1->MaxBlobSize = -1;
    c.SQLQuery1->GetMetadata = false;

    c.TPuntos = std::make_unique<SQLTable>("TPuntos");
    c.TPuntos->setTableName(schema::kPointOfSaleTable);
    c.TAjuste = std::make_unique<SQLTable>("TAjuste");
    c.TAjuste->setTableName(schema::kAdjustmentTable);
    for (SQLTable* table : {c.TPuntos.get(), c.TAjuste.get()}) {
        table->MaxBlobSize = -1;
        table->GetMetadata = false;
    }

    c.Scontapend = std::make_unique<SQLStoredProc>("Scontapend");
    c.Scontapend->setStoredProcName(schema::kCompletionProcedure);
    c.Scontapend->MaxBlobSize = -1;
    c.Scontapend->GetMetadata = true;
    c.Scontapend->params() = {SQLParam{schema::kCompletionParameter, FieldType::Integer,
                                       ParamDirection::In, SQLValue{std::int64_t{0}}}};

    for (SQLCommand* command : std::initializer_list<SQLCommand*>{
             c.SQLQuery1.get(), c.TPuntos.get(), c.TAjuste.get(), c.Scontapend.get()}) {
        command->NumericMapping = false;
        command->ParamCheck = true;
        command->setConnection(&Pelmora);
    }
    return c;
}

} // namespace app
