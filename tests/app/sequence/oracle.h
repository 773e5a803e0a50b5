#pragma once
// The model of what the user did, and the invariants every step must keep.
// It knows which company was signed in when the adjustments were opened and
// for which day, what the user saw in the grid and typed, and so what each
// company's AJUSTE_CIERRE must hold; and which vouchers a posting may write.

#include "sequence/observation.h"
#include "sequence/step.h"

#include <QMap>
#include <QSet>

#include <array>
#include <optional>

namespace sequence {

inline const QString kNotSaved = QStringLiteral("No se pudieron guardar las tarifas:");
inline const QString kPosted = QStringLiteral("Comprobante contable correctamente generado.");

// What came out of a step besides the window and the databases.
struct Outcome {
    QStringList messages; // the program's plain messages and the boxes answered
    QStringList errors;   // error boxes
    int clickedRow = -1;  // the grid row the user clicked, if any
};

class Oracle {
public:
    // The companies' codes; the one whose rates may not be negative; the
    // ids of each company's points of sale by name.
    Oracle(QStringList companies, QString refusingNegative,
           std::array<QMap<QString, int>, 2> points, std::array<Books, 2> initial)
        : companies_(std::move(companies)), refusing_(std::move(refusingNegative)),
          points_(std::move(points)) {
        for (int c = 0; c < 2; ++c)
            stored_[c] = initial[c].adjustments;
    }

    // The program was started again.
    void restarted() {
        signedIn_.clear();
        pending_.reset();
    }

    // Empty when the step kept every invariant, else what it broke.
    QString check(const Step& step, const Screen& before, const Screen& after,
                  const std::array<Books, 2>& booksBefore, const std::array<Books, 2>& books,
                  const Outcome& outcome) {
        std::optional<Pending> pending;
        std::swap(pending, pending_);
        const bool refused = std::any_of(outcome.messages.cbegin(), outcome.messages.cend(),
                                         [](const QString& m) { return m.startsWith(kNotSaved); });
        // Closing the window with Esc, unless the key only cancels a cell edit.
        const bool closing =
            step.action == Action::Esc ||
            (step.action == Action::GridKey && step.a == KeyEscape && !before.editorShown);
        if (!after.exists && !closing)
            return QStringLiteral("the window closed");
        if (QString bad = errorsAllowed(step, before, outcome); !bad.isEmpty())
            return bad;

        // Does the step save the open adjustments?
        const bool saves =
            before.panel && (step.action == Action::F5 || step.action == Action::F2 ||
                             step.action == Action::SignIn || closing);
        if (refused) {
            if (!saves || !refusable(outcome.messages))
                return QStringLiteral("a save was refused though no row breaks a rule");
            if (!after.panel)
                return QStringLiteral("the refused adjustments are no longer shown");
        }
        // Which company is signed in now.
        if (!after.exists) {
            restarted();
        } else if (step.action == Action::SignIn && !refused) {
            const QString wanted = companies_[step.a];
            if (after.company != wanted)
                return QStringLiteral("leaving Cia did not sign in to %1 (connected: %2)")
                    .arg(wanted, after.company);
            signedIn_ = wanted;
            if (after.panel)
                return QStringLiteral("the adjustments stay open after signing in again");
        } else if (after.company != signedIn_ &&
                   !(signedIn_.isEmpty() && after.company.isEmpty())) {
            if (!signedIn_.isEmpty() || step.action != Action::F5)
                return QStringLiteral("connected to %1, signed in to %2")
                    .arg(after.company, signedIn_);
        }
        if (QString bad = checkAdjustments(step, before, books,
                                           saves && (!refused || step.action == Action::F2),
                                           closing, refused, pending);
            !bad.isEmpty())
            return bad;

        if (!after.exists)
            return {};

        if (QString bad = checkPanel(step, before, after, refused); !bad.isEmpty())
            return bad;
        if (QString bad = checkCursor(step, before, after, outcome.clickedRow); !bad.isEmpty())
            return bad;
        if (QString bad = checkVouchers(step, before, booksBefore, books, outcome); !bad.isEmpty())
            return bad;
        // Text left in the cell editor counts until the editor closes.
        if (after.editorShown && pending && step.action != Action::TypeRate)
            pending_ = pending;
        if (step.action == Action::TypeRate && !step.enter && after.editorShown)
            pending_ = Pending{std::max(after.recNo - 1, 0), step.b, step.text};
        return {};
    }

private:
    struct Pending {
        int row;
        int column;
        QString text;
    };

    int index(const QString& company) const { return companies_.indexOf(company); }

    static QString fixed(const QString& typed) {
        db::Bcd value = db::Bcd::fromString(typed.toStdString()).value_or(db::Bcd());
        return adjustments::fixed4(value);
    }

    // The view with the text still in the cell editor, when there is one.
    static QStringList withPending(QStringList view, const std::optional<Pending>& pending) {
        if (pending && pending->row < view.size()) {
            QStringList cells = view[pending->row].split(QLatin1Char('|'));
            cells[pending->column] = fixed(pending->text);
            view[pending->row] = cells.join(QLatin1Char('|'));
        }
        return view;
    }

    // A save may be refused for a negative rate where they are barred, and
    // when a statement finds two identical rows by their values: rows have
    // no key, so a day may hold twins, stored so or made so by an earlier
    // statement of the same save, and the save is then rolled back whole.
    // No other user works on the companies: no other refusal is right.
    bool refusable(const QStringList& messages) const {
        for (const QString& message : messages) {
            if (!message.startsWith(kNotSaved))
                continue;
            const bool twins = message.contains(QLatin1String("more than 1 record"));
            const bool negative = panelCompany_ == refusing_ &&
                                  message.contains(QLatin1String("CK_AJUSTE_CIERRE_PORC"));
            if (!twins && !negative)
                return false;
        }
        return true;
    }

    QString errorsAllowed(const Step& step, const Screen& before, const Outcome& outcome) const {
        if (outcome.errors.isEmpty())
            return {};
        // Posting before signing in, or a posting the database turns down;
        // F5 before signing in connects with the stored settings and fails.
        const bool allowed = (step.action == Action::F2) ||
                             (step.action == Action::F5 && signedIn_.isEmpty() && !before.panel);
        return allowed ? QString()
                       : QStringLiteral("error shown: %1").arg(outcome.errors.join(" / "));
    }

    // AJUSTE_CIERRE changes only in the company the adjustments were opened
    // in, only on a save, only for the panel's day, and holds what the user saw.
    QString checkAdjustments(const Step& step, const Screen& before,
                             const std::array<Books, 2>& books, bool saves, bool closed,
                             bool refused, const std::optional<Pending>& pending) {
        const int target = index(panelCompany_);
        for (int c = 0; c < 2; ++c) {
            if (books[c].adjustments == stored_[c])
                continue;
            if (!saves || c != target)
                return QStringLiteral("AJUSTE_CIERRE of %1 changed by %2 (the adjustments "
                                      "were opened in %3)\n  expected %4\n  found    %5")
                    .arg(companies_[c], step.describe(), panelCompany_,
                         stored_[c].join(QStringLiteral(", ")),
                         books[c].adjustments.join(QStringLiteral(", ")));
        }
        if (!saves || target < 0)
            return {};
        const QStringList& found = books[target].adjustments;
        // Esc may save or drop the edits, or stay, as the user answered.
        if (closed && found == stored_[target])
            return {};
        // Rows of other days stay as they were.
        QStringList added = found;
        QStringList removed;
        for (const QString& row : stored_[target])
            if (!added.removeOne(row))
                removed << row;
        for (const QString& row : added + removed)
            if (dayOf(row) != panelDay_)
                return QStringLiteral("saved a row of another day than %1: %2 %3")
                    .arg(panelDay_, added.contains(row) ? "added" : "removed", row);
        // F2 saves what the database takes and keeps the refused rows for
        // later: each row of the day is one stored before or one the user saw.
        if (refused) {
            const QStringList seen = withPending(before.view, pending);
            for (const QString& row : added)
                if (!seen.contains(row))
                    return QStringLiteral("saved a row the user never saw: %1").arg(row);
            stored_[target] = found;
            return {};
        }
        QStringList kept;
        for (const QString& row : stored_[target])
            if (dayOf(row) != panelDay_)
                kept << row;
        QList<QStringList> candidates{before.view, withPending(before.view, pending)};
        if (before.state == dataset::DataSetState::Insert && before.recNo >= 1)
            for (int i = 0; i < 2; ++i) {
                QStringList without = candidates[i];
                without.removeAt(std::min<qsizetype>(before.recNo - 1, without.size() - 1));
                candidates << without;
            }
        for (const QStringList& candidate : candidates) {
            QStringList expected = kept + candidate;
            expected.sort();
            if (expected != found)
                continue;
            stored_[target] = found;
            return {};
        }
        return QStringLiteral("saved adjustments of %1 differ from what the user saw\n"
                              "  grid     %2\n  found    %3")
            .arg(panelCompany_, before.view.join(QStringLiteral(", ")),
                 found.join(QStringLiteral(", ")));
    }

    QString checkPanel(const Step& step, const Screen& before, const Screen& after, bool refused) {
        const bool toggles = step.action == Action::F5 ||
                             (step.action == Action::F2 && before.panel) ||
                             (step.action == Action::SignIn && before.panel);
        if (!toggles && after.panel != before.panel)
            return QStringLiteral("the adjustments panel %1 by itself")
                .arg(after.panel ? "opened" : "closed");
        if (refused || !toggles || before.panel)
            return after.panel && !refused && toggles
                       ? QStringLiteral("the adjustments stay open after saving")
                       : QString();
        // F5 opening: the day's three standard rows.
        if (!after.panel) {
            return signedIn_.isEmpty() ? QString()
                                       : QStringLiteral("F5 did not open the adjustments");
        }
        if (signedIn_.isEmpty())
            return QStringLiteral("the adjustments opened without signing in");
        panelCompany_ = signedIn_;
        panelDay_ = before.date.toString(Qt::ISODate);
        const QString d = panelDay_;
        const QStringList standard{d + '|' + d + "|5.0000|0.8000", d + '|' + d + "|16.0000|0.8000",
                                   d + '|' + d + "|0.0000|0.8000"};
        if (after.view != standard)
            return QStringLiteral("F5 shows %1").arg(after.view.join(QStringLiteral(", ")));
        return {};
    }

    // The grid's row, the data set's current row and the navigator agree.
    static QString checkCursor(const Step& step, const Screen& before, const Screen& after,
                               int clickedRow) {
        if (!after.panel || !after.active)
            return {};
        if (after.browsing() && after.count > 0 && (after.recNo < 1 || after.recNo > after.count))
            return QStringLiteral("no current row: RecNo %1 of %2 rows")
                .arg(after.recNo)
                .arg(after.count);
        if (after.browsing() && after.deleteEnabled != (after.count > 0))
            return QStringLiteral("the navigator's Delete is %1 with %2 rows")
                .arg(after.deleteEnabled ? "enabled" : "disabled")
                .arg(after.count);
        if (!before.panel || !before.browsing() || before.editorShown || before.count == 0)
            return {};
        const bool deleting = (step.action == Action::Navigator && step.a == 5) ||
                              (step.action == Action::GridKey && step.a == KeyCtrlDelete);
        if (deleting && after.count != before.count) {
            QStringList expected = before.view;
            expected.removeAt(before.recNo - 1);
            if (after.view != expected)
                return QStringLiteral("Delete removed another row than the current one %1:\n"
                                      "  before %2\n  after  %3")
                    .arg(before.recNo)
                    .arg(before.view.join(", "), after.view.join(", "));
        }
        int wanted = 0;
        if (step.action == Action::GridClick)
            wanted = clickedRow + 1;
        else if (step.action == Action::GridKey && step.a == KeyCtrlHome)
            wanted = 1;
        else if (step.action == Action::GridKey && step.a == KeyCtrlEnd)
            wanted = before.count;
        if (wanted > 0 && after.browsing() && after.recNo != wanted)
            return QStringLiteral("the grid went to row %1 instead of %2")
                .arg(after.recNo)
                .arg(wanted);
        if (step.action == Action::TypeRate && step.enter && clickedRow >= 0) {
            const int row = clickedRow;
            if (row < after.view.size() &&
                after.view[row].section('|', step.b, step.b) != fixed(step.text))
                return QStringLiteral("typed %1 into row %2, the grid holds %3")
                    .arg(step.text)
                    .arg(row + 1)
                    .arg(after.view[row]);
        }
        return {};
    }

    // Vouchers appear only on F2, in the company signed in, for the day,
    // point and book chosen; balanced, and once per day, point and book.
    QString checkVouchers(const Step& step, const Screen& before,
                          const std::array<Books, 2>& booksBefore,
                          const std::array<Books, 2>& books, const Outcome& outcome) const {
        bool posted = false;
        for (int c = 0; c < 2; ++c) {
            QSet<QString> completed;
            for (auto it = books[c].vouchers.cbegin(); it != books[c].vouchers.cend(); ++it) {
                const QStringList v = it.value().split('|'); // state book date point balance
                if (v[0] != QLatin1String("C"))
                    continue;
                const QString key = v.mid(1, 3).join('|');
                if (completed.contains(key))
                    return QStringLiteral("two vouchers for %1 in %2").arg(key, companies_[c]);
                completed << key;
                if (booksBefore[c].vouchers.value(it.key()) == it.value())
                    continue;
                posted = true;
                if (step.action != Action::F2 || companies_[c] != signedIn_)
                    return QStringLiteral("voucher %1 written in %2 by %3")
                        .arg(it.value(), companies_[c], step.describe());
                const QString wanted =
                    QStringLiteral("%1|%2|%3")
                        .arg(before.niif ? "N" : "L", before.date.toString(Qt::ISODate))
                        .arg(points_[c].value(before.point, -1));
                if (key != wanted)
                    return QStringLiteral("voucher %1 written, the user chose %2").arg(key, wanted);
                if (QString balance = v[4]; balance.toDouble() != 0.0)
                    return QStringLiteral("voucher %1 off balance by %2").arg(key, balance);
            }
        }
        if (outcome.messages.contains(kPosted) != posted)
            return posted ? QStringLiteral("a voucher was written without a word")
                          : QStringLiteral("reported as posted, no voucher written");
        return {};
    }

    QStringList companies_;
    QString refusing_;
    std::array<QMap<QString, int>, 2> points_;
    std::array<QStringList, 2> stored_;
    QString signedIn_;
    QString panelCompany_;
    QString panelDay_;
    std::optional<Pending> pending_;
};

} // namespace sequence
