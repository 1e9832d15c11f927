#include "ui/device/FirmwareUploadForm.h"

#include "ui/common/ActionTable.h"
#include "ui/common/MainWindowLink.h"

#include "platform/QtHandOver.h"
#include "platform/QtText.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"
#include "ui/widgets/ElidedLabel.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace vaskel {

namespace {

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

QColor TfUploadProgramForm::StateColour(TUploadColour colour) {
    switch (colour) {
    case TUploadColour::SkyBlue:
        return QColor(0xA6, 0xCA, 0xF0);
    case TUploadColour::Yellow:
        return QColor(0xFF, 0xFF, 0x00);
    case TUploadColour::Lime:
        return QColor(0x00, 0xFF, 0x00);
    case TUploadColour::Red:
        return QColor(0xFF, 0x00, 0x00);
    }
    return {};
}

QPixmap TfUploadProgramForm::StatePicture(TUploadColour colour) {
    const int size = 48;
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(StateColour(colour));
    p.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    const QColor ink = colour == TUploadColour::Red ? Qt::white : QColor(20, 20, 20);
    p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (colour) {
    case TUploadColour::SkyBlue: { // an arrow into the device
        p.drawLine(QPointF(24, 12), QPointF(24, 34));
        QPainterPath head;
        head.moveTo(15, 26);
        head.lineTo(24, 35);
        head.lineTo(33, 26);
        p.drawPath(head);
        break;
    }
    case TUploadColour::Yellow: { // an hourglass
        QPainterPath glass;
        glass.moveTo(15, 12);
        glass.lineTo(33, 12);
        glass.lineTo(15, 36);
        glass.lineTo(33, 36);
        glass.closeSubpath();
        p.drawPath(glass);
        break;
    }
    case TUploadColour::Lime: { // a tick
        QPainterPath tick;
        tick.moveTo(13, 25);
        tick.lineTo(21, 33);
        tick.lineTo(35, 15);
        p.drawPath(tick);
        break;
    }
    case TUploadColour::Red: // a cross
        p.drawLine(QPointF(16, 16), QPointF(32, 32));
        p.drawLine(QPointF(32, 16), QPointF(16, 32));
        break;
    }
    return pm;
}

QString TfUploadProgramForm::FirmwareProblem(const TFirmwareProblem& p) {
    using K = TFirmwareProblem::TKind;
    const auto hex = [](int64_t v) {
        return QString::asprintf("0x%08llX", static_cast<unsigned long long>(v));
    };
    const QString line = Tr("Formatfehler in Zeile: ") + QString::number(p.Line);
    switch (p.Kind) {
    case K::BadRecord:
        return line;
    case K::AfterEnd:
        return line + T(" (") + Tr("nach dem Endesatz der Datei") + T(")");
    case K::RecordLength:
        return line + T(" (") +
               Tr("ein Satz vom Typ %1 hat %2 Datenbytes, nicht %3")
                   .arg(p.Type, 2, 16, QLatin1Char('0'))
                   .arg(p.Type == 1 ? 0 : (p.Type == 2 || p.Type == 4) ? 2 : 4)
                   .arg(p.Count) +
               T(")");
    case K::Overlap:
        return line + T(" (") +
               Tr("Adresse %1 ist schon in Zeile %2 belegt").arg(hex(p.From)).arg(p.OtherLine) +
               T(")");
    case K::BeyondSpace:
        return line + T(" (") + Tr("die Daten reichen über Adresse 0xFFFFFFFF hinaus") + T(")");
    case K::NoEnd:
        return Tr("Die Datei endet ohne Endesatz (:00000001FF), sie ist unvollständig.");
    case K::TooLarge:
        return Tr("Die Firmware belegt die Adressen %1 bis %2 (%3 Byte), das Gerät nimmt "
                  "höchstens %4 Byte (%5 Blöcke zu 63 Byte).")
            .arg(hex(p.From), hex(p.To))
            .arg(p.To - p.From + 1)
            .arg(static_cast<qulonglong>(kMaxFirmwareBlocks * kFirmwareBlockBytes))
            .arg(kMaxFirmwareBlocks);
    }
    return line;
}

QString TfUploadProgramForm::ReportText(const TUploadReport& r) {
    const QString device = T(kUploadDeviceName);
    switch (r.Problem) {
    case TUploadProblem::FileUnreadable:
        return Tr("Kann Datei ") + FromFileName(r.Detail) + Tr(" nicht lesen!");
    case TUploadProblem::FileError:
        return Tr("Beim Einlesen der Firmwaredatei ist folgender Fehler aufgetreten: %1")
            .arg(FromCp1252(r.Detail));
    case TUploadProblem::TooLarge:
    case TUploadProblem::Incomplete:
        return Tr("Beim Einlesen der Firmwaredatei ist folgender Fehler aufgetreten: %1")
            .arg(FirmwareProblem(r.Firmware));
    case TUploadProblem::FormatError:
        if (r.Firmware.Kind == TFirmwareProblem::TKind::BadRecord)
            return Tr("Formatfehler in Zeile: ") + QString::number(r.Number);
        return FirmwareProblem(r.Firmware);
    case TUploadProblem::NoIdentity:
        return Tr("Keine gültige Programmversion!");
    case TUploadProblem::NoAnswer:
        return Tr("Der %1 hat nicht auf den Uploadwunsch geantwortet.").arg(device) + T("\n") +
               Tr("Der Upload wird abgebrochen. Bitte trennen Sie das Gerät, ") +
               Tr("verbinden Sie es neu und versuchen Sie den Upload erneut.");
    case TUploadProblem::NotEnoughMemory:
        return Tr("Der %1 hat nicht genug Speicher für dieses").arg(device) + T("\n") +
               Tr("Firmwareupdate. Der Upload wird abgebrochen.");
    case TUploadProblem::LinkLost:
        return Tr("Die Verbindung zum Gerät ist während der Übertragung abgebrochen.") + T("\n") +
               Tr("Der FLASH-Speicher wurde nicht programmiert.");
    case TUploadProblem::BlockNotSent:
        if (r.Number == 0)
            return Tr("Der Befehl zum Programmieren konnte nicht gesendet werden.") + T("\n") +
                   Tr("Der FLASH-Speicher wurde nicht programmiert.");
        return Tr("Block %1 konnte nicht gesendet werden.").arg(r.Number) + T("\n") +
               Tr("Der Upload wurde abgebrochen, bevor der FLASH-Speicher programmiert wurde.");
    case TUploadProblem::VersionMismatch:
        return Tr("Das Gerät meldet nach dem Neustart die Version \"%1\",")
                   .arg(FromCp1252(r.Reported)) +
               T("\n") +
               Tr("die Firmwaredatei enthält die Version \"%1\".").arg(FromCp1252(r.Expected));
    }
    return {};
}

TfUploadProgramForm::TfUploadProgramForm(TSession& session, const QString& fileName,
                                         bool deviceWasOnline, QWidget* parent,
                                         ITimerFactory* timers)
    : QDialog(parent), FSession(session) {
    SetHelpContext(this, help::kFirmwareUpload);
    setObjectName(T("UploadProgramForm"));
    // modal: the language does not change while it shows
    setWindowTitle(Tr("Programm Upload"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // no close button while it may not close: the state decides
    setMinimumWidth(460);

    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    auto* fileCaption = new QLabel;
    SetDe(fileCaption, "Datei:");
    FFile = new TElidedLabel;
    FFile->setObjectName(T("lbFileName"));
    FFile->SetFullText(QDir::toNativeSeparators(fileName));
    fileRow->addWidget(fileCaption);
    fileRow->addWidget(FFile, 1);
    layout->addLayout(fileRow);

    auto* stateRow = new QHBoxLayout;
    FPicture = new QLabel;
    FPicture->setObjectName(T("imState"));
    FPicture->setFixedSize(52, 52);
    FPicture->setAlignment(Qt::AlignCenter);
    FStatus = new QLabel;
    FStatus->setObjectName(T("pnStatus"));
    FStatus->setAlignment(Qt::AlignCenter);
    FStatus->setWordWrap(true);
    FStatus->setMinimumHeight(52);
    FStatus->setAutoFillBackground(true);
    FStatus->setFrameShape(QFrame::Panel);
    FStatus->setFrameShadow(QFrame::Sunken);
    QFont bold = FStatus->font();
    bold.setBold(true);
    FStatus->setFont(bold);
    stateRow->addWidget(FPicture);
    stateRow->addWidget(FStatus, 1);
    layout->addLayout(stateRow);

    FProgress = new QProgressBar;
    FProgress->setObjectName(T("pbUpload"));
    FProgress->setRange(0, 100);
    FProgress->setValue(0);
    layout->addWidget(FProgress);

    auto* buttons = new QHBoxLayout;
    FStart = new QPushButton;
    FStart->setObjectName(T("btStart"));
    SetDe(FStart, "Start");
    FAbort = new QPushButton;
    FAbort->setObjectName(T("btAbbruch"));
    SetDe(FAbort, "Abbruch");
    FClose = new QPushButton;
    FClose->setObjectName(T("btClose"));
    SetDe(FClose, "Schließen");
    FMessages = new QPushButton;
    FMessages->setObjectName(T("btDeviceMessages"));
    SetDe(FMessages, "Gerätemeldungen ...");
    FMessages->setAutoDefault(false);
    if (const TActionTable* actions = ActionsOf(this)) {
        QAction* open = (*actions)[TAct::actDeviceMessageWindow];
        connect(FMessages, &QPushButton::clicked, open, &QAction::trigger);
    } else {
        FMessages->hide();
    }
    buttons->addWidget(FMessages);
    buttons->addStretch(1);
    buttons->addWidget(FStart);
    buttons->addWidget(FAbort);
    buttons->addWidget(FClose);
    layout->addLayout(buttons);
    FStart->setAutoDefault(false);
    FAbort->setAutoDefault(false);
    FClose->setAutoDefault(false);

    if (!timers) {
        FOwnTimers = std::make_unique<TQtTimerFactory>();
        timers = FOwnTimers.get();
    }
    TFirmwareUpload::THooks h;
    h.Send = [this](const std::string& bytes) {
        return FSession.Controller() && FSession.Connection().Send(bytes);
    };
    h.DeviceOnline = [this] { return FSession.Status().DeviceOnline(); };
    h.DeviceVersion = [this] { return FSession.Status().HardwareRevision(); };
    h.ComTimer = [this](bool run) {
        TLiveSession& live = FSession.Live();
        if (run && !live.Polling())
            live.RunPolling(true);
        else if (!run)
            live.RunPolling(false);
    };
    h.Reconnect = [this] {
        if (FSession.Controller()) FSession.Connection().ConnectDevice();
    };
    h.DeviceMessage = [this](const std::string& line) { FSession.ReportUploadMessage(line); };
    h.DebugLine = [this](const std::string& line) { FSession.ReportUploadDebugLine(line); };
    h.Report = [this](const TUploadReport& r) {
        // shown once the upload has finished its step; gone with the window
        QTimer::singleShot(0, this, [this, r] { ShowReport(r); });
    };
    h.Changed = [this] { ShowState(); };
    if (!FOwnTimers) {
        // a test's clock: the timers' own intervals are its time
    } else {
        h.NowMs = [] {
            return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count());
        };
    }
    FUpload = std::make_unique<TFirmwareUpload>(*timers, ToFileName(fileName), deviceWasOnline, h);
    connect(&FSession, &TSession::UploadReplyReceived, this,
            [this](int reply) { FUpload->ReplyArrived(static_cast<TUploadReplyStatus>(reply)); });

    connect(FStart, &QPushButton::clicked, this, [this] { StartAsked(); });
    connect(FAbort, &QPushButton::clicked, this, [this] { FUpload->Abort(); });
    connect(FClose, &QPushButton::clicked, this, [this] { close(); });
    ShowState();
}

TfUploadProgramForm::~TfUploadProgramForm() {
    // the session's signals reach no dead engine
    disconnect(&FSession, nullptr, this, nullptr);
}

bool TfUploadProgramForm::MayClose() const {
    return FUpload->CloseEnabled();
}

void TfUploadProgramForm::StartAsked() {
    if (!FUpload->StartEnabled()) return;
    if (QMessageBox::question(this, Tr("Programm Upload"), Tr("Programm-Upload starten?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!FUpload->DeviceWasOnline()) return;
    try {
        FUpload->Start();
    } catch (const std::exception&) {
        // nothing was sent that the state does not show
    }
    raise();
    activateWindow();
}

void TfUploadProgramForm::ShowState() {
    const TUploadState state = FUpload->State();
    const TUploadColour colour = UploadStateColour(state);
    if (static_cast<int>(state) != FShownState) {
        FShownState = static_cast<int>(state);
        // the window is modal: the language cannot change while it shows
        FStatus->setText(Tr(FromCp1252(UploadStateText(state))));
        QPalette pal = FStatus->palette();
        pal.setColor(QPalette::Window, StateColour(colour));
        pal.setColor(QPalette::WindowText,
                     colour == TUploadColour::Red ? QColor(Qt::white) : QColor(Qt::black));
        FStatus->setPalette(pal);
        FPicture->setPixmap(StatePicture(colour));
        FStatus->setProperty("uploadColour", static_cast<int>(colour));
    }
    FProgress->setValue(FUpload->Progress());
    FStart->setEnabled(FUpload->StartEnabled());
    FAbort->setEnabled(FUpload->AbortEnabled());
    FClose->setEnabled(FUpload->CloseEnabled());
}

void TfUploadProgramForm::ShowReport(const TUploadReport& report) {
    const QString text = ReportText(report);
    if (report.Information())
        QMessageBox::information(this, Tr("Programm Upload"), text);
    else
        QMessageBox::critical(this, Tr("Programm Upload"), text);
}

void TfUploadProgramForm::closeEvent(QCloseEvent* e) {
    if (!MayClose()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void TfUploadProgramForm::reject() {
    // Escape closes only what may close
    if (MayClose()) QDialog::reject();
}

} // namespace vaskel
