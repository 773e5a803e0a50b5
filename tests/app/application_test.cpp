// The application's error handler: exceptions escaping event handlers are
// shown in an error box with the period rule, and the program goes on.

#include "app/application.h"
#include "app/message_boxes.h"
#include "app_test_main.h"

#include <QAbstractButton>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <stdexcept>

namespace {

constexpr QEvent::Type kFail = QEvent::User;
constexpr QEvent::Type kFailWithoutMessage = static_cast<QEvent::Type>(QEvent::User + 1);
constexpr QEvent::Type kWork = static_cast<QEvent::Type>(QEvent::User + 2);

// An object whose event handler fails the way a window handler does.
class FailingObject : public QObject {
public:
    int handled = 0;

    bool event(QEvent* event) override {
        if (event->type() == kFail)
            throw std::runtime_error("Missing Database property");
        if (event->type() == kFailWithoutMessage)
            throw 42;
        if (event->type() == kWork) {
            ++handled;
            return true;
        }
        return QObject::event(event);
    }
};

// A widget whose key handler is bound as the window binds its handlers.
class GuardedKeyWidget : public QWidget {
public:
    int keysHandled = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        app::Application::runGuarded([this, event] {
            if (event->key() == Qt::Key_F2)
                throw std::runtime_error("Driver Error: Connection lost");
            ++keysHandled;
        });
    }
};

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal message box with OK and records what it showed.
void answerNextBox(ShownBox& shown) {
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        box->button(QMessageBox::Ok)->click();
    });
}

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private:
    app::Application& application() const {
        return *static_cast<app::Application*>(QCoreApplication::instance());
    }

    QStringList errors_;

private slots:
    void init() {
        errors_.clear();
        application().setErrorDisplay([this](const QString& text) { errors_ << text; });
    }

    void cleanup() {
        application().setErrorDisplay(app::showErrorBox);
        application().setMessageDisplay(app::showPlainMessage);
    }

    void titleAndVersion() {
        QCOMPARE(QCoreApplication::applicationName(),
                 QStringLiteral("Pelmora Contabiliza ventas contado"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2022.1.0.0"));
        // The program icon: one 32 x 32 picture of 256 colours.
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        QCOMPARE(sizes, QList<QSize>{QSize(32, 32)});
        const QImage picture(QStringLiteral(":/icons/co.pelmora.contavtascontado.png"));
        QCOMPARE(picture.format(), QImage::Format_Indexed8);
        QVERIFY(picture.colorCount() <= 256);
    }

    void periodRule_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Key violation"
                                << "Key violation.";
        QTest::newRow("digit") << "Error 42"
                               << "Error 42.";
        QTest::newRow("slash sorts after period") << "a/"
                                                  << "a/.";
        QTest::newRow("question mark sorts after period") << "¿Qué?"
                                                          << "¿Qué?.";
        QTest::newRow("accented letter") << "Compañía"
                                         << "Compañía.";
        QTest::newRow("period") << "Done."
                                << "Done.";
        QTest::newRow("exclamation mark") << "Done!"
                                          << "Done!";
        QTest::newRow("closing quote") << "Invalid data type for 'X'"
                                       << "Invalid data type for 'X'";
        QTest::newRow("hyphen") << "a-"
                                << "a-";
        QTest::newRow("blank") << "a "
                               << "a ";
        QTest::newRow("line end") << "a\r\n"
                                  << "a\r\n";
        QTest::newRow("empty") << ""
                               << "";
    }

    void periodRule() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(app::Application::errorBoxText(message), shown);
    }

    void exceptionFromAnEventHandlerIsShownAndTheProgramGoesOn() {
        FailingObject object;
        QEvent fail(kFail);
        QVERIFY(!QCoreApplication::sendEvent(&object, &fail));
        QCOMPARE(errors_, QStringList{QStringLiteral("Missing Database property.")});
        QEvent work(kWork);
        QVERIFY(QCoreApplication::sendEvent(&object, &work));
        QCOMPARE(object.handled, 1);
        QCOMPARE(errors_.size(), 1);
    }

    void exceptionWithoutMessageIsShownToo() {
        FailingObject object;
        QEvent fail(kFailWithoutMessage);
        QCoreApplication::sendEvent(&object, &fail);
        QCOMPARE(errors_, QStringList{QStringLiteral("Unknown exception.")});
    }

    void failingKeyHandlerIsShownAndTheWidgetGoesOn() {
        GuardedKeyWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowActive(&widget));
        QTest::keyClick(&widget, Qt::Key_F2);
        QCOMPARE(errors_, QStringList{QStringLiteral("Driver Error: Connection lost.")});
        QTest::keyClick(&widget, Qt::Key_A);
        QCOMPARE(widget.keysHandled, 1);
        QCOMPARE(errors_.size(), 1);
    }

    void exceptionFromAQueuedCallIsShown() {
        QTimer::singleShot(0, [] { throw std::runtime_error("Connection lost"); });
        QTRY_COMPARE(errors_, QStringList{QStringLiteral("Connection lost.")});
    }

    void runGuardedReportsTheOutcome() {
        QVERIFY(app::Application::runGuarded([] {}));
        QVERIFY(!app::Application::runGuarded([] { throw std::runtime_error("no"); }));
        QCOMPARE(errors_, QStringList{QStringLiteral("no.")});
    }

    void errorBoxIsACriticalBoxWithOneOkButton() {
        application().setErrorDisplay(app::showErrorBox);
        ShownBox shown;
        answerNextBox(shown);
        QVERIFY(!app::Application::runGuarded([] { throw std::runtime_error("Fallo"); }));
        QCOMPARE(shown.title, QStringLiteral("Pelmora Contabiliza ventas contado"));
        QCOMPARE(shown.text, QStringLiteral("Fallo."));
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void plainMessageHasNoIconAndOneOkButton() {
        ShownBox shown;
        answerNextBox(shown);
        app::Application::showMessage(QStringLiteral("Hola"));
        QCOMPARE(shown.title, QStringLiteral("Pelmora Contabiliza ventas contado"));
        QCOMPARE(shown.text, QStringLiteral("Hola"));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

PELMORA_APP_TEST_MAIN(TestApplication)
#include "application_test.moc"
