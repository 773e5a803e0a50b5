#pragma once
// The program's one window: the sign-in fields, the posting parameters, the
// error listing, the button bar and, floating above them, the busy banner
// and the closing-rate adjustments panel.

#include "app/form/form_session.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace db {
class SQLConnection;
}

namespace dataset {
class ClientDataSet;
}

namespace ui {
class BevelPanel;
class CaptionPanel;
class DateTimePicker;
class DBGrid;
class DBLookupComboBox;
class DBNavigator;
class GroupBox;
class SpeedButton;
} // namespace ui

namespace app {

class ClosingAdjustments;
class PostingRun;
class SignIn;

class Tfcontavtascontado : public QWidget {
    Q_OBJECT
public:
    explicit Tfcontavtascontado(QWidget* parent = nullptr);
    ~Tfcontavtascontado() override;

    // Runs once the window and all its components exist: fills the server
    // selector from the server list of the install directory.
    void FormCreate();

    // The install directory from the registry; empty, after a message, when
    // the registry key cannot be opened.
    QString diraplicacion();

    const QStringList& serverList() const { return serverList_; }

    // The components, owned by the window.
    ui::BevelPanel* Panel2;
    QLabel* Label2;

    ui::GroupBox* GroupBox1;
    QLabel* Label5;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label6;
    QComboBox* Servidor;
    QLineEdit* Tusua;
    QLineEdit* TClave;
    QLineEdit* Cia;
    QCheckBox* ckniif;

    ui::GroupBox* GroupBox2;
    QLabel* Label4;
    QLabel* Label7;
    ui::DateTimePicker* EFecIni;
    ui::DBLookupComboBox* Pto;

    ui::BevelPanel* Panel3;
    ui::DBGrid* DBGrid1;

    ui::BevelPanel* Panel1;
    ui::SpeedButton* SpeedButton3;
    ui::SpeedButton* SpeedButton2;
    QLabel* Label10;

    ui::BevelPanel* Panel5;

    ui::CaptionPanel* CaptionPanel1;
    ui::DBGrid* DBGrid2;
    ui::DBNavigator* DBNavigator1;

    // The connection, its commands and the data sets over them; Pelmora and
    // dataSets name the session's own.
    FormSession form;
    db::SQLConnection* const Pelmora;
    WindowDataSets* const dataSets;

    // Handlers. Events reach them through runHandler.
    // Signs in to the company when the focus leaves Cia with company, user
    // and password filled.
    void CiaExit();
    // Posts the day's cash sales of the chosen point of sale (F2).
    void SpeedButton3Click();
    void SpeedButton2Click();
    // F2 posts (saving open adjustments first), F5 opens or closes the
    // adjustments, Esc closes the window unless it takes back an edit in the
    // grid with the focus; with Shift, Alt or Ctrl held, nothing. Sees
    // every key of the window before the focused control.
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    // Enter in the sign-in and parameter fields moves to the next control.
    void Enteratab(QObject* Sender, char& Key);
    // Every new adjustment row starts with AJCI_ID 0.
    void CAjusteAfterInsert(dataset::ClientDataSet& DataSet);

    // Runs a handler under the application's error handler. When it fails,
    // the busy banner is hidden before the error is shown: the work it
    // announced has stopped. Gives false when the handler failed.
    bool runHandler(const std::function<void()>& handler);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the window may close: adjustments with unsaved changes are
    // saved, dropped or kept open as the user answers.
    void FormCloseQuery(bool& CanClose);
    void FormClose();

    void buildDescriptionPanel();
    void buildSignInGroup();
    void buildParametersGroup();
    void buildErrorPanel();
    void buildButtonBar();
    void buildBusyBanner();
    void buildAdjustmentsPanel();
    void arrangeBands();
    void arrangeTabOrder();
    void centreOnDesktop();
    void bindDataControls();
    void bindKeysAndAdjustments();
    void bindSignIn();
    void showBusyBanner(const QString& caption);
    // Shows or hides the adjustments panel; the focus it had goes back to
    // the control that had it before the panel was shown.
    void showAdjustmentsPanel(bool shown);
    // The focus is in a grid with an edit to take back: its cell editor is
    // open or its row is being edited.
    bool gridEditFocused() const;

    QStringList serverList_;
    std::unique_ptr<SignIn> signIn_;
    std::unique_ptr<PostingRun> postingRun_;
    std::unique_ptr<ClosingAdjustments> adjustments_;
    QPointer<QWidget> focusBeforeAdjustments_;
    // CiaExit is running.
    bool signingIn_ = false;
};

} // namespace app
