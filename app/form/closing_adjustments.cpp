#include "app/form/closing_adjustments.h"

#include "app/form/database_names.h"
#include "app/form/window_data_sets.h"
#include "dataset/apply/reconcile_error.h"
#include "dataset/apply/sql_resolver.h"
#include "db/bcd.h"
#include "platform/text.h"

#include <optional>
#include <string_view>

namespace app {
namespace {

// A text value in single quotes, every quote inside doubled.
std::string quoted(const std::string& text) {
    std::string result = "'";
    for (const char c : text) {
        result += c;
        if (c == '\'')
            result += '\'';
    }
    return result + '\'';
}

db::SQLDate sqlDate(const platform::Date& day) {
    return {day.year, day.month, day.day};
}

} // namespace

ClosingAdjustments::ClosingAdjustments(WindowDataSets& dataSets, Window window)
    : dataSets_(dataSets), window_(std::move(window)) {}

std::string ClosingAdjustments::filterFor(const platform::Date& day) {
    return std::string(schema::kAdjustmentFrom) + " = " + quoted(platform::dateToShortText(day));
}

void ClosingAdjustments::toggle() {
    if (window_.panelShown()) {
        close();
    } else {
        open();
    }
}

void ClosingAdjustments::open() {
    dataset::ClientDataSet& CAjuste = dataSets_.CAjuste;
    const platform::Date day = window_.chosenDate();
    day_ = day;
    CAjuste.setFilter(filterFor(day));
    CAjuste.setFiltered(true);
    // Left open by F2, the data set is not read again: the filter alone
    // changes.
    CAjuste.open();
    while (!CAjuste.Eof())
        CAjuste.Delete();
    for (const StandardRow& row : kStandardRows) {
        CAjuste.Insert();
        dataSets_.CAjusteAJCI_ID->setAsInteger(0);
        dataSets_.CAjusteAJCI_FECINI->setAsDate(sqlDate(day));
        dataSets_.CAjusteAJCI_FECFIN->setAsDate(sqlDate(day));
        dataSets_.CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(row.porc, kScale));
        dataSets_.CAjusteAJCI_FACTOR->setAsBcd(db::Bcd::fromScaled(row.factor, kScale));
        CAjuste.Post();
    }
    window_.showPanel(true);
}

bool ClosingAdjustments::close() {
    // All or nothing: the day's rows are replaced at once or left as they
    // were.
    const std::vector<std::string> refused = apply(0);
    if (!refused.empty()) {
        report(refused);
        return false;
    }
    window_.showPanel(false);
    dataSets_.CAjuste.close();
    day_.reset();
    return true;
}

bool ClosingAdjustments::leaveCompany() {
    if (window_.panelShown())
        return close();
    dataSets_.CAjuste.close();
    day_.reset();
    return true;
}

bool ClosingAdjustments::hasUnsavedChanges() const {
    const dataset::ClientDataSet& CAjuste = dataSets_.CAjuste;
    if (!window_.panelShown() || !CAjuste.Active())
        return false;
    return CAjuste.ChangeCount() > 0 || CAjuste.State() == dataset::DataSetState::Insert ||
           CAjuste.State() == dataset::DataSetState::Edit;
}

void ClosingAdjustments::newRowDefaults() {
    if (!day_)
        return;
    dataSets_.CAjusteAJCI_FECINI->setAsDate(sqlDate(*day_));
    dataSets_.CAjusteAJCI_FECFIN->setAsDate(sqlDate(*day_));
}

bool ClosingAdjustments::saveBeforePosting() {
    window_.showPanel(false);
    std::vector<std::string> refused;
    try {
        // Every row is tried: those the database takes are saved, the
        // refused ones stay for correction.
        refused = apply(-1);
    } catch (...) {
        // The changes are still in the change log: keep them in sight.
        window_.showPanel(true);
        throw;
    }
    if (!refused.empty()) {
        window_.showPanel(true);
        report(refused);
        return false;
    }
    return true;
}

std::vector<std::string> ClosingAdjustments::apply(int maxErrors) {
    dataset::ClientDataSet& CAjuste = dataSets_.CAjuste;
    std::vector<std::string> refused;
    bool readAgain = false;
    const auto handler = CAjuste.OnReconcileError;
    CAjuste.OnReconcileError =
        [this, &refused, &readAgain](dataset::ClientDataSet&, const dataset::ReconcileError& error,
                                     dataset::UpdateKind, dataset::ReconcileAction& action) {
            // No correction can save a change of a row that is no longer as it
            // was read: the row as the database holds it now takes its place.
            if (std::string_view(error.what()) == dataset::SQLResolver::kRecordChanged) {
                action = dataset::ReconcileAction::Refresh;
                refused.push_back(changedElsewhere(error));
                readAgain = true;
                return;
            }
            // Rows that were only rolled back with a refused one stay in the
            // change log without a line of their own.
            if (error.errorCode() != dataset::SQLResolver::kNotSavedCode)
                refused.emplace_back(error.what());
        };
    int errorCount = 0;
    try {
        errorCount = CAjuste.ApplyUpdates(maxErrors);
    } catch (...) {
        CAjuste.OnReconcileError = handler;
        throw;
    }
    CAjuste.OnReconcileError = handler;
    if (errorCount > 0 && refused.empty())
        refused.emplace_back();
    if (readAgain && CAjuste.ChangeCount() > 0)
        refused.emplace_back(kOthersKept);
    return refused;
}

std::string ClosingAdjustments::changedElsewhere(const dataset::ReconcileError& error) const {
    // The row as the user last saw it read: a deletion or a modification
    // has its values as read, an insertion only its own.
    const auto valueOf = [&error](std::string_view column) {
        std::optional<dataset::Value> value = error.oldValue(column);
        if (!value)
            value = error.newValue(column);
        return value.value_or(dataset::Value());
    };
    const auto text = [&valueOf](const dataset::Field& field) {
        const std::string shown = field.displayTextOf(valueOf(field.FieldName()));
        return shown.empty() ? std::string("(vacío)") : shown;
    };
    const std::string row = "de " + text(*dataSets_.CAjusteAJCI_PORC) + " % con factor " +
                            text(*dataSets_.CAjusteAJCI_FACTOR) + ", del " +
                            text(*dataSets_.CAjusteAJCI_FECINI) + " al " +
                            text(*dataSets_.CAjusteAJCI_FECFIN) + ",";
    return platform::fill(kChangedElsewhere, row);
}

void ClosingAdjustments::report(const std::vector<std::string>& refused) {
    std::string text = kNotSaved;
    for (const std::string& message : refused)
        text += '\n' + message;
    window_.showMessage(text);
}

} // namespace app
