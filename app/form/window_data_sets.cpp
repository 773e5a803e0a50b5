#include "app/form/window_data_sets.h"

#include "app/form/database_names.h"
#include "app/form/window_commands.h"

#include <string>

namespace app {
namespace {

using dataset::ClientDataSet;
using dataset::DataSetProvider;
using dataset::Field;
using dataset::FieldType;
using dataset::ProviderOption;

Field* add(ClientDataSet& dataSet, const char* column, FieldType type, int size = 0,
           int precision = 0, bool required = false, const char* label = "") {
    auto field = std::make_unique<Field>(dataSet.name() + column, column, type, size, precision);
    field->Required = required;
    field->DisplayLabel = label;
    return &dataSet.addField(std::move(field));
}

std::string startPostingText() {
    return std::string("select * from ") + schema::kPostingProcedure +
           "('2003/09/01', '0', '0000', 1,1)";
}

std::string startErrorText() {
    return std::string("select erro_codigo,erro_cadena, 0 as Interfaz from ") +
           schema::kErrorTable + " where erro_item >= (select (max(erro_item) - 1) from " +
           schema::kErrorTable + " where erro_tipodoc = 31 and erro_iddoc = 0)";
}

} // namespace

WindowDataSets::WindowDataSets(WindowCommands& commands) {
    for (DataSetProvider* provider : {&PRepArticulos, &PBorrar, &Perror}) {
        provider->setDataSet(commands.SQLQuery1.get());
        provider->Options = ProviderOption::AllowCommandText;
    }
    PPuntos.setDataSet(commands.TPuntos.get());
    PAjuste.setDataSet(commands.TAjuste.get());
    PAjuste.ApplyLog = schema::kApplyBatchTable;

    CRepArticulos.ProviderName = "PRepArticulos";
    CRepArticulos.setCommandText(startPostingText());
    Cborrar.ProviderName = "PBorrar";
    CError.ProviderName = "Perror";
    CError.setCommandText(startErrorText());
    CPuntos.ProviderName = "PPuntos";
    CAjuste.ProviderName = "PAjuste";

    DError.setDataSet(&CError);
    DPuntos.setDataSet(&CPuntos);
    DAjuste.setDataSet(&CAjuste);

    CRepArticulosVER = add(CRepArticulos, schema::kPostingVersion, FieldType::FixedChar, 1);
    CRepArticulosIDC = add(CRepArticulos, schema::kPostingVoucher, FieldType::Integer);
    CRepArticulosERR = add(CRepArticulos, schema::kPostingErrors, FieldType::Integer);

    CPuntosPTVT_ID = add(CPuntos, schema::kPointId, FieldType::Integer, 0, 0, true);
    CPuntosBODE_COD = add(CPuntos, schema::kPointStore, FieldType::String, 2, 0, true);
    CPuntosPTVT_NOM = add(CPuntos, schema::kPointName, FieldType::String, 60, 0, true);
    CPuntosPTVT_RESP = add(CPuntos, schema::kPointManager, FieldType::String, 60);
    CPuntosCAJA_ID = add(CPuntos, schema::kPointTill, FieldType::Integer);
    CPuntosPTVT_COLOR = add(CPuntos, schema::kPointColour, FieldType::String, 8);
    CPuntosPREF_PRE = add(CPuntos, schema::kPointPrefix, FieldType::String, 4);
    CPuntosTERC_NIT = add(CPuntos, schema::kPointClient, FieldType::String, 20);
    CPuntosSUCU_ID = add(CPuntos, schema::kPointBranch, FieldType::Integer);

    CErrorERRO_CODIGO =
        add(CError, schema::kErrorCode, FieldType::String, 20, 0, false, "Descripci\xc3\xb3n");
    CErrorERRO_CADENA = add(CError, schema::kErrorText, FieldType::String, 20, 0, false, "Valor");
    CErrorINTERFAZ = add(CError, schema::kErrorInterface, FieldType::String, 60);

    CAjusteAJCI_ID = add(CAjuste, schema::kAdjustmentId, FieldType::Integer, 0, 0, true);
    CAjusteAJCI_FECINI =
        add(CAjuste, schema::kAdjustmentFrom, FieldType::Date, 0, 0, false, "F.Desde");
    CAjusteAJCI_FECFIN =
        add(CAjuste, schema::kAdjustmentTo, FieldType::Date, 0, 0, false, "F.Hasta");
    CAjusteAJCI_PORC =
        add(CAjuste, schema::kAdjustmentRate, FieldType::FMTBcd, 4, 15, false, "Porc");
    CAjusteAJCI_FACTOR =
        add(CAjuste, schema::kAdjustmentFactor, FieldType::FMTBcd, 4, 15, false, "Factor");
}

WindowDataSets::~WindowDataSets() {
    for (ClientDataSet* dataSet : {&CRepArticulos, &Cborrar, &CError, &CPuntos, &CAjuste}) {
        try {
            dataSet->close();
        } catch (...) {
            // The window is going away; nothing can show the failure now.
        }
    }
}

} // namespace app
