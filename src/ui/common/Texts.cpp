#include "ui/common/Texts.h"

#include "platform/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QVariant>

namespace vaskel {

namespace {

int gLanguage = 1;

const QHash<QString, QString>& English() {
    static const QHash<QString, QString> map = [] {
        const char* const pairs[][2] = {
            {"&Datei", "&File"},
            {"&Bearbeiten", "&Edit"},
            {"Ansicht", "View"},
            {"Ein- und Ausblenden", "Show and hide"},
            {"Simulation", "Simulation"},
            {"&Konfiguration", "&Configuration"},
            {"&Optionen", "&Options"},
            {"Fens&ter", "&Window"},
            {"&Hilfe", "&Help"},
            {"Diagnose", "Diagnostics"},
            {"Sprache", "Language"},
            {"&Rückgängig", "&Undo"},
            {"Letzte Aktuion rückgängig machen", "Undo the last action"},
            {"&Kopieren", "&Copy"},
            {"Markiertes Objekt in die Zwischenablage kopieren",
             "Copy the selection to the clipboard"},
            {"&Ausschneiden", "Cu&t"},
            {"Markiertes Objekt in die Zwischenablage verschieben",
             "Move the selection to the clipboard"},
            {"&Einfügen", "&Paste"},
            {"Inhalt der Zwischenablage einfügen", "Insert the clipboard"},
            {"Alles &markieren", "Select &all"},
            {"Gesamtes Dokument markieren", "Select the whole document"},
            {"&Löschen", "&Delete"},
            {"Auswahl löschen", "Delete the selection"},
            {"Drucken ...", "Print ..."},
            {"Aufzeichnen (Monitor)", "Record (monitor)"},
            {"Startet die Protokollierung der IBIS-Telegramme",
             "Starts recording the IBIS telegrams"},
            {"&Protokoll öffnen ...", "Open &protocol ..."},
            {"Öffnet ein gespeichertes Protokoll", "Opens a saved protocol"},
            {"V1.x Protokoll importieren ...", "Import V1.x protocol ..."},
            {"Importiere eine mit Vaskel Version 1.x aufgezeichnete Protokolldatei",
             "Import a protocol recorded with Vaskel version 1.x"},
            {"&Beenden", "E&xit"},
            {"Programm beenden", "Exit the program"},
            {"&Druckereinstellungen...", "P&rinter setup..."},
            {"Druckereinstellungen", "Printer setup"},
            {"S&chließen", "C&lose"},
            {"Schließen", "Close"},
            {"Ü&berlappend", "&Cascade"},
            {"Überlappend", "Cascade"},
            {"Hori&zontal anordnen", "Tile &horizontally"},
            {"Horizontal anordnen", "Tile horizontally"},
            {"&Vertikal anordnen", "Tile &vertically"},
            {"Vertikal anordnen", "Tile vertically"},
            {"&Alle verkleinern", "&Minimise all"},
            {"Alle verkleinern", "Minimise all"},
            {"An&ordnen", "&Arrange"},
            {"Alle schließen", "Close all"},
            {"Schließt alle offenen Fenster", "Closes all open windows"},
            {"Antwortliste neu", "New response list"},
            {"Erstellt eine neue Antwortliste", "Creates a new response list"},
            {"Ant&wortliste öffnen ...", "Open response &list ..."},
            {"Öffnet eine bestehende Antwortliste", "Opens a response list"},
            {"Antwortliste aus Protokoll erstellen ...", "Response list from protocol ..."},
            {"V1.x Antwortliste importieren ...", "Import V1.x response list ..."},
            {"Importiere eine mit Vaskel Version 1.x erstellte Antwortliste",
             "Import a response list made with Vaskel version 1.x"},
            {"Aufrufliste neu", "New call list"},
            {"Erstellt eine neue Aufrufliste", "Creates a new call list"},
            {"Aufrufliste öffnen ...", "Open call list ..."},
            {"Öffnet eine bestehende Aufrufliste", "Opens a call list"},
            {"V1.x Aufrufliste importieren ...", "Import V1.x call list ..."},
            {"Importiere eine mit Vaskel Version 1.x erstellte Aufrufliste",
             "Import a call list made with Vaskel version 1.x"},
            {"Datensätze ...", "Record types ..."},
            {"Öffnet die Tabelle der bekannten IBIS-Datensätze",
             "Opens the table of known IBIS record types"},
            {"Filter definieren ...", "Define filter ..."},
            {"Mithilfe der Filter können Sie einstellen, welche Datensätze in einem Protokoll oder "
             "im Monitorfenster angezeigt werden.",
             "With the filters you choose which record types a protocol or the monitor shows."},
            {"IBIS Adressumsetzung ...", "IBIS address conversion ..."},
            {"Mithilfe der Adressumsetzung können Sie die Adressen von Mastersimulationen "
             "automatisch umsetzen lassen.",
             "The address translation rewrites the addresses of master simulations."},
            {"Master ein", "Master on"},
            {"Master aus", "Master off"},
            {"Schaltet den Master-Modus ein und aus", "Switches master mode on and off"},
            {"Mastersimulation ...", "Master simulation ..."},
            {"Startet eine Aufrufliste zur Mastersimulation oder beendet eine laufende.",
             "Starts a call list as master simulation or ends the running one."},
            {"Slavesimulation ...", "Slave simulation ..."},
            {"Startet eine Antwortliste zur Slavesimulation oder beendet eine laufende.",
             "Starts a response list as slave simulation or ends the running one."},
            {"Überlastschutz zurücksetzen", "Reset overload protection"},
            {"Aus Protokoll senden ...", "Send from protocol ..."},
            {"Benutzt ein aufgezeichnetes Protokoll als Mastersimulation.",
             "Uses a recorded protocol as master simulation."},
            {"Suchen ...", "Find ..."},
            {"Sucht innerhalb eines Protokolls einen Wert", "Finds a value in a protocol"},
            {"Einstellungen ...", "Settings ..."},
            {"Programmoptionen", "Program options"},
            {"Schnittstelle auswählen ...", "Select interface ..."},
            {"Serielle Schnittstelle auswählen", "Select the serial interface"},
            {"Windows Farbschema benutzen", "Use Windows colour scheme"},
            {"ZK Farbschema benutzen", "Use ZK colour scheme"},
            {"Toolbar Hauptprogramm", "Main toolbar"},
            {"Toolbar Protokollfenster", "Protocol window toolbar"},
            {"Modus- und Statusbereich", "Mode and status area"},
            {"Alles einblenden", "Show all"},
            {"Alles ausblenden", "Hide all"},
            {"HEX zu IBIS-Hex Umrechner", "HEX to IBIS hex converter"},
            {"Geräteinformation ...", "Device information ..."},
            {"Geräteinformation", "Device information"},
            {"Info über ...", "About ..."},
            {"Fehlerprotokoll erzeugen ...", "Create error report ..."},
            {"Firmware Update ausführen ...", "Firmware update ..."},
            {"Lädt eine neue Firmware auf das Gerät.", "Loads new firmware into the device."},
            {"USB Kommunikation speichern", "Save USB communication"},
            {"I&nhalt", "&Contents"},
            {"Virtuelles Gerät", "Virtual device"},
            {"Eingesteckt", "Plugged in"},
            {"Master am Bus", "Master on the bus"},
            {"Externe Spannung", "External power"},
            {"Kurzschluss", "Short circuit"},
            {"Neustart", "Restart"},
            {"Fehlerrate", "Fault rate"},
            {"Master Modus", "Master mode"},
            {"Slave Modus", "Slave mode"},
            {"Gerätestatus", "Device status"},
            {"Aktives Protokoll: -", "Active protocol: -"},
            {"Aktive Aufrufliste: -", "Active call list: -"},
            {"Aktive Antwortliste: -", "Active response list: -"},
            {"Sendeabstand der Telegramme um Faktor",
             "Stretch the gap between telegrams by factor"},
            {"vergrößern.", "."},
            {"Senden", "Send"},
            {"Wagenbus", "Vehicle bus"},
            {"Zugbus", "Train bus"},
            {"Bustyp", "Bus type"},
            {"Soll die Telegrammauswertung auf den Wagenbus umgestellt werden?",
             "Analyse the telegrams as vehicle bus telegrams?"},
            {"Soll die Telegrammauswertung auf den Zugbus umgestellt werden?",
             "Analyse the telegrams as train bus telegrams?"},
            {"<Keine Liste aktiv>", "<No list active>"},
            {"Firmware Version: unbekannt", "Firmware version: unknown"},
            {"Es liegt keine Spannung am IBIS-Sendebus an. (WBSD)",
             "There is no voltage on the IBIS send line. (WBSD)"},
            {"Es liegt keine Spannung am IBIS-Empfangsbus an. (WBED)",
             "There is no voltage on the IBIS answer line. (WBED)"},
            {"Es liegt keine externe Spannung an.", "There is no external power."},
            {"Fehlt möglicherweise der IBIS-Master?", "Is the IBIS master missing?"},
            {"Ist der IBIS-Wagenbus überhaupt angeschlossen?",
             "Is the IBIS vehicle bus connected at all?"},
            {"Es wurde ein aktiver IBIS-Master am Bus erkannt.",
             "An active IBIS master was detected on the bus."},
            {"Das Gerät kann daher nicht in den Master Modus geschaltet werden.",
             "The device can therefore not be switched to master mode."},
            {"Warnung", "Warning"},
            {"Es liegt ein Kurzschluss auf dem Wagenbus vor.",
             "There is a short circuit on the vehicle bus."},
            {"Beheben Sie den Kurzschluss und klicken Sie auf das rote LED, ",
             "Remove the short circuit and click the red LED "},
            {"um danach den Überlastschutz zurückzusetzen.", "to reset the overload protection."},
            {"Möchten Sie den Überlast-Schutz tatsächlich zurücksetzen?",
             "Do you really want to reset the overload protection?"},
            {"Hinweis", "Note"},
            {"Nr.", "No."},
            {"Markieren:", "Mark:"},
            {"Suchen", "Find"},
            {"Suchen nach:", "Find what:"},
            {"Keine Übereinstimmung gefunden", "No match found"},
            {"Suchbegriff \"%1\" nicht gefunden.", "Search text \"%1\" not found."},
            {"HEX", "HEX"},
            {"Warnungen", "Warnings"},
            {"Umlaute", "Umlauts"},
            {"IBIS-Sonderzeichen in Umlaut konvertieren", "Convert IBIS characters to umlauts"},
            {"Hexadezimaldarstellung eingeblendet", "Hex column shown"},
            {"Hexadezimaldarstellung ausgeblendet", "Hex column hidden"},
            {"Filter aus", "Filter off"},
            {"Filter ein", "Filter on"},
            {"Akustischer Filter", "Acoustic filter"},
            {"Telegrammfilter ausgeschaltet", "Telegram filter off"},
            {"Telegrammfilter eingeschaltet", "Telegram filter on"},
            {"Automatische Warnungsmarkierung eingeschaltet", "Automatic warning marks on"},
            {"Automatische Warnungsmarkierung ausgeschaltet", "Automatic warning marks off"},
            {"Startzeit", "Start time"},
            {"Reaktion", "Reaction"},
            {"Fehler", "Errors"},
            {"Telegramm", "Telegram"},
            {"Telegramm (HEX)", "Telegram (HEX)"},
            {"DS-Nr.", "Record"},
            {"Beschreibung", "Description"},
            {"ungültig", "invalid"},
            {"Pause", "Pause"},
            {"Weiter", "Resume"},
            {"Löschen", "Clear"},
            {"Gesamte Liste löschen", "Clear the whole list"},
            {"Speichern", "Save"},
            {"Automatisches Weiterspringen in der Tabelle anhalten bzw. fortsetzen",
             "Stop or resume following the newest row"},
            {"Monitor - Beginn der Aufzeichnung: ", "Monitor - recording started: "},
            {"Monitor löschen", "Clear monitor"},
            {"Sollen wirklich alle Einträge gelöscht werden?",
             "Do you really want to clear all rows?"},
            {"Protokolldatei speichern", "Save protocol file"},
            {"Die Datei konnte nicht geschrieben werden.", "The file could not be written."},
            {"Monitorfenster", "Monitor window"},
            {"Die Daten wurden verändert, jedoch noch nicht gespeichert.",
             "The data has changed and has not been saved."},
            {"Wollen Sie die Änderung jetzt speichern?", "Do you want to save the changes now?"},
            {"Protokolldatei (*.PRO.CSV)", "Protocol file"},
            {"Sie können mit dieser Option die Ablaufgeschwindigkeit eines",
             "With this option you can change the pace of a"},
            {"aufgezeichneten Protokolls verändern.", "recorded protocol."},
            {"Detaileingabe ...", "Detailed input ..."},
            {"Sie sollten die Datensätze 003a, 003c, 004c, 021 und 021a nicht direkt editieren.",
             "You should not edit the data sets 003a, 003c, 004c, 021 and 021a directly."},
            {"Diese Datensätze benötigen ein spezielles Format, um gültig zu sein.",
             "These data sets need a special format to be valid."},
            {"Nutzen Sie dazu den Datensatz-Editor des Programms.",
             "Use the program's data set editor for them."},
            {"Protokoll erneut analysieren ...", "Analyse protocol again ..."},
            {"Das aktuelle Protokoll erneut analysieren lassen.",
             "Analyse the current protocol again."},
            {"Startet das Senden der Aufzeichnung. Es wird in der Zeile begonnen, die gerade "
             "markiert ist.",
             "Starts sending the recording, beginning with the selected row."},
            {"Protokoll einmal versenden", "Send protocol once"},
            {"Protokoll zyklisch versenden", "Send protocol cyclically"},
            {"Nur dieses Telegramm verschicken", "Send only this telegram"},
            {"Das Protokoll wird ausgewertet ...", "The protocol is being analysed ..."},
            {"Bitte haben Sie etwas Geduld ...", "Please be patient ..."},
            {"  Anzahl versendeter Telegramme: %1", "  Telegrams sent: %1"},
            {"Zyklisch", "Cyclic"},
            {"Einmal", "Once"},
            {"Einzeln", "Single"},
            {"Ist beim Senden das Protokollende erreicht, wird wieder von vorne begonnen.",
             "When the end of the protocol is reached, sending starts again from the top."},
            {"Beim Senden wird das Protokoll einmal von oben nach unten versendet.",
             "The protocol is sent once from top to bottom."},
            {"Beim Senden wird das Protokoll einmal von oben nach unten versendet",
             "The protocol is sent once from top to bottom"},
            {"Es wird nur das markierte Telegramm versendet.",
             "Only the selected telegram is sent."},
            {"Warnung: Modus Umschaltung", "Warning: mode switch"},
            {"Sie können nur dann eine Mastersimulation starten, wenn der %1 Master ist.",
             "You can only start a master simulation when the %1 is master."},
            {"Dies ist augenblicklich nicht der Fall.", "This is not the case at the moment."},
            {"Soll nun versucht werden den in den Mastermodus zu schalten?",
             "Shall it be switched to master mode now?"},
            {"Es ist bereits ein anderes Protokoll aktiv, es darf jedoch immer nur ein Protokoll "
             "aktiv sein.",
             "Another protocol is already active, but only one protocol may be active at a time."},
            {"Möchten Sie nun das andere Protokoll stoppen und dieses aktivieren?",
             "Do you want to stop the other protocol and activate this one?"},
            {"Anhalten", "Stop"},
            {"Aktives Protokoll: ", "Active protocol: "},
            {"Telegramm der Direkteingabe versenden.", "Send the telegram of the direct input."},
            {"Fehlerfrei", "No errors"},
            {"Das eingegebene Telegramm ist syntaktisch korrekt.",
             "The telegram entered is syntactically correct."},
            {"Datensatz %1 ist ein Slavetelegramm und sollte nicht von einem Master versendet "
             "werden.",
             "Data set %1 is a slave telegram and should not be sent by a master."},
            {"Das eingegebene Telegramm entspricht nicht dem Aufbau [%1] eines Datensatzes %2.",
             "The telegram entered does not match the syntax [%1] of a data set %2."},
            {"Syntax- und Typfehler", "Syntax and type error"},
            {"Unbekannter Datensatz", "Unknown data set"},
            {"Es ist kein Telegrammmuster bekannt, mit dem die Eingabe übereinstimmen würde.",
             "No telegram pattern is known that would match the input."},
            {"Telegrammanalyse", "Telegram analysis"},
            {"Abfolgeanalyse:", "Sequence analysis:"},
            {"Adresse der angesprochenen Anzeige", "Address of the display"},
            {"Adresse:", "Address:"},
            {"Anzahl der Datenblöcke á 16 Zeichen", "Amount of 16-character-blocks"},
            {"Anzahl der Datenblöcke á 4 Zeichen", "Amount of 4-character-blocks"},
            {"Anzeige", "View"},
            {"Anzeigetext:", "Text:"},
            {"Bestpassende DS-Nr.:", "Best matching DS-no.:"},
            {"Blöcke:", "Blocks:"},
            {"DS-Nr.:", "DS-no.:"},
            {"Das Telegramm kann nicht analysiert werden.", "This telegram cannot be analyzed."},
            {"Das nächste passende, unbeantwortete Mastertelegramm wurde in Protokollzeile %1 "
             "aufgezeichnet.",
             "The next fitting master telegram was recorded in line %1."},
            {"Datensatz %1 ist ein Masterdatensatz. Er scheint jedoch von einem Slave verschickt "
             "worden zu sein.",
             "Data set %1 is a master telegram, but it seems as if a slave sent it."},
            {"Datensatz %1 ist ein Slavedatensatz. Er scheint jedoch von einem Master verschickt "
             "worden zu sein.",
             "Data set %1 is a slave telegram, but it seems as if a master sent it."},
            {"Datensatz-Nr.:", "Data set-No:"},
            {"Datensatznummer des Datensatzes", "Data set number of this data set."},
            {"Der Aufbau des Telegramms entspricht nicht der in der VDV300 geforderten Norm.",
             "The syntax of this data set does not match the VDV300 definition."},
            {"Der Datensatz ist fehlerhaft. Daher kann hier nur angegeben werden, welchem "
             "Datensatz er am meisten ähnelt.",
             "This data set is erroneous. Therefore it can only be displayed, which data set "
             "matches best."},
            {"Die Antwort, auf die sich diese Analyse bezieht, ging in Protokollzeile %1 ein.",
             "The response on which this analyisis is based, is listed in line %1."},
            {"Die Datensatznummer des Telegramms.", "The data set number of the telegram."},
            {"Die Prüfsumme fehlt!", "The checksum is missing!"},
            {"Die Prüfsumme ist \"%1\" (Hex: 0x%2). Dies ist nicht korrekt.",
             "The checksum is \"%1\" (hex 0x%2). This is not correct."},
            {"Die Prüfsumme müsste \"%1\" (Hex: 0x%2) sein, ist aber \"%3\" (Hex: 0x%4).",
             "The checksum should be \"%1\" (hex 0x%2), but it is \"%3\" (hex 0x%4)."},
            {"Die Zeile des Protokolls, auf das sich diese Fehleranalyse bezieht.",
             "The line of the protocol, to which this error analysis refers."},
            {"Dieses Telegramm ist fehlerhaft", "This telegram ist erroneous."},
            {"Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003a).",
             "This telegram is erroneous. (Please see VDV300, DS 003a)"},
            {"Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003c).",
             "This telegram is erroneous. (Please see VDV300, DS 003c)"},
            {"Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 021).",
             "This telegram is erroneous. (Please see VDV300, DS 021)"},
            {"Dieses Telegramm ist so fehlerhaft, dass es nicht analysiert werden kann.",
             "This telegram is so faulty that an analysis is not possible."},
            {"Ein Datensatz %1 sollte wie folgt aufgebaut sein: %2",
             "A data set %1 has the following syntax: %2"},
            {"Es gibt keinen Datensatz mit dem das Telegramm übereinstimmen würde.",
             "There is not data set definition, which matches with this telegram."},
            {"Es ist ein Framing-Fehler aufgetreten.", "A framing error occured."},
            {"Es ist ein Parity-Fehler aufgetreten.", "A parity error occured."},
            {"Es ist ein Prüfsummenfehler aufgetreten.", "A checksum error occured."},
            {"Es ist ein Reset durchgeführt worden.", "The device made a reset."},
            {"Es ist ein Timeout aufgetreten.", "A time-out error occured."},
            {"Fehler: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Die Antwort ging "
             "zwar ein, jedoch zu spät.",
             "Error: Data set %1 requires data set %2 as response. This response was sent, but not "
             "in time."},
            {"Fehler: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Kein Slave hat "
             "passend darauf geantwortet.",
             "Error: Data set %1 requires data set %2 as response. No slave sent a fitting "
             "response."},
            {"Fehler: Dieses Slavetelegramm kam zu spät als Antwort auf das anfordernde "
             "Mastertelegramm.",
             "Error: This slave telegram was not sent in time, to be a vaild response for a master "
             "telegram."},
            {"Fehler: Es konnte nicht festgestellt werden, auf welches Telegramm dieses "
             "Slavetelegramm die Antwort sein sollte.",
             "Error: No master telegram was found for which this slave telegram could be a "
             "response."},
            {"Framing-Fehler", "Framing error"},
            {"Lfd-Nr.:", "No.:"},
            {"Länge (Byte):", "Length (bytes):"},
            {"Nummer des Telegramm in der obigen Tabelle",
             "Number of the telegram in the above table"},
            {"OK: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Diese Antwort ging "
             "korrekt ein",
             "OK. Data set %1 requires data set %2 as response. This response was sent correctly."},
            {"OK: Datensatz %1 erwartet keine Antwort.",
             "OK. Data set %1 does not require any response."},
            {"OK: Dieses Slavetelegramm ist die korrekte Antwort auf das vorhergehende "
             "Mastertelegramm.",
             "OK: This slave telegram is the valid answer to the foregoing master telegram."},
            {"Orginaltext des Telegramms", "Original telegram"},
            {"Parity-Fehler", "Parity error"},
            {"Protokollzeile:", "Protocol line:"},
            {"Prüfsummenfehler", "Checksum error"},
            {"Reset", "Reset"},
            {"Satznr.:", "Record no.:"},
            {"Startzeit:", "Start time:"},
            {"Syntaxfehler", "Syntactic error"},
            {"Takt", "Pulse"},
            {"Taktzeit", "Pulse time"},
            {"Taktzeit:", "Pulse time:"},
            {"Telegrammlänge inkl. abschließendem Zeilenumbruch und Prüfsumme",
             "Length of the telegram including the final delimiter (<CR>) and the checksum"},
            {"Text der im Display angezeigt werden soll",
             "Text, which will show up in the display"},
            {"Text, der im Display angezeigt werden soll",
             "Text, which will show up in the display"},
            {"Timeout", "Time-out"},
            {"Typ- und Aufbaufehler:", "Type and syntax error:"},
            {"Typefehler sind Fehler, bei denen ein Master Slavetelegramme oder ein Slave "
             "Mastertelegramme verschickt.",
             "A type error occures when a IBIS master sends a slave telegram or a IBIS slave sends "
             "a master telegram."},
            {"Typfehler", "Type error"},
            {"Wann wurde der Datensatz übertragen?", "When was the transmission?"},
            {"Zeile 1:", "Line 1:"},
            {"Zeile 2:", "Line 2:"},
            {"Übertragungsfehler:", "Transmission error:"},
            {"&Speichern  (Strg + S)", "&Save  (Ctrl + S)"},
            {"Speichern &unter...", "Save &as..."},
            {"Spaltenbreite fixieren", "Fix column widths"},
            {"Wenn Sie die Spaltenbreite verändern wollen, dann müssen",
             "If you want to change the column widths,"},
            {"Sie zunächst die dynamische Spaltenanpassung deaktivieren.",
             "first switch off the automatic column sizing."},
            {"Spaltenbreite variabel", "Variable column widths"},
            {"Eine Zeile vor der aktuellen Zeile einfügen", "Insert a row before the current row"},
            {"Die markierte Zeile löschen", "Delete the selected row"},
            {"Eine Zeile am Ende anfügen", "Append a row at the end"},
            {"variable Spaltenbreite", "variable column width"},
            {"feste Spaltenbreite", "fixed column width"},
            {"Sonderzeichen einfügen", "Insert special character"},
            {"Aktivieren", "Activate"},
            {"Alle auswählen", "Select all"},
            {"Keines auswählen", "Select none"},
            {"Die aktuelle Zeile ist unvollständig.", "The current row is incomplete."},
            {"Bitte füllen Sie sie korrekt aus oder löschen Sie sie, bevor Sie zu einer anderen "
             "Zeile wechseln.",
             "Please complete or delete it before you move to another row."},
            {"Die aktuelle Zeile ist unvollständig ausgefüllt.",
             "The current row is not filled in completely."},
            {"Wenn Sie das Fenster jetzt schließen, gehen alle bisherigen Änderungen verloren.",
             "If you close the window now, all changes are lost."},
            {"Wollen Sie das Fenster schließen?", "Do you want to close the window?"},
            {"Protokoll", "Protocol"},
            {"Protokoll speichern?", "Save protocol?"},
            {"Das Protokoll wurde importiert oder erneut analysiert.",
             "The protocol has been imported or analysed again."},
            {"Wollen Sie das geänderte Protokoll jetzt speichern?",
             "Do you want to save the changed protocol now?"},
            {"Speichern unter...", "Save as..."},
            {"Drucken ...", "Print ..."},
            {"Detailinformationen ausblenden", "Hide the details"},
            {"Telegramm:", "Telegram:"},
            {"Beschreibung:", "Description:"},
            {"Reaktion:", "Reaction:"},
            {"Fehler:", "Errors:"},
            {"Tipp", "Tip"},
            {"Durch einen Doppelklick auf Zeilen in der ein Fehler aufgetreten ist,",
             "Double-click a row in which an error occurred"},
            {"können Sie eine genaue Analyse der oder des Fehlers einblenden.",
             "to show a detailed analysis of the error(s)."},
            {"Durch einen Doppelklick auf Zeilen mit Datensatz 003a, 003c oder 021",
             "Double-click a row of record type 003a, 003c or 021"},
            {"können Sie eine genaue Analyse dieses Datensatzes einblenden.",
             "to show a detailed analysis of this record."},
            {"Sie müssen die Filterung erst aktivieren,", "You have to switch the filter on"},
            {"bevor die Datensätze eines Fensters gefiltert werden.",
             "before the records of a window are filtered."},
            {"Die ausgewählte Datei ist kein gültiges Protokoll, beschädigt oder durch einen "
             "anderen Prozess gesperrt. ",
             "The selected file is not a valid protocol, is damaged or is locked by another "
             "process."},
            {"Falls Sie gleichzeitig mit anderen Programmen auf dieses Protokoll zugreifen, "
             "beenden Sie diese zuerst.",
             "If other programs are accessing this protocol at the same time, close them first."},
            {"Ungültiges Protokollformat", "Invalid protocol format"},
            {"Protokolldatei öffnen", "Open protocol file"},
            {"Es wurde ein Protokoll gefunden, das von der automatischen Sicherung angelegt "
             "worden ist. Diese Protokolle sollten eigentlich automatisch beim Beenden des "
             "Programms gelöscht werden. Dass dieses Protokoll nicth gelöscht wurde, deutet auf "
             "abnormales Beenden des Programms hin.",
             "A protocol made by the automatic backup has been found. Such protocols are "
             "deleted when the program ends; that this one was not points to an abnormal end "
             "of the program."},
            {"Das Sicherungsprotokoll wird nun geladen.", "The backup protocol is loaded now."},
            {"Adressumsetzung aktiviert", "Addresstranslation activated"},
            {"Adressumsetzung deaktiviert", "Addresstranslation deactivated"},
            {"Adressumsetzung ausgeschaltet", "Addresstranslation deactivated"},
            {"Wird ein Protokoll abgespielt, werden alle Adressen gem. der Vorgaben umgesetzt",
             "When a protocol is played back, all addresses are translated as defined"},
            {"Wird ein Protokoll abgespielt, werden Adressen genau wie aufgezeichnet "
             "wiedergegeben.",
             "When a protocol is played back, addresses are sent as recorded."},
            {"Die Telegramme werden als Zugbus-Telegramme ausgewertet.",
             "The telegrams are analysed as train bus telegrams."},
            {"Die Telegramme werden als Wagenbus-Telegramme ausgewertet.",
             "The telegrams are analysed as vehicle bus telegrams."},
            {"IBIS-Wagenbus Monitor und Simulator", "IBIS vehicle bus monitor and simulator"},
            {"IBIS Wagenbus Testgerät", "IBIS vehicle bus test device"},
            {"Geräterevision:", "Device revision:"},
            {"Der Modus wechselt, sobald das Gerät ihn im nächsten Statusbyte meldet.",
             "The mode changes as soon as the device reports it in its next status byte."},
            {"Dieser Dateityp kann in dieser Version noch nicht geöffnet werden: ",
             "This version cannot open files of this type yet: "},
        };
        QHash<QString, QString> m;
        for (const auto& p : pairs)
            m.insert(QString::fromUtf8(p[0]), QString::fromUtf8(p[1]));
        return m;
    }();
    return map;
}

} // namespace

void SetUiLanguage(int language) {
    gLanguage = language;
}
int UiLanguage() {
    return gLanguage;
}

QString Tr(const QString& german) {
    if (gLanguage != 2) return german;
    const auto it = English().find(german);
    return it == English().end() ? german : it.value();
}

QString Tr(const char* germanUtf8) {
    return Tr(QString::fromUtf8(germanUtf8));
}

QString TrLines(const std::string& german) {
    QStringList out;
    for (const QString& line : FromCp1252(german).split(QStringLiteral("\r\n")))
        out << Tr(line);
    return out.join(QLatin1Char('\n'));
}

void SetDe(QObject* o, const char* german, const char* germanHint) {
    o->setProperty("deText", QString::fromUtf8(german));
    if (germanHint) o->setProperty("deHint", QString::fromUtf8(germanHint));
    Retranslate(o);
}

namespace {

void Apply(QObject* o) {
    const QVariant text = o->property("deText");
    const QVariant hint = o->property("deHint");
    if (!text.isValid()) return;
    const QString t = Tr(text.toString());
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setText(t);
        if (hint.isValid()) {
            a->setToolTip(Tr(hint.toString()));
            a->setStatusTip(Tr(hint.toString()));
        }
    } else if (auto* m = qobject_cast<QMenu*>(o)) {
        m->setTitle(t);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(t);
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(t);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(t);
    }
}

} // namespace

void Retranslate(QObject* root) {
    Apply(root);
    for (QObject* o : root->findChildren<QObject*>())
        Apply(o);
}

} // namespace vaskel
