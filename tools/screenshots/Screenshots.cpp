// vaskel-screenshots: the manual's pictures (docs/manual/screenshots.txt),
// taken from the program's own windows on the virtual Tavrin, in one
// language. tools/screenshots.sh runs it for German and English.
//
//   vaskel-screenshots LANGUAGE(de|en) CATALOGUE_FOLDER OUTPUT_FOLDER
//
// It builds the session and the main window as the program does, lets the
// virtual bus run (faster than the wall clock), puts each window in the state
// its line asks for and writes the window as PNG.

#include "emulator/VirtualTavrin.h"
#include "emulator/VirtualUsb.h"
#include "link/UsbTransport.h"
#include "platform/QtSystemPlatform.h"
#include "shell/Environment.h"
#include "telegram/TelegramParser.h"
#include "ui/catalogue/DatensatzForm.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/compose/ComposerForm.h"
#include "ui/compose/HexConverterForm.h"
#include "ui/device/CommunicationForm.h"
#include "ui/editors/AddressForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/filter/Filter.h"
#include "ui/main/MainForm.h"
#include "ui/main/ModeArea.h"
#include "ui/print/PreviewForm.h"
#include "ui/widgets/BalloonHint.h"
#include "print/ProtocolPrint.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/protocol/StatisticsForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>
#include <memory>

using namespace vaskel;

namespace {

QDir GOut;
int GFailures = 0;

// Lets the program run for ms of wall-clock time.
void Run(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Shoot(QWidget* w, const char* name) {
    QApplication::processEvents();
    const QString file = GOut.filePath(QLatin1String(name) + QStringLiteral(".png"));
    if (!w || !w->grab().save(file, "PNG")) {
        std::fprintf(stderr, "vaskel-screenshots: %s not written\n", name);
        ++GFailures;
        return;
    }
    std::printf("%s\n", qPrintable(file));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vaskel"));
    const QStringList args = app.arguments();
    if (args.size() != 4 || (args[1] != QLatin1String("de") && args[1] != QLatin1String("en"))) {
        std::fprintf(stderr, "usage: vaskel-screenshots de|en CATALOGUE_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    const int language = args[1] == QLatin1String("en") ? 2 : 1;
    GOut = QDir(args[3]);
    if (!QDir().mkpath(GOut.path())) return 1;

    TQtSystemPlatform platform;
    TEnvironment env(nullptr, platform);
    env.SetLanguage(language);
    SetUiLanguage(language);
    QDir().mkpath(QString::fromStdString(env.DataDirectory()));
    TIBISTelegramParser parser((QDir(args[2]).filePath(QStringLiteral("IBIS.CSV"))).toStdString());

    TEmulatorOptions emu;
    emu.FaultRate = 0.05;
    TVirtualUsb usb(emu);
    usb.StartClock(4.0);
    TSession::TOptions so;
    so.CreateLink = [&usb](IMainThreadHandOver& h) -> std::unique_ptr<IDeviceLink> {
        return std::make_unique<TUSB_Communication>(usb, h, kTavrinVendorId, kTavrinProductId,
                                                    TUsbOptions{});
    };
    auto session = std::make_unique<TSession>(env, parser, so);
    TfMainForm::TOptions options;
    options.Virtual = &usb;
    options.VirtualScenario = QStringLiteral("vehicle");
    options.OfferSafetyCopy = false;
    auto main = std::make_unique<TfMainForm>(*session, options);
    main->resize(1024, 768);
    main->show();
    Run(1500);

    // the main window with the monitor, filled for a while
    TfMonitorForm* monitor = main->OpenMonitor();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(monitor->parentWidget())) sub->showMaximized();
    Run(6000);
    // (the one-time notes of a first start are not what the pictures show)
    TBalloonHint::CloseCurrent();
    Shoot(main.get(), "main-window-virtual");
    Shoot(main->findChild<TModeArea*>(), "mode-status-area");
    Shoot(monitor, "live-monitor");
    Shoot(monitor->findChild<QToolBar*>(QStringLiteral("ProtocolToolBar")), "protocol-toolbar");

    // a row with a transmission error and its analysis below the table
    if (QAbstractItemModel* rows = monitor->View()->model()) {
        monitor->SetAutoScroll(false);
        for (int r = rows->rowCount() - 1; r >= 0; --r)
            if (!rows->index(r, 4).data().toString().trimmed().isEmpty()) {
                monitor->View()->selectRow(r);
                monitor->DetailAnalysis(r);
                break;
            }
        Run(300);
        Shoot(monitor, "detail-analysis-error");
        monitor->HideDetail();
        monitor->SetAutoScroll(true);
    }

    // the statistics of the recording
    if (TfStatisticsForm* stats = ShowStatistics(*session, monitor, true)) {
        stats->resize(900, 640);
        Run(1500);
        Shoot(stats->window(), "statistics");
    }

    TfPreviewForm preview(std::make_unique<TProtocolPrint>(monitor->PrintJob()));
    preview.resize(900, 700);
    preview.show();
    Run(500);
    Shoot(&preview, "print-preview");

    TfFilter filter(*session);
    filter.resize(760, 480);
    filter.show();
    Shoot(&filter, "filter-window");

    TfAddressForm address(env);
    address.show();
    Shoot(&address, "address-translation");

    if (TfHexConverterForm* hex = TfHexConverterForm::Open()) {
        hex->Decimal()->setText(QStringLiteral("427"));
        Run(200);
        Shoot(hex, "hex-converter");
        hex->close();
    }

    // display 1, phase time 2, two phases (the bytes of a 021 in Windows-1252)
    const std::string phases =
        "aA13A2Hauptbahnhof\n\xFC" "ber Markt\n\nLinie 7\nRathaus\n\n   ";
    if (TfComposerForm* composer = TfComposerForm::Open(nullptr, QStringLiteral("021"), phases,
                                                        [](const QString&) {})) {
        composer->resize(900, 620);
        Run(300);
        Shoot(composer, "composer-021");
        composer->close();
    }

    // a call list: a1 every 2 s, l012 every 5 s, a 021 every 10 s
    TfAufrufListenForm calls(*session, QString());
    calls.resize(900, 420);
    calls.show();
    const char* callRows[][2] = {
        {"0:02", "a1"},
        {"0:05", "l012"},
        {"0:10", "aA13A2Hauptbahnhof<LF>\xC3\xBC" "ber Markt<LF><LF>Linie 7<LF>Rathaus<LF><LF>   "}};
    for (int r = 0; r < 3; ++r) {
        if (r > 0) calls.AppendRow();
        // the columns: active, call, description, interval
        calls.Model().setData(calls.Model().index(r, 1), QString::fromUtf8(callRows[r][1]),
                              Qt::EditRole);
        calls.Model().setData(calls.Model().index(r, 3), QString::fromUtf8(callRows[r][0]),
                              Qt::EditRole);
    }
    calls.View()->setCurrentIndex(calls.Model().index(2, 1));
    Run(200);
    Shoot(&calls, "call-list-editor");
    calls.Model().Table().Modified = false;

    TfDatensatzForm records(*session,
                            QStringList{QStringLiteral("Deutsch"), QStringLiteral("English")});
    records.resize(1000, 560);
    records.show();
    records.LockButton()->click();
    Run(200);
    Shoot(&records, "record-types");

    TfCommunicationForm traffic(*session);
    traffic.resize(900, 560);
    traffic.show();
    Run(3000);
    Shoot(&traffic, "communication-window");

    // the end without questions: the recording is not kept
    monitor->Recorder().Table().Modified = false;
    records.Model().Table().Modified = false;
    main->close();
    main.reset();
    session.reset();
    return GFailures == 0 ? 0 : 1;
}
