// Random sequences of what a user does in the window, over two demo
// companies with different points of sale and adjustments, checked after
// every step against the widgets and both databases. A failure prints the
// seed and the sequence shortened to the steps that still break the
// invariant, ready to become a plain regression test.
//
// --seed N runs that seed alone, --steps N sets the steps per seed; the
// environment variable PELMORA_SEQUENCE_STEPS sets the steps per seed of
// the fixed seeds (0 skips the test), PELMORA_SEQUENCE_SHRINK=0 reports a
// failure without shortening it, PELMORA_SEQUENCE_TRACE=1 lists every step.

#include "company_fixture.h"
#include "posting_fixture.h"
#include "sequence/observation.h"
#include "sequence/oracle.h"
#include "sequence/shrinker.h"
#include "sequence/step.h"
#include "sequence/user_input.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace sequence;

namespace {
std::vector<unsigned> chosenSeeds;
int chosenSteps = -1;
const QStringList kCompanies{QStringLiteral("001"), QStringLiteral("002")};
} // namespace

class TestUserSequences : public QObject {
    Q_OBJECT

    // Makes the two companies differ: 002 renames a point and adds one
    // whose prefix has no sales interface, and bars negative rates; each
    // keeps other adjustment rows.
    void alterCompanies() {
        CompanyProbe first(companies_, kCompanies[0]);
        first.execute("delete from ajuste_cierre where ajci_fecini = current_date - 1");
        first.execute("insert into ajuste_cierre values (0, current_date - 2, current_date - 2, "
                      "16, 0.7)");
        CompanyProbe second(companies_, kCompanies[1]);
        second.execute("update punto_venta set ptvt_nom = 'Tienda Norte' where ptvt_id = 3");
        second.execute("insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, pref_pre) "
                       "values (6, '06', 'Kiosco Sin Interfaz', 'KS06')");
        second.execute("update ajuste_cierre set ajci_factor = 0.75 where ajci_fecini = "
                       "current_date");
        second.execute("insert into ajuste_cierre values (0, current_date - 3, current_date - 1, "
                       "5, 0.6)");
        second.execute("alter table ajuste_cierre add constraint ck_ajuste_cierre_porc "
                       "check (ajci_porc >= 0)");
    }

    QString databaseFile(const QString& company) const {
        return QString::fromStdString(companies_.database(company));
    }

    void restoreDatabases() {
        for (const QString& company : kCompanies) {
            QFile::remove(databaseFile(company));
            QVERIFY(QFile::copy(databaseFile(company) + ".pristine", databaseFile(company)));
        }
    }

    // Runs the steps from a fresh start; the broken invariant and the
    // number of steps taken, or an empty text.
    QString run(const Steps& steps, int* taken = nullptr) {
        restoreDatabases();
        std::array<QMap<QString, int>, 2> points;
        std::array<Books, 2> books;
        std::array<std::unique_ptr<CompanyProbe>, 2> probes;
        for (int c = 0; c < 2; ++c) {
            probes[c] = std::make_unique<CompanyProbe>(companies_, kCompanies[c]);
            for (const QString& row : probes[c]->rows("select ptvt_nom, ptvt_id from punto_venta"))
                points[c].insert(row.section('|', 0, 0), row.section('|', 1).toInt());
            books[c] = Books::read(*probes[c]);
        }
        Oracle oracle(kCompanies, kCompanies[1], points, books);
        auto window = std::make_unique<WindowUnderTest>();
        if (!window->waitActive())
            return QStringLiteral("the window did not become active");
        UserInput input;
        QString violation;
        int done = 0;
        for (const Step& step : steps) {
            const Screen before = Screen::read(window->window);
            const std::array<Books, 2> booksBefore = books;
            window->messages.clear();
            window->errors.clear();
            input.perform(*window->window, step, today_);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const Screen after = Screen::read(window->window);
            for (int c = 0; c < 2; ++c)
                books[c] = Books::read(*probes[c]);
            Outcome outcome{window->messages + input.boxTexts,
                            window->errors + input.criticalBoxTexts, input.clickedRow};
            ++done;
            if (trace_)
                qInfo().noquote() << done << step.describe() << "->" << after.company
                                  << after.date.toString(Qt::ISODate) << after.point
                                  << (QApplication::focusWidget()
                                          ? QApplication::focusWidget()->metaObject()->className()
                                          : "no focus")
                                  << (QApplication::activePopupWidget() ? "popup" : "") << "panel"
                                  << after.panel << "recNo" << after.recNo << "of" << after.count
                                  << after.view.join(", ") << outcome.messages << outcome.errors;
            violation = input.stuck
                            ? QStringLiteral("a dialog would not close")
                            : oracle.check(step, before, after, booksBefore, books, outcome);
            if (!violation.isEmpty())
                break;
            // Esc closed the window: the program is started again, as the
            // user would, and the sequence goes on.
            if (!window->window) {
                window = std::make_unique<WindowUnderTest>();
                if (!window->waitActive())
                    return QStringLiteral("the window did not become active");
                oracle.restarted();
            }
        }
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (taken)
            *taken = done;
        return violation;
    }

    void runSeed(unsigned seed, int stepCount) {
        Steps steps = StepGenerator(seed).take(stepCount);
        int taken = 0;
        const QString violation = run(steps, &taken);
        if (violation.isEmpty())
            return;
        steps.resize(taken);
        if (qEnvironmentVariable("PELMORA_SEQUENCE_SHRINK") == QLatin1String("0"))
            QFAIL(qPrintable(QStringLiteral("seed %1 broke an invariant at step %2: %3")
                                 .arg(seed)
                                 .arg(taken)
                                 .arg(violation)));
        Shrinker shrinker([this](const Steps& s) { return run(s); }, 300);
        const Steps shortest = shrinker.shrink(steps, violation);
        const QString shortViolation = run(shortest);
        QFAIL(qPrintable(QStringLiteral("seed %1 broke an invariant at step %2: %3\n"
                                        "shortened to %4 steps (%5):\n%6")
                             .arg(seed)
                             .arg(taken)
                             .arg(violation)
                             .arg(shortest.size())
                             .arg(shortViolation, describe(shortest))));
    }

private slots:
    void initTestCase() {
        QVERIFY(companies_.create(kCompanies));
        alterCompanies();
        today_ = QDate::currentDate();
        for (const QString& company : kCompanies)
            QVERIFY(QFile::copy(databaseFile(company), databaseFile(company) + ".pristine"));
    }

    void randomSequences_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("steps");
        const QByteArray configured = qgetenv("PELMORA_SEQUENCE_STEPS");
        const int perSeed = chosenSteps >= 0       ? chosenSteps
                            : configured.isEmpty() ? 250
                                                   : configured.toInt();
        std::vector<unsigned> seeds = chosenSeeds;
        if (seeds.empty())
            seeds = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        for (unsigned seed : seeds)
            QTest::addRow("seed %u", seed) << seed << perSeed;
    }

    void randomSequences() {
        QFETCH(unsigned, seed);
        QFETCH(int, steps);
        if (steps <= 0)
            QSKIP("PELMORA_SEQUENCE_STEPS is 0");
        runSeed(seed, steps);
    }

private:
    PostingCompanies companies_;
    QDate today_;
    // PELMORA_SEQUENCE_TRACE=1 lists every step with what it left.
    const bool trace_ = qEnvironmentVariableIntValue("PELMORA_SEQUENCE_TRACE") != 0;
};

// Takes --seed N (repeatable) and --steps N off the command line before
// Qt Test sees it.
int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if ((arg == "--seed" || arg == "--steps") && i + 1 < argc) {
            const QByteArray value(argv[++i]);
            if (arg == "--seed")
                chosenSeeds.push_back(value.toUInt());
            else
                chosenSteps = value.toInt();
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = static_cast<int>(rest.size());
    app::Application application(restCount, rest.data());
    application.setAttribute(Qt::AA_Use96Dpi, true);
    application.setQuitOnLastWindowClosed(false);
    // The offscreen platform's complaint about size hints, once a step.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.*.warning=false"));
    TestUserSequences test;
    return QTest::qExec(&test, restCount, rest.data());
}

#include "tfcontavtascontado_user_sequences_test.moc"
