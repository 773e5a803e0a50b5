#include "dataset/window_data_sets.h"

#include "db/window_commands.h"

namespace dataset {
namespace {

Field* add(ClientDataSet& dataSet, const char* column, FieldType type, int size = 0,
           int precision = 0, bool required = false, const char* label = "") {
    auto field = std::make_unique<Field>(dataSet.name() + column, column, type, size, precision);
    field->Required = required;
    field->DisplayLabel = label;
    return &dataSet.addField(std::move(field));
}

constexpr const char* StartPostingText =
    "select * from contabil_facturas_contado('2003/09/01', '0', '0000', 1,1)";
constexpr const char* StartErrorText =
    "select erro_codigo,erro_cadena, 0 as Interfaz from errores where erro_item >= (select "
    "(max(erro_item) - 1) from errores where erro_tipodoc = 31 and erro_iddoc = 0)";

} // namespace

WindowDataSets::WindowDataSets(db::WindowCommands& commands) {
    for (DataSetProvider* provider : {&PRepArticulos, &PBorrar, &Perror}) {
        provider->setDataSet(commands.SQLQuery1.get());
        provider->Options = ProviderOption::AllowCommandText;
    }
    PPuntos.setDataSet(commands.TPuntos.get());
    PAjuste.setDataSet(commands.TAjuste.get());

    CRepArticulos.ProviderName = "PRepArticulos";
    CRepArticulos.setCommandText(StartPostingText);
    Cborrar.ProviderName = "PBorrar";
    CError.ProviderName = "Perror";
    CError.setCommandText(StartErrorText);
    CPuntos.ProviderName = "PPuntos";
    CAjuste.ProviderName = "PAjuste";

    DError.setDataSet(&CError);
    DPuntos.setDataSet(&CPuntos);
    DAjuste.setDataSet(&CAjuste);

    CRepArticulosVER = add(CRepArticulos, "VER", FieldType::FixedChar, 1);
    CRepArticulosIDC = add(CRepArticulos, "IDC", FieldType::Integer);
    CRepArticulosERR = add(CRepArticulos, "ERR", FieldType::Integer);

    CPuntosPTVT_ID = add(CPuntos, "PTVT_ID", FieldType::Integer, 0, 0, true);
    CPuntosBODE_COD = add(CPuntos, "BODE_COD", FieldType::String, 2, 0, true);
    CPuntosPTVT_NOM = add(CPuntos, "PTVT_NOM", FieldType::String, 60, 0, true);
    CPuntosPTVT_RESP = add(CPuntos, "PTVT_RESP", FieldType::String, 60);
    CPuntosCAJA_ID = add(CPuntos, "CAJA_ID", FieldType::Integer);
    CPuntosPTVT_COLOR = add(CPuntos, "PTVT_COLOR", FieldType::String, 8);
    CPuntosPREF_PRE = add(CPuntos, "PREF_PRE", FieldType::String, 4);
    CPuntosTERC_NIT = add(CPuntos, "TERC_NIT", FieldType::String, 20);
    CPuntosSUCU_ID = add(CPuntos, "SUCU_ID", FieldType::Integer);

    CErrorERRO_CODIGO =
        add(CError, "ERRO_CODIGO", FieldType::String, 20, 0, false, "Descripci\xc3\xb3n");
    CErrorERRO_CADENA = add(CError, "ERRO_CADENA", FieldType::String, 20, 0, false, "Valor");
    CErrorINTERFAZ = add(CError, "INTERFAZ", FieldType::String, 60);

    CAjusteAJCI_ID = add(CAjuste, "AJCI_ID", FieldType::Integer, 0, 0, true);
    CAjusteAJCI_FECINI = add(CAjuste, "AJCI_FECINI", FieldType::Date, 0, 0, false, "F.Desde");
    CAjusteAJCI_FECFIN = add(CAjuste, "AJCI_FECFIN", FieldType::Date, 0, 0, false, "F.Hasta");
    CAjusteAJCI_PORC = add(CAjuste, "AJCI_PORC", FieldType::FMTBcd, 4, 15, false, "Porc");
    CAjusteAJCI_FACTOR = add(CAjuste, "AJCI_FACTOR", FieldType::FMTBcd, 4, 15, false, "Factor");
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

} // namespace dataset
