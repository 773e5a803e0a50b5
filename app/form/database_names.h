#pragma once
// The names the program and a company's database must agree on: tables,
// procedures, their parameters and the columns the program reads by name,
// and where a company's database lies below a server entry.

namespace app::schema {

// Where a company's database lies: the server entry, the folder, the
// company code, the file.
inline constexpr const char* kCompanyFolder = "/datos/";
inline constexpr const char* kCompanyFile = "/pelmora.fdb";

// Tables.
inline constexpr const char* kPointOfSaleTable = "PUNTO_VENTA";
inline constexpr const char* kAdjustmentTable = "AJUSTE_CIERRE";
inline constexpr const char* kErrorTable = "errores";
inline constexpr const char* kAuthorisationTable = "AUTORIZACIONES";
inline constexpr const char* kConfigurationTable = "configuracion";
inline constexpr const char* kSalesInterfaceTable = "INTERFAZ_VENTAS";
// Where each save of the adjustments writes its batch id.
inline constexpr const char* kApplyBatchTable = "LOTES_APLICADOS";

// The configuration row that says in which order of day, month and year the
// posting procedures read a date text ("DMY", "MDY", ...).
inline constexpr const char* kDateOrderSetting =
    "conf_modulo = 'GENERAL' and conf_categoria = 'FECHAS' and "
    "conf_propiedad = 'ORDEN FECHA CORTA'";

// The posting procedures, local book and NIIF book, read as a select.
inline constexpr const char* kPostingProcedure = "contabil_facturas_contado";
inline constexpr const char* kNiifPostingProcedure = "contabil_facturas_contado_n";
// The procedure that completes the voucher a posting leaves pending, and
// its one parameter, the voucher.
inline constexpr const char* kCompletionProcedure = "CONTABILIZA_PENDIENTE";
inline constexpr const char* kCompletionParameter = "IDCNT";

// Columns of the posting procedures' one row.
inline constexpr const char* kPostingVersion = "VER";
inline constexpr const char* kPostingVoucher = "IDC";
inline constexpr const char* kPostingErrors = "ERR";

// Columns of PUNTO_VENTA.
inline constexpr const char* kPointId = "PTVT_ID";
inline constexpr const char* kPointStore = "BODE_COD";
inline constexpr const char* kPointName = "PTVT_NOM";
inline constexpr const char* kPointManager = "PTVT_RESP";
inline constexpr const char* kPointTill = "CAJA_ID";
inline constexpr const char* kPointColour = "PTVT_COLOR";
inline constexpr const char* kPointPrefix = "PREF_PRE";
inline constexpr const char* kPointClient = "TERC_NIT";
inline constexpr const char* kPointBranch = "SUCU_ID";

// Columns of the error listing.
inline constexpr const char* kErrorCode = "ERRO_CODIGO";
inline constexpr const char* kErrorText = "ERRO_CADENA";
inline constexpr const char* kErrorInterface = "INTERFAZ";

// Columns of AJUSTE_CIERRE.
inline constexpr const char* kAdjustmentId = "AJCI_ID";
inline constexpr const char* kAdjustmentFrom = "AJCI_FECINI";
inline constexpr const char* kAdjustmentTo = "AJCI_FECFIN";
inline constexpr const char* kAdjustmentRate = "AJCI_PORC";
inline constexpr const char* kAdjustmentFactor = "AJCI_FACTOR";

} // namespace app::schema
