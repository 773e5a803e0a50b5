#pragma once
// What a step left behind: the window as the user sees it, and the two
// companies' adjustment rows and vouchers as the databases hold them.

#include "../adjustments_fixture.h"
#include "app/form/window_data_sets.h"
#include "app/tfcontavtascontado.h"
#include "db/sql_connection.h"
#include "ui/grid/db_grid.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_navigator.h"

#include <QCheckBox>
#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QToolButton>

#include <algorithm>

namespace sequence {

// An adjustment row as from|to|porc|factor, dates as yyyy-mm-dd, decimals
// with four places; an empty text for null.
inline QString dayOf(const QString& row) {
    return row.section(QLatin1Char('|'), 0, 0);
}

struct Screen {
    bool exists = false;
    QString company; // the company of the open connection, empty when none
    QDate date;
    QString point;
    bool niif = false;
    bool panel = false;
    bool active = false;
    dataset::DataSetState state = dataset::DataSetState::Inactive;
    int recNo = 0;
    int count = 0;    // rows of the view, a row being inserted apart
    QStringList view; // the grid's rows, a row being inserted included
    bool deleteEnabled = false;
    bool editorShown = false;
    int changes = 0;

    bool browsing() const { return state == dataset::DataSetState::Browse; }

    static Screen read(app::Tfcontavtascontado* w) {
        Screen s;
        if (!w)
            return s;
        s.exists = true;
        if (w->Pelmora->Connected()) {
            const QString database = QString::fromStdString(w->Pelmora->Params.value("Database"));
            s.company = database.section(QLatin1Char('/'), -2, -2);
        }
        s.date = w->EFecIni->date();
        s.point = w->Pto->currentText();
        s.niif = w->ckniif->isChecked();
        s.panel = w->CaptionPanel1->isVisible();
        app::WindowDataSets& sets = *w->dataSets;
        dataset::ClientDataSet& data = sets.CAjuste;
        s.active = data.Active();
        s.deleteEnabled = w->DBNavigator1->button(ui::NavigateButton::Delete)->isEnabled();
        s.editorShown = w->DBGrid2->editorShown();
        if (!s.active)
            return s;
        s.state = data.State();
        s.recNo = data.RecNo();
        s.count = data.RecordCount();
        s.changes = data.ChangeCount();
        const int rows = s.count + (s.state == dataset::DataSetState::Insert ? 1 : 0);
        for (int row = 0; row < rows; ++row)
            s.view << rowText(data, sets, row);
        return s;
    }

private:
    static QString rowText(dataset::ClientDataSet& data, app::WindowDataSets& sets, int row) {
        auto value = [&](dataset::Field* field) { return data.valueAt(row, field->Index()); };
        auto day = [](const dataset::Value& v) {
            const auto* d = std::get_if<db::SQLDate>(&v);
            return d ? QDate(d->year, d->month, d->day).toString(Qt::ISODate) : QString();
        };
        auto decimal = [](const dataset::Value& v) {
            const auto* b = std::get_if<db::Bcd>(&v);
            return b ? adjustments::fixed4(*b) : QString();
        };
        return QStringList{day(value(sets.CAjusteAJCI_FECINI)), day(value(sets.CAjusteAJCI_FECFIN)),
                           decimal(value(sets.CAjusteAJCI_PORC)),
                           decimal(value(sets.CAjusteAJCI_FACTOR))}
            .join(QLatin1Char('|'));
    }
};

// What one company's database holds.
struct Books {
    QStringList adjustments; // sorted rows of AJUSTE_CIERRE
    // comp_id -> state|book|date|point|debits minus credits
    QMap<int, QString> vouchers;

    bool operator==(const Books&) const = default;

    static Books read(CompanyProbe& probe) {
        Books books;
        books.adjustments = probe.rows(
            QStringLiteral("select coalesce(cast(ajci_fecini as varchar(10)), ''), "
                           "coalesce(cast(ajci_fecfin as varchar(10)), ''), "
                           "coalesce(cast(ajci_porc as varchar(24)), ''), "
                           "coalesce(cast(ajci_factor as varchar(24)), '') from ajuste_cierre"));
        books.adjustments.sort();
        const QStringList vouchers = probe.rows(
            QStringLiteral("select c.comp_id, c.comp_estado, c.libr_cod, c.comp_fecha, c.ptvt_id, "
                           "cast((select coalesce(sum(l.coli_debito - l.coli_credito), 0) from "
                           "comprobante_lineas l where l.comp_id = c.comp_id) as varchar(24)) "
                           "from comprobantes c"));
        for (const QString& voucher : vouchers)
            books.vouchers.insert(voucher.section(QLatin1Char('|'), 0, 0).toInt(),
                                  voucher.section(QLatin1Char('|'), 1));
        return books;
    }
};

} // namespace sequence
