#include "ui/main/MainForm.h"

#include "emulator/VirtualUsb.h"
#include "platform/QtComputerFacts.h"
#include "platform/QtText.h"
#include "recording/Recorder.h"
#include "shell/Version.h"
#include "ui/catalogue/DatensatzForm.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Icons.h"
#include "ui/compose/HexConverterForm.h"
#include "ui/common/Session.h"
#include "ui/common/TextWidgets.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/common/WindowPlacement.h"
#include "ui/device/DeviceWindows.h"
#include "ui/device/FirmwareUploadForm.h"
#include "ui/dialogs/ErrorReport.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/editors/AddressForm.h"
#include "ui/filter/Filter.h"
#include "ui/help/ContextHelp.h"
#include "ui/main/CallListCommands.h"
#include "ui/main/DirectInputBox.h"
#include "ui/main/ModeArea.h"
#include "ui/main/ResponseListCommands.h"
#include "ui/main/V1Imports.h"
#include "ui/common/WindowArea.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/protocol/ProtocolForm.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/Led.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QWhatsThis>

#include <filesystem>

namespace vaskel {

namespace {

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TfMainForm::TfMainForm(TSession& session, TOptions options)
    : FSession(session), FOptions(std::move(options)) {
    SetHelpContext(this, help::kMainWindow);
    ShowTitle();
    setMinimumSize(800, 300);
    resize(1016, 746 + 90);
    // the size and place of the last run; on a small screen the window is
    // fitted to the screen as it is shown
    RestoreGeometry();
    setAcceptDrops(true);

    FArea = new TWindowArea(this);
    setCentralWidget(FArea);
    // call lists open in their editor; the other kinds as the options say
    FFiles = std::make_unique<TFileOpening>(
        FSession, *FArea, this, [this](TDroppedKind kind, const QString& file) {
            if (kind == TDroppedKind::CallList && FCalls) return FCalls->Open(file) != nullptr;
            if (kind == TDroppedKind::ResponseList && FResponses)
                return FResponses->Open(file) != nullptr;
            return FOptions.OpenFile && FOptions.OpenFile(kind, file);
        });
    FActions = std::make_unique<TActionTable>(this);
    BuildMenus();
    FToolBar = addToolBar(T("Hauptprogramm"));
    FToolBar->setObjectName(T("ToolBar"));
    FToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    FToolBar->setIconSize(QSize(20, 20));
    FActions->FillToolBar(FToolBar);
    BuildAddressTranslationButton();
    FDeviceWindows = new TDeviceWindows(FSession, *FActions, this);

    FDirect = new TDirectInputBox(FSession, this);
    FModeArea = new TModeArea(FSession.Env(), *FDirect, *FActions, this);
    // the mode area sits above the status bar
    FModeBar = new QToolBar(Tr("Modus- und Statusbereich"), this);
    FModeBar->setMovable(false);
    FModeBar->addWidget(FModeArea);
    addToolBar(Qt::BottomToolBarArea, FModeBar);
    BuildStatusBar();
    ConnectActions();
    TCallListCommands::THooks calls;
    calls.OpenMonitor = [this] { OpenMonitor(); };
    calls.MonitorOpen = [this] { return !FMonitor.isNull(); };
    calls.RefreshWindows = [this] {
        UpdateActions();
        RefreshWindows();
    };
    FCalls = new TCallListCommands(FSession, *FArea, *FModeArea, *FActions, this, calls);
    TResponseListCommands::THooks responses;
    responses.OpenMonitor = calls.OpenMonitor;
    responses.MonitorOpen = calls.MonitorOpen;
    responses.RefreshWindows = calls.RefreshWindows;
    responses.SwitchToSlave = [this] {
        if (FSession.Status().Master()) MasterOnOff();
    };
    FResponses =
        new TResponseListCommands(FSession, *FArea, *FModeArea, *FActions, this, responses);
    TV1Imports::THooks imports;
    imports.ShowResponseEditor = [this](TfAntwortListenForm* f) { FResponses->Adopt(f); };
    imports.ShowCallEditor = [this](TfAufrufListenForm* f) { FCalls->Adopt(f); };
    FV1Imports = new TV1Imports(FSession, *FArea, *FActions, this, imports);
    FModeArea->SetFactorEnabled(false);

    FBlinkTimer = new QTimer(this);
    FBlinkTimer->start(440);
    connect(FBlinkTimer, &QTimer::timeout, this, [this] {
        for (const char* name : {"Master", "Overload", "WBED", "WBSD", "Ein"})
            FModeArea->Led(name)->BlinkTick();
    });
    ObserveSession();

    // The groups stay disabled until the device is online.
    for (const char* name : {"Master", "Slave", "Device"})
        FModeArea->Group(name)->setEnabled(false);
    ApplyDisplay(ComputeDeviceDisplay(FSession.Status(), false));
    if (FOptions.StartDevice) {
        FSession.StartDevice();
        FPanels[0]->setText(T("USB"));
    }
}

TfMainForm::~TfMainForm() {
    // the controller thread ends before the windows go
    FSession.EndDevice();
}

void TfMainForm::ObserveSession() {
    connect(&FSession, &TSession::DisplayChanged, this,
            [this](const TDeviceDisplay& d) { ApplyDisplay(d); });
    connect(&FSession, &TSession::Tick, this, [this] {
        UpdateActions();
        RefreshWindows();
    });
    connect(FArea, &QMdiArea::subWindowActivated, this, [this] { UpdateActions(); });
    connect(&FSession, &TSession::MasterSwitchAsked, FModeArea,
            &TModeArea::ShowMasterSwitchHint);
    connect(&FSession, &TSession::PlaybackChanged, FModeArea, &TModeArea::SetActiveProtocol);
    connect(&FSession, &TSession::RecordingStopped, this, [this] { RefreshWindows(); });
    // a response list is loaded again after a device restart: it needs the
    // recording
    connect(&FSession, &TSession::RecordingNeeded, this, [this] {
        if (!FMonitor) OpenMonitor();
    });
    connect(&FSession, &TSession::AutonomousChanged, this, [this] { UpdateActions(); });
    // the status bar's list panel names the active list (call or response
    // list; they are never active together)
    const auto listChanged = [this] {
        std::string active = FSession.ActiveCallList();
        if (active.empty()) active = FSession.ActiveResponseList();
        if (active.empty())
            SetDe(FPanels[2], "<Keine Liste aktiv>");
        else {
            // a file name stays as it is when the language changes
            FPanels[2]->setProperty("deText", QVariant());
            FPanels[2]->setText(
                QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(active))));
        }
        UpdateActions();
        RefreshWindows();
    };
    connect(&FSession, &TSession::CallListChanged, this, listChanged);
    connect(&FSession, &TSession::ResponseListChanged, this, listChanged);
    connect(&FSession, &TSession::UserMessage, this,
            [this](const QString& text) { ShowStatusMessage(text); });
    connect(FModeArea, &TModeArea::SwitchClicked, this, [this] { MasterOnOff(); });
    connect(FModeArea, &TModeArea::OverloadLampClicked, this, [this] { ResetOverloadAsked(); });
    connect(FModeArea, &TModeArea::ActiveProtocolDoubleClicked, this,
            [this] { ShowActiveProtocolWindow(); });
}

void TfMainForm::ShowMonitor(bool tiled) {
    if (tiled)
        OpenMonitorTiled();
    else
        OpenMonitor();
}

void TfMainForm::ShowSendDelayTip() {
    FModeArea->ShowSendDelayTip();
}

void TfMainForm::ActivateCallList(const QString& file) {
    FCalls->Activate(file);
}

void TfMainForm::SwitchMasterSimulation() {
    FCalls->OnOff();
}

void TfMainForm::ActivateResponseList(const QString& file) {
    FResponses->Activate(file);
}

void TfMainForm::SwitchSlaveSimulation() {
    FResponses->OnOff();
}

void TfMainForm::ShowStatusMessage(const QString& text) {
    statusBar()->showMessage(text, 8000);
}

void TfMainForm::ConnectActions() {
    auto on = [this](TAct id, auto f) { connect(Action(id), &QAction::triggered, this, f); };
    on(TAct::FileExit1, [this] { close(); });
    on(TAct::HelpContents1, [] { TContextHelp::ShowContents(); });
    on(TAct::acWhatsThis, [] { QWhatsThis::enterWhatsThisMode(); });
    on(TAct::acAufzeichnen, [this] { OpenMonitor(); });
    on(TAct::acOeffnen, [this] { OpenProtocolAsked(); });
    on(TAct::acSendFromProtocoll, [this] { SendFromProtocol(); });
    on(TAct::acHexConverter, [this] { TfHexConverterForm::Open(this); });
    for (TAct save : {TAct::mmSpeichern, TAct::mmSpeichernUnter})
        on(save, [this, save] {
            if (TfChildWindow* w = FArea->ActiveWindow())
                save == TAct::mmSpeichern ? w->Save() : w->SaveAs();
        });
    const std::pair<TAct, TEditCommand> edits[] = {{TAct::EditUndo1, TEditCommand::Undo},
                                                   {TAct::EditCopy1, TEditCommand::Copy},
                                                   {TAct::EditCut1, TEditCommand::Cut},
                                                   {TAct::EditPaste1, TEditCommand::Paste},
                                                   {TAct::EditSelectAll, TEditCommand::SelectAll},
                                                   {TAct::EditDelete, TEditCommand::Delete}};
    for (const auto& [act, command] : edits)
        on(act, [this, command = command] { RunEditCommand(command); });
    // The error report: the open windows, the screen, the warning sound; the
    // fatal error's dialog says where the report went.
    TDebugClass& debugger = FSession.Env().Debugger();
    debugger.OpenWindows = [this] {
        std::vector<std::string> captions;
        for (TfChildWindow* w : FArea->Windows()) captions.push_back(ToCp1252(w->windowTitle()));
        return captions;
    };
    debugger.ComputerFacts = [this] {
        TComputerFacts f = QtComputerFacts();
        if (const QScreen* sc = screen()) {
            f.ScreenWidth = std::to_string(sc->geometry().width());
            f.ScreenHeight = std::to_string(sc->geometry().height());
            f.DesktopWidth = std::to_string(sc->availableGeometry().width());
            f.DesktopHeight = std::to_string(sc->availableGeometry().height());
            f.ColorDepth = std::to_string(sc->depth());
        }
        return f;
    };
    debugger.Beep = [] { QApplication::beep(); };
    if (!FSession.Env().OnFatalError)
        FSession.Env().OnFatalError = [this](const std::string&) {
            QString text = TrLines(kFatalErrorDialogText);
            if (!FSession.Env().LastErrorReport().empty())
                text += QStringLiteral("\n\n") + FromFileName(FSession.Env().LastErrorReport());
            QMessageBox::critical(this, T("Vaskel"), text);
        };
    on(TAct::acCreateDebuggerLog, [this] { CreateErrorReport(FSession.Env(), this); });
    on(TAct::acEinstellungen, [this] {
        Tfrm_Einstellungen::THooks hooks;
        hooks.SendTimeouts = [this] { FSession.Connection().SendTimeouts(); };
        // a new language is shown at once: the recording and the windows go on
        hooks.LanguageChanged = [this] { SwitchLanguage(FSession.Env().Language()); };
        Tfrm_Einstellungen dialog(FSession.Env(), std::move(hooks), this);
        dialog.exec();
        // the slave simulation's picture and the mode display follow the settings
        FResponses->ShowPicture();
        FModeArea->ShowBusType();
        ApplyDisplay(ComputeDeviceDisplay(FSession.Status(), FSession.Recording()));
    });
    on(TAct::acPrintProtokoll, [this] {
        if (auto* w = dynamic_cast<TfBaseProtocolForm*>(FArea->ActiveWindow())) w->PrintAsked();
    });
    on(TAct::acSearch, [this] {
        if (TfChildWindow* w = FArea->ActiveWindow(); w && w->CanFind()) w->FindAsked();
    });
    on(TAct::WindowClose1, [this] { FArea->closeActiveSubWindow(); });
    on(TAct::WindowCascade1, [this] { FArea->cascadeSubWindows(); });
    on(TAct::WindowTileHorizontal1, [this] { FArea->TileHorizontally(); });
    on(TAct::WindowTileVertical1, [this] { FArea->TileVertically(); });
    on(TAct::WindowArrange1, [this] { FArea->ArrangeIcons(); });
    on(TAct::WindowMinimizeAll1, [this] {
        for (QMdiSubWindow* w : FArea->subWindowList())
            w->showMinimized();
    });
    on(TAct::acWindowCloseAll, [this] { FArea->CloseAll(); });
    on(TAct::acMasterOnOff, [this] { MasterOnOff(); });
    on(TAct::actOpenAddressForm, [this] { OpenAddressForm(); });
    on(TAct::acFilterWindow, [this] { ShowFilterWindow(FSession, FArea); });
    on(TAct::acDatensatz, [this] { TfDatensatzForm::Open(FSession, *FArea); });
    on(TAct::actResetOverloaded, [this] { ResetOverloadAsked(); });
    on(TAct::acShowHardwarerevision, [this] { ShowDeviceInfo(); });
    on(TAct::actFirmwareUpdate, [this] { FirmwareUpdate(); });
    on(TAct::acAbout, [this] {
        QMessageBox::about(this, Tr("Info über ..."),
                           T("<b>Vaskel</b> v") + QString::fromLatin1(kVaskelVersion) + T("<br>") +
                               Tr("IBIS-Wagenbus Monitor und Simulator"));
    });
    // the check marks have flipped already when these run
    on(TAct::actShowHideMainToolbar,
       [this] { FToolBar->setVisible(Action(TAct::actShowHideMainToolbar)->isChecked()); });
    connect(Action(TAct::actShowHideModeArea), &QAction::toggled, FModeBar, &QWidget::setVisible);
    on(TAct::actShowHideProtocolToolbar,
       [this] { FArea->SetToolBarsShown(Action(TAct::actShowHideProtocolToolbar)->isChecked()); });
    const TAct views[] = {TAct::actShowHideMainToolbar, TAct::actShowHideProtocolToolbar,
                          TAct::actShowHideModeArea};
    on(TAct::actShowAll, [this, views] {
        for (TAct v : views)
            if (!Action(v)->isChecked()) Action(v)->trigger();
    });
    on(TAct::actHideAll, [this, views] {
        for (TAct v : views)
            if (Action(v)->isChecked()) Action(v)->trigger();
    });
    const bool windows = FSession.Env().UseWindowsColorSchema();
    Action(TAct::acUseWindowsPattern)->setChecked(windows);
    Action(TAct::acUseZKPattern)->setChecked(!windows);
    G_ZK_Pattern().UseWindowsDefaults = windows;
    on(TAct::acUseWindowsPattern, [this] { SetColourScheme(true); });
    on(TAct::acUseZKPattern, [this] { SetColourScheme(false); });
}

namespace {

// The standard commands of a text field; del removes its selection.
template <typename TEdit, typename TDelete>
void RunOnTextField(TEdit* e, TEditCommand command, TDelete del) {
    switch (command) {
    case TEditCommand::Undo:
        e->undo();
        break;
    case TEditCommand::Copy:
        e->copy();
        break;
    case TEditCommand::Cut:
        e->cut();
        break;
    case TEditCommand::Paste:
        e->paste();
        break;
    case TEditCommand::SelectAll:
        e->selectAll();
        break;
    case TEditCommand::Delete:
        del();
        break;
    }
}

} // namespace

void TfMainForm::RunEditCommand(TEditCommand command) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        focus = combo->lineEdit();
    if (auto* e = qobject_cast<QLineEdit*>(focus))
        return RunOnTextField(e, command, [e] { e->del(); });
    if (auto* e = qobject_cast<QPlainTextEdit*>(focus))
        return RunOnTextField(e, command, [e] { e->textCursor().removeSelectedText(); });
    // a table: the window's own command
    if (TfChildWindow* w = FArea->ActiveWindow(); w && focus && w->isAncestorOf(focus))
        w->EditCommand(command);
}

void TfMainForm::SetColourScheme(bool windows) {
    FSession.Env().SetUseWindowsColorSchema(windows);
    G_ZK_Pattern().UseWindowsDefaults = windows;
    Action(TAct::acUseWindowsPattern)->setChecked(windows);
    Action(TAct::acUseZKPattern)->setChecked(!windows);
    // every control takes its style again in the new scheme
    for (QWidget* w : findChildren<QWidget*>()) {
        const QVariant style = w->property("zkPattern");
        if (style.isValid()) G_ZK_Pattern().Apply(w, static_cast<TZK_PatternStyle>(style.toInt()));
    }
    update();
    for (QMdiSubWindow* c : FArea->subWindowList())
        c->update();
}

void TfMainForm::BuildMenus() {
    const auto menus = FActions->BuildMenus(menuBar());
    for (QMenu* m : menus)
        m->setToolTipsVisible(true);
    BuildLanguageMenu(menus[static_cast<int>(TMenuId::Options)]);
    QMenu* windows = menus[static_cast<int>(TMenuId::Window)];
    FArea->ListWindowsIn(windows);
    // the open log windows after the area's windows
    connect(windows, &QMenu::aboutToShow, this, [this, windows] {
        if (FDeviceWindows) FDeviceWindows->AddOpenWindowsTo(windows);
    });
    if (FOptions.Virtual) BuildVirtualDeviceMenu(menus[static_cast<int>(TMenuId::Diagnostics)]);
}

void TfMainForm::BuildLanguageMenu(QMenu* options) {
    QMenu* language = options->addMenu(QString());
    SetDe(language, "Sprache");
    auto* languages = new QActionGroup(language);
    for (const auto& [number, name] : {std::pair{1, "Deutsch"}, std::pair{2, "English"}}) {
        QAction* a = language->addAction(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(FSession.Env().Language() == number);
        languages->addAction(a);
        a->setObjectName(QStringLiteral("actLanguage%1").arg(number));
        connect(a, &QAction::triggered, this, [this, n = number] { SwitchLanguage(n); });
    }
}

void TfMainForm::ShowTitle() {
    if (FOptions.VirtualScenario.isEmpty())
        setWindowTitle(T("Vaskel"));
    else
        setWindowTitle(T("Vaskel - ") + Tr("virtuelles Gerät") + T(" (") + FOptions.VirtualScenario +
                       T(")"));
}

void TfMainForm::SwitchLanguage(int language) {
    FSession.Env().SetLanguage(language);
    SetUiLanguage(language);
    Retranslate(this);
    ShowTitle();
    FModeBar->setWindowTitle(Tr("Modus- und Statusbereich"));
    SetAddressTranslationMode(FSession.Env().IBISAddressTranslationMode());
    FDirect->LiveCheck();
    for (int n : {1, 2})
        if (QAction* a = findChild<QAction*>(QStringLiteral("actLanguage%1").arg(n)))
            a->setChecked(n == language);
    if (FOptions.StartDevice) FPanels[0]->setText(T("USB"));
    ApplyDisplay(ComputeDeviceDisplay(FSession.Status(), FSession.Recording()));
    FModeArea->ShowBusType();
}

void TfMainForm::BuildVirtualDeviceMenu(QMenu* diag) {
    QMenu* m = diag->addMenu(QString());
    SetDe(m, "Virtuelles Gerät");
    TVirtualUsb* v = FOptions.Virtual;
    auto toggle = [&](const char* caption, bool initial, std::function<void(bool)> f) {
        QAction* a = m->addAction(QString());
        SetDe(a, caption);
        a->setCheckable(true);
        a->setChecked(initial);
        connect(a, &QAction::toggled, this, [f](bool on) { f(on); });
        return a;
    };
    toggle("Eingesteckt", v->Plugged(), [v](bool on) { v->SetPlugged(on); });
    toggle("Master am Bus", v->WithDevice([](TVirtualTavrin& d) { return d.MasterPresent(); }),
           [v](bool on) { v->WithDevice([on](TVirtualTavrin& d) { d.SetMasterPresent(on); }); });
    toggle("Externe Spannung", v->WithDevice([](TVirtualTavrin& d) { return d.ExternalPower(); }),
           [v](bool on) { v->WithDevice([on](TVirtualTavrin& d) { d.SetExternalPower(on); }); });
    toggle("Kurzschluss", false,
           [v](bool on) { v->WithDevice([on](TVirtualTavrin& d) { d.SetShortCircuit(on); }); });
    QAction* restart = m->addAction(QString());
    SetDe(restart, "Neustart");
    connect(restart, &QAction::triggered, this,
            [v] { v->WithDevice([](TVirtualTavrin& d) { d.Restart(); }); });
    QMenu* rates = m->addMenu(QString());
    SetDe(rates, "Fehlerrate");
    auto* group = new QActionGroup(rates);
    const double current = v->WithDevice([](TVirtualTavrin& d) { return d.FaultRate(); });
    for (const double r : {0.0, 0.01, 0.05, 0.2}) {
        QAction* a = rates->addAction(QString::number(r * 100) + T(" %"));
        a->setCheckable(true);
        a->setChecked(r == current);
        group->addAction(a);
        connect(a, &QAction::triggered, this,
                [v, r] { v->WithDevice([r](TVirtualTavrin& d) { d.SetFaultRate(r); }); });
    }
}

void TfMainForm::BuildStatusBar() {
    FPanels[0] = NewLabel("COM???");
    FPanels[0]->setMinimumWidth(80);
    FPanels[1] = NewLabel("Firmware-Version: unbekannt");
    FPanels[1]->setMinimumWidth(350);
    FPanels[2] = NewLabel("<Keine Liste aktiv>");
    // a double click on the status bar outside the list panel shows the
    // device information
    for (int k = 0; k < 2; ++k)
        FPanels[k]->installEventFilter(this);
    statusBar()->addWidget(FPanels[0]);
    statusBar()->addWidget(FPanels[1]);
    statusBar()->addWidget(FPanels[2], 1);
}

void TfMainForm::ApplyDisplay(const TDeviceDisplay& d) {
    FDisplay = d;
    UpdateActions();
    QAction* m = Action(TAct::acMasterOnOff);
    m->setText(Tr(FromCp1252(d.MasterCaption)));
    m->setChecked(d.MasterChecked);
    FDirect->SetSendEnabled(d.DirectSendEnabled);
    // the device's own version text, or "unbekannt" before it is known
    const std::string& revision = FSession.Status().HardwareRevision();
    FPanels[1]->setText(Tr("Firmware-Version: %1")
                            .arg(revision == "unbekannt" ? Tr("unbekannt") : FromCp1252(revision)));
    FModeArea->ApplyDisplay(d);
}

void TfMainForm::BuildAddressTranslationButton() {
    FAddressButton = new QToolButton;
    FAddressButton->setObjectName(T("tbnAddressTranslationOnOff"));
    FAddressButton->setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(FAddressButton);
    menu->addAction(Action(TAct::actAddressTranslationOn));
    menu->addAction(Action(TAct::actAddressTranslationOff));
    FAddressButton->setMenu(menu);
    connect(FAddressButton, &QToolButton::clicked, this, [this] {
        QToolTip::hideText();
        TBalloonHint::CloseCurrent();
        SetAddressTranslationMode(FSession.Env().IBISAddressTranslationMode() == 1 ? 0 : 1);
    });
    connect(Action(TAct::actAddressTranslationOn), &QAction::triggered, this,
            [this] { SetAddressTranslationMode(1); });
    connect(Action(TAct::actAddressTranslationOff), &QAction::triggered, this,
            [this] { SetAddressTranslationMode(0); });
    // after the translation window's button, before the separator
    const QList<QAction*> items = FToolBar->actions();
    const qsizetype at = items.indexOf(Action(TAct::actOpenAddressForm));
    FToolBar->insertWidget(at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr,
                           FAddressButton);
    SetAddressTranslationMode(FSession.Env().IBISAddressTranslationMode());
}

void TfMainForm::SetAddressTranslationMode(int mode) {
    FSession.Env().SetIBISAddressTranslationMode(mode == 1 ? 1 : 0);
    const bool on = FSession.Env().IBISAddressTranslationMode() == 1;
    FAddressButton->setIcon(
        ProgramIcon(on ? T("actAddressTranslationOn") : T("actAddressTranslationOff")));
    FAddressButton->setToolTip(on ? Tr("Adressumsetzung eingeschaltet")
                                  : Tr("Adressumsetzung ausgeschaltet"));
}

void TfMainForm::UpdateActions() {
    TActionState s;
    s.Display = FDisplay;
    s.Active = FArea->ActiveWindow();
    s.Windows = static_cast<int>(FArea->subWindowList().size());
    TEnvironment& env = FSession.Env();
    // a translation no longer defined switches the translation off
    if (FAddressButton && FAddressButton->isEnabled() && !env.IBISAddressTranslationDefined() &&
        env.IBISAddressTranslationMode() == 1)
        SetAddressTranslationMode(0);
    s.AddressTranslationUsable =
        FSession.Status().DeviceOnline() && env.IBISAddressTranslationDefined();
    s.MasterSimulationPossible =
        FSession.Status().MasterPossible() || !FSession.ActiveCallList().empty();
    s.DeviceOnline = FSession.Status().DeviceOnline();
    s.Autonomous = FSession.AutonomousDisplay();
    FActions->ApplyRules(s);
    if (FAddressButton) FAddressButton->setEnabled(s.AddressTranslationUsable);
}

void TfMainForm::RefreshWindows() {
    FArea->RefreshAll();
    bool sendable = false;
    for (TfChildWindow* w : FArea->Windows())
        sendable |= w->CanSend();
    // the factor matters only with a protocol to send
    FModeArea->SetFactorEnabled(FSession.Status().Master() && sendable);
}

void TfMainForm::OpenAddressForm() {
    TfAddressForm form(FSession.Env(), this);
    const bool stored = form.exec() == QDialog::Accepted;
    UpdateActions();
    // the table alone translates nothing: the switch is to be pressed too
    // (said once a translation was stored, not after a cancelled window)
    TEnvironment& env = FSession.Env();
    if (stored && env.IBISAddressTranslationDefined() &&
        !env.HintGiven(THint::AddressTranslationHintGiven) &&
        env.IBISAddressTranslationMode() == 0 && FAddressButton->isVisible()) {
        env.SetHintGiven(THint::AddressTranslationHintGiven);
        TBalloonHint::Show(FAddressButton, FAddressButton->rect().center(),
                           TBalloonHint::TIcon::Information, Tr("Hinweis"),
                           Tr("Vergessen Sie nicht, die Adressumsetzung zu aktivieren, damit") +
                               T("\n") +
                               Tr("beim Abspielen eines Protokolls die Adressen auch "
                                  "tatsächlich umgesetzt werden!"),
                           7000);
    }
}

TfMonitorForm* TfMainForm::OpenMonitor() {
    if (FMonitor) {
        FArea->Activate(FMonitor);
        return FMonitor;
    }
    auto* monitor = new TfMonitorForm(FSession);
    FArea->AddWindow(monitor);
    FMonitor = monitor;
    RefreshWindows();
    return monitor;
}

void TfMainForm::OpenMonitorTiled() {
    if (FMonitor) return;
    OpenMonitor();
    FArea->TileHorizontally();
}

void TfMainForm::MasterOnOff() {
    // a running master simulation ends before the device becomes a slave,
    // an active slave simulation before it becomes bus master
    if (FSession.Status().Master() && !FSession.ActiveCallList().empty()) FCalls->OnOff();
    if (!FSession.Status().Master() && !FSession.ActiveResponseList().empty())
        FSession.DeactivateResponseList();
    FSession.SwitchMasterMode();
}

void TfMainForm::ResetOverloadAsked() {
    if (!FSession.Status().Overloaded() || !FSession.Controller()) return;
    if (QMessageBox::question(this, T("Vaskel"), TrLines(DeviceTexts::kResetOverloadQuestion)) ==
        QMessageBox::Yes)
        FSession.Connection().ResetOverload();
}

void TfMainForm::ShowDeviceInfo() {
    QMessageBox::information(this, Tr("Geräteinformation"),
                             T("Korvane\n") + Tr("IBIS Wagenbus Testgerät") + T(" \"Vaskel\"\n") +
                                 Tr("Geräterevision:") + T(" \"") +
                                 FromCp1252(FSession.Status().HardwareRevision()) + T("\""));
}

void TfMainForm::FirmwareUpdate() {
    if (FUpload) {
        FUpload->raise();
        FUpload->activateWindow();
        return;
    }
    TEnvironment& env = FSession.Env();
    const QString file = AskFile(this, FirmwareOpenDialog(FromFileName(env.FirmwarePath()),
                                                          FromFileName(env.LastFirmwareFile())));
    if (file.isEmpty()) return;
    const QFileInfo info(file);
    env.SetFirmwarePath(ToFileName(QDir::toNativeSeparators(info.absolutePath())));
    env.SetLastFirmwareFile(ToFileName(info.fileName()));
    OpenFirmwareUpload(file);
}

TfUploadProgramForm* TfMainForm::OpenFirmwareUpload(const QString& file, ITimerFactory* timers) {
    if (FUpload) return FUpload;
    auto* form =
        new TfUploadProgramForm(FSession, file, FSession.Status().DeviceOnline(), this, timers);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::ApplicationModal);
    FUpload = form;
    form->show();
    return form;
}

TfUploadProgramForm* TfMainForm::FirmwareUploadWindow() const {
    return FUpload;
}

TDroppedKind TfMainForm::DropFiles(const QStringList& files) {
    const TDroppedKind kind = FFiles->DropFiles(files);
    RefreshWindows();
    return kind;
}

TfProtocolForm* TfMainForm::OpenProtocol(const QString& file) {
    TfProtocolForm* form = FFiles->OpenProtocol(file);
    RefreshWindows();
    return form;
}

void TfMainForm::OpenProtocolAsked() {
    FFiles->OpenProtocolAsked();
    RefreshWindows();
}

TfProtocolForm* TfMainForm::OfferSafetyCopy() {
    TfProtocolForm* form = FFiles->OfferSafetyCopy();
    RefreshWindows();
    return form;
}

void TfMainForm::SendFromProtocol() {
    // the device's answer to the mode switch is looked for more often meanwhile
    TLiveSession& live = FSession.Live();
    const bool polling = live.Polling();
    live.SetPollInterval(50);
    if (!FSession.Status().Master()) MasterOnOff();
    OpenProtocolAsked();
    if (TfChildWindow* w = FArea->ActiveWindow(); w && w->CanSend()) {
        OpenMonitorTiled();
        if (!w->Sending()) w->StartSending();
    }
    live.SetPollInterval(TLiveSession::kPollMs);
    if (!polling) live.RunPolling(false);
}

void TfMainForm::ShowActiveProtocolWindow() {
    if (!FMonitor) OpenMonitor();
    const QString name = FModeArea->ActiveProtocol();
    if (name.isEmpty()) return;
    for (TfChildWindow* w : FArea->Windows())
        if (w->CanSend() && QFileInfo(w->FileName()).fileName() == QFileInfo(name).fileName())
            FArea->Activate(w);
}

void TfMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (FAfterShowDone) return;
    FAfterShowDone = true;
    // a data folder outside the documents folder is told once, where it is
    if (FSession.Env().DataPlace() != TDataPlace::Documents &&
        !FSession.Env().HintGiven(THint::DataFolderHintGiven))
        QTimer::singleShot(0, this, [this] { TellDataFolder(); });
    const TRecorder& recorder = FSession.Recorder();
    const bool found =
        (std::filesystem::exists(SafetyCopyFile(FSession.Env())) && !recorder.OwnsSafetyCopy()) ||
        !recorder.EarlierCopy().empty();
    if (!FOptions.OfferSafetyCopy || !FOptions.SaveOnExit.isEmpty()) {
        // nobody is there to answer; the copy waits for the next start
        FKeepSafetyCopy = found;
        return;
    }
    // only a copy that was there before this run started is offered
    if (found) QTimer::singleShot(1000, this, [this] { OfferSafetyCopy(); });
}

void TfMainForm::TellDataFolder() {
    const QString folder = QDir::toNativeSeparators(
        QFile::decodeName(QByteArray::fromStdString(FSession.Env().DataDirectory())));
    // once per installation; over the top of the window area, where nobody
    // types, and moving with it (a window maximised after the start)
    FSession.Env().SetHintGiven(THint::DataFolderHintGiven);
    TBalloonHint::Show(FArea, QPoint(40, 4), TBalloonHint::TIcon::Information,
                       Tr("Datenordner"),
                       Tr("Es gibt keinen Dokumente-Ordner. Die Datensatzdatei und die "
                          "automatische Sicherung liegen deshalb hier:") +
                           QStringLiteral("\n") + folder,
                       0, true);
}

bool TfMainForm::event(QEvent* e) {
    // hints show as tool tips; the status bar keeps its three panels
    if (e->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(e);
}

bool TfMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonDblClick &&
        (watched == FPanels[0] || watched == FPanels[1]) &&
        Action(TAct::acShowHardwarerevision)->isEnabled()) {
        // its message box opens after the double click is done
        QTimer::singleShot(0, this, [this] { ShowDeviceInfo(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

void TfMainForm::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TfMainForm::dropEvent(QDropEvent* e) {
    QStringList files;
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile()) files << u.toLocalFile();
    DropFiles(files);
    e->acceptProposedAction();
}

void TfMainForm::closeEvent(QCloseEvent* e) {
    if (FUpload && !FUpload->MayClose()) {
        // the device would be left with half an image, or mid-programming
        e->ignore();
        QMessageBox::information(
            FUpload, T("Vaskel"),
            Tr("Vaskel kann jetzt nicht beendet werden: die Firmware wird gerade zum Gerät "
               "übertragen oder das Gerät programmiert seinen FLASH-Speicher.") +
                T("\n") + Tr("Bitte warten Sie, bis der Upload beendet ist."));
        return;
    }
    bool keepOwnCopy = false;
    if (FMonitor && !FOptions.SaveOnExit.isEmpty()) {
        // unattended recording: written without asking; where that fails it
        // is kept in the data folder, never lost
        if (!FSession.Recorder().SaveActiveProtocol(ToFileName(FOptions.SaveOnExit), 0)) {
            const QString kept = KeepUnsavedRecording();
            const QString message =
                QStringLiteral("the recording could not be written to ") + FOptions.SaveOnExit +
                (kept.isEmpty() ? QStringLiteral("; it could not be kept in the data folder "
                                                 "either: the safety copy stays")
                                : QStringLiteral("; it was kept as ") + kept);
            if (kept.isEmpty()) keepOwnCopy = true;
            if (FOptions.SaveOnExitFailed)
                FOptions.SaveOnExitFailed(message);
            else
                qWarning("vaskel: %s", qPrintable(message));
        }
    } else if (FMonitor && !FMonitor->MayClose()) {
        // the monitor asks its save question first
        e->ignore();
        return;
    }
    // the other windows ask their own save questions
    for (TfChildWindow* w : FArea->Windows()) {
        if (w == FMonitor || !FOptions.SaveOnExit.isEmpty()) continue;
        if (!w->CloseWindow()) {
            e->ignore();
            return;
        }
    }
    if (FMonitor) {
        // the recording ends here: no safety copy after the one removed below
        FSession.Recorder().SafetyCopy = false;
        FSession.Recorder().Table().Modified = false;
        FMonitor->CloseWindow();
    }
    // this run's copy goes (after its last write); an earlier run's copy
    // that nobody was there to take stays (or goes back to its name) for
    // the next start
    FSession.Recorder().FinishSafetyCopy();
    std::error_code ec;
    if (!keepOwnCopy && (!FKeepSafetyCopy || FSession.Recorder().OwnsSafetyCopy()))
        std::filesystem::remove(SafetyCopyFile(FSession.Env()), ec);
    FSession.Recorder().PutBackEarlierCopy();
    FSession.Shutdown();
    KeepGeometry();
    e->accept();
}

void TfMainForm::RestoreGeometry() {
    const TWindowGeometry g = FSession.Env().MainWindowGeometry();
    // the first run: the default size, in the middle of the screen
    if (!g.Known()) return;
    const QMargins frame = FrameMargins(this);
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->availableGeometry();
    const QRect client(g.Left, g.Top, g.Width, g.Height);
    if (const std::optional<QRect> place = RestoredFrame(client.marginsAdded(frame), screens))
        setGeometry(place->marginsRemoved(frame));
    else
        resize(client.size()); // a place off every screen is dropped, the size kept
    if (g.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfMainForm::KeepGeometry() {
    const QRect r = normalGeometry();
    if (r.isEmpty()) return;
    FSession.Env().SetMainWindowGeometry(
        {r.x(), r.y(), r.width(), r.height(), isMaximized()});
}

QString TfMainForm::KeepUnsavedRecording() {
    // the target's name in the data folder, with the time when that is taken
    const std::string folder = FSession.Env().DataDirectory();
    QDir().mkpath(FromFileName(folder));
    QString name = QFileInfo(FOptions.SaveOnExit).fileName();
    if (name.isEmpty() || DroppedFileKind(name) != TDroppedKind::Protocol)
        name += QStringLiteral(".PRO.CSV");
    QString file = FromFileName(folder) + name;
    if (QFileInfo::exists(file))
        file = FromFileName(folder) + name.left(name.size() - 8) +
               QDateTime::currentDateTime().toString(QStringLiteral("-yyyy-MM-dd-hh-mm-ss")) +
               QStringLiteral(".PRO.CSV");
    if (QFileInfo::exists(file)) return {};
    return FSession.Recorder().SaveActiveProtocol(ToFileName(file), 0) ? file : QString();
}

TfMonitorForm* TfMainForm::Monitor() const {
    return FMonitor;
}

} // namespace vaskel
