#include "ui/main/MainForm.h"

#include "emulator/VirtualUsb.h"
#include "lists/DirectInput.h"
#include "platform/QtText.h"
#include "shell/SystemPlatform.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/editors/BaseEditForm.h"
#include "ui/protocol/MonitorForm.h"

#include <filesystem>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace vaskel {

namespace {

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename Parent> QMenu* NewMenu(Parent* parent, const char* german) {
    QMenu* m = parent->addMenu(QString());
    SetDe(m, german);
    return m;
}

QLabel* NewLabel(const char* german) {
    auto* l = new QLabel;
    SetDe(l, german);
    return l;
}

QGroupBox* NewGroup(const char* german) {
    auto* g = new QGroupBox;
    SetDe(g, german);
    return g;
}

} // namespace

TfMainForm::TfMainForm(TEnvironment& env, TIBISTelegramParser& parser, TOptions options)
    : FEnv(env), FParser(parser), FOptions(std::move(options)), FHandOver(this) {
    setWindowTitle(T("Vaskel"));
    setMinimumSize(800, 300);
    resize(1016, 746 + 90);
    setAcceptDrops(true);

    FMdi = new QMdiArea(this);
    setCentralWidget(FMdi);
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildStatusArea();
    FFixDelay->setEnabled(false);
    FFollowFixDelay();

    FComTimer = new QTimer(this);
    FComTimer->setInterval(1000);
    connect(FComTimer, &QTimer::timeout, this, [this] {
        FConnection->StateChange(TDeviceConnection::eTimer);
        Action("acWindowCloseAll")->setEnabled(!FMdi->subWindowList().isEmpty());
        UpdateSaveActions();
        RefreshProtocolWindows();
    });
    connect(FMdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        UpdateSaveActions();
        if (sub && !sub->isMinimized() && !sub->isMaximized()) {
            // a window out of sight comes back into the area
            QPoint p = sub->pos();
            if (p.x() > FMdi->viewport()->width()) p.setX(20);
            if (p.y() > FMdi->viewport()->height() - 20) p.setY(20);
            if (p != sub->pos()) sub->move(p);
        }
        if (sub)
            if (auto* w = dynamic_cast<TfBaseProtocolForm*>(sub->widget())) w->Activated();
    });
    FBlinkTimer = new QTimer(this);
    FBlinkTimer->start(440);
    connect(FBlinkTimer, &QTimer::timeout, this, [this] {
        for (auto& [name, led] : FLeds)
            led->BlinkTick();
    });

    TDeviceConnection::THooks hooks;
    hooks.CreateController = [this]() -> std::unique_ptr<TWBController> {
        if (!FOptions.CreateLink) return nullptr;
        try {
            return std::make_unique<TWBController>(
                FOptions.CreateLink(FHandOver), FHandOver,
                [this](const TControllerNotification& n) { FConnection->HandleNotification(n); });
        } catch (const std::exception&) {
            return nullptr;
        }
    };
    hooks.UpdateDisplay = [this](const TDeviceDisplay& d) { ApplyDisplay(d); };
    hooks.ComTimer = [this](bool run) {
        if (run)
            FComTimer->start();
        else
            FComTimer->stop();
    };
    hooks.Beep = [] { QApplication::beep(); };
    hooks.MonitorOpen = [this] { return !FMonitor.isNull(); };
    hooks.DeviceRestarted = [this] {
        // the master simulation starts afresh after a device restart
        if (FMonitor) FMonitor->Scheduler().Initialise();
    };
    hooks.Capture = [this](const TTelegramm& record, char source) {
        if (FMonitor) FMonitor->CopyTelegramm(record, source, FStatus.Master());
    };
    FConnection = std::make_unique<TDeviceConnection>(FEnv, FStatus, hooks);

    // The groups stay disabled until the device is online.
    for (auto& [name, g] : FGroups)
        g->setEnabled(false);
    ApplyDisplay(ComputeDeviceDisplay(FStatus, false));
    if (FOptions.StartDevice) {
        FConnection->StateChange(TDeviceConnection::eStart);
        FPanels[0]->setText(T("USB"));
    }
}

TfMainForm::~TfMainForm() {
    FConnection.reset();
}

QAction* TfMainForm::Add(const char* name, const char* caption, const char* hint,
                         const QKeySequence& shortcut, bool enabled) {
    auto* a = new QAction(this);
    a->setObjectName(QString::fromLatin1(name));
    SetDe(a, caption, hint);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    a->setEnabled(enabled);
    FActions[name] = a;
    return a;
}

QAction* TfMainForm::Action(const char* name) const {
    const auto it = FActions.find(name);
    return it == FActions.end() ? nullptr : it->second;
}

TLed* TfMainForm::Led(const char* name) const {
    const auto it = FLeds.find(name);
    return it == FLeds.end() ? nullptr : it->second;
}

QGroupBox* TfMainForm::Group(const char* name) const {
    const auto it = FGroups.find(name);
    return it == FGroups.end() ? nullptr : it->second;
}

QLabel* TfMainForm::StatusPanel(int index) const {
    return FPanels[index];
}
QLabel* TfMainForm::WarningLine(int index) const {
    return FWarnings[index];
}

void TfMainForm::BuildActions() {
    // Edit actions work on the focused field.
    Add("EditUndo1", "&Rückgängig", "Letzte Aktuion rückgängig machen", QKeySequence::Undo);
    Add("EditCopy1", "&Kopieren", "Markiertes Objekt in die Zwischenablage kopieren",
        QKeySequence::Copy);
    Add("EditCut1", "&Ausschneiden", "Markiertes Objekt in die Zwischenablage verschieben",
        QKeySequence::Cut);
    Add("EditPaste1", "&Einfügen", "Inhalt der Zwischenablage einfügen", QKeySequence::Paste);
    Add("EditSelectAll", "Alles &markieren", "Gesamtes Dokument markieren",
        QKeySequence::SelectAll);
    Add("EditDelete", "&Löschen", "Auswahl löschen", QKeySequence::Delete);
    // Actions of windows and dialogs that later versions bring stay
    // disabled until then.
    Add("acPrintProtokoll", "Drucken ...", nullptr, QKeySequence(QStringLiteral("Ctrl+P")), false);
    Add("acAufzeichnen", "Aufzeichnen (Monitor)", "Startet die Protokollierung der IBIS-Telegramme",
        {}, false);
    Add("acOeffnen", "&Protokoll öffnen ...", "Öffnet ein gespeichertes Protokoll",
        QKeySequence(QStringLiteral("Ctrl+O")), false);
    Add("acV1ImportProtocol", "V1.x Protokoll importieren ...",
        "Importiere eine mit Vaskel Version 1.x aufgezeichnete Protokolldatei", {}, false);
    Add("FileExit1", "&Beenden", "Programm beenden");
    Add("FilePrintSetup1", "&Druckereinstellungen...", "Druckereinstellungen", {}, false);
    Add("WindowClose1", "S&chließen", "Schließen");
    Add("WindowCascade1", "Ü&berlappend", "Überlappend");
    Add("WindowTileHorizontal1", "Hori&zontal anordnen", "Horizontal anordnen");
    Add("WindowTileVertical1", "&Vertikal anordnen", "Vertikal anordnen");
    Add("WindowMinimizeAll1", "&Alle verkleinern", "Alle verkleinern");
    Add("WindowArrange1", "An&ordnen");
    Add("acWindowCloseAll", "Alle schließen", "Schließt alle offenen Fenster", {}, false);
    Add("acAntwortNew", "Antwortliste neu", "Erstellt eine neue Antwortliste", {}, false);
    Add("acAntwortlisteOeffnen", "Ant&wortliste öffnen ...", "Öffnet eine bestehende Antwortliste",
        {}, false);
    Add("actCreateAntwortFromProtocol", "Antwortliste aus Protokoll erstellen ...", nullptr, {},
        false);
    Add("acV1ImportAnwortliste", "V1.x Antwortliste importieren ...",
        "Importiere eine mit Vaskel Version 1.x erstellte Antwortliste", {}, false);
    Add("acAufruflisteNew", "Aufrufliste neu", "Erstellt eine neue Aufrufliste", {}, false);
    Add("acAufruflisteOeffnen", "Aufrufliste öffnen ...", "Öffnet eine bestehende Aufrufliste", {},
        false);
    Add("acV1ImportAufrufliste", "V1.x Aufrufliste importieren ...",
        "Importiere eine mit Vaskel Version 1.x erstellte Aufrufliste", {}, false);
    Add("acDatensatz", "Datensätze ...", "Öffnet die Tabelle der bekannten IBIS-Datensätze", {},
        false);
    Add("acFilterWindow", "Filter definieren ...",
        "Mithilfe der Filter können Sie einstellen, welche Datensätze in einem Protokoll oder "
        "im Monitorfenster angezeigt werden.",
        {}, false);
    Add("actOpenAddressForm", "IBIS Adressumsetzung ...",
        "Mithilfe der Adressumsetzung können Sie die Adressen von Mastersimulationen "
        "automatisch umsetzen lassen.",
        {}, false);
    Add("acMasterOnOff", "Master ein", "Schaltet den Master-Modus ein und aus", {}, false)
        ->setCheckable(true);
    Add("acAufrufOnOff", "Mastersimulation ...",
        "Startet eine Aufrufliste zur Mastersimulation oder beendet eine laufende.", {}, false);
    Add("acAntwortOnOff", "Slavesimulation ...",
        "Startet eine Antwortliste zur Slavesimulation oder beendet eine laufende.", {}, false);
    Add("actResetOverloaded", "Überlastschutz zurücksetzen", nullptr, {}, false);
    Add("acSendFromProtocoll", "Aus Protokoll senden ...",
        "Benutzt ein aufgezeichnetes Protokoll als Mastersimulation.", {}, false);
    Add("acSearch", "Suchen ...", "Sucht innerhalb eines Protokolls einen Wert", QKeySequence::Find,
        false);
    Add("acEinstellungen", "Einstellungen ...", "Programmoptionen", {}, false);
    Add("acComPort", "Schnittstelle auswählen ...", "Serielle Schnittstelle auswählen", {}, false)
        ->setVisible(false);
    auto* windowsPattern = Add("acUseWindowsPattern", "Windows Farbschema benutzen");
    auto* zkPattern = Add("acUseZKPattern", "ZK Farbschema benutzen");
    windowsPattern->setCheckable(true);
    zkPattern->setCheckable(true);
    windowsPattern->setChecked(FEnv.UseWindowsColorSchema());
    zkPattern->setChecked(!FEnv.UseWindowsColorSchema());
    for (const char* v :
         {"actShowHideMainToolbar", "actShowHideProtocolToolbar", "actShowHideModeArea"}) {
        static const std::map<std::string, const char*> captions = {
            {"actShowHideMainToolbar", "Toolbar Hauptprogramm"},
            {"actShowHideProtocolToolbar", "Toolbar Protokollfenster"},
            {"actShowHideModeArea", "Modus- und Statusbereich"}};
        QAction* a = Add(v, captions.at(v));
        a->setCheckable(true);
        a->setChecked(true);
    }
    Add("actShowAll", "Alles einblenden", nullptr, QKeySequence(QStringLiteral("Ctrl+F10")));
    Add("actHideAll", "Alles ausblenden", nullptr, QKeySequence(QStringLiteral("Ctrl+F9")));
    Add("acHexConverter", "HEX zu IBIS-Hex Umrechner", nullptr, {}, false);
    Add("acShowHardwarerevision", "Geräteinformation ...", nullptr, {}, false);
    Add("acAbout", "Info über ...", "Info über ...");
    Add("acCreateDebuggerLog", "Fehlerprotokoll erzeugen ...", nullptr, {}, false);
    Add("actFirmwareUpdate", "Firmware Update ausführen ...",
        "Lädt eine neue Firmware auf das Gerät.", {}, false);
    Add("actSaveUSBThreadDebug", "USB Kommunikation speichern", nullptr, {}, false);
    Add("HelpContents1", "I&nhalt", nullptr, QKeySequence::HelpContents, false);
    Add("actAddressTranslationOn", "Adressumsetzung aktiviert",
        "Wird ein Protokoll abgespielt, werden alle Adressen gem. der Vorgaben umgesetzt", {},
        false);
    Add("actAddressTranslationOff", "Adressumsetzung deaktiviert",
        "Wird ein Protokoll abgespielt, werden Adressen genau wie aufgezeichnet wiedergegeben.", {},
        false);

    connect(Action("FileExit1"), &QAction::triggered, this, &QWidget::close);
    connect(Action("acAufzeichnen"), &QAction::triggered, this, [this] { OpenMonitor(); });
    connect(Action("acOeffnen"), &QAction::triggered, this, [this] { OpenProtocolAsked(); });
    connect(Action("acSendFromProtocoll"), &QAction::triggered, this,
            [this] { SendFromProtocol(); });
    Add("mmSpeichern", "&Speichern  (Strg + S)", nullptr, QKeySequence::Save, false);
    Add("mmSpeichernUnter", "Speichern &unter...", nullptr, {}, false);
    for (const char* name : {"mmSpeichern", "mmSpeichernUnter"})
        connect(Action(name), &QAction::triggered, this, [this] { SaveActive(); });
    connect(Action("acSearch"), &QAction::triggered, this, [this] {
        if (TfBaseProtocolForm* w = ActiveProtocolWindow()) w->FindAsked();
    });
    connect(Action("WindowClose1"), &QAction::triggered, FMdi, &QMdiArea::closeActiveSubWindow);
    connect(Action("WindowCascade1"), &QAction::triggered, FMdi, &QMdiArea::cascadeSubWindows);
    connect(Action("WindowTileHorizontal1"), &QAction::triggered, FMdi, &QMdiArea::tileSubWindows);
    connect(Action("WindowTileVertical1"), &QAction::triggered, FMdi, &QMdiArea::tileSubWindows);
    connect(Action("WindowArrange1"), &QAction::triggered, FMdi, &QMdiArea::tileSubWindows);
    connect(Action("WindowMinimizeAll1"), &QAction::triggered, this, [this] {
        for (QMdiSubWindow* w : FMdi->subWindowList())
            w->showMinimized();
    });
    connect(Action("acWindowCloseAll"), &QAction::triggered, this, [this] { CloseAll(); });
    connect(Action("acMasterOnOff"), &QAction::triggered, this, [this] { MasterOnOff(); });
    connect(Action("actResetOverloaded"), &QAction::triggered, this,
            [this] { ResetOverloadAsked(); });
    connect(Action("acShowHardwarerevision"), &QAction::triggered, this,
            [this] { ShowDeviceInfo(); });
    connect(Action("acAbout"), &QAction::triggered, this, [this] {
        QMessageBox::about(this, Tr("Info über ..."),
                           T("<b>Vaskel</b> v0.1.0<br>") +
                               Tr("IBIS-Wagenbus Monitor und Simulator"));
    });
    for (const char* v :
         {"actShowHideMainToolbar", "actShowHideProtocolToolbar", "actShowHideModeArea"}) {
        QAction* a = Action(v);
        connect(a, &QAction::triggered, this, [this, a] {
            // the check mark has flipped already
            if (a == Action("actShowHideMainToolbar")) FToolBar->setVisible(a->isChecked());
            if (a == Action("actShowHideModeArea")) FModeArea->setVisible(a->isChecked());
            for (QMdiSubWindow* w : FMdi->subWindowList())
                ApplyWindowToolBar(w->widget());
        });
    }
    connect(Action("actShowAll"), &QAction::triggered, this, [this] {
        for (const char* v :
             {"actShowHideMainToolbar", "actShowHideProtocolToolbar", "actShowHideModeArea"})
            if (!Action(v)->isChecked()) Action(v)->trigger();
    });
    connect(Action("actHideAll"), &QAction::triggered, this, [this] {
        for (const char* v :
             {"actShowHideMainToolbar", "actShowHideProtocolToolbar", "actShowHideModeArea"})
            if (Action(v)->isChecked()) Action(v)->trigger();
    });
    G_ZK_Pattern().UseWindowsDefaults = FEnv.UseWindowsColorSchema();
    auto scheme = [this, windowsPattern, zkPattern](bool windows) {
        FEnv.SetUseWindowsColorSchema(windows);
        G_ZK_Pattern().UseWindowsDefaults = windows;
        windowsPattern->setChecked(windows);
        zkPattern->setChecked(!windows);
        // every control takes its style again in the new scheme
        for (QWidget* w : findChildren<QWidget*>()) {
            const QVariant style = w->property("zkPattern");
            if (style.isValid())
                G_ZK_Pattern().Apply(w, static_cast<TZK_PatternStyle>(style.toInt()));
        }
        update();
        for (QMdiSubWindow* c : FMdi->subWindowList())
            c->update();
    };
    connect(windowsPattern, &QAction::triggered, this, [scheme] { scheme(true); });
    connect(zkPattern, &QAction::triggered, this, [scheme] { scheme(false); });
}

namespace {

// A consistent icon set: the desktop's theme icons, Qt's own as fallback.
QIcon IconFor(const std::string& action, QStyle* style) {
    static const std::map<std::string, std::pair<const char*, QStyle::StandardPixmap>> icons = {
        {"acOeffnen", {"document-open", QStyle::SP_DialogOpenButton}},
        {"acAufzeichnen", {"media-record", QStyle::SP_MediaPlay}},
        {"acMasterOnOff", {"network-transmit", QStyle::SP_ArrowUp}},
        {"acAufrufOnOff", {"media-playlist-repeat", QStyle::SP_BrowserReload}},
        {"acAntwortOnOff", {"mail-reply-sender", QStyle::SP_ArrowDown}},
        {"acAufruflisteOeffnen", {"document-open", QStyle::SP_DirOpenIcon}},
        {"acAufruflisteNew", {"document-new", QStyle::SP_FileIcon}},
        {"acAntwortlisteOeffnen", {"document-open", QStyle::SP_DirOpenIcon}},
        {"acAntwortNew", {"document-new", QStyle::SP_FileIcon}},
        {"acDatensatz", {"x-office-spreadsheet", QStyle::SP_FileDialogDetailedView}},
        {"acFilterWindow", {"view-filter", QStyle::SP_FileDialogContentsView}},
        {"actOpenAddressForm", {"preferences-system-network", QStyle::SP_DriveNetIcon}},
        {"acEinstellungen", {"preferences-system", QStyle::SP_ComputerIcon}},
        {"FileExit1", {"application-exit", QStyle::SP_DialogCloseButton}},
        {"acAbout", {"help-about", QStyle::SP_MessageBoxInformation}},
        {"acShowHardwarerevision", {"dialog-information", QStyle::SP_MessageBoxInformation}},
        {"actResetOverloaded", {"dialog-warning", QStyle::SP_MessageBoxWarning}},
        {"acSearch", {"edit-find", QStyle::SP_FileDialogContentsView}},
        {"acPrintProtokoll", {"document-print", QStyle::SP_FileIcon}},
    };
    const auto it = icons.find(action);
    if (it == icons.end()) return {};
    return QIcon::fromTheme(QString::fromLatin1(it->second.first),
                            style->standardIcon(it->second.second));
}

} // namespace

void TfMainForm::BuildMenus() {
    for (auto& [name, a] : FActions) {
        const QIcon icon = IconFor(name, style());
        if (!icon.isNull()) a->setIcon(icon);
    }
    auto add = [this](QMenu* m, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (std::string(n) == "-")
                m->addSeparator();
            else
                m->addAction(Action(n));
        }
    };
    add(NewMenu(menuBar(), "&Datei"),
        {"acAufzeichnen", "-", "acOeffnen", "acSendFromProtocoll", "acV1ImportProtocol", "-",
         "mmSpeichern", "mmSpeichernUnter", "-", "actFirmwareUpdate", "FilePrintSetup1", "-",
         "FileExit1"});
    add(NewMenu(menuBar(), "&Bearbeiten"),
        {"EditUndo1", "EditCopy1", "EditCut1", "EditPaste1", "EditSelectAll", "acSearch"});
    QMenu* view = NewMenu(menuBar(), "Ansicht");
    add(NewMenu(view, "Ein- und Ausblenden"),
        {"actShowAll", "actHideAll", "-", "actShowHideMainToolbar", "actShowHideModeArea"});
    add(NewMenu(menuBar(), "Simulation"),
        {"acMasterOnOff", "acAufrufOnOff", "acAntwortOnOff", "actResetOverloaded"});
    add(NewMenu(menuBar(), "&Konfiguration"),
        {"acAntwortNew", "acAntwortlisteOeffnen", "actCreateAntwortFromProtocol",
         "acV1ImportAnwortliste", "-", "acAufruflisteNew", "acAufruflisteOeffnen",
         "acV1ImportAufrufliste", "-", "acFilterWindow", "actOpenAddressForm", "acDatensatz"});
    QMenu* options = NewMenu(menuBar(), "&Optionen");
    add(options, {"acEinstellungen", "acComPort"});
    QMenu* language = NewMenu(options, "Sprache");
    auto* languages = new QActionGroup(language);
    for (const auto& [number, name] : {std::pair{1, "Deutsch"}, std::pair{2, "English"}}) {
        QAction* a = language->addAction(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(FEnv.Language() == number);
        languages->addAction(a);
        connect(a, &QAction::triggered, this, [this, n = number] {
            FEnv.SetLanguage(n);
            SetUiLanguage(n);
            Retranslate(this);
            ApplyDisplay(ComputeDeviceDisplay(FStatus, false));
            if (FShowBusType) FShowBusType();
        });
    }
    QMenu* windows = NewMenu(menuBar(), "Fens&ter");
    add(windows, {"WindowCascade1", "WindowArrange1", "WindowMinimizeAll1", "WindowTileHorizontal1",
                  "WindowTileVertical1", "WindowClose1", "acWindowCloseAll"});
    add(NewMenu(menuBar(), "&Hilfe"),
        {"HelpContents1", "-", "acHexConverter", "-", "acShowHardwarerevision", "acAbout", "-",
         "acCreateDebuggerLog"});
    QMenu* diag = NewMenu(menuBar(), "Diagnose");
    add(diag, {"acUseWindowsPattern", "acUseZKPattern", "actSaveUSBThreadDebug"});
    if (FOptions.Virtual) BuildVirtualDeviceMenu(diag);
}

void TfMainForm::BuildVirtualDeviceMenu(QMenu* diag) {
    QMenu* m = NewMenu(diag, "Virtuelles Gerät");
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
    QMenu* rates = NewMenu(m, "Fehlerrate");
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

void TfMainForm::BuildToolBar() {
    FToolBar = addToolBar(T("Hauptprogramm"));
    FToolBar->setObjectName(T("ToolBar"));
    FToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    FToolBar->setIconSize(QSize(20, 20));
    for (const char* n : {"acOeffnen", "-", "acAufzeichnen", "-", "acMasterOnOff", "acAufrufOnOff",
                          "acAntwortOnOff", "-", "acAufruflisteOeffnen", "acAufruflisteNew",
                          "acAntwortlisteOeffnen", "acAntwortNew", "acDatensatz", "acFilterWindow",
                          "-", "actOpenAddressForm", "-", "acEinstellungen"}) {
        if (std::string(n) == "-")
            FToolBar->addSeparator();
        else
            FToolBar->addAction(Action(n));
    }
}

void TfMainForm::BuildStatusArea() {
    FModeArea = new QWidget(this);
    FModeArea->setObjectName(T("pnStatus"));
    FModeArea->setFixedHeight(143);
    auto* row = new QHBoxLayout(FModeArea);
    row->setContentsMargins(4, 2, 4, 2);

    auto* master = NewGroup("Master Modus");
    FGroups["Master"] = master;
    master->setFixedWidth(430);
    auto* ml = new QVBoxLayout(master);
    FActiveProtocol = NewLabel("Aktives Protokoll: -");
    FActiveProtocol->setObjectName(T("lblActiveProtocol"));
    FActiveProtocol->installEventFilter(this);
    ml->addWidget(FActiveProtocol);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(NewLabel("Aktive Aufrufliste: -"), 1);
    ml->addLayout(listRow);
    auto* factorRow = new QHBoxLayout;
    FFixDelay = new QCheckBox;
    FFixDelay->setObjectName(T("cbFixDelay"));
    factorRow->addWidget(FFixDelay);
    auto* factorLabel = NewLabel("Sendeabstand der Telegramme um Faktor");
    factorLabel->setWordWrap(false);
    factorLabel->setStyleSheet(T("font-size: 8pt"));
    // a narrow window clips the label rather than the field
    factorLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    factorRow->addWidget(factorLabel, 1);
    FFactor = new QSpinBox;
    FFactor->setObjectName(T("edFixdelay"));
    FFactor->setRange(-5, 10);
    FFactor->setValue(FEnv.ProtocolSendDelay());
    FFixDelay->setChecked(FEnv.ProtocolSendDelay() != 1);
    connect(FFactor, &QSpinBox::valueChanged, this, [this](int v) {
        if (!FFixDelay->isChecked()) return;
        FEnv.SetProtocolSendDelay(v);
        // 0 is no factor: the setting keeps 1
        FFactor->setValue(FEnv.ProtocolSendDelay());
    });
    factorRow->addWidget(FFactor);
    auto* secondsLabel = NewLabel("vergrößern.");
    factorRow->addWidget(secondsLabel);
    const auto followCheck = [this, factorLabel, secondsLabel] {
        const bool on = FFixDelay->isChecked() && FFixDelay->isEnabled();
        for (QWidget* w : {static_cast<QWidget*>(factorLabel), static_cast<QWidget*>(FFactor),
                           static_cast<QWidget*>(secondsLabel)})
            w->setEnabled(on);
    };
    connect(FFixDelay, &QCheckBox::toggled, this, [this, followCheck](bool on) {
        FEnv.SetProtocolSendDelay(on ? FFactor->value() : 1);
        followCheck();
    });
    FFollowFixDelay = followCheck;
    followCheck();
    ml->addLayout(factorRow);
    auto* directRow = new QHBoxLayout;
    FDirectInput = new QComboBox;
    FDirectInput->setEditable(true);
    FDirectInput->setObjectName(T("edDirekteingabe"));
    FDirectInput->setInsertPolicy(QComboBox::NoInsert);
    FDirectInput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const std::string& h : HistoryFromSetting(FEnv.Aufrufe()))
        FDirectInput->addItem(FromCp1252(h));
    FDirectInput->setCurrentText(QString());
    FDirectSend = new QPushButton;
    SetDe(FDirectSend, "Senden");
    FDirectSend->setObjectName(T("btSendDirect"));
    FDirectSend->setToolTip(Tr("Telegramm der Direkteingabe versenden."));
    FDirectDS = new QLabel;
    FDirectDS->setObjectName(T("lblDirekteingabeDS"));
    FDirectDS->setMinimumWidth(44);
    FDirectCheck = new QLabel;
    FDirectCheck->setObjectName(T("lblDirekteingabeAnalyse"));
    FDirectCheck->setMinimumWidth(70);
    FDirectCheck->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FDirectInput->setMinimumWidth(120);
    directRow->addWidget(FDirectInput, 1);
    directRow->addWidget(FDirectSend);
    // the live check's verdict beside the call-list line
    listRow->addWidget(FDirectDS);
    listRow->addWidget(FDirectCheck);
    FDetailInput = new QPushButton;
    FDetailInput->setObjectName(T("btnDS21_3a"));
    SetDe(FDetailInput, "Detaileingabe ...");
    // the record composer comes with a later version
    FDetailInput->setEnabled(false);
    directRow->addWidget(FDetailInput);
    // the IBIS-hex digits 10 to 15 from the context menu
    FDirectInput->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FDirectInput->lineEdit(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) {
                QMenu menu;
                for (const QString& entry : IbisHexMenuEntries())
                    menu.addAction(entry);
                if (QAction* a = menu.exec(FDirectInput->lineEdit()->mapToGlobal(at)))
                    InsertIbisHexDigit(a->text().at(1));
            });
    // a double click offers the examples of the master record types
    FDirectInput->lineEdit()->installEventFilter(this);
    FDirectInput->installEventFilter(this);
    connect(FDirectSend, &QPushButton::clicked, this, [this] { DirectSend(); });
    connect(FDirectInput->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        DirectSend();
        FDirectInput->setFocus();
    });
    connect(FDirectInput, &QComboBox::editTextChanged, this, [this] { DirectLiveCheck(); });
    ml->addLayout(directRow);
    row->addWidget(master);

    FSwitchButton = new QPushButton(T("⇄"));
    FSwitchButton->setObjectName(T("btSwitchMasterSlave"));
    FSwitchButton->setFixedWidth(23);
    FSwitchButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    FSwitchButton->setToolTip(Tr("Schaltet den Master-Modus ein und aus"));
    connect(FSwitchButton, &QPushButton::clicked, this, [this] { MasterOnOff(); });
    row->addWidget(FSwitchButton);

    auto* slave = NewGroup("Slave Modus");
    FGroups["Slave"] = slave;
    auto* sl = new QVBoxLayout(slave);
    sl->addWidget(NewLabel("Aktive Antwortliste: -"));
    FWarningPanel = new QWidget;
    auto* wl = new QVBoxLayout(FWarningPanel);
    wl->setContentsMargins(0, 0, 0, 0);
    for (auto*& w : FWarnings) {
        w = new QLabel;
        wl->addWidget(w);
    }
    sl->addWidget(FWarningPanel);
    FMasterDetected = new QLabel;
    sl->addWidget(FMasterDetected);
    sl->addStretch();
    row->addWidget(slave, 1);

    auto* dev = NewGroup("Gerätestatus");
    FGroups["Device"] = dev;
    dev->setFixedWidth(140);
    auto* dl = new QVBoxLayout(dev);
    dl->setSpacing(1);
    dl->setContentsMargins(6, 4, 6, 4);
    const std::pair<const char*, QColor> leds[] = {{"Master", QColor(0, 200, 0)},
                                                   {"Overload", QColor(230, 0, 0)},
                                                   {"WBED", QColor(240, 200, 0)},
                                                   {"WBSD", QColor(240, 200, 0)},
                                                   {"Ein", QColor(0, 200, 0)}};
    for (const auto& [name, color] : leds) {
        auto* r = new QHBoxLayout;
        auto* led = new TLed(color);
        FLeds[name] = led;
        r->addWidget(led);
        r->addWidget(new QLabel(T(name)));
        r->addStretch();
        dl->addLayout(r);
    }
    // a click on the red lamp resets the overload protection (after asking)
    FLeds["Overload"]->OnClick = [this] { ResetOverloadAsked(); };
    FBusTypeButton = new QToolButton;
    FBusTypeButton->setObjectName(T("btBusType"));
    FShowBusType = [this] {
        const bool train = FEnv.BusType() == TBusType::bsTrainBus;
        FBusTypeButton->setText(train ? Tr("Zugbus") : Tr("Wagenbus"));
        G_ZK_Pattern().Apply(FBusTypeButton,
                             train ? TZK_PatternStyle::psError : TZK_PatternStyle::psOk);
        FBusTypeButton->setToolTip(
            train ? Tr("Die Telegramme werden als Zugbus-Telegramme ausgewertet.")
                  : Tr("Die Telegramme werden als Wagenbus-Telegramme ausgewertet."));
    };
    FShowBusType();
    connect(FBusTypeButton, &QToolButton::clicked, this, [this] {
        const bool train = FEnv.BusType() == TBusType::bsTrainBus;
        const QString q =
            train ? Tr("Soll die Telegrammauswertung auf den Wagenbus umgestellt werden?")
                  : Tr("Soll die Telegrammauswertung auf den Zugbus umgestellt werden?");
        if (QMessageBox::question(this, Tr("Bustyp"), q) != QMessageBox::Yes) return;
        FEnv.SetBusType(train ? TBusType::bsVehicleBus : TBusType::bsTrainBus);
        FShowBusType();
    });
    dl->addWidget(FBusTypeButton);
    row->addWidget(dev);

    // the mode area sits above the status bar
    auto* bottom = new QToolBar(T("Modus- und Statusbereich"), this);
    bottom->setMovable(false);
    bottom->addWidget(FModeArea);
    addToolBar(Qt::BottomToolBarArea, bottom);
    connect(Action("actShowHideModeArea"), &QAction::toggled, bottom, &QWidget::setVisible);

    FPanels[0] = NewLabel("COM???");
    FPanels[0]->setMinimumWidth(80);
    FPanels[1] = NewLabel("Firmware Version: unbekannt");
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
    using namespace DeviceTexts;
    if (FStatus.Master() != FLastMaster) {
        // the master simulation listens to the captures while the device is
        // bus master
        FLastMaster = FStatus.Master();
        if (FMonitor) FMonitor->Scheduler().Initialise();
    }
    Action("acShowHardwarerevision")->setEnabled(d.DeviceInfoEnabled);
    Action("acAufzeichnen")->setEnabled(d.MonitorEnabled);
    Action("acSendFromProtocoll")->setEnabled(d.SendFromProtocolEnabled);
    QAction* m = Action("acMasterOnOff");
    m->setEnabled(d.MasterSwitchEnabled);
    m->setText(Tr(FromCp1252(d.MasterCaption)));
    m->setChecked(d.MasterChecked);
    FSwitchButton->setEnabled(d.MasterSwitchEnabled);
    G_ZK_Pattern().Apply(FSwitchButton, d.MasterSwitchEnabled ? TZK_PatternStyle::psInformation
                                                              : TZK_PatternStyle::psDisabled);
    G_ZK_Pattern().Apply(FWarningPanel, TZK_PatternStyle::psError);
    Action("actResetOverloaded")->setEnabled(d.ResetOverloadEnabled);
    FDirectSend->setEnabled(d.DirectSendEnabled);
    FPanels[1]->setText(FromCp1252(d.FirmwarePanel));
    for (auto& [name, g] : FGroups)
        g->setEnabled(d.GroupsEnabled);
    FLeds["Master"]->SetOn(d.LedMaster);
    FLeds["Overload"]->SetOn(d.LedOverload);
    FLeds["WBED"]->SetOn(d.LedWBED);
    FLeds["WBSD"]->SetOn(d.LedWBSD);
    FLeds["Ein"]->SetOn(d.LedEin);
    FLeds["Ein"]->SetBlinking(d.EinBlinking);
    FGroups["Master"]->setVisible(true);
    FWarningPanel->setVisible(d.WarningPanelVisible);
    FWarnings[0]->setText(TrLines(kNoWBSD));
    FWarnings[0]->setVisible(d.NoSendLineVoltage);
    FWarnings[1]->setText(TrLines(kNoWBED));
    FWarnings[1]->setVisible(d.NoAnswerLineVoltage);
    FWarnings[2]->setText(TrLines(kNoPower));
    FWarnings[2]->setVisible(d.NoExternalPower);
    FWarnings[3]->setText(TrLines(d.WarningSecondLine));
    FMasterDetected->setText(TrLines(kMasterDetected1) + T("\n") + TrLines(kMasterDetected2));
    FMasterDetected->setVisible(d.MasterDetected);
    if (d.OverloadBalloon && !FOverloadWarned) {
        // the warning points at the overload lamp
        QToolTip::showText(FLeds["Overload"]->mapToGlobal(QPoint(7, 7)),
                           T("<b>") + Tr(kOverloadTitle) + T("</b><br>") +
                               TrLines(kOverloadText).replace(T("\n"), T("<br>")),
                           FLeds["Overload"], {}, 15000);
        FOverloadWarned = true;
    }
    if (!d.LedOverload) FOverloadWarned = false;
}

TfMonitorForm* TfMainForm::OpenMonitor() {
    if (FMonitor) {
        FMdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(FMonitor->parentWidget()));
        return FMonitor;
    }
    TMonitorLinks links;
    links.DeviceIsMaster = [this] { return FStatus.Master(); };
    links.LinkRunning = [this] {
        return FConnection && FConnection->Controller() && FStatus.DeviceOnline();
    };
    links.Send = [this](const std::string& bytes) { return FConnection->Send(bytes); };
    auto* monitor = new TfMonitorForm(FEnv, FParser, nullptr, links);
    AddWindow(monitor);
    QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(monitor->parentWidget());
    FMonitor = monitor;
    connect(sub, &QObject::destroyed, this, [this] {
        if (!FConnection) return; // the main window goes
        // the device stops answering from the monitor's response list
        if (TWBController* c = FConnection->Controller()) c->CopyResponseList(TAntwortListe{});
        const std::string last = FEnv.LastLoadedResponseList();
        if (!FEnv.ReloadResponseList() || last.empty() || !std::filesystem::exists(last))
            FEnv.SetLastLoadedResponseList("");
        // "Aufzeichnen" is enabled again; a playback without monitor ends
        FConnection->UpdateDeviceStatusDisplay();
        RefreshProtocolWindows();
    });
    FConnection->UpdateDeviceStatusDisplay();
    return monitor;
}

void TfMainForm::MasterOnOff() {
    if (!FConnection->Controller()) return;
    if (!FEnv.HintGiven(THint::MasterSlaveHintGiven)) {
        FEnv.SetHintGiven(THint::MasterSlaveHintGiven);
        QToolTip::showText(
            FSwitchButton->mapToGlobal(QPoint(10, 10)),
            T("<b>") + Tr("Hinweis") + T("</b><br>") +
                Tr("Der Modus wechselt, sobald das Gerät ihn im nächsten Statusbyte meldet."),
            FSwitchButton, {}, 7000);
    }
    // The device status follows with the next status byte.
    FConnection->Controller()->SetMode(FStatus.Master() ? 0 : 1);
    FConnection->Send(Cmd::StatusRequest());
}

void TfMainForm::ResetOverloadAsked() {
    if (!FStatus.Overloaded() || !FConnection->Controller()) return;
    if (QMessageBox::question(this, T("Vaskel"), TrLines(DeviceTexts::kResetOverloadQuestion)) ==
        QMessageBox::Yes)
        FConnection->ResetOverload();
}

void TfMainForm::ShowDeviceInfo() {
    QMessageBox::information(this, Tr("Geräteinformation"),
                             T("Korvane\n") + Tr("IBIS Wagenbus Testgerät") + T(" \"Vaskel\"\n") +
                                 Tr("Geräterevision:") + T(" \"") +
                                 FromCp1252(FStatus.HardwareRevision()) + T("\""));
}

void TfMainForm::CloseAll() {
    while (!FMdi->subWindowList().isEmpty()) {
        FMdi->subWindowList().first()->close();
        QApplication::processEvents();
    }
}

TDroppedKind TfMainForm::DropFiles(const QStringList& files) {
    if (files.isEmpty()) return TDroppedKind::None;
    const TDroppedKind kind = DroppedFileKind(files.first());
    if (kind == TDroppedKind::Protocol)
        OpenProtocol(files.first());
    else if (kind != TDroppedKind::None && FOptions.OpenFile)
        FOptions.OpenFile(kind, files.first());
    return kind;
}

TfProtocolForm* TfMainForm::OpenProtocol(const QString& file) {
    TfProtocolForm* form = nullptr;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        form = new TfProtocolForm(FEnv, FParser, file);
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        QMessageBox::critical(this, Tr("Protokoll"), ProtocolLoadErrorText(FromCp1252(e.what())));
        return nullptr;
    }
    AddWindow(form);
    return form;
}

void TfMainForm::OpenProtocolAsked() {
    const QString dir = QFile::decodeName(QByteArray::fromStdString(FEnv.ProtokollDirectory()));
    const QString file = QFileDialog::getOpenFileName(this, Tr("Protokolldatei öffnen"), dir,
                                                      Tr("Protokolldatei (*.PRO.CSV)") +
                                                          QStringLiteral(" (*.PRO.CSV *.pro.csv)"));
    if (file.isEmpty()) return;
    FEnv.SetProtokollDirectory(ExtractFilePath(QFile::encodeName(file).toStdString()));
    OpenProtocol(file);
}

TfProtocolForm* TfMainForm::OfferSafetyCopy() {
    const QString file = QFile::decodeName(QByteArray::fromStdString(SafetyCopyFile(FEnv)));
    if (!QFile::exists(file)) return nullptr;
    QMessageBox::warning(
        this, T("Vaskel"),
        Tr("Es wurde ein Protokoll gefunden, das von der automatischen Sicherung angelegt "
           "worden ist. Diese Protokolle sollten eigentlich automatisch beim Beenden des "
           "Programms gelöscht werden. Dass dieses Protokoll nicth gelöscht wurde, deutet auf "
           "abnormales Beenden des Programms hin.") +
            T("\n") + Tr("Das Sicherungsprotokoll wird nun geladen."));
    TfProtocolForm* form = OpenProtocol(file);
    // the copy is deleted when the program ends: until saved, the window asks
    if (form) form->SetUnsaved();
    return form;
}

QList<TfBaseProtocolForm*> TfMainForm::ProtocolWindows() const {
    QList<TfBaseProtocolForm*> list;
    for (QMdiSubWindow* sub : FMdi->subWindowList())
        if (auto* w = dynamic_cast<TfBaseProtocolForm*>(sub->widget())) list << w;
    return list;
}

void TfMainForm::ApplyWindowToolBar(QWidget* window) {
    if (!window) return;
    const bool shown = Action("actShowHideProtocolToolbar")->isChecked();
    for (const char* name : {"ProtocolToolBar", "EditToolBar"})
        if (auto* bar = window->findChild<QWidget*>(QLatin1String(name))) bar->setVisible(shown);
}

void TfMainForm::AddWindow(QWidget* window) {
    if (auto* p = dynamic_cast<TfBaseProtocolForm*>(window))
        p->LinkOpen = [this] { return FConnection && FConnection->Controller() != nullptr; };
    if (auto* p = dynamic_cast<TfProtocolForm*>(window)) {
        TProtocolSendLinks& l = p->Links;
        l.SimulationBusy = [this] {
            return FConnection->Controller() && FConnection->Controller()->SimulationBusy();
        };
        l.MonitorExists = [this] { return !FMonitor.isNull(); };
        l.RequestSingleCall = [this](const std::string& text) {
            if (FMonitor) FMonitor->Scheduler().RequestSingleCall(text);
        };
        l.DeviceIsMaster = [this] { return FStatus.Master(); };
        l.DeviceOnline = [this] { return FStatus.DeviceOnline(); };
        l.MasterPossible = [this] { return FStatus.MasterPossible(); };
        l.SwitchToMaster = [this] {
            if (!FStatus.Master()) MasterOnOff();
        };
        l.OpenMonitor = [this] {
            OpenMonitor();
            FMdi->tileSubWindows();
        };
        l.OtherSending = [this](const QWidget* self) {
            for (TfBaseProtocolForm* w : ProtocolWindows())
                if (auto* o = dynamic_cast<TfProtocolForm*>(w); o && o != self && o->Sending())
                    return true;
            return false;
        };
        l.StopAllSending = [this] {
            for (TfBaseProtocolForm* w : ProtocolWindows())
                if (auto* o = dynamic_cast<TfProtocolForm*>(w); o && o->Sending()) o->StopSending();
        };
        l.ShowActiveProtocol = [this](const QString& file) {
            FActiveProtocol->setText(Tr("Aktives Protokoll: ") +
                                     (file.isEmpty() ? T("-") : QFileInfo(file).fileName()));
            FActiveProtocol->setToolTip(QDir::toNativeSeparators(file));
        };
        l.SendDelayTip = [this] {
            if (QToolTip::isVisible() || FEnv.HintGiven(THint::SendDelayHintGiven) ||
                !isActiveWindow())
                return;
            FEnv.SetHintGiven(THint::SendDelayHintGiven);
            QToolTip::showText(FFixDelay->mapToGlobal(FFixDelay->rect().center()),
                               T("<b>") + Tr("Tipp") + T("</b><br>") +
                                   Tr("Sie können mit dieser Option die Ablaufgeschwindigkeit "
                                      "eines") +
                                   T("<br>") + Tr("aufgezeichneten Protokolls verändern."),
                               FFixDelay, {}, 8000);
        };
        p->RefreshSendState();
    }
    RefreshProtocolWindows();
    QMdiSubWindow* sub = FMdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->windowTitle());
    connect(window, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    sub->resize(FMdi->width() - 10, std::max(300, FMdi->height() - 10));
    ApplyWindowToolBar(window);
    sub->show();
    FMdi->setActiveSubWindow(sub);
}

void TfMainForm::SendFromProtocol() {
    // the device's answer to the mode switch is looked for more often meanwhile
    const bool polling = FComTimer->isActive();
    FComTimer->setInterval(50);
    if (!FStatus.Master()) MasterOnOff();
    OpenProtocolAsked();
    if (auto* p = dynamic_cast<TfProtocolForm*>(ActiveProtocolWindow())) {
        if (!FMonitor) {
            OpenMonitor();
            FMdi->tileSubWindows();
        }
        if (!p->Sending()) p->StartSending();
    }
    FComTimer->setInterval(1000);
    if (!polling) FComTimer->stop();
}

void TfMainForm::RefreshProtocolWindows() {
    bool opened = false;
    for (TfBaseProtocolForm* w : ProtocolWindows())
        if (auto* p = dynamic_cast<TfProtocolForm*>(w)) {
            p->RefreshSendState();
            opened = true;
        }
    // the factor matters only with a protocol to send
    FFixDelay->setEnabled(FStatus.Master() && opened);
    if (FFollowFixDelay) FFollowFixDelay();
}

void TfMainForm::UpdateSaveActions() {
    Action("acSearch")->setEnabled(ActiveProtocolWindow() != nullptr);
    QMdiSubWindow* sub = FMdi->activeSubWindow();
    QWidget* w = sub ? sub->widget() : nullptr;
    bool save = false, saveAs = false;
    if (auto* m = dynamic_cast<TfMonitorForm*>(w)) {
        save = saveAs = m->Recorder().RowCounter() > 0;
    } else if (dynamic_cast<TfProtocolForm*>(w)) {
        saveAs = true;
    } else if (auto* e = dynamic_cast<TfBaseEditForm*>(w)) {
        save = e->SaveButton()->isEnabled();
        saveAs = e->Rows().IsComplete(std::min(e->CurrentRow(), e->Model().rowCount() - 1));
    }
    Action("mmSpeichern")->setEnabled(save);
    Action("mmSpeichernUnter")->setEnabled(saveAs);
}

void TfMainForm::SaveActive() {
    QMdiSubWindow* sub = FMdi->activeSubWindow();
    QWidget* w = sub ? sub->widget() : nullptr;
    if (auto* m = dynamic_cast<TfMonitorForm*>(w))
        m->SaveAs();
    else if (auto* p = dynamic_cast<TfProtocolForm*>(w))
        p->SaveAs();
    else if (auto* e = dynamic_cast<TfBaseEditForm*>(w))
        e->SaveButton()->click();
}

void TfMainForm::DirectLiveCheck() {
    if (!FDirectInput->isEnabled()) return;
    const std::string typed = ToCp1252(FDirectInput->currentText());
    std::string bytes;
    try {
        bytes = DisplayToTelegram(typed);
    } catch (const EConversionError&) {
        bytes = typed;
    }
    const TLiveCheck c = LiveCheck(typed, FParser.Classify(bytes, true, FEnv.BusType()));
    FDirectDS->setText(FromCp1252(c.RecordCaption));
    const QString record = FromCp1252(c.RecordNo), pattern = FromCp1252(c.Pattern);
    const QString typeHint =
        Tr("Datensatz %1 ist ein Slavetelegramm und sollte nicht von einem Master versendet "
           "werden.")
            .arg(record);
    const QString syntaxHint =
        Tr("Das eingegebene Telegramm entspricht nicht dem Aufbau [%1] eines Datensatzes %2.")
            .arg(pattern, record);
    QString caption, hint = FDirectCheck->toolTip(), colour;
    switch (c.Verdict) {
    case TLiveCheck::Fine:
        caption = Tr("Fehlerfrei");
        hint = Tr("Das eingegebene Telegramm ist syntaktisch korrekt.");
        colour = T("#007000");
        break;
    case TLiveCheck::TypeError:
        caption = Tr("Typfehler");
        hint = typeHint;
        colour = T("#A06000");
        break;
    case TLiveCheck::SyntaxError:
        caption = Tr("Syntaxfehler");
        hint = syntaxHint;
        colour = T("#C00000");
        break;
    case TLiveCheck::SyntaxAndTypeError:
        caption = Tr("Syntax- und Typfehler");
        hint = T("1) ") + syntaxHint + T("\n2) ") + typeHint;
        colour = T("#C00000");
        break;
    case TLiveCheck::Unknown:
        caption = Tr("Unbekannter Datensatz");
        hint = Tr("Es ist kein Telegrammmuster bekannt, mit dem die Eingabe übereinstimmen würde.");
        colour = T("#C00000");
        break;
    case TLiveCheck::Empty:
        break;
    }
    FDirectCheck->setText(caption);
    FDirectCheck->setToolTip(hint);
    if (c.DetailCaption.empty())
        SetDe(FDetailInput, "Detaileingabe ...");
    else
        FDetailInput->setText(FromCp1252(c.DetailCaption));
    // one warning per record type that has its own composer
    const std::pair<const char*, THint> warned[] = {{"003a", THint::DS003aHintGiven},
                                                    {"003c", THint::DS003cHintGiven},
                                                    {"021", THint::DS021HintGiven}};
    for (const auto& [no, flag] : warned)
        if (c.RecordNo == no && typed.size() > 2 && !FEnv.HintGiven(flag)) {
            FEnv.SetHintGiven(flag);
            FLastDirectWarning =
                Tr("Sie sollten die Datensätze 003a, 003c, 004c, 021 und 021a nicht direkt "
                   "editieren.") +
                T("<br>") +
                Tr("Diese Datensätze benötigen ein spezielles Format, um gültig zu sein.") +
                T("<br>") + Tr("Nutzen Sie dazu den Datensatz-Editor des Programms.");
            QToolTip::showText(FDetailInput->mapToGlobal(FDetailInput->rect().center()),
                               T("<b>") + Tr("Warnung") + T("</b><br>") + FLastDirectWarning,
                               FDetailInput, {}, -1);
        }
    FDirectCheck->setStyleSheet(colour.isEmpty() ? QString() : T("color: ") + colour);
}

QStringList TfMainForm::IbisHexMenuEntries() {
    QStringList entries;
    const char digits[] = ":;<=>?";
    for (int k = 0; k < 6; ++k)
        entries << QStringLiteral("\"%1\" - %2").arg(QLatin1Char(digits[k])).arg(10 + k);
    return entries;
}

void TfMainForm::InsertIbisHexDigit(QChar digit) {
    QLineEdit* e = FDirectInput->lineEdit();
    e->insert(QString(digit)); // replaces the selection, the caret after it
}

void TfMainForm::ShowRecordTypeExamples() {
    QMenu menu;
    for (const TWagenbusProfileRecord& r : *FParser.ProfileArray())
        if (r.Master && !r.Example.empty()) menu.addAction(FromCp1252(r.Example));
    if (menu.isEmpty()) return;
    if (QAction* a = menu.exec(FDirectInput->mapToGlobal(QPoint(0, FDirectInput->height()))))
        FDirectInput->setCurrentText(a->text());
}

void TfMainForm::DirectSend() {
    if (FDirectBusy) {
        QApplication::beep();
        return;
    }
    FDirectBusy = true;
    if (!FMonitor) OpenMonitor();
    FDirectSend->setEnabled(false);
    const std::string text =
        ExpandDirectInput(ToCp1252(FDirectInput->currentText()), TSystemClock().Now());
    // the record composer's shortcuts (zA, zI, aA, aL, eT) are sent like any
    // other text until the composer exists
    if (!text.empty()) {
        std::vector<std::string> history;
        for (int k = 0; k < FDirectInput->count(); ++k)
            history.push_back(ToCp1252(FDirectInput->itemText(k)));
        if (AddToHistory(history, text)) {
            FDirectInput->blockSignals(true);
            FDirectInput->clear();
            for (const std::string& h : history)
                FDirectInput->addItem(FromCp1252(h));
            FDirectInput->setCurrentText(FromCp1252(history.front()));
            FDirectInput->blockSignals(false);
            FEnv.SetAufrufe(HistoryToSetting(history));
        }
        if (FMonitor) FMonitor->Scheduler().PlaceDirectCall(text);
    }
    // the button stays blocked for half a second
    QTimer::singleShot(500, this, [this] {
        FDirectSend->setEnabled(FStatus.Master());
        FDirectSend->setFocus();
        FDirectBusy = false;
    });
}

TfBaseProtocolForm* TfMainForm::ActiveProtocolWindow() const {
    QMdiSubWindow* sub = FMdi->activeSubWindow();
    return sub ? dynamic_cast<TfBaseProtocolForm*>(sub->widget()) : nullptr;
}

void TfMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (FAfterShowDone) return;
    FAfterShowDone = true;
    const bool found = std::filesystem::exists(SafetyCopyFile(FEnv));
    if (!FOptions.OfferSafetyCopy || !FOptions.SaveOnExit.isEmpty()) {
        // nobody is there to answer; the copy waits for the next start
        FKeepSafetyCopy = found;
        return;
    }
    // only a copy that was there before this run started is offered
    if (found) QTimer::singleShot(1000, this, [this] { OfferSafetyCopy(); });
}

bool TfMainForm::eventFilter(QObject* watched, QEvent* e) {
    const bool directInput =
        FDirectInput && (watched == FDirectInput || watched == FDirectInput->lineEdit());
    if (directInput && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->modifiers() & Qt::ControlModifier) && k->key() >= Qt::Key_0 &&
            k->key() <= Qt::Key_9) {
            FCtrlDigits += QChar(static_cast<char16_t>('0' + (k->key() - Qt::Key_0)));
            return true;
        }
    }
    if (directInput && e->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Control && !FCtrlDigits.isEmpty()) {
        // the character with that code, as the umlaut display shows it
        const int code = FCtrlDigits.left(3).toInt() & 0xFF;
        FCtrlDigits.clear();
        const std::string shown = TelegramToUmlautDisplay(std::string(1, static_cast<char>(code)));
        FDirectInput->setCurrentText(FDirectInput->currentText() + FromCp1252(shown));
        FDirectInput->lineEdit()->end(false);
        return true;
    }
    if (watched == FActiveProtocol && e->type() == QEvent::MouseButtonDblClick) {
        if (!FMonitor) OpenMonitor();
        const QString name = FActiveProtocol->toolTip();
        for (QMdiSubWindow* sub : FMdi->subWindowList())
            if (auto* p = dynamic_cast<TfProtocolForm*>(sub->widget());
                p && !name.isEmpty() &&
                QFileInfo(p->FileName()).fileName() == QFileInfo(name).fileName())
                FMdi->setActiveSubWindow(sub);
        return true;
    }
    if (FDirectInput && watched == FDirectInput->lineEdit() &&
        e->type() == QEvent::MouseButtonDblClick) {
        ShowRecordTypeExamples();
        return true;
    }
    if (e->type() == QEvent::MouseButtonDblClick &&
        (watched == FPanels[0] || watched == FPanels[1]) &&
        Action("acShowHardwarerevision")->isEnabled()) {
        ShowDeviceInfo();
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
    if (FMonitor && !FOptions.SaveOnExit.isEmpty()) {
        // unattended recording: written without asking
        if (!FMonitor->Recorder().SaveActiveProtocol(
                QFile::encodeName(FOptions.SaveOnExit).toStdString(), 0))
            qWarning("vaskel: the recording could not be written to %s",
                     qPrintable(FOptions.SaveOnExit));
    } else if (FMonitor && !FMonitor->MayClose()) {
        // the monitor asks its save question first
        e->ignore();
        return;
    }
    // opened protocols ask their own save questions
    for (TfBaseProtocolForm* w : ProtocolWindows()) {
        if (w == FMonitor || !FOptions.SaveOnExit.isEmpty()) continue;
        if (!w->parentWidget()->close()) {
            e->ignore();
            return;
        }
    }
    if (FMonitor) {
        // the recording ends here: no safety copy after the one removed below
        FMonitor->Recorder().SafetyCopy = false;
        FMonitor->Recorder().Table().Modified = false;
        FMonitor->parentWidget()->close();
    }
    std::error_code ec;
    if (!FKeepSafetyCopy) std::filesystem::remove(SafetyCopyFile(FEnv), ec);
    FConnection->Shutdown();
    e->accept();
}

} // namespace vaskel
