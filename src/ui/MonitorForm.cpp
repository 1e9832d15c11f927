#include "ui/MonitorForm.h"

#include "platform/QtText.h"
#include "recording/Timers.h"
#include "shell/SystemPlatform.h"
#include "telegram/Filter.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vaskel {

namespace {

int64_t NowMsOfDay() {
    return TSystemClock().Now().MsOfDay();
}

} // namespace

TfMonitorForm::TfMonitorForm(TEnvironment& env, const TIBISTelegramParser& parser, QWidget* parent)
    : QWidget(parent), FEnv(env), FParser(parser) {
    TRecorder::THooks hooks;
    hooks.NowMsOfDay = NowMsOfDay;
    hooks.Trace = [](const std::string& s) { qDebug("%s", s.c_str()); };
    FRecorder = std::make_unique<TRecorder>(parser, env, hooks);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* tools = new QHBoxLayout;
    auto toolButton = [&](QPushButton*& b) {
        b = new QPushButton;
        b->setCheckable(true);
        b->setFlat(false);
        tools->addWidget(b);
    };
    toolButton(FHexButton);
    toolButton(FFilterButton);
    toolButton(FWarnButton);
    toolButton(FIbisButton);
    FFilterButton->setCheckable(false);
    connect(FHexButton, &QPushButton::clicked, this, [this] { SetHexShown(!FHexShown); });
    connect(FFilterButton, &QPushButton::clicked, this,
            [this] { SetFilterState((FFilterState + 1) % 3); });
    connect(FWarnButton, &QPushButton::clicked, this,
            [this] { SetAutoWarnings(!FRecorder->AutoWarnings); });
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
    connect(find, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(this, Tr("Suchen"), Tr("Suchen nach:"),
                                                   QLineEdit::Normal, FLastFind, &ok);
        if (!ok || text.isEmpty()) return;
        FLastFind = text;
        if (!FindNext(text))
            QMessageBox::information(this, Tr("Keine Übereinstimmung gefunden"),
                                     Tr("Suchbegriff \"%1\" nicht gefunden.").arg(text));
    });
    tools->addWidget(find);
    tools->addStretch();
    layout->addLayout(tools);
    FView = new QTableView;
    FModel = new TProtocolModel(FRecorder->Table(), this);
    FView->setModel(FModel);
    FView->setItemDelegate(new TProtocolDelegate(
        parser,
        [this] {
            TCellOptions o;
            o.AutoWarnings = FRecorder->AutoWarnings;
            o.ConvertIBIS = FEnv.ConvertIBISCharacters();
            o.Bus = FEnv.BusType();
            o.MarkText = FMarkText;
            o.CurrentRow = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
            return o;
        },
        FView));
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->verticalHeader()->hide();
    FView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    FView->setWordWrap(false);
    const int widths[kProtocolColumns] = {22, 50, 95, 60, 45, 300, 0, 55, 260, 28};
    for (int c = 0; c < kProtocolColumns; ++c)
        FView->setColumnWidth(c, widths[c]);
    FView->setColumnHidden(pcHex, true);
    FView->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(FView, 1);
    // scrolling by hand pauses following the newest row
    connect(FView->verticalScrollBar(), &QScrollBar::sliderPressed, this,
            [this] { SetAutoScroll(false); });

    auto* buttons = new QHBoxLayout;
    FPause = new QPushButton;
    FPause->setToolTip(Tr("Automatisches Weiterspringen in der Tabelle anhalten bzw. fortsetzen"));
    connect(FPause, &QPushButton::clicked, this, [this] { SetAutoScroll(!FAutoScroll); });
    FClear = new QPushButton;
    SetDe(FClear, "Löschen", "Gesamte Liste löschen");
    FClear->setToolTip(Tr("Gesamte Liste löschen"));
    connect(FClear, &QPushButton::clicked, this, [this] { Clear(true); });
    FSave = new QPushButton;
    SetDe(FSave, "Speichern");
    connect(FSave, &QPushButton::clicked, this, [this] { SaveAs(); });
    auto* close = new QPushButton;
    SetDe(close, "Schließen");
    connect(close, &QPushButton::clicked, this, [this] {
        if (parentWidget())
            parentWidget()->close();
        else
            this->close();
    });
    buttons->addWidget(FPause);
    buttons->addWidget(FClear);
    buttons->addWidget(FSave);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);

    auto* copy = new QShortcut(QKeySequence::Copy, FView);
    connect(copy, &QShortcut::activated, this,
            [this] { QApplication::clipboard()->setText(SelectionText()); });
    auto* all = new QShortcut(QKeySequence::SelectAll, FView);
    connect(all, &QShortcut::activated, FView, &QTableView::selectAll);
    FHexButton->setText(Tr("HEX"));
    FWarnButton->setText(Tr("Warnungen"));
    FIbisButton->setText(Tr("Umlaute"));
    FIbisButton->setToolTip(Tr("IBIS-Sonderzeichen in Umlaut konvertieren"));
    FIbisButton->setChecked(FEnv.ConvertIBISCharacters());
    SetHexShown(false);
    SetFilterState(0);
    SetAutoWarnings(true);

    FSafety = new QTimer(this);
    connect(FSafety, &QTimer::timeout, this, [this] { FRecorder->SafetyTick(); });
    FSafety->start(1000);
    StartRecording();
    SetAutoScroll(true);
}

TfMonitorForm::~TfMonitorForm() = default;

QString TfMonitorForm::Caption() const {
    return FCaption;
}

void TfMonitorForm::StartRecording() {
    const TDateTime t = TSystemClock().Now();
    FCaption = Tr("Monitor - Beginn der Aufzeichnung: ") +
               QStringLiteral("%1.%2.%3 %4:%5:%6,%7")
                   .arg(t.Day, 2, 10, QLatin1Char('0'))
                   .arg(t.Month, 2, 10, QLatin1Char('0'))
                   .arg(t.Year)
                   .arg(t.Hour, 2, 10, QLatin1Char('0'))
                   .arg(t.Minute, 2, 10, QLatin1Char('0'))
                   .arg(t.Second, 2, 10, QLatin1Char('0'))
                   .arg(t.Millisecond, 3, 10, QLatin1Char('0'));
    setWindowTitle(FCaption);
    FRecorder->Clear();
    FModel->Reset(0);
    FClear->setEnabled(false);
    FSave->setEnabled(false);
}

void TfMonitorForm::SetAutoScroll(bool on) {
    FAutoScroll = on;
    FPause->setText(on ? Tr("Pause") : Tr("Weiter"));
    if (on && FModel->rowCount() > 0) FView->scrollToBottom();
}

void TfMonitorForm::CopyTelegramm(const TTelegramm& record, char source, bool deviceIsMaster) {
    FRecorder->CopyTelegramm(record, source, deviceIsMaster);
    const int row = FRecorder->RowCounter() - 1;
    FModel->RowsAppended(FRecorder->RowCounter());
    const TTable& t = FRecorder->Table();
    bool visible = true;
    if (FFilterState != 0) {
        const bool accepted = FilterAccepts(t.Cell(pcTelegram, row), t.Cell(pcRecordNo, row),
                                            FEnv.FilterSatzArten(), FEnv.FilterKuerzel());
        if (FFilterState == 1 && row > 0) {
            visible = accepted;
            FView->setRowHidden(row, !accepted);
        }
        if (FFilterState == 2 && accepted && !FEnv.FilterSatzArten().empty() && row > 0)
            QApplication::beep();
    }
    FClear->setEnabled(true);
    FSave->setEnabled(true);
    if (FAutoScroll && visible) {
        const QModelIndex last = FModel->index(FModel->rowCount() - 1, 0);
        FView->setCurrentIndex(last);
        FView->scrollTo(last);
    }
}

void TfMonitorForm::Clear(bool ask) {
    if (ask && QMessageBox::question(this, Tr("Monitor löschen"),
                                     Tr("Sollen wirklich alle Einträge gelöscht werden?")) !=
                   QMessageBox::Yes)
        return;
    StartRecording();
}

void TfMonitorForm::SetHexShown(bool shown) {
    FHexShown = shown;
    FView->setColumnHidden(pcHex, !shown);
    if (shown) FView->setColumnWidth(pcHex, 100);
    FHexButton->setChecked(shown);
    FHexButton->setToolTip(shown ? Tr("Hexadezimaldarstellung eingeblendet")
                                 : Tr("Hexadezimaldarstellung ausgeblendet"));
}

void TfMonitorForm::SetFilterState(int state) {
    FFilterState = state;
    static const char* const texts[3] = {"Filter aus", "Filter ein", "Akustischer Filter"};
    static const char* const hints[3] = {"Telegrammfilter ausgeschaltet",
                                         "Telegrammfilter eingeschaltet", "Akustischer Filter"};
    FFilterButton->setText(Tr(texts[state]));
    FFilterButton->setToolTip(Tr(hints[state]));
    ApplyFilter();
}

void TfMonitorForm::ApplyFilter() {
    const TTable& t = FRecorder->Table();
    for (int r = 0; r < FModel->rowCount(); ++r) {
        const bool show =
            FFilterState != 1 ||
            FilterShowsRow(t.Cell(pcTelegram, r), t.Cell(pcRecordNo, r), t.Cell(pcErrors, r),
                           FEnv.FilterSatzArten(), FEnv.FilterKuerzel(), FEnv.NeverFilterErrors());
        FView->setRowHidden(r, !show);
    }
}

void TfMonitorForm::SetAutoWarnings(bool on) {
    FRecorder->AutoWarnings = on;
    FWarnButton->setChecked(on);
    FWarnButton->setToolTip(on ? Tr("Automatische Warnungsmarkierung eingeschaltet")
                               : Tr("Automatische Warnungsmarkierung ausgeschaltet"));
    FView->viewport()->update();
}

void TfMonitorForm::SetMarkText(const QString& text) {
    FMarkText = ToCp1252(text);
    FView->viewport()->update();
}

bool TfMonitorForm::FindNext(const QString& text, bool down, bool matchCase) {
    const int current = FView->currentIndex().isValid() ? FView->currentIndex().row() : -1;
    const int start = down ? current + 1 : (current < 0 ? FModel->rowCount() - 1 : current - 1);
    const int found =
        FindInProtocol(FRecorder->Table(), FModel->rowCount(), start, down, text, matchCase);
    if (found < 0) return false;
    SetAutoScroll(false);
    const QModelIndex i = FModel->index(found, 0);
    FView->setCurrentIndex(i);
    FView->scrollTo(i, QAbstractItemView::PositionAtTop);
    return true;
}

QString TfMonitorForm::SelectionText() const {
    std::vector<int> rows;
    for (const QModelIndex& i : FView->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> columns;
    for (int c = 0; c < kProtocolColumns; ++c)
        if (!FView->isColumnHidden(c) && FView->columnWidth(c) > 0) columns.push_back(c);
    return ProtocolCopyText(FRecorder->Table(), rows, columns);
}

bool TfMonitorForm::SaveAs() {
    const TDateTime t = TSystemClock().Now();
    const QString name =
        FromCp1252(DefaultProtocolFileName(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second));
    const QString dir = QFile::decodeName(QByteArray::fromStdString(FEnv.ProtokollDirectory()));
    const QString file = QFileDialog::getSaveFileName(
        this, Tr("Protokolldatei speichern"), QDir(dir).filePath(name),
        Tr("Protokolldatei(*.PRO.CSV)") + QStringLiteral(" (*.PRO.CSV)"));
    if (file.isEmpty()) return false;
    const bool ok = FRecorder->SaveActiveProtocol(QFile::encodeName(file).toStdString(), 0);
    if (!ok)
        QMessageBox::warning(this, Tr("Protokolldatei speichern"),
                             Tr("Die Datei konnte nicht geschrieben werden."));
    return ok;
}

bool TfMonitorForm::MayClose() {
    if (!FRecorder->Table().Modified) return true;
    const auto answer = QMessageBox::question(
        this, Tr("Monitorfenster"),
        Tr("Die Daten wurden verändert, jedoch noch nicht gespeichert.") + QStringLiteral("\n") +
            Tr("Wollen Sie die Änderung jetzt speichern?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return SaveAs();
    return true;
}

void TfMonitorForm::closeEvent(QCloseEvent* e) {
    if (MayClose())
        e->accept();
    else
        e->ignore();
}

} // namespace vaskel
