#include "ui/protocol/MonitorForm.h"

#include "lists/ListEditor.h"

#include "platform/QtText.h"
#include "shell/SystemPlatform.h"
#include "shell/Timers.h"
#include "telegram/Filter.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"

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
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace vaskel {

TfMonitorForm::TfMonitorForm(TSession& session, QWidget* parent)
    : TfBaseProtocolForm(session, parent) {
    SetHelpContext(this, help::kMonitor);
    session.StartRecording();
    FRecordTypeTip = true;
    AttachTable(Recorder().Table());
    // scrolling by hand pauses following the newest row
    connect(FView->verticalScrollBar(), &QScrollBar::sliderPressed, this,
            [this] { SetAutoScroll(false); });
    connect(FView, &QTableView::pressed, this, [this] {
        if (QApplication::mouseButtons() != Qt::NoButton) SetAutoScroll(false);
    });

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
    BottomButtons()->addWidget(FPause);
    BottomButtons()->addWidget(FClear);
    BottomButtons()->addWidget(FSave);
    BottomButtons()->addStretch();
    AddCloseButton();

    connect(&session, &TSession::RowAppended, this, [this](int row) { RowAppended(row); });
    connect(&session, &TSession::RowChanged, this, [this](int row) {
        FModel->dataChanged(FModel->index(row, pcAnswer), FModel->index(row, pcAnswer));
    });
    StartRecording();
    SetAutoScroll(true);
}

TfMonitorForm::~TfMonitorForm() {
    Session().StopRecording();
}

void TfMonitorForm::StartRecording() {
    const TDateTime t = TSystemClock().Now();
    FStarted = QStringLiteral("%1.%2.%3 %4:%5:%6,%7")
                   .arg(t.Day, 2, 10, QLatin1Char('0'))
                   .arg(t.Month, 2, 10, QLatin1Char('0'))
                   .arg(t.Year)
                   .arg(t.Hour, 2, 10, QLatin1Char('0'))
                   .arg(t.Minute, 2, 10, QLatin1Char('0'))
                   .arg(t.Second, 2, 10, QLatin1Char('0'))
                   .arg(t.Millisecond, 3, 10, QLatin1Char('0'));
    SetCaption(Tr("Monitor - Beginn der Aufzeichnung: ") + FStarted);
    HideDetail();
    Session().ClearRecording();
    FModel->Reset(0);
    FClear->setEnabled(false);
    FSave->setEnabled(false);
}

void TfMonitorForm::SetAutoScroll(bool on) {
    if (on && !FAutoScroll) CloseTip();
    FAutoScroll = on;
    FPause->setText(on ? Tr("Pause") : Tr("Weiter"));
    if (on && FModel->rowCount() > 0) {
        const QModelIndex last = FModel->index(FModel->rowCount() - 1, 0);
        FView->setCurrentIndex(last);
        FView->scrollToBottom();
    }
}

void TfMonitorForm::changeEvent(QEvent* e) {
    TfBaseProtocolForm::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) {
        SetCaption(Tr("Monitor - Beginn der Aufzeichnung: ") + FStarted);
        FPause->setText(FAutoScroll ? Tr("Pause") : Tr("Weiter"));
    }
}

void TfMonitorForm::RowAppended(int row) {
    FModel->RowsAppended(Recorder().RowCounter());
    const TTable& t = Recorder().Table();
    bool visible = true;
    if (FilterState() != 0) {
        const bool accepted = FilterAccepts(t.Cell(pcTelegram, row), t.Cell(pcRecordNo, row),
                                            FEnv.FilterSatzArten(), FEnv.FilterKuerzel());
        if (FilterState() == 1 && row > 0) {
            visible = accepted;
            FView->setRowHidden(row, !accepted);
        }
        if (FilterState() == 2 && accepted && !FEnv.FilterSatzArten().empty() && row > 0)
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

void TfMonitorForm::SetAutoWarnings(bool on) {
    Recorder().AutoWarnings = on;
    TfBaseProtocolForm::SetAutoWarnings(on);
}

bool TfMonitorForm::CanSaveAs() const {
    return Session().Recorder().RowCounter() > 0;
}

bool TfMonitorForm::SaveAs() {
    const QString file = AskProtocolFile(NowProtocolFileName());
    if (file.isEmpty()) return false;
    const bool ok = Recorder().SaveActiveProtocol(QFile::encodeName(file).toStdString(), 0);
    if (!ok)
        QMessageBox::warning(this, Tr("Protokolldatei speichern"),
                             Tr("Die Datei konnte nicht geschrieben werden.") +
                                 QStringLiteral("\n") +
                                 QDir::toNativeSeparators(file));
    return ok;
}

bool TfMonitorForm::MayClose() {
    if (!Recorder().Table().Modified) return true;
    const auto answer =
        QMessageBox::question(this, Tr("Monitorfenster"), TrLines(ListEditorTexts::kSaveQuestion),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return SaveAs();
    return true;
}

} // namespace vaskel
