#pragma once
// The window signed in to a demo company, with the keys a user presses for
// the closing-rate adjustments, and what the adjustments table holds.

#include "app/form/window_data_sets.h"
#include "app/tfcontavtascontado.h"
#include "company_fixture.h"
#include "posting_fixture.h"
#include "ui/grid/db_grid.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"

#include <QDate>
#include <QStringList>
#include <QTest>

namespace adjustments {

inline const QString kPosted = QStringLiteral("Comprobante contable correctamente generado.");
inline const QString kNotSaved = QStringLiteral("No se pudieron guardar las tarifas:");
inline const QString kSaveQuestion =
    QStringLiteral("Las tarifas tienen cambios sin guardar. ¿Desea guardarlos antes de salir?");
inline const QString kColumns =
    QStringLiteral("ajci_id, ajci_fecini, ajci_fecfin, ajci_porc, ajci_factor");

// Every row of AJUSTE_CIERRE starting on the day, ordered by rate.
inline QStringList storedRows(CompanyProbe& probe, const QDate& day) {
    return probe.rows(QStringLiteral("select %1 from ajuste_cierre where ajci_fecini = %2 "
                                     "order by ajci_porc, ajci_factor, ajci_id")
                          .arg(kColumns, CompanyProbe::isoDate(day)));
}

// Every row starting on another day.
inline QStringList otherRows(CompanyProbe& probe, const QDate& day) {
    return probe.rows(QStringLiteral("select %1 from ajuste_cierre where ajci_fecini <> %2 or "
                                     "ajci_fecini is null order by 2, 3, 4, 5, 1")
                          .arg(kColumns, CompanyProbe::isoDate(day)));
}

// A stored row as the probe lists it.
inline QString row(const QDate& day, const QString& porc, const QString& factor = "0.8000",
                   int id = 0) {
    const QString date = day.toString(Qt::ISODate);
    return QStringLiteral("%1|%2|%2|%3|%4").arg(QString::number(id), date, porc, factor);
}

// A decimal with four places, whatever scale it was typed with.
inline QString fixed4(const db::Bcd& value) {
    std::int64_t scaled = value.toScaled().value_or(0);
    for (int scale = value.scale(); scale < 4; ++scale)
        scaled *= 10;
    const std::int64_t whole = scaled / 10000;
    const std::int64_t places = scaled < 0 ? -(scaled % 10000) : scaled % 10000;
    return QStringLiteral("%1%2.%3")
        .arg(scaled < 0 && whole == 0 ? "-" : "")
        .arg(whole)
        .arg(places, 4, 10, QLatin1Char('0'));
}

// A date field's day as yyyy-mm-dd, whatever the short date format; empty
// when null.
inline QString isoDay(const dataset::Field& field) {
    if (field.IsNull())
        return {};
    const db::SQLDate day = field.AsDate();
    return QDate(day.year, day.month, day.day).toString(Qt::ISODate);
}

// CAjuste's visible rows in view order, as porc|factor|id|from|to.
inline QStringList editorRows(app::WindowDataSets& sets) {
    dataset::ClientDataSet& data = sets.CAjuste;
    QStringList result;
    if (!data.Active())
        return result;
    const int current = data.RecNo();
    for (data.First(); !data.Eof(); data.Next())
        result << QStringLiteral("%1|%2|%3|%4|%5")
                      .arg(fixed4(sets.CAjusteAJCI_PORC->AsBcd()),
                           fixed4(sets.CAjusteAJCI_FACTOR->AsBcd()),
                           QString::fromStdString(sets.CAjusteAJCI_ID->AsString()),
                           isoDay(*sets.CAjusteAJCI_FECINI), isoDay(*sets.CAjusteAJCI_FECFIN));
    if (current > 0)
        data.setRecNo(current);
    return result;
}

// The window under test with the keys of the adjustments.
class Session {
public:
    explicit Session(QPointer<app::Tfcontavtascontado>& window) : window_(window) {}

    app::Tfcontavtascontado& w() { return *window_; }
    app::WindowDataSets& sets() { return *w().dataSets; }

    // The key goes where the user's focus is.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : window_.data(), key, modifiers);
    }

    void chooseDay(const QDate& day) { w().EFecIni->setDate(day); }

    void choosePoint(const QString& name) {
        const int row = w().Pto->findText(name);
        QVERIFY2(row >= 0, qPrintable(name));
        w().Pto->setFocus();
        for (int keys = 0; w().Pto->currentIndex() != row && keys <= w().Pto->count(); ++keys)
            QTest::keyClick(w().Pto, w().Pto->currentIndex() > row ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(w().Pto->currentIndex(), row);
    }

    // Types a value into a cell of the adjustments grid and leaves the cell
    // with Enter; row of the view (-1: the current row), column of the grid
    // (0: F.Desde, 2: Porc, 3: Factor).
    void typeIntoGrid(int row, int column, const QString& text) {
        typeIntoCell(row, column, text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    // Types into a cell and leaves the text in the cell editor. A row of -1
    // is the current row.
    void typeIntoCell(int row, int column, const QString& text) {
        ui::DBGrid* grid = w().DBGrid2;
        grid->setFocus();
        if (row >= 0) {
            QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
            for (int i = 0; i < row; ++i)
                QTest::keyClick(grid, Qt::Key_Down);
        }
        grid->setCurrentColumn(column);
        // The first character opens the cell editor, which takes the rest.
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }

private:
    QPointer<app::Tfcontavtascontado>& window_;
};

// What a test class of the window keeps: the demo companies, the window of
// the current test function with its keys, and the day of the latest sales.
class WindowTestBase {
protected:
    app::Tfcontavtascontado& w() { return *ui_->window; }
    app::WindowDataSets& sets() { return *w().dataSets; }
    Session& s() { return *session_; }

    // The latest day with sales in a company; invalid when there is none.
    QDate latestSalesDay(const QString& company) {
        CompanyProbe probe(companies_, company);
        return QDate::fromString(probe.value("select max(fact_fecha) from facturas"), Qt::ISODate);
    }
    // A new window; false when it did not become active.
    bool openWindow() {
        ui_ = std::make_unique<WindowUnderTest>();
        session_ = std::make_unique<Session>(ui_->window);
        return ui_->waitActive();
    }
    void closeWindow() {
        session_.reset();
        ui_.reset();
    }

    PostingCompanies companies_;
    std::unique_ptr<WindowUnderTest> ui_;
    std::unique_ptr<Session> session_;
    QDate today_;
};

} // namespace adjustments
