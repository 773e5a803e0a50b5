#include "app/application.h"

#include "app/message_boxes.h"

#include <QIcon>

#include <exception>

namespace app {

namespace {

// Shown for an exception that carries no message of its own.
constexpr const char* kUnknownError = "Unknown exception";

} // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), messageDisplay_(showPlainMessage), errorDisplay_(showErrorBox),
      questionDisplay_(askYesNoCancel) {
    // The title is the application name rather than its display name, which
    // some platforms would append to every window caption.
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    setApplicationVersion(QString::fromUtf8(kProgramVersion));
    setOrganizationName(QString::fromUtf8(kCompanyName));
    setDesktopFileName(QString::fromUtf8(kApplicationId));
    setWindowIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromUtf8(kApplicationId))));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return false;
    }
}

bool Application::runGuarded(const std::function<void()>& handler) {
    auto* application = qobject_cast<Application*>(QCoreApplication::instance());
    if (!application) {
        handler();
        return true;
    }
    try {
        handler();
        return true;
    } catch (...) {
        application->showCurrentException();
        return false;
    }
}

void Application::showCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        showError(QString::fromUtf8(error.what()));
    } catch (...) {
        showError(QString::fromUtf8(kUnknownError));
    }
}

void Application::showMessage(const QString& text) {
    auto* application = qobject_cast<Application*>(QCoreApplication::instance());
    if (!application) {
        showPlainMessage(text);
        return;
    }
    if (application->messageDisplay_)
        application->messageDisplay_(text);
}

Application::Answer Application::ask(const QString& text) {
    auto* application = qobject_cast<Application*>(QCoreApplication::instance());
    if (!application)
        return askYesNoCancel(text);
    // Nobody to answer: nothing is decided.
    if (!application->questionDisplay_)
        return Answer::Cancel;
    return application->questionDisplay_(text);
}

QString Application::errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Application::showError(const QString& message) {
    if (errorDisplay_)
        errorDisplay_(errorBoxText(message));
}

} // namespace app
