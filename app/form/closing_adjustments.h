#pragma once
// The editor of one day's closing-rate adjustments. Opening resets the rows
// of AJUSTE_CIERRE that start on the chosen day, in CAjuste's change log, to
// the three standard rows and shows the panel; closing writes the changes
// back and puts the editor away; F2 writes them back before posting. A save
// the database refuses in part is reported and leaves the editor open on
// the refused changes, so that they can be corrected and saved again.

#include "platform/short_date.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dataset {
class ReconcileError;
}

namespace app {

struct WindowDataSets;

class ClosingAdjustments {
public:
    static constexpr const char* kNotSaved = "No se pudieron guardar las tarifas:";
    // A row another user changed or deleted while the editor was open; %s
    // names it by its percentage, factor and dates.
    static constexpr const char* kChangedElsewhere =
        "La tarifa %s fue cambiada o borrada por otro usuario: se descarta su cambio y se "
        "vuelve a leer de la base de datos.";
    static constexpr const char* kOthersKept =
        "Los demás cambios se conservan: pulse F5 para guardarlos.";
    // Asked when the window closes over changes not yet saved.
    static constexpr const char* kSaveBeforeLeaving =
        "Las tarifas tienen cambios sin guardar. ¿Desea guardarlos antes de salir?";

    // Percentage and factor of a standard row, as integers scaled by 10^Scale.
    static constexpr int kScale = 4;
    struct StandardRow {
        std::int64_t porc;
        std::int64_t factor;
    };
    // In the order they are inserted; each lands before the previous one, so
    // the grid lists them 5, 16, 0.
    static constexpr std::array<StandardRow, 3> kStandardRows{
        {{0, 8000}, {160000, 8000}, {50000, 8000}}};

    // What the editor asks of the window.
    struct Window {
        std::function<bool()> panelShown;
        std::function<void(bool shown)> showPanel;
        // The day chosen in the date picker.
        std::function<platform::Date()> chosenDate;
        std::function<void(const std::string& text)> showMessage;
    };

    ClosingAdjustments(WindowDataSets& dataSets, Window window);

    // F5: opens the editor when its panel is hidden, closes it when shown.
    void toggle();
    void open();
    // False, after telling the user, when rows were refused: the panel stays
    // shown and the refused changes stay in the change log.
    bool close();
    // F2 with the panel shown. False, as for close(), when rows were refused;
    // the posting run must then not start.
    bool saveBeforePosting();
    // Before signing in to another company: the changes being edited are
    // saved to the company they were made in (false, after telling the user,
    // when rows were refused: the editor stays open), and a data set left
    // open by F2 is closed so that the next opening reads the new company.
    bool leaveCompany();

    // The panel is shown over changes the database has not yet seen.
    bool hasUnsavedChanges() const;
    // Defaults of a row the user adds: the day the panel was opened for, so
    // that the row stays in the day's view.
    void newRowDefaults();

    // The filter of the day's rows: the field, "=", the date as the user's
    // short date text in quotes.
    static std::string filterFor(const platform::Date& day);

private:
    // Sends CAjuste's change log; the database's message of each refused row.
    // A row another user changed or deleted meanwhile loses its change and
    // is read again, so that the next save can take the others.
    std::vector<std::string> apply(int maxErrors);
    // The line of a refused row that another user changed or deleted.
    std::string changedElsewhere(const dataset::ReconcileError& error) const;
    void report(const std::vector<std::string>& refused);

    WindowDataSets& dataSets_;
    Window window_;
    // The day of the rows in the editor, from its opening.
    std::optional<platform::Date> day_;
};

} // namespace app
