#include "ui/protocol/BaseProtocolForm.h"
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
#include "ui/protocol/DetailPanel.h"
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

namespace vaskel {

TfBaseProtocolForm::TfBaseProtocolForm(TSession& session, QWidget* parent)
    : TfChildWindow(session, parent), FEnv(session.Env()), FParser(session.Parser()) {
    // a changed filter choice applies at once
    connect(&session, &TSession::FilterChanged, this, [this] { ApplyFilter(); });
    FMain = new QVBoxLayout(this);
    FMain->setContentsMargins(2, 2, 2, 2);
    // a tool bar: what does not fit a narrow window goes behind its
    // extension button
    auto* toolBar = new QToolBar;
    toolBar->setObjectName(QStringLiteral("ProtocolToolBar"));
    FToolBar = toolBar;
    struct TRow {
        QToolBar* Bar;
        void addWidget(QWidget* w) { Bar->addWidget(w); }
        void addSpacing(int) { Bar->addSeparator(); }
        void addStretch() {}
    } row{toolBar};
    auto* tools = &row;
    auto toolButton = [&](QPushButton*& b, const char* name) {
        b = new QPushButton;
        b->setObjectName(QLatin1String(name));
        b->setCheckable(true);
        tools->addWidget(b);
    };
    toolButton(FHexButton, "tbHEXMode");
    toolButton(FFilterButton, "tbFilterOnOff");
    toolButton(FWarnButton, "tbAutoWarning");
    toolButton(FIbisButton, "tbnConvertIBISCharacters");
    FFilterButton->setCheckable(false);
    connect(FHexButton, &QPushButton::clicked, this, [this] { SetHexShown(!FHexShown); });
    connect(FFilterButton, &QPushButton::clicked, this, [this] {
        FEnv.SetHintGiven(THint::FilterHint);
        QToolTip::hideText();
        SetFilterState((FFilterState + 1) % 3);
    });
    connect(FWarnButton, &QPushButton::clicked, this, [this] { SetAutoWarnings(!FAutoWarnings); });
    connect(FIbisButton, &QPushButton::clicked, this, [this] {
        FEnv.SetConvertIBISCharacters(!FEnv.ConvertIBISCharacters());
        FIbisButton->setChecked(FEnv.ConvertIBISCharacters());
        FView->viewport()->update();
    });
    tools->addSpacing(12);
    tools->addWidget(new QLabel(Tr("Markieren:")));
    auto* mark = new QLineEdit;
    mark->setObjectName(QStringLiteral("edMarkRecords"));
    mark->setMaximumWidth(160);
    connect(mark, &QLineEdit::textChanged, this, [this](const QString& t) { SetMarkText(t); });
    tools->addWidget(mark);
    auto* find = new QPushButton(Tr("Suchen ..."));
    find->setObjectName(QStringLiteral("tbFind"));
    connect(find, &QPushButton::clicked, this, [this] { FindAsked(); });
    tools->addWidget(find);
    auto* print = new QPushButton(Tr("Drucken ..."));
    print->setObjectName(QStringLiteral("tbPrint"));
    // the printout comes with a later version
    print->setEnabled(false);
    tools->addWidget(print);
    tools->addStretch();
    FMain->addWidget(toolBar);

    FView = new QTableView;
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->verticalHeader()->hide();
    FView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    FView->setWordWrap(false);
    FView->horizontalHeader()->setStretchLastSection(false);
    FView->viewport()->installEventFilter(this);
    FMain->addWidget(FView, 1);
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
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
    close->setToolTip(Tr("Detailinformationen ausblenden"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, [this] { HideDetail(); });
    detailLayout->addWidget(close, 0, Qt::AlignTop | Qt::AlignRight);
    detailLayout->setContentsMargins(6, 4, 8, 4);
    FDetailPanel->hide();
    FMain->addWidget(FDetailPanel);

    FBottom = new QHBoxLayout;
    FMain->addLayout(FBottom);

    FHexButton->setText(Tr("HEX"));
    FWarnButton->setText(Tr("Warnungen"));
    FIbisButton->setText(Tr("Umlaute"));
    FIbisButton->setChecked(FEnv.ConvertIBISCharacters());
    FIbisButton->setToolTip(Tr("IBIS-Sonderzeichen in Umlaut konvertieren"));
}

void TfBaseProtocolForm::AttachTable(const TTable& table) {
    FTable = &table;
    FModel = new TProtocolModel(table, this);
    FView->setModel(FModel);
    FView->setItemDelegate(new TProtocolDelegate(
        FParser,
        [this] {
            TCellOptions o;
            o.AutoWarnings = FAutoWarnings;
            o.ConvertIBIS = FEnv.ConvertIBISCharacters();
            o.Bus = FEnv.BusType();
            o.MarkText = FMarkText;
            o.CurrentRow = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
            o.DetailRow = FDetailRow;
            return o;
        },
        FView));
    const int widths[kProtocolColumns] = {22, 50, 95, 60, 45, 300, 0, 55, 260, 28};
    for (int c = 0; c < kProtocolColumns; ++c)
        FView->setColumnWidth(c, widths[c]);
    SetHexShown(false);
    SetFilterState(0);
    SetAutoWarnings(true);
}

void TfBaseProtocolForm::AddCloseButton() {
    auto* close = new QPushButton;
    SetDe(close, "Schließen");
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(); });
    FBottom->addWidget(close);
}

QString TfBaseProtocolForm::AskProtocolFile(const QString& proposedName) {
    const QString dir = QFile::decodeName(QByteArray::fromStdString(FEnv.ProtokollDirectory()));
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
    FHexButton->setChecked(shown);
    FHexButton->setToolTip(shown ? Tr("Hexadezimaldarstellung eingeblendet")
                                 : Tr("Hexadezimaldarstellung ausgeblendet"));
}

void TfBaseProtocolForm::SetFilterState(int state) {
    FFilterState = state;
    static const char* const texts[3] = {"Filter aus", "Filter ein", "Akustischer Filter"};
    static const char* const hints[3] = {"Telegrammfilter ausgeschaltet",
                                         "Telegrammfilter eingeschaltet", "Akustischer Filter"};
    FFilterButton->setText(Tr(texts[state]));
    FFilterButton->setToolTip(Tr(hints[state]));
    ApplyFilter();
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
    FWarnButton->setChecked(on);
    FWarnButton->setToolTip(on ? Tr("Automatische Warnungsmarkierung eingeschaltet")
                               : Tr("Automatische Warnungsmarkierung ausgeschaltet"));
    FView->viewport()->update();
}

void TfBaseProtocolForm::SetMarkText(const QString& text) {
    FMarkText = ToCp1252(text);
    FView->viewport()->update();
}

bool TfBaseProtocolForm::FindNext(const QString& text, bool down, bool matchCase) {
    const int current = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
    const int start = down ? current + 1 : (current < 0 ? FModel->rowCount() - 1 : current - 1);
    const int found = FindInProtocol(*FTable, FModel->rowCount(), start, down, text, matchCase);
    if (found < 0) return false;
    StopFollowing();
    const QModelIndex i = FModel->index(found, 0);
    FView->setCurrentIndex(i);
    FView->scrollTo(i, QAbstractItemView::PositionAtTop);
    return true;
}

void TfBaseProtocolForm::FindAsked() {
    bool ok = false;
    const QString text = QInputDialog::getText(this, Tr("Suchen"), Tr("Suchen nach:"),
                                               QLineEdit::Normal, FLastFind, &ok);
    if (!ok || text.isEmpty()) return;
    FLastFind = text;
    if (!FindNext(text))
        QMessageBox::information(this, Tr("Keine Übereinstimmung gefunden"),
                                 Tr("Suchbegriff \"%1\" nicht gefunden.").arg(text));
}

bool TfBaseProtocolForm::EditCommand(TEditCommand command) {
    switch (command) {
    case TEditCommand::Copy:
        QApplication::clipboard()->setText(SelectionText());
        return true;
    case TEditCommand::SelectAll:
        FView->selectAll();
        return true;
    default:
        return false;
    }
}

QString TfBaseProtocolForm::SelectionText() const {
    std::vector<int> rows;
    for (const QModelIndex& i : FView->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> columns;
    for (int c = 0; c < kProtocolColumns; ++c)
        if (!FView->isColumnHidden(c) && FView->columnWidth(c) > 0) columns.push_back(c);
    return ProtocolCopyText(*FTable, rows, columns);
}

void TfBaseProtocolForm::DetailAnalysis(int row) {
    StopFollowing();
    FEnv.SetHintGiven(THint::GridDblClickHintGiven);
    QToolTip::hideText();
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
        } catch (const std::exception&) {
            FView->viewport()->update();
            QMessageBox::warning(this, Tr("Telegrammanalyse"),
                                 TrLines(DetailAnalysisErrorText(FDetailKind)));
            return;
        }
    }
    FDetailRow = row;
    FDetailPanel->setStyleSheet(error ? QStringLiteral("#DetailPanel { background: #FFE0E0; }")
                                      : QStringLiteral("#DetailPanel { background: #E2E9FA; }"));
    // the panel takes what it needs, at most half the table when that is
    // nearly all of it
    FDetailPanel->setMaximumHeight(QWIDGETSIZE_MAX);
    FDetailContent->activate();
    const int need = FDetailHost->sizeHint().height() + 16;
    FDetailPanel->setMinimumHeight(std::min(need, FView->height() / 2));
    if (need >= FView->height() - 40) FDetailPanel->setMaximumHeight(FView->height() / 2);
    FDetailPanel->show();
    FView->viewport()->update();
    const QModelIndex i = FModel->index(row, 0);
    const int bottom = FView->rowAt(FView->viewport()->height() - 1);
    FView->scrollTo(i, bottom >= 0 && row > bottom ? QAbstractItemView::PositionAtTop
                                                   : QAbstractItemView::EnsureVisible);
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
    const QPoint at =
        FView->viewport()->mapToGlobal(QPoint(FView->viewport()->width() / 2, r.center().y()));
    QToolTip::showText(at, QStringLiteral("<b>") + title + QStringLiteral("</b><br>") + text, FView,
                       {}, 8000);
}

void TfBaseProtocolForm::CheckTips() {
    if (!FTable || FModel->rowCount() == 0 || !isActiveWindow() || QToolTip::isVisible()) return;
    const bool errorTip = !FEnv.HintGiven(THint::GridErrorDblClickHintGiven);
    const bool typeTip = FRecordTypeTip && !FEnv.HintGiven(THint::GridDblClickHintGiven);
    if (!errorTip && !typeTip) return;
    const int first = std::max(0, FView->rowAt(0));
    int last = FView->rowAt(FView->viewport()->height() - 1);
    if (last < 0) last = FModel->rowCount() - 1;
    for (int r = first; r <= last; ++r) {
        if (FView->isRowHidden(r) || FTable->Cell(pcKind, r).empty()) continue;
        if (errorTip && RowHasError(*FTable, r)) {
            FEnv.SetHintGiven(THint::GridErrorDblClickHintGiven);
            StopFollowing();
            ShowTip(Tr("Tipp"),
                    Tr("Durch einen Doppelklick auf Zeilen in der ein Fehler aufgetreten ist,") +
                        QStringLiteral("<br>") +
                        Tr("können Sie eine genaue Analyse der oder des Fehlers einblenden."),
                    r);
            return;
        }
        const std::string_view ds = FTable->Cell(pcRecordNo, r);
        if (typeTip && (ds == "003a" || ds == "003c" || ds == "021")) {
            FEnv.SetHintGiven(THint::GridDblClickHintGiven);
            StopFollowing();
            ShowTip(Tr("Tipp"),
                    Tr("Durch einen Doppelklick auf Zeilen mit Datensatz 003a, 003c oder 021") +
                        QStringLiteral("<br>") +
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
    FLastTip = Tr("Sie müssen die Filterung erst aktivieren,") + QStringLiteral("<br>") +
               Tr("bevor die Datensätze eines Fensters gefiltert werden.");
    QToolTip::showText(FFilterButton->mapToGlobal(FFilterButton->rect().center()),
                       QStringLiteral("<b>") + Tr("Tipp") + QStringLiteral("</b><br>") + FLastTip,
                       FFilterButton, {}, 8000);
}

bool TfBaseProtocolForm::eventFilter(QObject* watched, QEvent* e) {
    // scrolling by hand: the live monitor stops following new rows
    if (watched == FView->viewport() && e->type() == QEvent::Wheel) StopFollowing();
    if (watched == FView->viewport() && e->type() == QEvent::Paint) {
        // after the paint: the tips look at what is now on screen
        QMetaObject::invokeMethod(
            this, [this] { CheckTips(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace vaskel
