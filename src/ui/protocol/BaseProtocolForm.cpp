#include "ui/protocol/BaseProtocolForm.h"

#include "shell/Version.h"
#include "ui/help/ContextHelp.h"
#include "ui/print/PreviewForm.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Icons.h"

#include "platform/QtText.h"
#include "recording/TableFile.h"
#include "shell/SystemPlatform.h"
#include "shell/Timers.h"
#include "telegram/Errors.h"
#include "telegram/Filter.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/compose/DisplayPreview.h"
#include "ui/protocol/DetailPanel.h"
#include "ui/protocol/StatisticsForm.h"
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

namespace vaskel {

namespace {

// The protocol windows alive, for the find dialog.
std::vector<TfBaseProtocolForm*>& ProtocolWindows() {
    static std::vector<TfBaseProtocolForm*> windows;
    return windows;
}

// The find dialog, one for all protocol windows, and the window that opened
// it last.
QPointer<QDialog> gFindDialog;
TfBaseProtocolForm* gFindOwner = nullptr;

bool Alive(TfBaseProtocolForm* w) {
    const auto& all = ProtocolWindows();
    return w && std::find(all.begin(), all.end(), w) != all.end();
}

// A checkable entry of a menu, among the exclusive ones of its group.
QAction* StateEntry(QMenu* menu, QActionGroup* group, const char* caption) {
    QAction* a = menu->addAction(QString());
    SetDe(a, caption);
    a->setCheckable(true);
    group->addAction(a);
    return a;
}

} // namespace

TfBaseProtocolForm::TfBaseProtocolForm(TSession& session, QWidget* parent)
    : TfChildWindow(session, parent), FEnv(session.Env()), FParser(session.Parser()) {
    SetHelpContext(this, help::kProtocol);
    ProtocolWindows().push_back(this);
    // a changed filter choice applies at once
    connect(&session, &TSession::FilterChanged, this, [this] { ApplyFilter(); });
    FMain = new QVBoxLayout(this);
    FMain->setContentsMargins(2, 2, 2, 2);
    // a tool bar: what does not fit a narrow window goes behind its
    // extension button
    auto* toolBar = new QToolBar;
    toolBar->setObjectName(QStringLiteral("ProtocolToolBar"));
    SetHelpContext(toolBar, help::kProtocolToolBar);
    FToolBar = toolBar;
    // a button that toggles or steps its state; its drop-down sets a state
    auto toolButton = [&](QToolButton*& b, const char* name, QActionGroup*& group) {
        b = new QToolButton;
        b->setObjectName(QLatin1String(name));
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMenu(new QMenu(b));
        b->setPopupMode(QToolButton::MenuButtonPopup);
        group = new QActionGroup(b);
        toolBar->addWidget(b);
        return b->menu();
    };
    QActionGroup* group = nullptr;
    // column widths
    QMenu* menu = toolButton(FModeButton, "tbRowMode", group);
    FModeButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    FModeSet[0] = StateEntry(menu, group, "Spaltenbreite fixieren");
    FModeSet[1] = StateEntry(menu, group, "Spaltenbreite variabel");
    connect(FModeButton, &QToolButton::clicked, this, [this] { SetFixedWidths(!FFixedWidths); });
    connect(FModeSet[0], &QAction::triggered, this, [this] { SetFixedWidths(true); });
    connect(FModeSet[1], &QAction::triggered, this, [this] { SetFixedWidths(false); });
    toolBar->addSeparator();
    // hex column
    menu = toolButton(FHexButton, "tbHEXMode", group);
    SetDe(FHexButton, "HEX");
    FHexButton->setCheckable(true);
    FHexSet[0] = StateEntry(menu, group, "Hexadezimalspalte anzeigen");
    FHexSet[1] = StateEntry(menu, group, "Hexadezimalspalte ausblenden");
    connect(FHexButton, &QToolButton::clicked, this, [this] { SetHexShown(!FHexShown); });
    connect(FHexSet[0], &QAction::triggered, this, [this] { SetHexShown(true); });
    connect(FHexSet[1], &QAction::triggered, this, [this] { SetHexShown(false); });
    // filter: the button steps off, on, acoustic
    menu = toolButton(FFilterButton, "tbFilterOnOff", group);
    FFilterSet[1] = StateEntry(menu, group, "Filter einschalten");
    FFilterSet[0] = StateEntry(menu, group, "Filter ausschalten");
    FFilterSet[2] = StateEntry(menu, group, "Ton bei Filter");
    connect(FFilterButton, &QToolButton::clicked, this, [this] { StepFilter(); });
    for (int state = 0; state < 3; ++state)
        connect(FFilterSet[state], &QAction::triggered, this,
                [this, state] { SetFilterState(state); });
    // warning marks
    menu = toolButton(FWarnButton, "tbAutoWarning", group);
    SetDe(FWarnButton, "Warnungen");
    FWarnButton->setCheckable(true);
    FWarnSet[0] = StateEntry(menu, group, "Kritische Werte werden automatisch markiert");
    FWarnSet[1] = StateEntry(menu, group, "Kritische Werte nicht markieren");
    connect(FWarnButton, &QToolButton::clicked, this, [this] { SetAutoWarnings(!FAutoWarnings); });
    connect(FWarnSet[0], &QAction::triggered, this, [this] { SetAutoWarnings(true); });
    connect(FWarnSet[1], &QAction::triggered, this, [this] { SetAutoWarnings(false); });
    // IBIS characters (the setting of every window)
    menu = toolButton(FIbisButton, "tbnConvertIBISCharacters", group);
    SetDe(FIbisButton, "Umlaute");
    FIbisButton->setCheckable(true);
    FIbisSet[0] = StateEntry(menu, group, "IBIS-Sonderzeichen in Umlaut konvertieren");
    FIbisSet[1] = StateEntry(menu, group, "IBIS-Sonderzeichen nicht konvertieren");
    connect(FIbisButton, &QToolButton::clicked, this,
            [this] { SetConvertIBIS(!FEnv.ConvertIBISCharacters()); });
    connect(FIbisSet[0], &QAction::triggered, this, [this] { SetConvertIBIS(true); });
    connect(FIbisSet[1], &QAction::triggered, this, [this] { SetConvertIBIS(false); });
    toolBar->addSeparator();
    auto* markLabel = new QLabel;
    SetDe(markLabel, "Markieren:");
    FMarkLabel = markLabel;
    toolBar->addWidget(markLabel);
    auto* mark = new QLineEdit;
    mark->setObjectName(QStringLiteral("edMarkRecords"));
    FMarkEdit = mark;
    mark->setMaximumWidth(160);
    connect(mark, &QLineEdit::textChanged, this, [this](const QString& t) { SetMarkText(t); });
    connect(mark, &QLineEdit::returnPressed, this, [this] {
        if (!NextMarkedRow()) QApplication::beep();
    });
    toolBar->addWidget(mark);
    auto* find = new QPushButton;
    SetDe(find, "Suchen ...");
    find->setObjectName(QStringLiteral("tbFind"));
    connect(find, &QPushButton::clicked, this, [this] { FindAsked(); });
    toolBar->addWidget(find);
    auto* print = new QPushButton;
    SetDe(print, "Drucken ...");
    print->setObjectName(QStringLiteral("tbPrint"));
    connect(print, &QPushButton::clicked, this, [this] { PrintAsked(); });
    toolBar->addWidget(print);
    auto* statistics = new QPushButton;
    SetDe(statistics, "Statistik ...",
          "Zeigt die Zahlen des Protokolls: Datensätze und ihre Fehler, die Reaktionszeiten "
          "jeder Adresse, die Buslast im Verlauf");
    statistics->setObjectName(QStringLiteral("tbStatistics"));
    connect(statistics, &QPushButton::clicked, this, [this] { ShowFigures(); });
    toolBar->addWidget(statistics);
    FMain->addWidget(toolBar);

    // the table's context menu: the window's entries, captions by state
    FTableMenu = new QMenu(this);
    FTableMenu->setObjectName(QStringLiteral("ProtocolMenu"));
    FHexEntry = FTableMenu->addAction(QString());
    FHexEntry->setObjectName(QStringLiteral("mmHexMode"));
    connect(FHexEntry, &QAction::triggered, this, [this] { SetHexShown(!FHexShown); });
    FFilterEntry = FTableMenu->addAction(QString());
    FFilterEntry->setObjectName(QStringLiteral("mmSwitchFilter"));
    connect(FFilterEntry, &QAction::triggered, this, [this] { StepFilter(); });
    FWarnEntry = FTableMenu->addAction(QString());
    FWarnEntry->setObjectName(QStringLiteral("mmAutoWarning"));
    connect(FWarnEntry, &QAction::triggered, this, [this] { SetAutoWarnings(!FAutoWarnings); });
    FIbisEntry = FTableMenu->addAction(QString());
    FIbisEntry->setObjectName(QStringLiteral("mmConvertIBISCharacters"));
    SetDe(FIbisEntry, "IBIS-Sonderzeichen in Umlaut konvertieren");
    FIbisEntry->setCheckable(true);
    connect(FIbisEntry, &QAction::triggered, this, [this](bool on) { SetConvertIBIS(on); });
    FTableMenu->addSeparator();
    QAction* findEntry = FTableMenu->addAction(QString());
    SetDe(findEntry, "Suchen ...");
    connect(findEntry, &QAction::triggered, this, [this] { FindAsked(); });
    QAction* statisticsEntry = FTableMenu->addAction(QString());
    statisticsEntry->setObjectName(QStringLiteral("mmStatistics"));
    SetDe(statisticsEntry, "Statistik ...");
    connect(statisticsEntry, &QAction::triggered, this, [this] { ShowFigures(); });

    FView = new QTableView;
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->verticalHeader()->hide();
    FView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    FView->setWordWrap(false);
    FView->horizontalHeader()->setStretchLastSection(false);
    FView->horizontalHeader()->setMinimumSectionSize(16);
    FView->viewport()->installEventFilter(this);
    FView->installEventFilter(this);
    FView->horizontalHeader()->viewport()->installEventFilter(this);
    FView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { FTableMenu->popup(FView->viewport()->mapToGlobal(at)); });
    // scrolling by hand (arrows, track, slider, wheel): the live monitor
    // stops following new rows
    connect(FView->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int) { StopFollowing(); });
    // the table and the detail panel share the window's height; the handle
    // between them lets the user give the panel the room it needs
    FSplit = new QSplitter(Qt::Vertical);
    FSplit->setObjectName(QStringLiteral("DetailSplitter"));
    FSplit->setChildrenCollapsible(false);
    FSplit->setHandleWidth(6);
    FSplit->addWidget(FView);
    FMain->addWidget(FSplit, 1);
    connect(FView, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { DetailAnalysis(i.row()); });

    // the detail panel sits between the table and the bottom buttons
    FDetailPanel = new QFrame;
    FDetailPanel->setObjectName(QStringLiteral("DetailPanel"));
    FDetailPanel->setFrameShape(QFrame::StyledPanel);
    auto* detailLayout = new QHBoxLayout(FDetailPanel);
    // the analyses' controls live in a scrolled area, so a panel limited in
    // height scrolls instead of squeezing them
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("DetailScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FDetailHost = new QWidget;
    FDetailHost->setObjectName(QStringLiteral("DetailContent"));
    FDetailHost->setAutoFillBackground(false);
    FDetailContent = new QVBoxLayout(FDetailHost);
    FDetailContent->setContentsMargins(0, 0, 0, 0);
    FDetailContent->setSpacing(3);
    scroll->setWidget(FDetailHost);
    scroll->viewport()->setAutoFillBackground(false);
    detailLayout->addWidget(scroll, 1);
    auto* close = new QToolButton;
    close->setObjectName(QStringLiteral("imDetailClose"));
    close->setIcon(ProgramIcon(QStringLiteral("closePanel")));
    SetDeHint(close, "Detailinformationen ausblenden");
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, [this] { HideDetail(); });
    detailLayout->addWidget(close, 0, Qt::AlignTop | Qt::AlignRight);
    detailLayout->setContentsMargins(6, 4, 8, 4);
    FDetailPanel->hide();
    // never less than two rows of fields, so the panel is always readable
    FDetailPanel->setMinimumHeight(2 * (fontMetrics().height() + 10) + 8);
    FSplit->addWidget(FDetailPanel);
    FSplit->setStretchFactor(0, 1);
    FSplit->setStretchFactor(1, 0);
    // the height the user gives the panel stays for the rows after
    connect(FSplit, &QSplitter::splitterMoved, this,
            [this] { FDetailHeight = FSplit->sizes().value(1); });

    FBottom = new QHBoxLayout;
    FMain->addLayout(FBottom);

    FShownIbis = FEnv.ConvertIBISCharacters();
    SetFixedWidths(false);
    ShowStates();
}

TfBaseProtocolForm::~TfBaseProtocolForm() {
    std::erase(ProtocolWindows(), this);
    if (gFindOwner == this) gFindOwner = nullptr;
    CloseTip();
}

void TfBaseProtocolForm::AttachTable(const TTable& table) {
    FTable = &table;
    FModel = new TProtocolModel(table, this);
    FView->setModel(FModel);
    FView->setItemDelegate(new TProtocolDelegate(
        FParser,
        [this] {
            TCellOptions o = ShownCells();
            o.MarkText = FMarkText;
            o.CurrentRow = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
            o.DetailRow = FDetailRow;
            return o;
        },
        FView));
    FModel->CellTip = [this](int row, int col) {
        return ProtocolCellTip(*FTable, row, col, FParser, ShownCells());
    };
    // the start widths of fixed mode
    const int widths[kProtocolColumns] = {22, 50, 95, 60, 45, 300, 0, 55, 260, 28};
    for (int c = 0; c < kProtocolColumns; ++c)
        FView->setColumnWidth(c, widths[c]);
    SetHexShown(false);
    SetFilterState(0);
    SetAutoWarnings(true);
}

TCellOptions TfBaseProtocolForm::ShownCells() const {
    TCellOptions o;
    o.AutoWarnings = FAutoWarnings;
    o.ConvertIBIS = FEnv.ConvertIBISCharacters();
    o.Bus = FEnv.BusType();
    return o;
}

void TfBaseProtocolForm::AddCloseButton() {
    auto* close = new QPushButton;
    SetDe(close, "Schließen");
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(); });
    FBottom->addWidget(close);
}

QString TfBaseProtocolForm::AskProtocolFile(const QString& proposedName) {
    const QString dir = QFile::decodeName(
        QByteArray::fromStdString(FEnv.DialogDirectory(TFileFolder::Protokolle)));
    return AskFile(this, ProtocolSaveDialog(dir, proposedName));
}

QString TfBaseProtocolForm::NowProtocolFileName() {
    const TDateTime t = TSystemClock().Now();
    return FromCp1252(DefaultProtocolFileName(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second));
}

QList<QWidget*> TfBaseProtocolForm::ToolBars() const {
    return {FToolBar};
}

void TfBaseProtocolForm::SetHexShown(bool shown) {
    FHexShown = shown;
    FView->setColumnHidden(pcHex, !shown);
    if (shown) FView->setColumnWidth(pcHex, 100);
    ShowStates();
    FitColumns();
}

void TfBaseProtocolForm::SetFilterState(int state) {
    FFilterState = state;
    ShowStates();
    ApplyFilter();
}

void TfBaseProtocolForm::StepFilter() {
    FEnv.SetHintGiven(THint::FilterHint);
    CloseTip();
    SetFilterState((FFilterState + 1) % 3);
}

void TfBaseProtocolForm::ShowStates() {
    // how the marking reads its text
    const QString markHint =
        Tr("Markiert die Zeilen, deren Telegramm (wie angezeigt) mit diesem Text beginnt. "
           "Beginnt der Text mit \"*\", wird er überall im Telegramm gefunden. \"?\" steht für "
           "ein beliebiges Zeichen, \"*\" für beliebig viele, \"/?\" und \"/*\" für ? und * "
           "selbst. Groß- und Kleinschreibung zählen nicht.");
    FMarkLabel->setToolTip(markHint);
    FMarkEdit->setToolTip(markHint);
    // hex column
    FHexButton->setChecked(FHexShown);
    FHexButton->setToolTip(FHexShown ? Tr("Hexadezimaldarstellung eingeblendet")
                                     : Tr("Hexadezimaldarstellung ausgeblendet"));
    FHexEntry->setText(FHexShown ? Tr("&Hex-Darstellung ausblenden")
                                 : Tr("&Hex-Darstellung einblenden"));
    FHexSet[FHexShown ? 0 : 1]->setChecked(true);
    // filter
    static const char* const texts[3] = {"Filter aus", "Filter ein", "Akustischer Filter"};
    static const char* const hints[3] = {"Telegrammfilter ausgeschaltet",
                                         "Telegrammfilter eingeschaltet", "Akustischer Filter"};
    static const char* const entries[3] = {"Fil&ter einschalten", "Akustischen Fil&ter einschalten",
                                           "Fil&ter ausschalten"};
    FFilterButton->setText(Tr(texts[FFilterState]));
    FFilterButton->setToolTip(Tr(hints[FFilterState]));
    FFilterEntry->setText(Tr(entries[FFilterState]));
    FFilterSet[FFilterState]->setChecked(true);
    // warning marks
    FWarnButton->setChecked(FAutoWarnings);
    FWarnButton->setToolTip(FAutoWarnings ? Tr("Automatische Warnungsmarkierung eingeschaltet")
                                          : Tr("Automatische Warnungsmarkierung ausgeschaltet"));
    FWarnEntry->setText(FAutoWarnings ? Tr("&Warnungsmarkierung ausblenden")
                                      : Tr("&Warnungsmarkierung anzeigen"));
    FWarnSet[FAutoWarnings ? 0 : 1]->setChecked(true);
    // IBIS characters
    const bool ibis = FEnv.ConvertIBISCharacters();
    FIbisButton->setChecked(ibis);
    FIbisButton->setToolTip(ibis ? Tr("IBIS-Sonderzeichen in Umlaut konvertieren")
                                 : Tr("IBIS-Sonderzeichen nicht konvertieren"));
    FIbisEntry->setChecked(ibis);
    FIbisSet[ibis ? 0 : 1]->setChecked(true);
    // column widths
    FModeButton->setToolTip(FFixedWidths ? Tr("feste Spaltenbreite")
                                         : Tr("variable Spaltenbreite"));
    FModeButton->setIcon(ProgramIcon(FFixedWidths ? QStringLiteral("tbFixedWidths")
                                                  : QStringLiteral("tbVariableWidths")));
    FModeSet[FFixedWidths ? 0 : 1]->setChecked(true);
}

void TfBaseProtocolForm::SetConvertIBIS(bool on) {
    FEnv.SetConvertIBISCharacters(on);
    FShownIbis = on;
    ShowStates();
    FView->viewport()->update();
}

void TfBaseProtocolForm::RefreshFromState() {
    // another window changed the setting
    if (FShownIbis == FEnv.ConvertIBISCharacters()) return;
    FShownIbis = FEnv.ConvertIBISCharacters();
    ShowStates();
    FView->viewport()->update();
}

void TfBaseProtocolForm::SetFixedWidths(bool fixed) {
    FFixedWidths = fixed;
    QHeaderView* h = FView->horizontalHeader();
    if (fixed) {
        h->setSectionResizeMode(QHeaderView::Interactive);
        FView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
        // the columns fill the width; only a window too narrow for their
        // least widths scrolls sideways
        h->setSectionResizeMode(QHeaderView::Fixed);
        FView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    ShowStates();
    FitColumns();
}

void TfBaseProtocolForm::FitColumns() {
    if (FFixedWidths || !FModel) return;
    QHeaderView* h = FView->horizontalHeader();
    const QFontMetrics cells(FView->font());
    const QFontMetrics titles(h->font());
    // the short columns as wide as their title or a typical value
    auto natural = [&](int col, const QString& sample) {
        return std::max(cells.horizontalAdvance(sample) + 10,
                        titles.horizontalAdvance(ProtocolColumnTitle(col)) + 16);
    };
    int w[kProtocolColumns] = {};
    w[pcKind] = 22;
    w[pcNr] = natural(pcNr, QStringLiteral("999999"));
    w[pcStart] = natural(pcStart, QStringLiteral("00:00:00,000"));
    w[pcReaction] = natural(pcReaction, Tr(FromCp1252(kReactionInvalid)));
    w[pcErrors] = natural(pcErrors, QStringLiteral("RFPSAX"));
    w[pcRecordNo] = natural(pcRecordNo, QStringLiteral("[003a]"));
    w[pcAnswer] = natural(pcAnswer, QStringLiteral("WW"));
    int used = 0;
    for (int c : {pcKind, pcNr, pcStart, pcReaction, pcErrors, pcRecordNo, pcAnswer})
        used += w[c];
    // the telegram (its hex form) and the description share the rest alike
    const int rest = std::max(0, FView->viewport()->width() - used);
    const int shares = FHexShown ? 3 : 2;
    w[pcTelegram] = std::max(60, rest / shares);
    w[pcHex] = FHexShown ? std::max(60, rest / shares) : 0;
    w[pcDescription] = std::max(60, rest - w[pcTelegram] - w[pcHex]);
    for (int c = 0; c < kProtocolColumns; ++c)
        if (c != pcHex || FHexShown) h->resizeSection(c, w[c]);
}

void TfBaseProtocolForm::ApplyFilter() {
    if (!FTable) return;
    const TTable& t = *FTable;
    for (int r = 0; r < FModel->rowCount(); ++r) {
        const bool show =
            FFilterState != 1 ||
            FilterShowsRow(t.Cell(pcTelegram, r), t.Cell(pcRecordNo, r), t.Cell(pcErrors, r),
                           FEnv.FilterSatzArten(), FEnv.FilterKuerzel(), FEnv.NeverFilterErrors());
        FView->setRowHidden(r, !show);
    }
}

void TfBaseProtocolForm::SetAutoWarnings(bool on) {
    FAutoWarnings = on;
    ShowStates();
    FView->viewport()->update();
}

void TfBaseProtocolForm::SetMarkText(const QString& text) {
    FMarkText = ToCp1252(text);
    FView->viewport()->update();
}

bool TfBaseProtocolForm::NextMarkedRow() {
    const int rows = FModel->rowCount();
    if (!FTable || rows == 0 || FMarkText.empty()) return false;
    TCellOptions o = ShownCells();
    o.MarkText = FMarkText;
    const int current = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
    for (int k = 1; k <= rows; ++k) {
        const int r = (current + k) % rows;
        if (FView->isRowHidden(r) || !ProtocolRowMarked(*FTable, r, FParser, o)) continue;
        StopFollowing();
        const QModelIndex i = FModel->index(r, 0);
        FView->setCurrentIndex(i);
        FView->selectRow(r);
        FView->scrollTo(i, QAbstractItemView::EnsureVisible);
        return true;
    }
    return false;
}

bool TfBaseProtocolForm::FindNext(const QString& text, bool down, bool matchCase) {
    const int current = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
    const int start = down ? current + 1 : (current < 0 ? FModel->rowCount() - 1 : current - 1);
    const int found = FindInProtocol(*FTable, FModel->rowCount(), start, down, text, matchCase,
                                     FParser, ShownCells());
    if (found < 0) return false;
    StopFollowing();
    const QModelIndex i = FModel->index(found, 0);
    FView->setCurrentIndex(i);
    FView->scrollTo(i, QAbstractItemView::PositionAtTop);
    return true;
}

TfBaseProtocolForm* TfBaseProtocolForm::ActiveProtocolWindow() {
    for (TfBaseProtocolForm* w : ProtocolWindows()) {
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        // the area's current window stays current while the dialog has the focus
        if (sub && sub->mdiArea() && sub->mdiArea()->currentSubWindow() == sub) return w;
    }
    if (Alive(gFindOwner) && !qobject_cast<QMdiSubWindow*>(gFindOwner->parentWidget()))
        return gFindOwner;
    return nullptr;
}

QDialog* TfBaseProtocolForm::FindDialog() {
    return gFindDialog;
}

void TfBaseProtocolForm::FindAsked() {
    gFindOwner = this;
    if (!gFindDialog) {
        // the dialog lives with the main window (or with this window when
        // it stands alone)
        auto* d = new QDialog(window());
        d->setObjectName(QStringLiteral("FindDialog"));
        d->setWindowTitle(Tr("Suchen"));
        auto* text = new QLineEdit;
        text->setObjectName(QStringLiteral("edFindText"));
        auto* label = new QLabel;
        SetDe(label, "Suchen nach:");
        label->setBuddy(text);
        auto* matchCase = new QCheckBox;
        matchCase->setObjectName(QStringLiteral("cbMatchCase"));
        SetDe(matchCase, "Groß-/Kleinschreibung beachten");
        auto* direction = new QGroupBox;
        SetDe(direction, "Richtung");
        auto* up = new QRadioButton;
        up->setObjectName(QStringLiteral("rbUp"));
        SetDe(up, "Nach oben");
        auto* down = new QRadioButton;
        down->setObjectName(QStringLiteral("rbDown"));
        SetDe(down, "Nach unten");
        down->setChecked(true);
        auto* directions = new QHBoxLayout(direction);
        directions->addWidget(up);
        directions->addWidget(down);
        auto* next = new QPushButton;
        next->setObjectName(QStringLiteral("btFindNext"));
        SetDe(next, "Weitersuchen");
        next->setDefault(true);
        next->setEnabled(false);
        auto* cancel = new QPushButton;
        SetDe(cancel, "Abbrechen");
        auto* grid = new QGridLayout(d);
        grid->addWidget(label, 0, 0);
        grid->addWidget(text, 0, 1, 1, 2);
        grid->addWidget(matchCase, 1, 0, 1, 2, Qt::AlignBottom);
        grid->addWidget(direction, 1, 2);
        auto* buttons = new QVBoxLayout;
        buttons->addWidget(next);
        buttons->addWidget(cancel);
        buttons->addStretch();
        grid->addLayout(buttons, 0, 3, 2, 1);
        connect(text, &QLineEdit::textChanged, next,
                [next](const QString& t) { next->setEnabled(!t.isEmpty()); });
        connect(cancel, &QPushButton::clicked, d, &QDialog::close);
        connect(next, &QPushButton::clicked, d, [d, text, matchCase, down] {
            TfBaseProtocolForm* w = ActiveProtocolWindow();
            if (!w) {
                QApplication::beep();
                return;
            }
            if (w->FindNext(text->text(), down->isChecked(), matchCase->isChecked())) return;
            // Enter in the search field clicks this button inside the key
            // event: the message waits until that event is done
            const QString title = Tr("Keine Übereinstimmung gefunden");
            const QString message = Tr("Suchbegriff \"%1\" nicht gefunden.").arg(text->text());
            QMetaObject::invokeMethod(
                d, [d, title, message] { QMessageBox::information(d, title, message); },
                Qt::QueuedConnection);
        });
        gFindDialog = d;
    }
    gFindDialog->setWindowTitle(Tr("Suchen"));
    gFindDialog->show();
    gFindDialog->raise();
    gFindDialog->activateWindow();
    if (auto* text = gFindDialog->findChild<QLineEdit*>(QStringLiteral("edFindText"))) {
        text->setFocus();
        text->selectAll();
    }
}

bool TfBaseProtocolForm::EditCommand(TEditCommand command) {
    // the selection's text is only worked out for a copy
    if (command == TEditCommand::Copy) return TableEditCommand(command, FView, SelectionText());
    return TableEditCommand(command, FView, QString());
}

QString TfBaseProtocolForm::SelectionText() const {
    std::vector<int> rows;
    for (const QModelIndex& i : FView->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> columns;
    for (int c = 0; c < kProtocolColumns; ++c)
        if (!FView->isColumnHidden(c) && FView->columnWidth(c) > 0) columns.push_back(c);
    return ProtocolCopyText(*FTable, rows, columns, FParser, ShownCells());
}

void TfBaseProtocolForm::DetailAnalysis(int row) {
    StopFollowing();
    FEnv.SetHintGiven(THint::GridDblClickHintGiven);
    CloseTip();
    FDetailRow = -1;
    if (!FTable || row < 0 || row >= FModel->rowCount()) return;
    const int nr = StrToIntDef(std::string(FTable->Cell(pcNr, row)), row + 1);
    if (nr == FDetailTag) return;
    HideDetail();
    FDetailTag = nr;
    FDetailKind = DetailKindOf(*FTable, row);
    if (FDetailKind == TDetailKind::Error) FEnv.SetHintGiven(THint::GridErrorDblClickHintGiven);
    bool shown = false;
    if (Analyse) shown = Analyse(FDetailKind, row, FDetailContent);
    bool error = FDetailKind == TDetailKind::Error;
    if (!shown) {
        TDetailOptions o = ShownDetailOptions();
        o.ConvertIBIS = FEnv.ConvertIBISCharacters();
        o.Bus = FEnv.BusType();
        o.LinkOpen = Session().LinkOpen();
        try {
            const TDetailContent content =
                BuildDetailAnalysis(FDetailKind, *FTable, row, FParser, o);
            error = content.ErrorLook;
            FillDetailPanel(content, FDetailHost, FDetailContent);
            ShowPassengerView(row);
        } catch (const std::exception&) {
            FView->viewport()->update();
            // Enter opens the analysis inside its key event: the message
            // waits until that event is done
            const QString title = Tr("Telegrammanalyse");
            const QString text = TrLines(DetailAnalysisErrorText(FDetailKind));
            QMetaObject::invokeMethod(
                this, [this, title, text] { QMessageBox::warning(this, title, text); },
                Qt::QueuedConnection);
            return;
        }
    }
    FDetailRow = row;
    SetHelpContext(FDetailPanel, error ? help::kDetailError : help::kDetailInformation);
    FDetailPanel->setStyleSheet(error ? QStringLiteral("#DetailPanel { background: #FFE0E0; }")
                                      : QStringLiteral("#DetailPanel { background: #E2E9FA; }"));
    FDetailContent->activate();
    const int need = FDetailHost->sizeHint().height() + 16;
    FDetailPanel->show();
    FSplit->setSizes(DetailSizes(need));
    FView->viewport()->update();
    const QModelIndex i = FModel->index(row, 0);
    const int bottom = FView->rowAt(FView->viewport()->height() - 1);
    FView->scrollTo(i, bottom >= 0 && row > bottom ? QAbstractItemView::PositionAtTop
                                                   : QAbstractItemView::EnsureVisible);
}

// The table's and the panel's heights: the height the user gave the panel,
// else what the analysis needs, at most half the room when that is nearly
// all of it. The room is the table's and the panel's together, so a panel
// shown before takes nothing from the next one.
QList<int> TfBaseProtocolForm::DetailSizes(int need) const {
    const QList<int> now = FSplit->sizes();
    int room = 0;
    for (int h : now)
        room += h;
    if (room <= 0) room = FSplit->height();
    int panel = FDetailHeight > 0 ? FDetailHeight
                                  : (need >= room - 40 ? room / 2 : need);
    const int least = FDetailPanel->minimumHeight();
    // the table keeps a few rows in sight
    const int most =
        std::max(least, room - 3 * FView->verticalHeader()->defaultSectionSize());
    panel = std::clamp(panel, least, most);
    return {std::max(0, room - panel), panel};
}

void TfBaseProtocolForm::ShowPassengerView(int row) {
    // a destination or inside display's text: what the passenger sees
    const std::string telegram(FTable->Cell(pcTelegram, row));
    TDisplayRecord type;
    if (!DisplayRecordFromPrefix(telegram, type) ||
        (type != TDisplayRecord::DS021 && type != TDisplayRecord::DS003a &&
         type != TDisplayRecord::DS003c))
        return;
    auto* line = new QHBoxLayout;
    auto* label = new QLabel(Tr("Fahrgastansicht:"), FDetailHost);
    label->setObjectName(QStringLiteral("GenericlblFahrgastansicht"));
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    auto* view = new TDisplayPreview(FDetailHost);
    view->setObjectName(QStringLiteral("GenericDisplayPreview"));
    view->SetTelegram(telegram);
    view->setMaximumWidth(view->sizeHint().width());
    line->addWidget(label);
    line->addWidget(view, 1);
    line->addStretch(0);
    FDetailContent->addLayout(line);
}

void TfBaseProtocolForm::HideDetail() {
    FDetailPanel->hide();
    FDetailTag = -1;
    FDetailRow = -1;
    FDetailKind = TDetailKind::None;
    // the analyses' controls go; the panel's own stay
    for (QWidget* w : FDetailHost->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->objectName().isEmpty() || w->objectName().contains(QLatin1String("Generic"))) {
            w->hide();
            w->deleteLater();
        }
    }
    while (QLayoutItem* item = FDetailContent->takeAt(0)) {
        if (QWidget* w = item->widget(); w && !w->objectName().contains(QLatin1String("Generic")))
            w->hide();
        delete item;
    }
    FView->viewport()->update();
}

void TfBaseProtocolForm::ShowTip(const QString& title, const QString& text, int row) {
    FLastTip = text;
    const QRect r = FView->visualRect(FModel->index(row, pcTelegram));
    // a balloon in the window: it stays while the user goes on typing and
    // never takes the keyboard focus
    TBalloonHint::Show(FView->viewport(), QPoint(FView->viewport()->width() / 2, r.bottom()),
                       TBalloonHint::TIcon::Information, title, text, 8000, true);
}

void TfBaseProtocolForm::CloseTip() {
    QToolTip::hideText();
    if (TBalloonHint* b = TBalloonHint::Current();
        b && b->Anchor() && (b->Anchor() == this || isAncestorOf(b->Anchor())))
        TBalloonHint::CloseCurrent();
}

void TfBaseProtocolForm::CheckTips() {
    if (!FTable || FModel->rowCount() == 0 || !isActiveWindow() || TBalloonHint::Current()) return;
    const bool errorTip = !FEnv.HintGiven(THint::GridErrorDblClickHintGiven);
    const bool typeTip = FRecordTypeTip && !FEnv.HintGiven(THint::GridDblClickHintGiven);
    if (!errorTip && !typeTip) return;
    const int first = std::max(0, FView->rowAt(0));
    int last = FView->rowAt(FView->viewport()->height() - 1);
    if (last < 0) last = FModel->rowCount() - 1;
    for (int r = first; r <= last; ++r) {
        if (FView->isRowHidden(r) || FTable->Cell(pcKind, r).empty()) continue;
        if (errorTip && RowHasError(*FTable, r)) {
            // a tip never stops the live monitor from following new rows
            FEnv.SetHintGiven(THint::GridErrorDblClickHintGiven);
            ShowTip(Tr("Tipp"),
                    Tr("Durch einen Doppelklick auf Zeilen, in denen ein Fehler aufgetreten ist,") +
                        QStringLiteral("\n") +
                        Tr("können Sie eine genaue Analyse der oder des Fehlers einblenden."),
                    r);
            return;
        }
        const std::string_view ds = FTable->Cell(pcRecordNo, r);
        if (typeTip && (ds == "003a" || ds == "003c" || ds == "021")) {
            FEnv.SetHintGiven(THint::GridDblClickHintGiven);
            ShowTip(Tr("Tipp"),
                    Tr("Durch einen Doppelklick auf Zeilen mit Datensatz 003a, 003c oder 021") +
                        QStringLiteral("\n") +
                        Tr("können Sie eine genaue Analyse dieses Datensatzes einblenden."),
                    r);
            return;
        }
    }
}

void TfBaseProtocolForm::Activated() {
    if (FEnv.HintGiven(THint::FilterHint) || !FEnv.FilterWindowWasOpened() || FFilterState != 0)
        return;
    FEnv.SetHintGiven(THint::FilterHint);
    FLastTip = Tr("Sie müssen die Filterung erst aktivieren,") + QStringLiteral("\n") +
               Tr("bevor die Datensätze eines Fensters gefiltert werden.");
    TBalloonHint::Show(FFilterButton, FFilterButton->rect().center(),
                       TBalloonHint::TIcon::Information, Tr("Tipp"), FLastTip, 8000);
}

void TfBaseProtocolForm::changeEvent(QEvent* e) {
    TfChildWindow::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) {
        ShowStates();
        FitColumns();
        // the open analysis is built again in the new language
        if (FDetailRow >= 0 && FDetailPanel->isVisible()) {
            const int row = FDetailRow;
            HideDetail();
            DetailAnalysis(row);
        }
    }
}

bool TfBaseProtocolForm::eventFilter(QObject* watched, QEvent* e) {
    // scrolling by hand: the live monitor stops following new rows
    if (watched == FView->viewport() && e->type() == QEvent::Wheel) StopFollowing();
    // moving through the rows by keyboard stops it too
    if (watched == FView && e->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            StopFollowing();
            break;
        default:
            break;
        }
    }
    // variable widths follow the table's width
    if (watched == FView->viewport() && e->type() == QEvent::Resize) FitColumns();
    // dragging a column border while the widths follow the window: say why
    // nothing moves, once per drag
    if (watched == FView->horizontalHeader()->viewport()) {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease)
            FWidthTipShown = false;
        const bool maximised = isMaximized() || (parentWidget() && parentWidget()->isMaximized());
        if (e->type() == QEvent::MouseMove && !FFixedWidths && !FWidthTipShown && !maximised &&
            (static_cast<QMouseEvent*>(e)->buttons() & Qt::LeftButton) &&
            !TBalloonHint::Current()) {
            FWidthTipShown = true;
            FLastTip = Tr("Wenn Sie die Spaltenbreite verändern wollen, dann müssen") +
                       QStringLiteral("\n") +
                       Tr("Sie zunächst die dynamische Spaltenanpassung deaktivieren.");
            TBalloonHint::Show(FModeButton, FModeButton->rect().bottomRight(),
                               TBalloonHint::TIcon::Information, Tr("Tipp"), FLastTip, 5000);
        }
    }
    if (watched == FView->viewport() && e->type() == QEvent::Paint) {
        // after the paint: the tips look at what is now on screen
        QMetaObject::invokeMethod(
            this, [this] { CheckTips(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, e);
}

void TfBaseProtocolForm::ShowFigures() {
    // the live monitor's table is the session's recording, which grows
    ShowStatistics(Session(), this, FTable == &Session().Recorder().Table());
}

void TfBaseProtocolForm::GoToRow(int row) {
    if (!FModel || row < 0 || row >= FModel->rowCount()) return;
    StopFollowing();
    const QModelIndex index = FModel->index(row, 0);
    FView->setCurrentIndex(index);
    FView->selectRow(row);
    FView->scrollTo(index, QAbstractItemView::PositionAtCenter);
    // the protocol window comes to the front
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
}

// The printout.

QString TfBaseProtocolForm::PrintTitle() const { return Tr("Vaskel Protokoll"); }

std::optional<TDateTime> TfBaseProtocolForm::PrintReference() const {
    return TSystemClock().Now();
}

TPrintJob TfBaseProtocolForm::PrintJob() const {
    TPrintJob job;
    job.Table = FTable;
    job.Parser = &FParser;
    job.Bus = FEnv.BusType();
    job.Heading = PrintTitle();
    std::vector<int> selected;
    for (const QModelIndex& i : FView->selectionModel()->selectedRows()) selected.push_back(i.row());
    // rows the filter hides are printed too
    job.Rows = PrintRows(std::min(FModel->rowCount(), FTable->RowCount()), selected);
    for (int c = 0; c < kProtocolColumns; ++c) {
        job.ColumnShown.push_back(!FView->isColumnHidden(c) && FView->columnWidth(c) > 0);
        job.Titles.push_back(ProtocolColumnTitle(c));
    }
    job.Version = QString::fromLatin1(kVaskelVersion);
    job.PrintedAt = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    job.Reference = PrintReference();
    return job;
}

void TfBaseProtocolForm::PrintAsked() {
    // without a printer the preview still shows the pages and saves them as a PDF
    if (TrimBlanks(FTable->Cell(pcKind, 0)).empty()) {
        QMessageBox::warning(this, windowTitle(),
                             Tr("Das aktuelle Fenster enthält keine Daten, die gedruckt werden "
                                "könnten."));
        return;
    }
    StopFollowing();
    PrintWithPreview(this, PrintJob());
}

} // namespace vaskel
