#include "ui/grid/find_dialog.h"

#include "ui/widgets/resizable_combo_box.h"
#include "ui/widgets/window_fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

namespace ui {

namespace {

constexpr const char* kCaption = "Find text";
constexpr const char* kFindWhat = "Fi&nd What:";
constexpr const char* kFindIn = "Find &in:";
constexpr const char* kMatch = "Matc&h:";
constexpr const char* kSearch = "Sea&rch:";
constexpr const char* kMatchCase = "Match &Case";
constexpr const char* kMatchFormat = "Match F&ormat";
constexpr const char* kFindNext = "&Find next";
constexpr const char* kClose = "Close";
constexpr const char* kAllColumns = "<All>";
// In the order of LocateMatch and LocateDirection.
constexpr const char* kMatchTypes[] = {"From any part of field", "Whole field",
                                       "From beging of field"};
constexpr const char* kDirections[] = {"Up", "Down", "All"};

constexpr QSize kClientSize(505, 124);
constexpr int kFontPixels = 10;
constexpr int kVisibleSearchTexts = 17;

// A label caption with its access key underlined. The labels have no buddy,
// so the key is shown but does nothing.
QString underlinedAccessKey(const QString& caption) {
    QString html;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != QLatin1Char('&')) {
                html += QStringLiteral("<u>") + QString(caption[i]).toHtmlEscaped() +
                        QStringLiteral("</u>");
                continue;
            }
        }
        html += QString(caption[i]).toHtmlEscaped();
    }
    return html;
}

template <typename Widget> Widget* control(QWidget* parent, const char* name, const QRect& bounds) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(bounds);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QPoint at) {
    auto* result = control<QLabel>(parent, name, {});
    result->setTextFormat(Qt::RichText);
    result->setText(underlinedAccessKey(QString::fromUtf8(caption)));
    result->adjustSize();
    result->move(at);
    return result;
}

QComboBox* dropDownList(QWidget* parent, const char* name, const QRect& bounds) {
    auto* list = control<QComboBox>(parent, name, bounds);
    list->setEditable(false);
    return list;
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

FindDialog* theDialog = nullptr;

} // namespace

FindDialog& FindDialog::instance() {
    if (theDialog == nullptr) {
        theDialog = new FindDialog;
        // Kept until the program ends.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] {
            delete theDialog;
            theDialog = nullptr;
        });
    }
    return *theDialog;
}

FindDialog::FindDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(msSansSerif(kFontPixels));
    setFixedSize(kClientSize);
    buildControls();
}

void FindDialog::buildControls() {
    Label1 = label(this, "Label1", kFindWhat, {10, 12});
    cbText = control<ResizableComboBox>(this, "cbText", {88, 9, 316, 21});
    cbText->setEditable(true);
    // The dialog keeps the list itself: a text is added when it is searched.
    cbText->setInsertPolicy(QComboBox::NoInsert);
    cbText->setCompleter(nullptr);
    cbText->setMaxVisibleItems(kVisibleSearchTexts);

    Label2 = label(this, "Label2", kFindIn, {10, 35});
    cbFindIn = dropDownList(this, "cbFindIn", {88, 32, 192, 21});

    cbMatchType = label(this, "cbMatchType", kMatch, {10, 58});
    cbMatchinType = dropDownList(this, "cbMatchinType", {88, 55, 144, 21});
    for (const char* item : kMatchTypes)
        cbMatchinType->addItem(QString::fromUtf8(item));
    cbMatchinType->setCurrentIndex(int(LocateMatch::AnyPart));

    Label3 = label(this, "Label3", kSearch, {10, 82});
    cbFindDirection = dropDownList(this, "cbFindDirection", {88, 79, 144, 21});
    for (const char* item : kDirections)
        cbFindDirection->addItem(QString::fromUtf8(item));
    cbFindDirection->setCurrentIndex(int(LocateDirection::All));

    cbCharCase = control<QCheckBox>(this, "cbCharCase", {88, 105, 144, 14});
    cbCharCase->setText(QString::fromUtf8(kMatchCase));
    cbUseFormat = control<QCheckBox>(this, "cbUseFormat", {260, 105, 144, 14});
    cbUseFormat->setText(QString::fromUtf8(kMatchFormat));
    cbUseFormat->setChecked(true);

    bFind = control<QPushButton>(this, "bFind", {413, 9, 82, 23});
    bFind->setText(QString::fromUtf8(kFindNext));
    bCancel = control<QPushButton>(this, "bCancel", {413, 37, 82, 22});
    bCancel->setText(QString::fromUtf8(kClose));
    // Enter is the dialog's own key (see eventFilter), never a button's.
    for (QPushButton* button : {bFind, bCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    QWidget* const order[] = {cbText,     cbFindIn,    cbMatchinType, cbFindDirection,
                              cbCharCase, cbUseFormat, bFind,         bCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // Key preview: every key of the dialog's controls passes here first.
    for (QWidget* widget : order)
        widget->installEventFilter(this);
    cbText->lineEdit()->installEventFilter(this);

    connect(bFind, &QPushButton::clicked, this, [this] {
        findNext(QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbText, &QComboBox::editTextChanged, this, [this] { firstTry_ = true; });
    connect(cbFindDirection, &QComboBox::currentIndexChanged, this, [this] { firstTry_ = true; });
    connect(cbFindIn, &QComboBox::currentIndexChanged, this, &FindDialog::findInChanged);
}

int FindDialog::openFor(FindTarget& grid, const QString& text, const QString& fieldName,
                        bool modal) {
    cbText->setEditText(text);

    if (gridWidget_)
        gridWidget_->disconnect(this);
    grid_ = &grid;
    gridWidget_ = grid.findWidget();
    if (gridWidget_)
        connect(gridWidget_, &QObject::destroyed, this, [this] { grid_ = nullptr; });

    fillFindIn(grid, fieldName);
    firstTry_ = true;
    cbText->setFocus();

    if (isVisible() && windowFlags().testFlag(Qt::WindowStaysOnTopHint) != !modal)
        hide();
    setWindowFlag(Qt::WindowStaysOnTopHint, !modal);
    if (!isVisible())
        centreOnScreen();
    if (modal)
        return exec();
    show();
    activateWindow();
    cbText->setFocus();
    return QDialog::Rejected;
}

void FindDialog::fillFindIn(const FindTarget& grid, const QString& fieldName) {
    const QList<FindColumn> columns = grid.findColumns();
    {
        const QSignalBlocker quiet(cbFindIn);
        cbFindIn->clear();
        for (const FindColumn& column : columns)
            cbFindIn->addItem(column.title, column.fieldName);
        cbFindIn->addItem(QString::fromUtf8(kAllColumns)); // no field: all columns
        cbFindIn->setCurrentIndex(-1);
    }
    int chosen = -1;
    if (!fieldName.isEmpty()) {
        for (int i = 0; i < columns.size() && chosen < 0; ++i) {
            if (columns[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
                chosen = i;
            }
        }
    } else {
        const int current = grid.currentFindColumn();
        if (current >= 0 && current < columns.size()) {
            chosen = cbFindIn->findText(columns[current].title,
                                        Qt::MatchExactly | Qt::MatchCaseSensitive);
        }
    }
    cbFindIn->setCurrentIndex(chosen);
    findInChanged(cbFindIn->currentIndex());
}

void FindDialog::findInChanged(int index) {
    if (index < 0 && cbFindIn->count() > 0) {
        cbFindIn->setCurrentIndex(cbFindIn->count() - 1); // an empty choice means "<All>"
        return;
    }
    firstTry_ = true;
}

bool FindDialog::findNext(bool reverse) {
    const QString text = cbText->currentText();
    rememberSearchText(text);
    if (grid_ == nullptr || !grid_->hasOpenDataSet())
        return false;

    const int entry = cbFindIn->currentIndex();
    const bool allColumns = entry == cbFindIn->count() - 1;
    const QString fieldName = allColumns ? QString() : cbFindIn->itemData(entry).toString();

    LocateOptions options;
    options.setFlag(LocateOption::CaseInsensitive, !cbCharCase->isChecked());
    options.setFlag(LocateOption::MatchDisplayText, cbUseFormat->isChecked());
    options.setFlag(LocateOption::AllColumns, allColumns);

    auto direction = LocateDirection(cbFindDirection->currentIndex());
    if (reverse) {
        direction = direction == LocateDirection::Up ? LocateDirection::Down : LocateDirection::Up;
    } else if (direction == LocateDirection::All && !firstTry_) {
        direction = LocateDirection::Down; // after a match, "All" goes on below it
    }
    const auto match = LocateMatch(cbMatchinType->currentIndex());

    const bool found = grid_->locate(fieldName, text, options, direction, match);
    if (found)
        firstTry_ = false;
    return found;
}

void FindDialog::rememberSearchText(const QString& text) {
    // An empty text is not worth a line in the list.
    if (text.isEmpty() || cbText->findText(text, Qt::MatchFixedString) >= 0)
        return;
    const QSignalBlocker quiet(cbText);
    cbText->addItem(text);
    cbText->setEditText(text);
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // An open drop-down list keeps Enter to close itself.
        if (isEnter(key) && QApplication::activePopupWidget() == nullptr) {
            findNext(key->modifiers().testFlag(Qt::ControlModifier));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        findNext(event->modifiers().testFlag(Qt::ControlModifier));
        return;
    }
    QDialog::keyPressEvent(event);
}

void FindDialog::done(int result) {
    QDialog::done(result);
    if (gridWidget_) {
        gridWidget_->activateWindow();
        gridWidget_->setFocus();
    }
}

void FindDialog::centreOnScreen() {
    QScreen* screen = gridWidget_ ? gridWidget_->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace ui
