#include "app/tfcontavtascontado.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "app/application.h"
#include "app/window_fonts.h"
#include "config/install_directory.h"
#include "config/registry.h"
#include "config/server_list.h"
#include "ui/grid/db_grid.h"
#include "ui/widgets/band_layout.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"
#include "ui/widgets/db_navigator.h"
#include "ui/widgets/group_box.h"
#include "ui/widgets/speed_button.h"

namespace app {

namespace {

constexpr const char* kWindowCaption = "Contabilizar ventas de contado";
constexpr const char* kDescription =
    "Este programa genera la contabilización de las ventas diarias de un punto de venta "
    "registradas con el NIT del cliente de contado y con el prefijo y punto de venta "
    "especificados.";
constexpr const char* kBusyCaption = "Generando informe. espere un momento...";
constexpr const char* kAdjustmentsCaption = "Tarifas";
constexpr const char* kKeyNotFoundPrefix = "No se encontró la Clave HKEY_LOCAL_MACHINE";

constexpr QSize kClientSize(364, 333);
const QDate kStoredDate(2003, 1, 20);

using Band = ui::BandLayout::Band;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename Widget> Widget* component(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A label that sizes itself to its caption, placed by its top-left corner.
QLabel* label(QWidget* parent, const char* name, const char* caption, int left, int top) {
    auto* result = component<QLabel>(parent, name);
    result->setText(text(caption));
    result->adjustSize();
    result->move(left, top);
    return result;
}

ui::BevelPanel* raisedPanel(QWidget* parent, const char* name, int height) {
    auto* panel = component<ui::BevelPanel>(parent, name);
    panel->setBevels(ui::BevelPanel::Bevel::Raised, ui::BevelPanel::Bevel::None);
    panel->resize(kClientSize.width(), height);
    return panel;
}

QLineEdit* edit(QWidget* parent, const char* name, const QRect& bounds) {
    auto* result = component<QLineEdit>(parent, name);
    result->setGeometry(bounds);
    return result;
}

ui::SpeedButton* speedButton(QWidget* parent, const char* name, const char* caption,
                             const QString& glyph, const QRect& bounds) {
    auto* button = component<ui::SpeedButton>(parent, name);
    button->setFont(arialNarrow(11));
    button->setText(text(caption));
    button->setGlyph(QImage(glyph));
    button->setGeometry(bounds);
    return button;
}

} // namespace

Tfcontavtascontado::Tfcontavtascontado(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fcontavtascontado"));
    setWindowTitle(text(kWindowCaption));
    setFont(msSansSerif(11));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    resize(kClientSize);

    buildDescriptionPanel();
    buildSignInGroup();
    buildParametersGroup();
    buildErrorPanel();
    buildButtonBar();
    buildBusyBanner();
    buildAdjustmentsPanel();
    arrangeBands();
    arrangeTabOrder();

    connect(SpeedButton2, &QToolButton::clicked, this,
            [this] { Application::runGuarded([this] { SpeedButton2Click(); }); });
    centreOnDesktop();
}

void Tfcontavtascontado::buildDescriptionPanel() {
    Panel2 = raisedPanel(this, "Panel2", 57);
    Label2 = component<QLabel>(Panel2, "Label2");
    Label2->setText(text(kDescription));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setGeometry(16, 6, 333, 49);
}

void Tfcontavtascontado::buildSignInGroup() {
    GroupBox1 = component<ui::GroupBox>(this, "GroupBox1");
    GroupBox1->setTitle(text("Origen:"));
    GroupBox1->resize(kClientSize.width(), 105);

    Label5 = label(GroupBox1, "Label5", "Servidor : ", 16, 16);
    Label8 = label(GroupBox1, "Label8", "Usuario : ", 16, 40);
    Label9 = label(GroupBox1, "Label9", "Clave : ", 17, 64);
    Label6 = label(GroupBox1, "Label6", "Compañía:", 17, 88);

    Servidor = component<QComboBox>(GroupBox1, "Servidor");
    Servidor->setEditable(false);
    Servidor->setGeometry(76, 8, 120, 21);

    Tusua = edit(GroupBox1, "Tusua", QRect(76, 32, 97, 21));
    TClave = edit(GroupBox1, "TClave", QRect(76, 56, 97, 21));
    TClave->setEchoMode(QLineEdit::Password);
    TClave->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    Cia = edit(GroupBox1, "Cia", QRect(76, 80, 45, 21));

    ckniif = component<QCheckBox>(GroupBox1, "ckniif");
    ckniif->setText(text("Contabilizar NIIF"));
    // The classic, narrower gap between box and caption keeps the caption
    // whole within the check box's 97 pixels.
    ckniif->setStyleSheet(QStringLiteral("QCheckBox { spacing: 1px; }"));
    ckniif->setGeometry(216, 64, 97, 17);
}

void Tfcontavtascontado::buildParametersGroup() {
    GroupBox2 = component<ui::GroupBox>(this, "GroupBox2");
    GroupBox2->setTitle(text("Parámetros "));
    GroupBox2->resize(kClientSize.width(), 34);

    Label4 = label(GroupBox2, "Label4", "Fecha:", 8, 24);
    Label7 = label(GroupBox2, "Label7", "Punto:", 158, 24);

    EFecIni = component<ui::DateTimePicker>(GroupBox2, "EFecIni");
    EFecIni->setGeometry(48, 16, 89, 21);
    // A placeholder until sign-in sets today's date.
    EFecIni->setDate(kStoredDate);
    EFecIni->setEnabled(false);

    Pto = component<ui::DBLookupComboBox>(GroupBox2, "Pto");
    Pto->setGeometry(198, 16, 145, 21);
}

void Tfcontavtascontado::buildErrorPanel() {
    Panel3 = raisedPanel(this, "Panel3", 83);
    DBGrid1 = component<ui::DBGrid>(Panel3, "DBGrid1");
    DBGrid1->setLook(ui::DBGrid::Look::Flat);
    DBGrid1->setColumns({
        {QStringLiteral("ERRO_CODIGO"), text("Descripción"), DBGrid1->defaultColumnWidth(20)},
        {QStringLiteral("ERRO_CADENA"), text("Valor"), 90},
        {QStringLiteral("INTERFAZ"), text("INTERFAZ"), 120},
    });
    DBGrid1->setEnabled(false);

    auto* bands = new ui::BandLayout(Panel3);
    bands->setContentsMargins(1, 1, 1, 1);
    bands->addWidget(DBGrid1, Band::Fill);
}

void Tfcontavtascontado::buildButtonBar() {
    Panel1 = raisedPanel(this, "Panel1", 54);
    SpeedButton3 = speedButton(Panel1, "SpeedButton3", "F2: Ejecutar",
                               QStringLiteral(":/glyphs/run.bmp"), QRect(45, 3, 65, 50));
    SpeedButton3->setEnabled(false);
    SpeedButton2 = speedButton(Panel1, "SpeedButton2", "Esc: Cancelar",
                               QStringLiteral(":/glyphs/cancel.bmp"), QRect(221, 3, 65, 50));

    Label10 = component<QLabel>(Panel1, "Label10");
    Label10->setFont(arialNarrow(11));
    Label10->setText(text("Rev:2024/07/24"));
    Label10->setGeometry(292, 1, 67, 15);
}

void Tfcontavtascontado::buildBusyBanner() {
    Panel5 = component<ui::BevelPanel>(this, "Panel5");
    Panel5->setBevels(ui::BevelPanel::Bevel::Raised, ui::BevelPanel::Bevel::Lowered);
    Panel5->setCaption(text(kBusyCaption));
    Panel5->setFont(msSansSerif(13));
    QPalette colours = Panel5->palette();
    colours.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Panel5->setPalette(colours);
    Panel5->setGeometry(8, 220, 337, 41);
    Panel5->hide();
}

void Tfcontavtascontado::buildAdjustmentsPanel() {
    CaptionPanel1 = component<ui::CaptionPanel>(this, "CaptionPanel1");
    CaptionPanel1->setCaption(text(kAdjustmentsCaption));
    CaptionPanel1->setGeometry(32, 96, 305, 161);

    DBGrid2 = component<ui::DBGrid>(CaptionPanel1, "DBGrid2");
    DBGrid2->setLook(ui::DBGrid::Look::Sunken3D);
    DBGrid2->setColumns({
        {QStringLiteral("AJCI_FECINI"), text("F.Desde"), DBGrid2->defaultColumnWidth(10)},
        {QStringLiteral("AJCI_FECFIN"), text("F.Hasta"), DBGrid2->defaultColumnWidth(10)},
        {QStringLiteral("AJCI_PORC"), text("Porc"), DBGrid2->defaultColumnWidth(16)},
        {QStringLiteral("AJCI_FACTOR"), text("Factor"), DBGrid2->defaultColumnWidth(16)},
    });

    DBNavigator1 = component<ui::DBNavigator>(CaptionPanel1, "DBNavigator1");
    DBNavigator1->resize(303, 18);
    using ui::NavigateButton;
    DBNavigator1->setVisibleButtons(
        {NavigateButton::First, NavigateButton::Prior, NavigateButton::Next, NavigateButton::Last,
         NavigateButton::Insert, NavigateButton::Delete, NavigateButton::Cancel});

    CaptionPanel1->addWidget(DBNavigator1, Band::Bottom);
    CaptionPanel1->addWidget(DBGrid2, Band::Fill);
    CaptionPanel1->hide();
}

void Tfcontavtascontado::arrangeBands() {
    auto* bands = new ui::BandLayout(this);
    bands->addWidget(Panel2, Band::Top);
    bands->addWidget(GroupBox1, Band::Top);
    bands->addWidget(Panel1, Band::Bottom);
    bands->addWidget(Panel3, Band::Bottom);
    bands->addWidget(GroupBox2, Band::Fill);

    // Bottom to top; the adjustments panel covers everything, the busy banner
    // included.
    for (QWidget* widget : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(GroupBox2),
                            static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Panel3),
                            static_cast<QWidget*>(Panel5), static_cast<QWidget*>(GroupBox1),
                            static_cast<QWidget*>(CaptionPanel1)})
        widget->raise();
}

void Tfcontavtascontado::arrangeTabOrder() {
    QWidget* const order[] = {Servidor, Tusua, TClave, Cia, ckniif, EFecIni, Pto, DBGrid1, DBGrid2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    Servidor->setFocus();
}

void Tfcontavtascontado::centreOnDesktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->virtualGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
}

void Tfcontavtascontado::FormCreate() {
    serverList_.clear();
    const std::string directory = diraplicacion().toStdString();
    for (const std::string& entry : config::readServerList(config::serverListPath(directory)))
        serverList_.append(QString::fromStdString(entry));
    Servidor->clear();
    Servidor->addItems(serverList_);
    Servidor->setCurrentIndex(serverList_.isEmpty() ? -1 : 0);
}

QString Tfcontavtascontado::diraplicacion() {
    const std::optional<std::string> directory =
        config::readInstallDirectory(config::defaultRegistryPath());
    if (!directory) {
        Application::showMessage(text(kKeyNotFoundPrefix) + text(config::kInstallKey) +
                                 QLatin1Char('\\') + text(config::kInstallValue));
        return {};
    }
    return QString::fromStdString(*directory);
}

void Tfcontavtascontado::SpeedButton2Click() {
    close();
}

void Tfcontavtascontado::closeEvent(QCloseEvent* event) {
    // A failing FormClose keeps the window open, as any failed handler leaves
    // the window in the state it had reached.
    event->setAccepted(Application::runGuarded([this] { FormClose(); }));
}

void Tfcontavtascontado::FormClose() {
    // The posting result and the points of sale are closed here, once those
    // data sets belong to the window; nothing else is saved on the way out.
    setAttribute(Qt::WA_DeleteOnClose);
}

} // namespace app
