#include "app/tfcontavtascontado.h"

#include "app/application.h"
#include "app/enter_key_filter.h"
#include "app/form/closing_adjustments.h"
#include "app/form/database_names.h"
#include "app/form/posting_run.h"
#include "app/form/sign_in.h"
#include "app/key_preview.h"
#include "config/install_directory.h"
#include "config/registry.h"
#include "config/server_list.h"
#include "db/busy_cursor.h"
#include "db/sql_connection.h"
#include "platform/short_date.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_action.h"
#include "ui/grid/grid_options.h"
#include "ui/widgets/band_layout.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_lookup_combo_box.h"
#include "ui/widgets/db_navigator.h"
#include "ui/widgets/flat_frame.h"
#include "ui/widgets/group_box.h"
#include "ui/widgets/speed_button.h"
#include "ui/widgets/window_fonts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>

namespace app {

namespace {

constexpr const char* kWindowCaption = "Contabilizar ventas de contado";
constexpr const char* kDescription =
    "Este programa genera la contabilización de las ventas diarias de un punto de venta "
    "registradas con el NIT del cliente de contado y con el prefijo y punto de venta "
    "especificados.";
constexpr const char* kBusyCaption = "Generando informe. espere un momento...";
constexpr const char* kAdjustmentsCaption = "Tarifas";
constexpr const char* kPostingCaption =
    "Contabilizando las ventas de contado, espere un momento...";
constexpr const char* kKeyNotFoundPrefix = "No se encontró la Clave HKEY_LOCAL_MACHINE";

constexpr QSize kClientSize(364, 333);
constexpr int kServerItemHeight = 13;
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
    button->setFont(ui::arialNarrow(11));
    button->setText(text(caption));
    button->setGlyph(QImage(glyph));
    button->setGeometry(bounds);
    return button;
}

} // namespace

Tfcontavtascontado::Tfcontavtascontado(QWidget* parent)
    : QWidget(parent), Pelmora(form.Pelmora.get()), dataSets(form.dataSets.get()) {
    setObjectName(QStringLiteral("fcontavtascontado"));
    setWindowTitle(text(kWindowCaption));
    setFont(ui::msSansSerif(11));
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
    bindDataControls();

    Cia->installEventFilter(this);
    DBGrid2->viewport()->installEventFilter(this);
    connect(SpeedButton2, &QToolButton::clicked, this,
            [this] { runHandler([this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QToolButton::clicked, this,
            [this] { runHandler([this] { SpeedButton3Click(); }); });
    postingRun_ = std::make_unique<PostingRun>(
        *dataSets, *form.commands.Scontapend,
        PostingRun::Window{[this] {
                               Panel5->hide();
                               repaint();
                           },
                           [](const std::string& message) {
                               Application::showMessage(QString::fromStdString(message));
                           },
                           [this] { DBGrid1->setEnabled(true); }});
    bindKeysAndAdjustments();
    bindSignIn();
    centreOnDesktop();
}

void Tfcontavtascontado::bindKeysAndAdjustments() {
    adjustments_ = std::make_unique<ClosingAdjustments>(
        *dataSets,
        ClosingAdjustments::Window{[this] { return CaptionPanel1->isVisible(); },
                                   [this](bool shown) { showAdjustmentsPanel(shown); },
                                   [this] { return EFecIni->calendarDate(); },
                                   [](const std::string& message) {
                                       Application::showMessage(QString::fromStdString(message));
                                   }});
    // Bound before the insert's modified flag is cleared, so that the key
    // and the panel's day are the new row's defaults: a row the user leaves
    // untouched is dropped rather than saved blank.
    dataSets->CAjuste.OnNewRecord = [this](dataset::ClientDataSet& dataSet) {
        CAjusteAfterInsert(dataSet);
        adjustments_->newRowDefaults();
    };
    new KeyPreview(this, [this](int key, Qt::KeyboardModifiers shift) {
        runHandler([this, key, shift] { FormKeyDown(key, shift); });
    });
    auto* enter = new EnterKeyFilter(
        [this](QObject* sender, char& key) {
            runHandler([this, sender, &key] { Enteratab(sender, key); });
        },
        this);
    for (QObject* control : {static_cast<QObject*>(Servidor), static_cast<QObject*>(Tusua),
                             static_cast<QObject*>(TClave), static_cast<QObject*>(Cia),
                             static_cast<QObject*>(EFecIni), static_cast<QObject*>(Pto)})
        enter->watch(control);
}

void Tfcontavtascontado::FormKeyDown(int Key, Qt::KeyboardModifiers Shift) {
    if (Shift & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier))
        return;
    switch (Key) {
    case Qt::Key_F2:
        // Refused adjustments are reported and stay open; nothing is posted.
        if (CaptionPanel1->isVisible() && !adjustments_->saveBeforePosting())
            return;
        // Whether or not its button is enabled.
        SpeedButton3Click();
        break;
    case Qt::Key_F5:
        // The panel takes the focus when it opens; leaving the company
        // field signs in first, as Tab would, so that it opens on the
        // company shown.
        if (!CaptionPanel1->isVisible() && QApplication::focusWidget() == Cia)
            ckniif->setFocus(Qt::TabFocusReason);
        adjustments_->toggle();
        break;
    case Qt::Key_Escape:
        // Esc in a grid being edited takes back what was typed there, and
        // the grid does that.
        if (!gridEditFocused())
            SpeedButton2Click();
        break;
    default:
        break;
    }
}

void Tfcontavtascontado::Enteratab(QObject*, char& Key) {
    if (Key != EnterKeyFilter::kEnter)
        return;
    Key = 0;
    focusNextChild();
}

void Tfcontavtascontado::CAjusteAfterInsert(dataset::ClientDataSet&) {
    dataSets->CAjusteAJCI_ID->setAsInteger(0);
}

Tfcontavtascontado::~Tfcontavtascontado() = default;

void Tfcontavtascontado::bindDataControls() {
    db::BusyCursor::setHandler([](bool busy) {
        if (busy) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QGuiApplication::restoreOverrideCursor();
        }
    });
    const auto guard = [](const std::function<void()>& action) { Application::runGuarded(action); };
    Pto->setKeyField(schema::kPointId);
    Pto->setListField(schema::kPointName);
    Pto->setListSource(&dataSets->DPuntos);
    Pto->setActionGuard(guard);
    DBNavigator1->setDataSource(&dataSets->DAjuste);
    // Errors of the data sets raised inside the grids reach the error box.
    ui::GridAction::setRunner(&Application::runGuarded);
    using ui::GridOption;
    // The error listing of a failed posting run: read only, columns fitted.
    DBGrid1->setOptions(GridOption::Fixed3D | GridOption::HighlightFocus |
                        GridOption::ClearSelection | GridOption::IncSearch |
                        GridOption::PreferIncSearch | GridOption::RowHighlight |
                        GridOption::DialogFind | GridOption::ColumnResize | GridOption::ColumnMove |
                        GridOption::ExtendVertLines);
    DBGrid1->setAllowedOperations({});
    DBGrid1->setFitColumnsToWidth(true);
    DBGrid1->setDataSource(&dataSets->DError);
    // The closing-rate adjustments, edited in place.
    DBGrid2->setOptions(GridOption::Fixed3D | GridOption::HighlightFocus |
                        GridOption::ClearSelection | GridOption::EnterAsTab |
                        GridOption::IncSearch | GridOption::DialogFind | GridOption::ColumnResize |
                        GridOption::ColumnMove | GridOption::ExtendVertLines);
    DBGrid2->setDataSource(&dataSets->DAjuste);
    DBNavigator1->setActionGuard(guard);
}

bool Tfcontavtascontado::runHandler(const std::function<void()>& handler) {
    return Application::runGuarded([this, &handler] {
        try {
            handler();
        } catch (...) {
            Panel5->hide();
            throw;
        }
    });
}

bool Tfcontavtascontado::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Cia && event->type() == QEvent::FocusOut) {
        // Focus that leaves with the whole window, or for a pop-up, has not
        // left the field for another control.
        // Nor has focus that the sign-in itself moves through the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            !signingIn_) {
            const QScopedValueRollback<bool> signingIn(signingIn_, true);
            runHandler([this] { CiaExit(); });
        }
    }
    // A click into the adjustments grid that left the company field has put
    // the adjustments away with the company: it lands nowhere.
    if (watched == DBGrid2->viewport() && !DBGrid2->isVisible() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        return true;
    return QWidget::eventFilter(watched, event);
}

void Tfcontavtascontado::showBusyBanner(const QString& caption) {
    Panel5->setCaption(caption);
    Panel5->show();
    // Painted now: the calls that follow block the window.
    repaint();
    Panel5->repaint();
}

bool Tfcontavtascontado::gridEditFocused() const {
    // The window's own focus child: the application may have none for a
    // moment after a message box closes, before the window is active again.
    for (QWidget* widget = focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* grid = qobject_cast<ui::DBGrid*>(widget)) {
            const dataset::ClientDataSet* records = grid->dataSet();
            return grid->editorShown() ||
                   (records && (records->State() == dataset::DataSetState::Edit ||
                                records->State() == dataset::DataSetState::Insert));
        }
    }
    return false;
}

void Tfcontavtascontado::showAdjustmentsPanel(bool shown) {
    QWidget* focus = QApplication::focusWidget();
    const bool focusInPanel = CaptionPanel1->isAncestorOf(focus);
    if (shown) {
        if (!CaptionPanel1->isVisible() && !focusInPanel)
            focusBeforeAdjustments_ = isAncestorOf(focus) ? focus : nullptr;
        CaptionPanel1->show();
        // The panel covers the sign-in fields and the date: what is typed
        // next goes into its grid, not into a control the user cannot see.
        if (!focusInPanel)
            DBGrid2->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Moved before the panel hides, or Qt would pass it on in tab order.
    if (focusInPanel) {
        QWidget* back = focusBeforeAdjustments_;
        const bool canTakeIt = back && back->isEnabled() && back->isVisible() &&
                               back->focusPolicy() != Qt::NoFocus &&
                               !CaptionPanel1->isAncestorOf(back);
        (canTakeIt ? back : EFecIni)->setFocus(Qt::OtherFocusReason);
    }
    CaptionPanel1->hide();
}

void Tfcontavtascontado::bindSignIn() {
    SignIn::Window window;
    window.leaveAdjustments = [this] { return adjustments_->leaveCompany(); };
    window.connecting = [this](const std::string& caption) {
        // Nothing of the company being left stays in sight.
        DBGrid1->setEnabled(false);
        showBusyBanner(QString::fromStdString(caption));
    };
    window.connected = [this] {
        EFecIni->setEnabled(true);
        EFecIni->setDate(QDate::currentDate());
    };
    window.signedIn = [this] {
        Panel5->hide();
        EFecIni->setFocus();
        SpeedButton3->setEnabled(true);
    };
    signIn_ = std::make_unique<SignIn>(*Pelmora, *dataSets, std::move(window));
}

void Tfcontavtascontado::CiaExit() {
    signIn_->run({Servidor->currentText().toStdString(), Tusua->text().toStdString(),
                  TClave->text().toStdString(), Cia->text().toStdString()});
}

void Tfcontavtascontado::SpeedButton3Click() {
    showBusyBanner(text(kPostingCaption));
    postingRun_->run({EFecIni->shortDateText().toStdString(), platform::shortDateOrder(),
                      Pto->KeyValue(), ckniif->isChecked()});
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
    ui::setFlatFrame(Servidor, kServerItemHeight);
    for (QLineEdit* field : {Tusua, TClave, Cia})
        ui::setFlatFrame(field);

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
        {QString::fromLatin1(schema::kErrorCode), text("Descripción"),
         DBGrid1->defaultColumnWidth(20)},
        {QString::fromLatin1(schema::kErrorText), text("Valor"), 90},
        {QString::fromLatin1(schema::kErrorInterface), text("INTERFAZ"), 120},
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
    Label10->setFont(ui::arialNarrow(11));
    Label10->setText(text("Rev:2024/07/24"));
    Label10->setGeometry(292, 1, 67, 15);
}

void Tfcontavtascontado::buildBusyBanner() {
    Panel5 = component<ui::BevelPanel>(this, "Panel5");
    Panel5->setBevels(ui::BevelPanel::Bevel::Raised, ui::BevelPanel::Bevel::Lowered);
    Panel5->setCaption(text(kBusyCaption));
    Panel5->setFont(ui::msSansSerif(13));
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
        {QString::fromLatin1(schema::kAdjustmentFrom), text("F.Desde"),
         DBGrid2->defaultColumnWidth(10)},
        {QString::fromLatin1(schema::kAdjustmentTo), text("F.Hasta"),
         DBGrid2->defaultColumnWidth(10)},
        {QString::fromLatin1(schema::kAdjustmentRate), text("Porc"),
         DBGrid2->defaultColumnWidth(16)},
        {QString::fromLatin1(schema::kAdjustmentFactor), text("Factor"),
         DBGrid2->defaultColumnWidth(16)},
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
    // A failing handler keeps the window open, as any failed handler leaves
    // the window in the state it had reached.
    bool CanClose = false;
    const bool done = runHandler([this, &CanClose] {
        FormCloseQuery(CanClose);
        if (CanClose)
            FormClose();
    });
    event->setAccepted(done && CanClose);
}

void Tfcontavtascontado::FormCloseQuery(bool& CanClose) {
    CanClose = true;
    if (!adjustments_->hasUnsavedChanges())
        return;
    switch (Application::ask(text(ClosingAdjustments::kSaveBeforeLeaving))) {
    case Application::Answer::Yes:
        // Saved as F5 saves them; refused rows are reported and kept open.
        CanClose = adjustments_->close();
        break;
    case Application::Answer::No:
        break;
    case Application::Answer::Cancel:
        CanClose = false;
        break;
    }
}

void Tfcontavtascontado::FormClose() {
    dataSets->CRepArticulos.close();
    dataSets->CPuntos.close();
    setAttribute(Qt::WA_DeleteOnClose);
}

} // namespace app
