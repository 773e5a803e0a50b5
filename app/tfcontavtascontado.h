#pragma once
// The program's one window: the sign-in fields, the posting parameters, the
// error listing, the button bar and, floating above them, the busy banner
// and the closing-rate adjustments panel.

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

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

class Tfcontavtascontado : public QWidget {
    Q_OBJECT
public:
    explicit Tfcontavtascontado(QWidget* parent = nullptr);

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

    // Handlers. Events reach them through Application::runGuarded.
    void SpeedButton2Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
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

    QStringList serverList_;
};

} // namespace app
