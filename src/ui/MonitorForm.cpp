#include "ui/MonitorForm.h"

#include "platform/QtText.h"
#include "recording/Timers.h"
#include "shell/SystemPlatform.h"
#include "ui/Texts.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

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
    FModel->RowsAppended(FRecorder->RowCounter());
    FClear->setEnabled(true);
    FSave->setEnabled(true);
    if (FAutoScroll) {
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
