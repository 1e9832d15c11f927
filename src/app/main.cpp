// vaskel: the desktop program.

#include "emulator/VirtualUsb.h"
#include "link/UsbTransport.h"
#include "platform/QtSettingsStorage.h"
#include "platform/QtSystemPlatform.h"
#include "platform/QtText.h"
#include "shell/DataFolder.h"
#include "shell/Environment.h"
#include "shell/Version.h"
#include "simulation/AddressTranslation.h"
#include "telegram/Catalogue.h"
#include "telegram/Errors.h"
#include "telegram/TelegramParser.h"
#include "ui/common/Icons.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/common/WindowPlacement.h"
#include "ui/help/ContextHelp.h"
#include "ui/main/CallListCommands.h"
#include "ui/main/MainForm.h"
#include "ui/main/ResponseListCommands.h"
#include "ui/main/UnattendedRun.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTimer>

#include <filesystem>
#include <iostream>

#ifndef VASKEL_SOURCE_DATA_DIR
#define VASKEL_SOURCE_DATA_DIR ""
#endif

using namespace vaskel;

namespace {

const char* const kUsage =
    "Usage: vaskel [--virtual-device[=SCENARIO]] [--monitor [--save-on-exit FILE]\n"
    "              [--quit-after SECONDS]] [--activate FILE.AUF.CSV|FILE.ANT.CSV]\n"
    "              [--translate A=B,...] [FILE...]\n"
    "\n"
    "  --virtual-device[=SCENARIO]  run on the built-in virtual Tavrin instead of a\n"
    "                               Tavrin on USB; SCENARIO is vehicle (default),\n"
    "                               idle or unpowered\n"
    "  --monitor                    open the live monitor at start\n"
    "  --save-on-exit FILE          write the monitor's recording to FILE when the\n"
    "                               program ends, without asking\n"
    "  --quit-after SECONDS         end the program after SECONDS\n"
    "  --activate FILE.AUF.CSV      activate the call list at start: the monitor\n"
    "                               opens and the device is switched to bus master\n"
    "                               without asking (unattended master simulation)\n"
    "  --activate FILE.ANT.CSV      activate the response list at start: the monitor\n"
    "                               opens and the device is switched to slave\n"
    "                               without asking (unattended slave simulation);\n"
    "                               not together with a call list, which needs the\n"
    "                               device as bus master\n"
    "  --translate A=B,...          switch the address translation on for this run\n"
    "                               with these pairs of addresses 1 to 15 (decimal);\n"
    "                               the stored table is left as it was\n"
    "  --version                    print the version and end\n"
    "  FILE                         .PRO.CSV, .AUF.CSV or .ANT.CSV files to open\n";

// Where the catalogue that ships with the program lies.
std::string ShippedDataFolder(const std::string& programDir) {
    namespace fs = std::filesystem;
    for (const fs::path& p :
         {fs::path(programDir) / "data", fs::path(programDir) / ".." / "share" / "vaskel",
          fs::path(VASKEL_SOURCE_DATA_DIR)}) {
        std::error_code ec;
        if (fs::is_regular_file(p / "IBIS.CSV", ec)) return p.string();
    }
    return {};
}

QPixmap SplashPicture() {
    QPixmap pm(640, 379);
    pm.fill(QColor(30, 60, 110));
    QPainter p(&pm);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(44);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 90, 640, 100), Qt::AlignCenter, QStringLiteral("Vaskel"));
    f.setPointSize(14);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 190, 640, 40), Qt::AlignCenter,
               QString::fromUtf8("IBIS-Wagenbus Monitor und Simulator"));
    p.drawText(QRect(0, 300, 640, 40), Qt::AlignCenter,
               QStringLiteral("Version ") + QString::fromLatin1(kVaskelVersion));
    return pm;
}

} // namespace

int main(int argc, char** argv) {
    // answered without a display
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--version") {
            std::cout << "vaskel " << kVaskelVersion << "\n";
            return 0;
        }
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    QApplication app(argc, argv);
    app.setWindowIcon(ProgramIcon(QStringLiteral("vaskel")));
    QApplication::setApplicationName(QStringLiteral("Vaskel"));
    // every window opens whole on the screen, a dialog over its owner
    TWindowPlacement::Install();
    // F1 in every window opens the manual beside the program (build: help/,
    // installed: ../share/vaskel/help)
    TContextHelp::SetFolders(TContextHelp::FindCollections(QCoreApplication::applicationDirPath()),
                             QString());
    TContextHelp::Install();

    bool useVirtual = false;
    TEmulatorOptions emu;
    emu.FaultRate = 0.01;
    QStringList files;
    bool monitor = false;
    QString saveOnExit;
    int quitAfter = -1;
    QString activate, activateResponses;
    bool translate = false;
    std::array<int, kAddressCount> translation{};
    const QStringList arguments = app.arguments().mid(1);
    for (int k = 0; k < arguments.size(); ++k) {
        const QString& a = arguments[k];
        if (a == QLatin1String("--monitor")) {
            monitor = true;
            continue;
        }
        if (a == QLatin1String("--activate") || a == QLatin1String("--translate")) {
            if (k + 1 >= arguments.size()) {
                std::cerr << "vaskel: " << a.toStdString() << " needs a value\n\n" << kUsage;
                return 2;
            }
            const QString v = arguments[++k];
            if (a == QLatin1String("--activate")) {
                const bool responses = DroppedFileKind(v) == TDroppedKind::ResponseList;
                if (!QFileInfo(v).isFile()) {
                    std::cerr << "vaskel: no " << (responses ? "response" : "call") << " list "
                              << v.toStdString() << "\n";
                    return 2;
                }
                (responses ? activateResponses : activate) = v;
                if (!activate.isEmpty() && !activateResponses.isEmpty()) {
                    std::cerr << "vaskel: a call list and a response list cannot be active at "
                                 "once: the master simulation needs the device as bus master, "
                                 "the slave simulation as a slave\n\n"
                              << kUsage;
                    return 2;
                }
            } else {
                std::string problem;
                if (!ParseAddressTranslation(v.toStdString(), translation, problem)) {
                    std::cerr << "vaskel: --translate: " << problem << "\n\n" << kUsage;
                    return 2;
                }
                translate = true;
            }
            continue;
        }
        if (a == QLatin1String("--save-on-exit") || a == QLatin1String("--quit-after")) {
            if (k + 1 >= arguments.size()) {
                std::cerr << "vaskel: " << a.toStdString() << " needs a value\n\n" << kUsage;
                return 2;
            }
            const QString v = arguments[++k];
            if (a == QLatin1String("--save-on-exit")) {
                saveOnExit = v;
            } else {
                bool ok = false;
                quitAfter = v.toInt(&ok);
                if (!ok || quitAfter < 0) {
                    std::cerr << "vaskel: --quit-after needs seconds, not " << v.toStdString()
                              << "\n\n"
                              << kUsage;
                    return 2;
                }
            }
            continue;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::cout << kUsage;
            return 0;
        }
        if (a == QLatin1String("--virtual-device")) {
            useVirtual = true;
        } else if (a.startsWith(QLatin1String("--virtual-device="))) {
            useVirtual = true;
            if (!ParseScenario(a.mid(17).toStdString(), emu.Scenario)) {
                std::cerr << "vaskel: unknown scenario " << a.mid(17).toStdString() << "\n\n"
                          << kUsage;
                return 2;
            }
        } else if (a.startsWith(QLatin1String("-"))) {
            std::cerr << "vaskel: unknown option " << a.toStdString() << "\n\n" << kUsage;
            return 2;
        } else {
            files << a;
        }
    }

    // a recording asked for must have a place it can be written to
    if (!saveOnExit.isEmpty()) {
        if (const QString problem = TUnattendedRun::SaveTargetProblem(saveOnExit);
            !problem.isEmpty()) {
            std::cerr << "vaskel: --save-on-exit: " << problem.toLocal8Bit().toStdString()
                      << "; nothing was recorded\n";
            return 2;
        }
    }
    // nobody watches a run that ends or records by itself: no box may wait
    const bool unattended = quitAfter >= 0 || !saveOnExit.isEmpty() || !activate.isEmpty() ||
                            !activateResponses.isEmpty();

    // The data module: settings, data folder, catalogue.
    TQtSystemPlatform platform;
    TQtSettingsStorage storage(TEnvironment::RegistryRootFor(platform.ProgramFile()));
    TEnvironment env(&storage, platform);
    const std::string programDir = env.ProgramDirectory();
    // (the user's own data folder may not exist yet in a fresh home)
    PrepareDataFolder(env.DataDirectory(), programDir, env.AllUserDataDirectory() + "Vaskel",
                      env.DataPlace() == TDataPlace::UserData);
    // The catalogue shipped beside the program is a read-only resource: it
    // is copied into a data folder that has none, never deleted.
    if (const std::string shipped = ShippedDataFolder(programDir); !shipped.empty())
        for (const char* f : kCatalogueFiles) {
            std::error_code ec;
            std::filesystem::copy_file(std::filesystem::path(shipped) / f,
                                       std::filesystem::path(env.DataDirectory()) / f,
                                       std::filesystem::copy_options::skip_existing, ec);
        }
    SetUiLanguage(env.Language());
    // the translation of this run; the stored table comes back at the end
    std::array<int, kAddressCount> storedTranslation{};
    for (int a = 1; a <= kAddressCount; ++a)
        storedTranslation[a - 1] = env.GetAddressTranslation(a);
    if (translate) {
        SetAddressTranslationTable(env, translation);
        env.SetIBISAddressTranslationMode(1);
    }
    std::unique_ptr<TUnattendedRun> run;
    if (unattended) run = std::make_unique<TUnattendedRun>(env);
    std::unique_ptr<TIBISTelegramParser> parser;
    try {
        parser = std::make_unique<TIBISTelegramParser>(env.DataDirectory() + "IBIS.CSV");
    } catch (const EVaskelError& e) {
        const QString text = FromCp1252(CatalogueStartupErrorText(e.what(), env.Language()));
        if (run)
            run->Report(text);
        else
            QMessageBox::critical(nullptr, QStringLiteral("Vaskel"), text);
        if (translate) SetAddressTranslationTable(env, storedTranslation);
        return 1;
    }

    QSplashScreen splash(SplashPicture());
    splash.show();
    QApplication::processEvents();
    QEventLoop wait;
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);
    wait.exec();

    std::unique_ptr<TVirtualUsb> virtualUsb;
    TfMainForm::TOptions options;
    if (useVirtual) {
        virtualUsb = std::make_unique<TVirtualUsb>(emu);
        virtualUsb->StartClock(1.0);
        options.Virtual = virtualUsb.get();
    }
    UsbApi& api = useVirtual ? static_cast<UsbApi&>(*virtualUsb) : SystemUsbApi();
    TSession::TOptions sessionOptions;
    sessionOptions.CreateLink = [&api, useVirtual](IMainThreadHandOver& h)
        -> std::unique_ptr<IDeviceLink> {
        TUsbOptions usb;
        // a real device: the system's arrival and removal reports where it has them
        usb.SystemNotifications = !useVirtual;
        return std::make_unique<TUSB_Communication>(api, h, kTavrinVendorId, kTavrinProductId,
                                                    std::move(usb));
    };
    // one session for the whole run: every window works on it
    auto session = std::make_unique<TSession>(env, *parser, sessionOptions);
    TfMainForm* window = nullptr;
    options.OpenFile = [&window](TDroppedKind, const QString& file) {
        // The list windows come with later versions.
        window->statusBar()->showMessage(
            Tr("Dieser Dateityp kann in dieser Version noch nicht geöffnet werden: ") +
                QFileInfo(file).fileName(),
            5000);
        return false;
    };
    options.SaveOnExit = saveOnExit;
    if (run)
        options.SaveOnExitFailed = [&run](const QString& message) { run->Report(message); };
    // nobody is at an unattended bench to answer the offer: the copy waits
    if (!activate.isEmpty() || !activateResponses.isEmpty()) options.OfferSafetyCopy = false;
    if (useVirtual) options.VirtualScenario = QString::fromLatin1(ScenarioName(emu.Scenario));
    auto main = std::make_unique<TfMainForm>(*session, options);
    window = main.get();
    main->show();
    splash.finish(main.get());
    if (quitAfter >= 0)
        QTimer::singleShot(quitAfter * 1000, main.get(), [&main] { main->close(); });
    if (!files.isEmpty()) main->DropFiles(files);
    // a file that could not be opened ends an unattended run before it records
    const bool startFailed = run && run->Failed();
    if (!startFailed && (monitor || !activate.isEmpty() || !activateResponses.isEmpty()))
        main->OpenMonitor();
    // An unattended run ends when something goes wrong; a window's question
    // at the end (answered "Abbrechen") does not keep it running.
    auto end = [&main] {
        if (!main->close()) QCoreApplication::exit(1);
    };
    if (run) run->End = end;
    if (!startFailed && !activateResponses.isEmpty())
        QTimer::singleShot(0, main.get(), [&main, &run, activateResponses] {
            // unattended: the device becomes a slave without a question
            if (!main->ResponseLists()->ActivateUnattended(activateResponses, 15000))
                run->Fail(QStringLiteral("the response list ") + activateResponses +
                          QStringLiteral(" was not activated (the device did not come online as "
                                         "a slave, or the list is broken)"));
        });
    if (!startFailed && !activate.isEmpty())
        QTimer::singleShot(0, main.get(), [&main, &run, activate] {
            // unattended: the device becomes master without a question
            if (!main->CallLists()->ActivateUnattended(activate, 15000))
                run->Fail(QStringLiteral("the call list ") + activate +
                          QStringLiteral(" was not activated (the device did not become bus "
                                         "master, or the list is broken)"));
        });
    int rc = 0;
    if (startFailed) {
        // a file or list given could not be opened: the run ends before it began
        if (!main->close()) rc = 1;
    } else {
        rc = app.exec();
    }
    if (run) rc = run->ExitStatus(rc);
    TContextHelp::CloseWindow();
    if (translate) SetAddressTranslationTable(env, storedTranslation);
    main.reset();
    session.reset(); // the controller ends before the device goes away
    virtualUsb.reset();
    return rc;
}
