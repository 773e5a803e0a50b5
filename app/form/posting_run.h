#pragma once
// One posting of the cash sales of a day and a point of sale: the lookups of
// the client code and the sales interface, the call of the posting procedure
// composed as SQL text, the completion of the voucher it leaves pending, and
// the error listing when it fails. All posting logic is in the database;
// this only gathers the inputs, sends them and reports the outcome.

#include "dataset/client/field.h"

#include <cstdint>
#include <functional>
#include <string>

namespace db {
class SQLStoredProc;
}

namespace app {

struct WindowDataSets;

class PostingRun {
public:
    static constexpr const char* kNoPointOfSale = "Seleccione un punto de venta.";
    static constexpr const char* kNoClientCode = "No se encontró el código del cliente de contado.";
    static constexpr const char* kNoInterfacePrefix =
        "No se encontró la interfaz de ventas del prefijo ";
    // Filled with the company's order and the order of the date text, each
    // as day/month/year words.
    static constexpr const char* kDateOrderDiffers =
        "La compañía lee las fechas en el orden %s y este equipo las escribe en el orden %s. "
        "No se contabilizó nada: ajuste el formato de fecha corta del equipo al de la compañía.";
    static constexpr const char* kNotPosted = "No se pudo contabilizar las facturas.";
    static constexpr const char* kPosted = "Comprobante contable correctamente generado.";
    static constexpr const char* kFailedHead =
        "Se presentaron los siguientes errores en la contabilización:";
    static constexpr const char* kFailedHint = "Verifique la definición de la interfaz relacionada";

    // The run's inputs, read from the window at each run.
    struct Request {
        // The posting date in the user's short date format.
        std::string dateText;
        // The order of day, month and year in dateText ("DMY", "MDY", ...).
        // A company that reads dates in another order posts nothing: it
        // would read another day. Empty when the caller wrote the date in
        // the company's own order.
        std::string dateOrder;
        // PTVT_ID of the chosen point of sale; null when none is chosen.
        dataset::Value pointKey;
        // The NIIF book instead of the local one.
        bool niif = false;
    };

    // What the run asks of the window, in the order the run reaches it.
    struct Window {
        // The database work is over; called before any message.
        std::function<void()> hideBanner;
        std::function<void(const std::string& text)> showMessage;
        // The posting failed: the error listing is about to be read.
        std::function<void()> enableErrorGrid;
    };

    // How a run ended, for callers without a window.
    struct Outcome {
        enum class Kind {
            // A lookup failed before the posting procedure was called.
            Refused,
            // The procedure gave no row.
            NotPosted,
            // Every sale of the day was already in the book: no voucher.
            NothingNew,
            // The voucher was built and completed.
            Posted,
            // The procedure listed errors; CError holds them.
            Failed,
        };
        Kind kind = Kind::Refused;
        // The completed voucher when Posted.
        std::int64_t voucher = 0;
        // The number of error rows when Failed.
        std::int64_t errors = 0;
        // The message the window was given; empty for NothingNew.
        std::string message;
    };

    PostingRun(WindowDataSets& dataSets, db::SQLStoredProc& Scontapend, Window window);

    // The whole run. Failures of the database and the data sets pass.
    Outcome run(const Request& request);

    // Where the last run's time went inside the database: the posting
    // procedure (opening CRepArticulos) and the completion of its voucher.
    // The rest of a run is the program's own work.
    struct Timings {
        std::int64_t postingNanoseconds = 0;
        std::int64_t completionNanoseconds = 0;
    };
    const Timings& lastTimings() const { return timings_; }

private:
    // Each gives false, after telling the user, when the run cannot go on.
    bool choosePointOfSale(const dataset::Value& pointKey);
    bool checkDateOrder(const std::string& dateOrder);
    bool findClientCode(const std::string& prefix, std::string& clientCode);
    bool findInterface(const std::string& prefix, std::int64_t& interfaceId,
                       std::string& interfaceName);

    // Opens Cborrar on the statement; gives the text of its first column in
    // the first row, or nothing without a row.
    bool lookUp(const std::string& sql, std::string& firstColumn);
    void post(const std::string& statement, const std::string& interfaceName);
    void complete(std::int64_t voucher);
    void listErrors(std::int64_t errorCount, const std::string& interfaceName);
    void refuse(const std::string& text);
    void say(const std::string& text);

    WindowDataSets& dataSets_;
    db::SQLStoredProc& Scontapend_;
    Window window_;
    Timings timings_;
    Outcome outcome_;
};

} // namespace app
