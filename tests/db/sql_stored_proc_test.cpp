// The stored-procedure command: the completion of a posting run on a real
// company database, and parameters described by the server.

#include "app/form/window_commands.h"
#include "db/sql_connection.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"

#include <gtest/gtest.h>

namespace db::test {
namespace {

std::string sqlText(const std::string& text) {
    std::string result = "'";
    for (const char c : text) {
        result += c == '\'' ? "''" : std::string(1, c);
    }
    return result + "'";
}

class SQLStoredProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        database_ = createCompany("sql_stored_proc_test");
        ASSERT_FALSE(database_.empty()) << "the company database could not be created";
        connection_ = programConnection(database_);
        commands_ = app::WindowCommands::create(*connection_);
    }

    // The first column of the first row, through the shared query.
    std::string lookup(const std::string& sql) {
        SQLQuery& query = *commands_.SQLQuery1;
        query.setSQL(sql);
        query.open();
        const std::string value = query.eof() ? "" : textOf(query.value(0));
        query.close();
        return value;
    }

    // A posting run of the demo's last day at point of sale 1, as the window composes it;
    // gives the voucher IDC.
    std::int64_t post() {
        const std::string prefix = lookup("select pref_pre from punto_venta where ptvt_id = 1");
        std::string client = lookup("SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = " +
                                    sqlText(prefix));
        if (client.empty() || client == "<null>") {
            client = lookup("select conf_valor from configuracion where conf_modulo = "
                            "'FACTURACION' and conf_categoria = 'FACTURAS' and conf_propiedad = "
                            "'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'");
        }
        const std::string interface =
            lookup("SELECT MAX(INVE_ID) FROM INTERFAZ_VENTAS WHERE TIDO_COD = 31 AND PREF_PRE = " +
                   sqlText(prefix));
        // The demo company's last sales day is the day it was made, which the
        // machine's clock may already have left.
        const std::string iso = lookup("select max(fact_fecha) from facturas");
        const std::string today =
            iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4);
        SQLQuery& query = *commands_.SQLQuery1;
        query.setSQL("select * from contabil_facturas_contado(" + sqlText(today) + ", " +
                     sqlText(client) + ", " + sqlText(prefix) + ", 1, " + interface + ")");
        query.open();
        EXPECT_FALSE(query.eof());
        EXPECT_EQ(textOf(query.value(2)), "0") << "ERR";
        const auto idc = std::get<std::int64_t>(query.value(1));
        query.close();
        return idc;
    }

    std::string state(std::int64_t voucher) {
        return lookup("select comp_estado from comprobantes where comp_id = " +
                      std::to_string(voucher));
    }

    std::string database_;
    std::unique_ptr<SQLConnection> connection_;
    app::WindowCommands commands_;
};

TEST_F(SQLStoredProcTest, CompletesThePendingVoucherOfAPostingRun) {
    SQLStoredProc& proc = *commands_.Scontapend;
    ASSERT_EQ(proc.params().size(), 1u);
    EXPECT_EQ(proc.descriptionReads(), 0) << "nothing is read while the window loads";
    EXPECT_EQ(textOf(proc.paramByName("idcnt").value), "0");

    const std::int64_t voucher = post();
    ASSERT_GT(voucher, 0);
    EXPECT_EQ(state(voucher), "P");

    proc.setStoredProcName("CONTABILIZA_PENDIENTE");
    proc.paramByName("IDCNT").value = voucher;
    proc.execProc();
    EXPECT_EQ(state(voucher), "C");
    EXPECT_TRUE(proc.prepared()) << "the statement stays for the next run";
    EXPECT_EQ(proc.descriptionReads(), 1);
    EXPECT_EQ(proc.nativeText(), "CONTABILIZA_PENDIENTE");

    // Completing it again is refused by the procedure, with its own text.
    proc.setStoredProcName("CONTABILIZA_PENDIENTE");
    EXPECT_EQ(std::get<std::int64_t>(proc.paramByName("IDCNT").value), voucher)
        << "the same name keeps the parameter and its value";
    const std::string error = errorOf([&] { proc.execProc(); });
    EXPECT_NE(error.find("completado"), std::string::npos) << error;
    EXPECT_EQ(proc.descriptionReads(), 2) << "the same name reads the descriptions again";
    EXPECT_EQ(proc.prepareCount(), 1);
    EXPECT_TRUE(proc.prepared());

    const std::int64_t next = post();
    EXPECT_EQ(next, 0) << "posting the same day again finds nothing new";
}

TEST_F(SQLStoredProcTest, UnknownNamesAreReported) {
    SQLStoredProc& proc = *commands_.Scontapend;
    EXPECT_EQ(errorOf([&] { proc.paramByName("X"); }), "Scontapend: Parameter 'X' not found");

    proc.setStoredProcName("NO_EXISTE");
    EXPECT_TRUE(proc.params().empty()) << "the server describes no parameters for it";
    const std::string error = errorOf([&] { proc.execProc(); });
    EXPECT_NE(error.find("NO_EXISTE"), std::string::npos) << error;
    EXPECT_FALSE(proc.prepared());
}

TEST(SQLStoredProcParams, OutputParametersAreReadBack) {
    TestDatabase database("stored_proc_outputs",
                          {"create procedure sumar (a integer, b numeric(15,4), nombre varchar(20))"
                           " returns (total numeric(15,4), saludo varchar(30))"
                           " as begin total = a + b; saludo = 'Hola ' || nombre; end",
                           "create procedure nada as begin end"});
    auto connection = programConnection(database.path());
    SQLStoredProc proc("Sumar");
    proc.setConnection(connection.get());
    proc.setStoredProcName("SUMAR");
    std::vector<std::string> names;
    for (const SQLParam& p : proc.params()) {
        names.push_back(p.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "NOMBRE", "TOTAL", "SALUDO"}));
    proc.paramByName("A").value = std::int64_t{2};
    proc.paramByName("B").value = *Bcd::fromString("0.25");
    proc.paramByName("NOMBRE").value = std::string("O'Neil");
    proc.execProc();
    EXPECT_EQ(textOf(proc.paramByName("TOTAL").value), "2.2500");
    EXPECT_EQ(textOf(proc.paramByName("SALUDO").value), "Hola O'Neil");

    proc.paramByName("A").value = std::monostate{};
    proc.execProc();
    EXPECT_EQ(textOf(proc.paramByName("TOTAL").value), "<null>");
    EXPECT_EQ(proc.prepareCount(), 1);

    SQLStoredProc nothing("Nada");
    nothing.setConnection(connection.get());
    nothing.setStoredProcName("NADA");
    EXPECT_EQ(errorOf([&] { nothing.open(); }), "Nada: Cursor not returned from Query");
    EXPECT_TRUE(nothing.prepared());
    EXPECT_EQ(nothing.execProc(), 0);
    EXPECT_EQ(nothing.prepareCount(), 1);
}

} // namespace
} // namespace db::test
