#pragma once
// The application object. It carries the application title, shows the
// program's plain messages and is its one error handler: an exception that
// escapes a handler ends that handler and its message is shown in an error box.

#include "app/form/program_version.h"

#include <QApplication>
#include <QString>

#include <functional>

namespace app {

inline constexpr const char* kApplicationTitle = "Pelmora Contabiliza ventas contado";
inline constexpr const char* kProgramVersion = kFileVersion;
// The name of the desktop entry, the AppStream component and the icon.
inline constexpr const char* kApplicationId = "co.pelmora.contavtascontado";

class Application : public QApplication {
    Q_OBJECT
public:
    using Display = std::function<void(const QString& text)>;
    // The answers to one of the program's questions: yes, no, or neither
    // (go back to what was being done).
    enum class Answer { Yes, No, Cancel };
    using Question = std::function<Answer(const QString& text)>;

    Application(int& argc, char** argv);

    // The last resort for an exception that escapes an event handler. Qt's
    // own frames between here and the handler are unwound without their
    // cleanups, so the program's handlers are run through runGuarded().
    bool notify(QObject* receiver, QEvent* event) override;

    // Runs a handler; an exception escaping it is shown in the error box.
    // Returns false when the handler failed. Without this application object
    // the handler runs unguarded.
    static bool runGuarded(const std::function<void()>& handler);

    // Shows one of the program's own messages in a plain message box.
    static void showMessage(const QString& text);

    // Asks one of the program's own questions in a question box with the
    // three answers.
    static Answer ask(const QString& text);

    // Replace the message box, the error box and the question box, e.g. to
    // collect the texts and answer in a test.
    void setMessageDisplay(Display display) { messageDisplay_ = std::move(display); }
    void setErrorDisplay(Display display) { errorDisplay_ = std::move(display); }
    void setQuestionDisplay(Question question) { questionDisplay_ = std::move(question); }

    // The message as the error box shows it: a period is appended when the
    // last character sorts after ".".
    static QString errorBoxText(const QString& message);

private:
    // Shows the exception being handled; called from inside a catch block.
    void showCurrentException();
    void showError(const QString& message);

    Display messageDisplay_;
    Display errorDisplay_;
    Question questionDisplay_;
};

} // namespace app
