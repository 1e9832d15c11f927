#include "ui/common/ActionTable.h"

#include "ui/common/ChildWindow.h"
#include "ui/common/Icons.h"
#include "ui/common/Texts.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include <map>
#include <string>

namespace vaskel {

namespace {

QKeySequence Keys(const char* portable) {
    return QKeySequence(QString::fromLatin1(portable));
}

} // namespace

const std::vector<TActionSpec>& ActionSpecs() {
    using E = TEnable;
    using A = TAct;
    static const std::vector<TActionSpec> specs = {
        // the edit actions work on the focused field
        {A::EditUndo1, "EditUndo1", "&Rückgängig", "Letzte Aktion rückgängig machen",
         QKeySequence::Undo, nullptr, E::Always},
        {A::EditCopy1, "EditCopy1", "&Kopieren", "Markiertes Objekt in die Zwischenablage kopieren",
         QKeySequence::Copy, nullptr, E::Always},
        {A::EditCut1, "EditCut1", "&Ausschneiden",
         "Markiertes Objekt in die Zwischenablage verschieben", QKeySequence::Cut, nullptr,
         E::Always},
        {A::EditPaste1, "EditPaste1", "&Einfügen", "Inhalt der Zwischenablage einfügen",
         QKeySequence::Paste, nullptr, E::Always},
        {A::EditSelectAll, "EditSelectAll", "Alles &markieren", "Gesamtes Dokument markieren",
         QKeySequence::SelectAll, nullptr, E::Always},
        {A::EditDelete, "EditDelete", "&Löschen", "Auswahl löschen", QKeySequence::Delete, nullptr,
         E::Always},
        {A::acPrintProtokoll, "acPrintProtokoll", "Drucken ...", nullptr, Keys("Ctrl+P"),
         "acPrintProtokoll", E::ActiveCanFind},
        {A::acAufzeichnen,
         "acAufzeichnen",
         "Aufzeichnen (Monitor)",
         "Startet die Protokollierung der IBIS-Telegramme",
         {},
         "acAufzeichnen",
         E::Monitor},
        {A::acOeffnen, "acOeffnen", "&Protokoll öffnen ...", "Öffnet ein gespeichertes Protokoll",
         Keys("Ctrl+O"), "acOeffnen", E::Always},
        {A::acV1ImportProtocol,
         "acV1ImportProtocol",
         "V1.x Protokoll importieren ...",
         "Importiere eine mit Vaskel Version 1.x aufgezeichnete Protokolldatei",
         {},
         nullptr,
         E::Always},
        {A::FileExit1, "FileExit1", "&Beenden", "Programm beenden", {}, "FileExit1", E::Always},
        {A::FilePrintSetup1,
         "FilePrintSetup1",
         "&Druckereinstellungen...",
         "Druckereinstellungen",
         {},
         nullptr,
         E::NotYet},
        {A::WindowClose1, "WindowClose1", "S&chließen", "Schließen", {}, nullptr, E::Always},
        {A::WindowCascade1,
         "WindowCascade1",
         "Ü&berlappend",
         "Überlappend",
         {},
         nullptr,
         E::Always},
        {A::WindowTileHorizontal1,
         "WindowTileHorizontal1",
         "Hori&zontal anordnen",
         "Horizontal anordnen",
         {},
         nullptr,
         E::Always},
        {A::WindowTileVertical1,
         "WindowTileVertical1",
         "&Vertikal anordnen",
         "Vertikal anordnen",
         {},
         nullptr,
         E::Always},
        {A::WindowMinimizeAll1,
         "WindowMinimizeAll1",
         "&Alle verkleinern",
         "Alle verkleinern",
         {},
         nullptr,
         E::Always},
        {A::WindowArrange1, "WindowArrange1", "An&ordnen", nullptr, {}, nullptr, E::Always},
        {A::acWindowCloseAll,
         "acWindowCloseAll",
         "Alle schließen",
         "Schließt alle offenen Fenster",
         {},
         nullptr,
         E::AnyWindow},
        {A::acAntwortNew,
         "acAntwortNew",
         "Antwortliste neu",
         "Erstellt eine neue Antwortliste",
         {},
         "acAntwortNew",
         E::Always},
        {A::acAntwortlisteOeffnen,
         "acAntwortlisteOeffnen",
         "Ant&wortliste öffnen ...",
         "Öffnet eine bestehende Antwortliste",
         {},
         "acAntwortlisteOeffnen",
         E::Always},
        {A::actCreateAntwortFromProtocol,
         "actCreateAntwortFromProtocol",
         "Antwortliste aus Protokoll erstellen ...",
         nullptr,
         {},
         nullptr,
         E::Always},
        {A::acV1ImportAnwortliste,
         "acV1ImportAnwortliste",
         "V1.x Antwortliste importieren ...",
         "Importiere eine mit Vaskel Version 1.x erstellte Antwortliste",
         {},
         nullptr,
         E::Always},
        {A::acAufruflisteNew,
         "acAufruflisteNew",
         "Aufrufliste neu",
         "Erstellt eine neue Aufrufliste",
         {},
         "acAufruflisteNew",
         E::Always},
        {A::acAufruflisteOeffnen,
         "acAufruflisteOeffnen",
         "Aufrufliste öffnen ...",
         "Öffnet eine bestehende Aufrufliste",
         {},
         "acAufruflisteOeffnen",
         E::Always},
        {A::acV1ImportAufrufliste,
         "acV1ImportAufrufliste",
         "V1.x Aufrufliste importieren ...",
         "Importiere eine mit Vaskel Version 1.x erstellte Aufrufliste",
         {},
         nullptr,
         E::Always},
        {A::acDatensatz,
         "acDatensatz",
         "Datensätze ...",
         "Öffnet die Tabelle der bekannten IBIS-Datensätze",
         {},
         "acDatensatz",
         E::Always},
        {A::acFilterWindow,
         "acFilterWindow",
         "Filter definieren ...",
         "Mithilfe der Filter können Sie einstellen, welche Datensätze in einem Protokoll oder "
         "im Monitorfenster angezeigt werden.",
         {},
         "acFilterWindow",
         E::Always},
        {A::actOpenAddressForm,
         "actOpenAddressForm",
         "IBIS Adressumsetzung ...",
         "Mithilfe der Adressumsetzung können Sie die Adressen von Mastersimulationen "
         "automatisch umsetzen lassen.",
         {},
         "actOpenAddressForm",
         E::Always},
        {A::acMasterOnOff,
         "acMasterOnOff",
         "Master ein",
         "Schaltet den Master-Modus ein und aus",
         {},
         "acMasterOnOff",
         E::MasterSwitch,
         true},
        {A::acAufrufOnOff,
         "acAufrufOnOff",
         "Mastersimulation ...",
         "Startet eine Aufrufliste zur Mastersimulation oder beendet eine laufende.",
         {},
         "acAufrufOnOff",
         E::MasterSimulation,
         true},
        {A::acAntwortOnOff,
         "acAntwortOnOff",
         "Slavesimulation ...",
         "Startet eine Antwortliste zur Slavesimulation oder beendet eine laufende.",
         {},
         "acAntwortOnOff",
         E::SlaveSimulation,
         true},
        {A::actResetOverloaded,
         "actResetOverloaded",
         "Überlastschutz zurücksetzen",
         nullptr,
         {},
         "actResetOverloaded",
         E::ResetOverload},
        {A::acSendFromProtocoll,
         "acSendFromProtocoll",
         "Aus Protokoll senden ...",
         "Benutzt ein aufgezeichnetes Protokoll als Mastersimulation.",
         {},
         nullptr,
         E::SendFromProtocol},
        {A::acSearch, "acSearch", "Suchen ...", "Sucht innerhalb eines Protokolls einen Wert",
         QKeySequence::Find, "acSearch", E::ActiveCanFind},
        {A::acEinstellungen,
         "acEinstellungen",
         "Einstellungen ...",
         "Programmoptionen",
         {},
         "acEinstellungen",
         E::Always},
        {A::acComPort,
         "acComPort",
         "Schnittstelle auswählen ...",
         "Serielle Schnittstelle auswählen",
         {},
         nullptr,
         E::NotYet,
         false,
         false,
         false},
        {A::acUseWindowsPattern,
         "acUseWindowsPattern",
         "Windows Farbschema benutzen",
         nullptr,
         {},
         nullptr,
         E::Always,
         true},
        {A::acUseZKPattern,
         "acUseZKPattern",
         "ZK Farbschema benutzen",
         nullptr,
         {},
         nullptr,
         E::Always,
         true},
        {A::actShowHideMainToolbar,
         "actShowHideMainToolbar",
         "Toolbar Hauptprogramm",
         nullptr,
         {},
         nullptr,
         E::Always,
         true,
         true},
        {A::actShowHideProtocolToolbar,
         "actShowHideProtocolToolbar",
         "Toolbar Protokollfenster",
         nullptr,
         {},
         nullptr,
         E::Always,
         true,
         true},
        {A::actShowHideModeArea,
         "actShowHideModeArea",
         "Modus- und Statusbereich",
         nullptr,
         {},
         nullptr,
         E::Always,
         true,
         true},
        {A::actShowAll, "actShowAll", "Alles einblenden", nullptr, Keys("Ctrl+F10"), nullptr,
         E::Always},
        {A::actHideAll, "actHideAll", "Alles ausblenden", nullptr, Keys("Ctrl+F9"), nullptr,
         E::Always},
        {A::acHexConverter,
         "acHexConverter",
         "HEX zu IBIS-Hex Umrechner",
         nullptr,
         {},
         "acHexConverter",
         E::Always},
        {A::acShowHardwarerevision,
         "acShowHardwarerevision",
         "Geräteinformation ...",
         nullptr,
         {},
         "acShowHardwarerevision",
         E::DeviceInfo},
        {A::acAbout, "acAbout", "Info über ...", "Info über ...", {}, "acAbout", E::Always},
        {A::acCreateDebuggerLog,
         "acCreateDebuggerLog",
         "Fehlerprotokoll erzeugen ...",
         nullptr,
         {},
         nullptr,
         E::Always},
        {A::actFirmwareUpdate,
         "actFirmwareUpdate",
         "Firmware Update ausführen ...",
         "Lädt eine neue Firmware auf das Gerät.",
         {},
         "actFirmwareUpdate",
         E::FirmwareUpdate},
        {A::actSaveUSBThreadDebug,
         "actSaveUSBThreadDebug",
         "USB Kommunikation speichern",
         nullptr,
         {},
         nullptr,
         E::NotYet},
        {A::HelpContents1, "HelpContents1", "I&nhalt", "Das Benutzerhandbuch öffnen",
         QKeySequence::HelpContents, nullptr, E::Always},
        {A::acWhatsThis,
         "acWhatsThis",
         "Was ist das?",
         "Nach diesem Befehl zeigt ein Klick auf ein Bedienelement seine Erklärung.",
         QKeySequence::WhatsThis,
         nullptr,
         E::Always},
        {A::actAddressTranslationOn,
         "actAddressTranslationOn",
         "Adressumsetzung aktiviert",
         "Wird ein Protokoll abgespielt, werden alle Adressen gemäß den Vorgaben umgesetzt.",
         {},
         "actAddressTranslationOn",
         E::AddressTranslation},
        {A::actAddressTranslationOff,
         "actAddressTranslationOff",
         "Adressumsetzung deaktiviert",
         "Wird ein Protokoll abgespielt, werden Adressen genau wie aufgezeichnet wiedergegeben.",
         {},
         "actAddressTranslationOff",
         E::AddressTranslation},
        {A::mmSpeichern, "mmSpeichern", "&Speichern", nullptr, QKeySequence::Save,
         "mmSpeichern", E::ActiveCanSave},
        {A::mmSpeichernUnter,
         "mmSpeichernUnter",
         "Speichern &unter...",
         nullptr,
         {},
         "mmSpeichernUnter",
         E::ActiveCanSaveAs},
        {A::actShowOfflineMode,
         "actShowOfflineMode",
         "Autonomes Aufzeichnen",
         "Zeigt die Leiste für die Aufzeichnung des Tavrin ohne PC.",
         {},
         nullptr,
         E::DeviceOnline,
         true},
        {A::actOfflineModeToogle,
         "actOfflineModeToogle",
         "Autonomen Modus aktivieren",
         "Im autonomen Modus zeichnet der Tavrin auf, ohne dass ein PC angeschlossen sein muss.",
         {},
         nullptr,
         E::OfflineActivate},
        {A::actOfflineModeErase,
         "actOfflineModeErase",
         "Aufgezeichnete Daten löschen",
         "Löscht alle auf dem Tavrin aufgezeichneten Daten.",
         {},
         nullptr,
         E::OfflineInactive},
        {A::actOfflineDataGet,
         "actOfflineDataGet",
         "Aufgezeichnete Daten übertragen",
         "Lädt alle aufgezeichneten Daten vom Tavrin herunter.",
         {},
         nullptr,
         E::OfflineInactive},
        {A::actOfflineModeFlash,
         "actOfflineModeFlash",
         "Flash formatieren",
         "Autonome Aufzeichnung im Flash endgültig löschen.",
         {},
         nullptr,
         E::OfflineInactive},
        {A::actOfflineModeStop,
         "actOfflineModeStop",
         "Autonomes Aufzeichnen beenden",
         "Autonomen Modus ausschalten",
         {},
         nullptr,
         E::OfflineStop},
        {A::actDebugWindow, "actDebugWindow", "Debug Fenster", nullptr, {}, nullptr, E::Always},
        {A::actDeviceMessageWindow,
         "actDeviceMessageWindow",
         "Gerätenachrichten anzeigen",
         nullptr,
         {},
         nullptr,
         E::Always},
        {A::actCommunicationWindow,
         "actCommunicationWindow",
         "Kommunikationsfenster öffnen",
         nullptr,
         {},
         nullptr,
         E::Always},
    };
    return specs;
}

const std::vector<TMenuSpec>& MenuSpecs() {
    using A = TAct;
    constexpr A sep = A::Separator;
    static const std::vector<TMenuSpec> menus = {
        {TMenuId::File,
         "&Datei",
         -1,
         {A::acAufzeichnen, sep, A::acOeffnen, A::acSendFromProtocoll, A::acV1ImportProtocol, sep,
          A::mmSpeichern, A::mmSpeichernUnter, sep, A::actFirmwareUpdate, A::actShowOfflineMode,
          A::FilePrintSetup1, sep, A::FileExit1}},
        {TMenuId::Edit,
         "&Bearbeiten",
         -1,
         {A::EditUndo1, A::EditCopy1, A::EditCut1, A::EditPaste1, A::EditSelectAll, A::acSearch}},
        {TMenuId::View, "Ansicht", -1, {}},
        {TMenuId::ViewShowHide,
         "Ein- und Ausblenden",
         2,
         {A::actShowAll, A::actHideAll, sep, A::actShowHideMainToolbar, A::actShowHideModeArea,
          A::actShowHideProtocolToolbar}},
        {TMenuId::Simulation,
         "Simulation",
         -1,
         {A::acMasterOnOff, A::acAufrufOnOff, A::acAntwortOnOff, A::actResetOverloaded}},
        {TMenuId::Configuration,
         "&Konfiguration",
         -1,
         {A::acAntwortNew, A::acAntwortlisteOeffnen, A::actCreateAntwortFromProtocol,
          A::acV1ImportAnwortliste, sep, A::acAufruflisteNew, A::acAufruflisteOeffnen,
          A::acV1ImportAufrufliste, sep, A::acFilterWindow, A::actOpenAddressForm, A::acDatensatz}},
        {TMenuId::Options, "&Optionen", -1, {A::acEinstellungen, A::acComPort}},
        {TMenuId::Window,
         "Fens&ter",
         -1,
         {A::WindowCascade1, A::WindowArrange1, A::WindowMinimizeAll1, A::WindowTileHorizontal1,
          A::WindowTileVertical1, A::WindowClose1, A::acWindowCloseAll}},
        {TMenuId::Help,
         "&Hilfe",
         -1,
         {A::HelpContents1, A::acWhatsThis, sep, A::acHexConverter, sep, A::acShowHardwarerevision, A::acAbout, sep,
          A::acCreateDebuggerLog}},
        {TMenuId::Diagnostics,
         "Diagnose",
         -1,
         {A::actDebugWindow, A::acUseWindowsPattern, A::acUseZKPattern, A::actDeviceMessageWindow,
          A::actCommunicationWindow, A::actSaveUSBThreadDebug}},
    };
    return menus;
}

const std::vector<TAct>& MainToolBarSpec() {
    using A = TAct;
    constexpr A sep = A::Separator;
    static const std::vector<TAct> bar = {A::acOeffnen,
                                          sep,
                                          A::acAufzeichnen,
                                          sep,
                                          A::acMasterOnOff,
                                          A::acAufrufOnOff,
                                          A::acAntwortOnOff,
                                          sep,
                                          A::acAufruflisteOeffnen,
                                          A::acAufruflisteNew,
                                          A::acAntwortlisteOeffnen,
                                          A::acAntwortNew,
                                          A::acDatensatz,
                                          A::acFilterWindow,
                                          sep,
                                          A::actOpenAddressForm,
                                          sep,
                                          A::acEinstellungen};
    return bar;
}

bool ActionEnabled(TEnable rule, const TActionState& s) {
    switch (rule) {
    case TEnable::Always:
        return true;
    case TEnable::NotYet:
        return false;
    case TEnable::DeviceInfo:
        return s.Display.DeviceInfoEnabled;
    case TEnable::Monitor:
        return s.Display.MonitorEnabled;
    case TEnable::SendFromProtocol:
        return s.Display.SendFromProtocolEnabled;
    case TEnable::MasterSwitch:
        return s.Display.MasterSwitchEnabled;
    case TEnable::ResetOverload:
        return s.Display.ResetOverloadEnabled;
    case TEnable::AnyWindow:
        return s.Windows > 0;
    case TEnable::ActiveCanFind:
        return s.Active && s.Active->CanFind();
    case TEnable::ActiveCanSave:
        return s.Active && s.Active->CanSave();
    case TEnable::ActiveCanSaveAs:
        return s.Active && s.Active->CanSaveAs();
    case TEnable::AddressTranslation:
        return s.AddressTranslationUsable;
    case TEnable::MasterSimulation:
        return s.MasterSimulationPossible;
    case TEnable::SlaveSimulation:
    case TEnable::DeviceOnline:
        return s.DeviceOnline;
    case TEnable::OfflineActivate:
        return s.Autonomous.CanActivate;
    case TEnable::OfflineStop:
        return s.Autonomous.CanStop;
    case TEnable::OfflineInactive:
        // the three share one rule
        return s.Autonomous.CanTransfer;
    case TEnable::FirmwareUpdate:
        return s.Display.FirmwareEnabled;
    }
    return false;
}

TActionTable::TActionTable(QObject* owner) {
    for (const TActionSpec& spec : ActionSpecs()) {
        auto* a = new QAction(owner);
        a->setObjectName(QString::fromLatin1(spec.Name));
        SetDe(a, spec.Caption, spec.Hint);
        if (!spec.Shortcut.isEmpty()) a->setShortcut(spec.Shortcut);
        if (spec.Icon) {
            a->setIcon(ProgramIcon(QLatin1String(spec.Icon)));
        }
        a->setCheckable(spec.Checkable);
        a->setChecked(spec.Checked);
        a->setVisible(spec.Visible);
        a->setEnabled(ActionEnabled(spec.Enable, {}));
        FActions[static_cast<int>(spec.Id)] = a;
    }
}

std::array<QMenu*, static_cast<int>(TMenuId::Count)> TActionTable::BuildMenus(QMenuBar* bar) const {
    std::array<QMenu*, static_cast<int>(TMenuId::Count)> menus{};
    std::vector<QMenu*> byIndex;
    for (const TMenuSpec& spec : MenuSpecs()) {
        QMenu* m =
            spec.Parent < 0 ? bar->addMenu(QString()) : byIndex[spec.Parent]->addMenu(QString());
        SetDe(m, spec.Caption);
        for (TAct item : spec.Items) {
            if (item == TAct::Separator)
                m->addSeparator();
            else
                m->addAction((*this)[item]);
        }
        byIndex.push_back(m);
        menus[static_cast<int>(spec.Id)] = m;
    }
    return menus;
}

void TActionTable::FillToolBar(QToolBar* bar) const {
    for (TAct item : MainToolBarSpec()) {
        if (item == TAct::Separator)
            bar->addSeparator();
        else
            bar->addAction((*this)[item]);
    }
}

void TActionTable::ApplyRules(const TActionState& state) const {
    for (const TActionSpec& spec : ActionSpecs())
        (*this)[spec.Id]->setEnabled(ActionEnabled(spec.Enable, state));
}

} // namespace vaskel
