<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>Vaskel</name>
    <message>
        <source>&amp;Datei</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Bearbeiten</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>Ansicht</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Ein- und Ausblenden</source>
        <translation>Show and hide</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>&amp;Konfiguration</source>
        <translation>&amp;Configuration</translation>
    </message>
    <message>
        <source>&amp;Optionen</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Fens&amp;ter</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Diagnose</source>
        <translation>Diagnostics</translation>
    </message>
    <message>
        <source>Sprache</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>&amp;Rückgängig</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>Letzte Aktion rückgängig machen</source>
        <translation>Undo the last action</translation>
    </message>
    <message>
        <source>&amp;Kopieren</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Markiertes Objekt in die Zwischenablage kopieren</source>
        <translation>Copy the selection to the clipboard</translation>
    </message>
    <message>
        <source>&amp;Ausschneiden</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>Markiertes Objekt in die Zwischenablage verschieben</source>
        <translation>Move the selection to the clipboard</translation>
    </message>
    <message>
        <source>&amp;Einfügen</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>Inhalt der Zwischenablage einfügen</source>
        <translation>Insert the clipboard</translation>
    </message>
    <message>
        <source>Alles &amp;markieren</source>
        <translation>Select &amp;all</translation>
    </message>
    <message>
        <source>Gesamtes Dokument markieren</source>
        <translation>Select the whole document</translation>
    </message>
    <message>
        <source>&amp;Löschen</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Auswahl löschen</source>
        <translation>Delete the selection</translation>
    </message>
    <message>
        <source>Drucken ...</source>
        <translation>Print ...</translation>
    </message>
    <message>
        <source>Aufzeichnen (Monitor)</source>
        <translation>Record (monitor)</translation>
    </message>
    <message>
        <source>Startet die Protokollierung der IBIS-Telegramme</source>
        <translation>Starts recording the IBIS telegrams</translation>
    </message>
    <message>
        <source>&amp;Protokoll öffnen ...</source>
        <translation>Open &amp;protocol ...</translation>
    </message>
    <message>
        <source>Öffnet ein gespeichertes Protokoll</source>
        <translation>Opens a saved protocol</translation>
    </message>
    <message>
        <source>V1.x Protokoll importieren ...</source>
        <translation>Import V1.x protocol ...</translation>
    </message>
    <message>
        <source>Importiere eine mit Vaskel Version 1.x aufgezeichnete Protokolldatei</source>
        <translation>Import a protocol recorded with Vaskel version 1.x</translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Programm beenden</source>
        <translation>Exit the program</translation>
    </message>
    <message>
        <source>&amp;Druckereinstellungen...</source>
        <translation>P&amp;rinter setup...</translation>
    </message>
    <message>
        <source>Druckereinstellungen</source>
        <translation>Printer setup</translation>
    </message>
    <message>
        <source>S&amp;chließen</source>
        <translation>C&amp;lose</translation>
    </message>
    <message>
        <source>Schließen</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Ü&amp;berlappend</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>Überlappend</source>
        <translation>Cascade</translation>
    </message>
    <message>
        <source>Hori&amp;zontal anordnen</source>
        <translation>Tile &amp;horizontally</translation>
    </message>
    <message>
        <source>Horizontal anordnen</source>
        <translation>Tile horizontally</translation>
    </message>
    <message>
        <source>&amp;Vertikal anordnen</source>
        <translation>Tile &amp;vertically</translation>
    </message>
    <message>
        <source>Vertikal anordnen</source>
        <translation>Tile vertically</translation>
    </message>
    <message>
        <source>&amp;Alle verkleinern</source>
        <translation>&amp;Minimise all</translation>
    </message>
    <message>
        <source>Alle verkleinern</source>
        <translation>Minimise all</translation>
    </message>
    <message>
        <source>An&amp;ordnen</source>
        <translation>&amp;Arrange</translation>
    </message>
    <message>
        <source>Alle schließen</source>
        <translation>Close all</translation>
    </message>
    <message>
        <source>Schließt alle offenen Fenster</source>
        <translation>Closes all open windows</translation>
    </message>
    <message>
        <source>Antwortliste neu</source>
        <translation>New response list</translation>
    </message>
    <message>
        <source>Erstellt eine neue Antwortliste</source>
        <translation>Creates a new response list</translation>
    </message>
    <message>
        <source>Ant&amp;wortliste öffnen ...</source>
        <translation>Open response &amp;list ...</translation>
    </message>
    <message>
        <source>Öffnet eine bestehende Antwortliste</source>
        <translation>Opens a response list</translation>
    </message>
    <message>
        <source>Antwortliste aus Protokoll erstellen ...</source>
        <translation>Response list from protocol ...</translation>
    </message>
    <message>
        <source>V1.x Antwortliste importieren ...</source>
        <translation>Import V1.x response list ...</translation>
    </message>
    <message>
        <source>Importiere eine mit Vaskel Version 1.x erstellte Antwortliste</source>
        <translation>Import a response list made with Vaskel version 1.x</translation>
    </message>
    <message>
        <source>Aufrufliste neu</source>
        <translation>New call list</translation>
    </message>
    <message>
        <source>Erstellt eine neue Aufrufliste</source>
        <translation>Creates a new call list</translation>
    </message>
    <message>
        <source>Aufrufliste öffnen ...</source>
        <translation>Open call list ...</translation>
    </message>
    <message>
        <source>Öffnet eine bestehende Aufrufliste</source>
        <translation>Opens a call list</translation>
    </message>
    <message>
        <source>V1.x Aufrufliste importieren ...</source>
        <translation>Import V1.x call list ...</translation>
    </message>
    <message>
        <source>Importiere eine mit Vaskel Version 1.x erstellte Aufrufliste</source>
        <translation>Import a call list made with Vaskel version 1.x</translation>
    </message>
    <message>
        <source>Datensätze ...</source>
        <translation>Record types ...</translation>
    </message>
    <message>
        <source>Öffnet die Tabelle der bekannten IBIS-Datensätze</source>
        <translation>Opens the table of known IBIS record types</translation>
    </message>
    <message>
        <source>Filter definieren ...</source>
        <translation>Define filter ...</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Vorlage:</source>
        <translation>Template:</translation>
    </message>
    <message>
        <source>Vorlage speichern</source>
        <translation>Save template</translation>
    </message>
    <message>
        <source>Vorlage löschen</source>
        <translation>Delete template</translation>
    </message>
    <message>
        <source>Gruppe</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Datensatz-Nr.</source>
        <translation>Record no.</translation>
    </message>
    <message>
        <source>Fehlerhafte Telegramme nie ausfiltern</source>
        <translation>Never filter out erroneous telegrams</translation>
    </message>
    <message>
        <source>Alle</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Keine</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Die Kürzel beschreiben nur den ersten Buchstaben eines Telegramms. Ein Kürzel kann damit auch mehrere Datensätze umfassen.</source>
        <translation>The initials stand only for the first letter of a telegram, so one initial can cover several record types.</translation>
    </message>
    <message>
        <source>Hier können Sie exakt die Datensätze auswählen, die Sie angezeigt haben wollen.</source>
        <translation>Here you choose exactly the record types you want to see.</translation>
    </message>
    <message>
        <source>Aktuellen Filter als Vorlage speichern</source>
        <translation>Save the current filter as a template</translation>
    </message>
    <message>
        <source>Aktuelle Vorlage löschen</source>
        <translation>Delete the current template</translation>
    </message>
    <message>
        <source>Wenn diese Option aktiv ist, werden fehlerhafte Telegramme immer angezeigt.</source>
        <translation>When this option is on, erroneous telegrams are always shown.</translation>
    </message>
    <message>
        <source>Alle Kürzel und Datensätze aktivieren</source>
        <translation>Select all initials and record types</translation>
    </message>
    <message>
        <source>Alle Kürzel und Datensätze deaktivieren</source>
        <translation>Clear all initials and record types</translation>
    </message>
    <message>
        <source>Die Datei IBIS_Frame.CSV fehlt oder ist beschädigt.</source>
        <translation>The file IBIS_Frame.CSV is missing or damaged.</translation>
    </message>
    <message>
        <source>Diese Datei ist nicht zwingend für den Betrieb des Programms nötig.</source>
        <translation>The program can run without this file.</translation>
    </message>
    <message>
        <source>Es werden jedoch einige Funktionen nicht verfügbar sein.</source>
        <translation>Some features will not be available.</translation>
    </message>
    <message>
        <source>Stellen Sie IBIS_Frame.CSV von Ihrer Original-CD wieder her.</source>
        <translation>Please recover the file IBIS_Frame.CSV from your original CD.</translation>
    </message>
    <message>
        <source>Datensatzfilter speichern</source>
        <translation>Save filter template</translation>
    </message>
    <message>
        <source>Die aktuellen Einstellungen wurden als Filter "%1" gespeichert.</source>
        <translation>The current settings were saved as template "%1".</translation>
    </message>
    <message>
        <source>Datensatzfilter löschen?</source>
        <translation>Delete template?</translation>
    </message>
    <message>
        <source>Möchten Sie den Filter "%1" wirklich löschen?</source>
        <translation>Do you really want to delete template "%1"?</translation>
    </message>
    <message>
        <source>Der Name "%1" ist für die Liste der Vorlagen reserviert. Bitte wählen Sie einen anderen Namen.</source>
        <translation>The name "%1" is reserved for the list of templates. Please choose another name.</translation>
    </message>
    <message>
        <source>Der Name einer Vorlage darf die Zeichen [ ] = nicht enthalten.</source>
        <translation>A template name must not contain the characters [ ] =.</translation>
    </message>
    <message>
        <source>Die Vorlagen konnten nicht gespeichert werden:</source>
        <translation>The templates could not be saved:</translation>
    </message>
    <message>
        <source>Die Vorlagen konnten nicht gelesen werden:</source>
        <translation>The templates could not be read:</translation>
    </message>
    <message>
        <source>Mithilfe der Filter können Sie einstellen, welche Datensätze in einem Protokoll oder im Monitorfenster angezeigt werden.</source>
        <translation>With the filters you choose which record types a protocol or the monitor shows.</translation>
    </message>
    <message>
        <source>IBIS Adressumsetzung ...</source>
        <translation>IBIS address translation ...</translation>
    </message>
    <message>
        <source>Mithilfe der Adressumsetzung können Sie die Adressen von Mastersimulationen automatisch umsetzen lassen.</source>
        <translation>The address translation rewrites the addresses of master simulations.</translation>
    </message>
    <message>
        <source>Master ein</source>
        <translation>Master on</translation>
    </message>
    <message>
        <source>Master aus</source>
        <translation>Master off</translation>
    </message>
    <message>
        <source>Schaltet den Master-Modus ein und aus</source>
        <translation>Switches master mode on and off</translation>
    </message>
    <message>
        <source>Mastersimulation ...</source>
        <translation>Master simulation ...</translation>
    </message>
    <message>
        <source>Startet eine Aufrufliste zur Mastersimulation oder beendet eine laufende.</source>
        <translation>Starts a call list as master simulation or ends the running one.</translation>
    </message>
    <message>
        <source>Slavesimulation ...</source>
        <translation>Slave simulation ...</translation>
    </message>
    <message>
        <source>Startet eine Antwortliste zur Slavesimulation oder beendet eine laufende.</source>
        <translation>Starts a response list as slave simulation or ends the running one.</translation>
    </message>
    <message>
        <source>Überlastschutz zurücksetzen</source>
        <translation>Reset overload protection</translation>
    </message>
    <message>
        <source>Aus Protokoll senden ...</source>
        <translation>Send from protocol ...</translation>
    </message>
    <message>
        <source>Benutzt ein aufgezeichnetes Protokoll als Mastersimulation.</source>
        <translation>Uses a recorded protocol as master simulation.</translation>
    </message>
    <message>
        <source>Suchen ...</source>
        <translation>Find ...</translation>
    </message>
    <message>
        <source>Sucht innerhalb eines Protokolls einen Wert</source>
        <translation>Finds a value in a protocol</translation>
    </message>
    <message>
        <source>Einstellungen ...</source>
        <translation>Settings ...</translation>
    </message>
    <message>
        <source>Programmoptionen</source>
        <translation>Program options</translation>
    </message>
    <message>
        <source>Schnittstelle auswählen ...</source>
        <translation>Select interface ...</translation>
    </message>
    <message>
        <source>Serielle Schnittstelle auswählen</source>
        <translation>Select the serial interface</translation>
    </message>
    <message>
        <source>Windows Farbschema benutzen</source>
        <translation>Use Windows colour scheme</translation>
    </message>
    <message>
        <source>ZK Farbschema benutzen</source>
        <translation>Use ZK colour scheme</translation>
    </message>
    <message>
        <source>Toolbar Hauptprogramm</source>
        <translation>Main toolbar</translation>
    </message>
    <message>
        <source>Toolbar Protokollfenster</source>
        <translation>Protocol window toolbar</translation>
    </message>
    <message>
        <source>Modus- und Statusbereich</source>
        <translation>Mode and status area</translation>
    </message>
    <message>
        <source>Alles einblenden</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>Alles ausblenden</source>
        <translation>Hide all</translation>
    </message>
    <message>
        <source>HEX zu IBIS-Hex Umrechner</source>
        <translation>HEX to IBIS hex converter</translation>
    </message>
    <message>
        <source>Geräteinformation ...</source>
        <translation>Device information ...</translation>
    </message>
    <message>
        <source>Geräteinformation</source>
        <translation>Device information</translation>
    </message>
    <message>
        <source>Info über ...</source>
        <translation>About ...</translation>
    </message>
    <message>
        <source>Fehlerprotokoll erzeugen ...</source>
        <translation>Create error report ...</translation>
    </message>
    <message>
        <source>Firmware Update ausführen ...</source>
        <translation>Firmware update ...</translation>
    </message>
    <message>
        <source>Lädt eine neue Firmware auf das Gerät.</source>
        <translation>Loads new firmware into the device.</translation>
    </message>
    <message>
        <source>USB Kommunikation speichern</source>
        <translation>Save USB communication</translation>
    </message>
    <message>
        <source>I&amp;nhalt</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>Virtuelles Gerät</source>
        <translation>Virtual device</translation>
    </message>
    <message>
        <source>Eingesteckt</source>
        <translation>Plugged in</translation>
    </message>
    <message>
        <source>Master am Bus</source>
        <translation>Master on the bus</translation>
    </message>
    <message>
        <source>Externe Spannung</source>
        <translation>External power</translation>
    </message>
    <message>
        <source>Kurzschluss</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <source>Neustart</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>Fehlerrate</source>
        <translation>Fault rate</translation>
    </message>
    <message>
        <source>Master Modus</source>
        <translation>Master mode</translation>
    </message>
    <message>
        <source>Slave Modus</source>
        <translation>Slave mode</translation>
    </message>
    <message>
        <source>Gerätestatus</source>
        <translation>Device status</translation>
    </message>
    <message>
        <source>Aktives Protokoll: -</source>
        <translation>Active protocol: -</translation>
    </message>
    <message>
        <source>Aktive Aufrufliste: -</source>
        <translation>Active call list: -</translation>
    </message>
    <message>
        <source>Aktive Antwortliste: -</source>
        <translation>Active response list: -</translation>
    </message>
    <message>
        <source>Sendeabstand der Telegramme um Faktor</source>
        <translation>Make the gaps between telegrams</translation>
    </message>
    <message>
        <source>vergrößern.</source>
        <translation>times longer.</translation>
    </message>
    <message>
        <source>Senden</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Wagenbus</source>
        <translation>Vehicle bus</translation>
    </message>
    <message>
        <source>Zugbus</source>
        <translation>Train bus</translation>
    </message>
    <message>
        <source>Bustyp</source>
        <translation>Bus type</translation>
    </message>
    <message>
        <source>Soll die Telegrammauswertung auf den Wagenbus umgestellt werden?</source>
        <translation>Analyse the telegrams as vehicle bus telegrams?</translation>
    </message>
    <message>
        <source>Soll die Telegrammauswertung auf den Zugbus umgestellt werden?</source>
        <translation>Analyse the telegrams as train bus telegrams?</translation>
    </message>
    <message>
        <source>&lt;Keine Liste aktiv&gt;</source>
        <translation>&lt;No list active&gt;</translation>
    </message>
    <message>
        <source>Firmware-Version: unbekannt</source>
        <translation>Firmware version: unknown</translation>
    </message>
    <message>
        <source>COM???</source>
        <translation>COM???</translation>
    </message>
    <message>
        <source>Es liegt keine Spannung am IBIS-Sendebus an. (WBSD)</source>
        <translation>There is no voltage on the IBIS send line. (WBSD)</translation>
    </message>
    <message>
        <source>Es liegt keine Spannung am IBIS-Empfangsbus an. (WBED)</source>
        <translation>There is no voltage on the IBIS receive line. (WBED)</translation>
    </message>
    <message>
        <source>Es liegt keine externe Spannung an.</source>
        <translation>There is no external power.</translation>
    </message>
    <message>
        <source>Fehlt möglicherweise der IBIS-Master?</source>
        <translation>Is the IBIS master missing?</translation>
    </message>
    <message>
        <source>Ist der IBIS-Wagenbus überhaupt angeschlossen?</source>
        <translation>Is the IBIS vehicle bus connected at all?</translation>
    </message>
    <message>
        <source>Es wurde ein aktiver IBIS-Master am Bus erkannt.</source>
        <translation>An active IBIS master was detected on the bus.</translation>
    </message>
    <message>
        <source>Das Gerät kann daher nicht in den Master Modus geschaltet werden.</source>
        <translation>The device can therefore not be switched to master mode.</translation>
    </message>
    <message>
        <source>Warnung</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Es liegt ein Kurzschluss auf dem Wagenbus vor.</source>
        <translation>There is a short circuit on the vehicle bus.</translation>
    </message>
    <message>
        <source>Beheben Sie den Kurzschluss und klicken Sie auf die rote LED, </source>
        <translation>Remove the short circuit and click the red LED </translation>
    </message>
    <message>
        <source>um danach den Überlastschutz zurückzusetzen.</source>
        <translation>to reset the overload protection.</translation>
    </message>
    <message>
        <source>Möchten Sie den Überlast-Schutz tatsächlich zurücksetzen?</source>
        <translation>Do you really want to reset the overload protection?</translation>
    </message>
    <message>
        <source>Hinweis</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Nr.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Markieren:</source>
        <translation>Mark:</translation>
    </message>
    <message>
        <source>Markiert die Zeilen, deren Telegramm (wie angezeigt) mit diesem Text beginnt. Beginnt der Text mit &quot;*&quot;, wird er überall im Telegramm gefunden. &quot;?&quot; steht für ein beliebiges Zeichen, &quot;*&quot; für beliebig viele, &quot;/?&quot; und &quot;/*&quot; für ? und * selbst. Groß- und Kleinschreibung zählen nicht.</source>
        <translation>Marks the rows whose telegram (as shown) begins with this text. If the text begins with &quot;*&quot;, it is found anywhere in the telegram. &quot;?&quot; stands for any one character, &quot;*&quot; for any number of characters, &quot;/?&quot; and &quot;/*&quot; for ? and * themselves. Upper and lower case do not matter.</translation>
    </message>
    <message>
        <source>Suchen</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Suchen nach:</source>
        <translation>Find what:</translation>
    </message>
    <message>
        <source>Keine Übereinstimmung gefunden</source>
        <translation>No match found</translation>
    </message>
    <message>
        <source>Suchbegriff "%1" nicht gefunden.</source>
        <translation>Search text "%1" not found.</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>Warnungen</source>
        <translation>Warnings</translation>
    </message>
    <message>
        <source>Umlaute</source>
        <translation>Umlauts</translation>
    </message>
    <message>
        <source>IBIS-Sonderzeichen in Umlaut konvertieren</source>
        <translation>Convert IBIS characters to umlauts</translation>
    </message>
    <message>
        <source>Hexadezimaldarstellung eingeblendet</source>
        <translation>Hex column shown</translation>
    </message>
    <message>
        <source>Hexadezimaldarstellung ausgeblendet</source>
        <translation>Hex column hidden</translation>
    </message>
    <message>
        <source>Filter aus</source>
        <translation>Filter off</translation>
    </message>
    <message>
        <source>Filter ein</source>
        <translation>Filter on</translation>
    </message>
    <message>
        <source>Akustischer Filter</source>
        <translation>Acoustic filter</translation>
    </message>
    <message>
        <source>Telegrammfilter ausgeschaltet</source>
        <translation>Telegram filter off</translation>
    </message>
    <message>
        <source>Telegrammfilter eingeschaltet</source>
        <translation>Telegram filter on</translation>
    </message>
    <message>
        <source>Automatische Warnungsmarkierung eingeschaltet</source>
        <translation>Automatic warning marks on</translation>
    </message>
    <message>
        <source>Automatische Warnungsmarkierung ausgeschaltet</source>
        <translation>Automatic warning marks off</translation>
    </message>
    <message>
        <source>Startzeit</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>Reaktion</source>
        <translation>Reaction</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>Telegramm</source>
        <translation>Telegram</translation>
    </message>
    <message>
        <source>Telegramm (HEX)</source>
        <translation>Telegram (HEX)</translation>
    </message>
    <message>
        <source>DS-Nr.</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Beschreibung</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>A?</source>
        <translation>A?</translation>
    </message>
    <message>
        <source>ungültig</source>
        <translation>invalid</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Weiter</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Löschen</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Gesamte Liste löschen</source>
        <translation>Clear the whole list</translation>
    </message>
    <message>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Automatisches Weiterspringen in der Tabelle anhalten bzw. fortsetzen</source>
        <translation>Stop or resume following the newest row</translation>
    </message>
    <message>
        <source>Monitor - Beginn der Aufzeichnung: </source>
        <translation>Monitor - recording started: </translation>
    </message>
    <message>
        <source>Monitor löschen</source>
        <translation>Clear monitor</translation>
    </message>
    <message>
        <source>Sollen wirklich alle Einträge gelöscht werden?</source>
        <translation>Do you really want to clear all rows?</translation>
    </message>
    <message>
        <source>Protokolldatei speichern</source>
        <translation>Save protocol file</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht geschrieben werden.</source>
        <translation>The file could not be written.</translation>
    </message>
    <message>
        <source>Monitorfenster</source>
        <translation>Monitor window</translation>
    </message>
    <message>
        <source>Die Daten wurden verändert, jedoch noch nicht gespeichert.</source>
        <translation>The data has changed and has not been saved.</translation>
    </message>
    <message>
        <source>Wollen Sie die Änderung jetzt speichern?</source>
        <translation>Do you want to save the changes now?</translation>
    </message>
    <message>
        <source>Protokolldatei (*.PRO.CSV)</source>
        <translation>Protocol file (*.PRO.CSV)</translation>
    </message>
    <message>
        <source>Alle Dateien (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>Hilfe ...</source>
        <translation>Help ...</translation>
    </message>
    <message>
        <source>Sie können mit dieser Option die Ablaufgeschwindigkeit eines</source>
        <translation>With this option you can change the pace of a</translation>
    </message>
    <message>
        <source>aufgezeichneten Protokolls verändern.</source>
        <translation>recorded protocol.</translation>
    </message>
    <message>
        <source>Detaileingabe ...</source>
        <translation>Detail input ...</translation>
    </message>
    <message>
        <source>Sie sollten die Datensätze 003a, 003c, 004c, 021 und 021a nicht direkt editieren.</source>
        <translation>You should not edit the data sets 003a, 003c, 004c, 021 and 021a by hand.</translation>
    </message>
    <message>
        <source>Diese Datensätze benötigen ein spezielles Format, um gültig zu sein.</source>
        <translation>These data sets need a special format to be valid.</translation>
    </message>
    <message>
        <source>Nutzen Sie dazu den Datensatz-Editor des Programms.</source>
        <translation>Use the program&apos;s data set editor for them.</translation>
    </message>
    <message>
        <source>Protokoll erneut analysieren ...</source>
        <translation>Analyse protocol again ...</translation>
    </message>
    <message>
        <source>Das aktuelle Protokoll erneut analysieren lassen.</source>
        <translation>Analyse the current protocol again.</translation>
    </message>
    <message>
        <source>Startet das Senden der Aufzeichnung. Es wird in der Zeile begonnen, die gerade markiert ist.</source>
        <translation>Starts sending the recording, beginning with the selected row.</translation>
    </message>
    <message>
        <source>Protokoll einmal versenden</source>
        <translation>Send protocol once</translation>
    </message>
    <message>
        <source>Protokoll zyklisch versenden</source>
        <translation>Send protocol cyclically</translation>
    </message>
    <message>
        <source>Nur dieses Telegramm verschicken</source>
        <translation>Send only this telegram</translation>
    </message>
    <message>
        <source>Das Protokoll wird ausgewertet ...</source>
        <translation>The protocol is being analysed ...</translation>
    </message>
    <message>
        <source>Bitte haben Sie etwas Geduld ...</source>
        <translation>Please be patient ...</translation>
    </message>
    <message>
        <source>  Anzahl versendeter Telegramme: %1</source>
        <translation>  Telegrams sent: %1</translation>
    </message>
    <message>
        <source>Zyklisch</source>
        <translation>Cyclic</translation>
    </message>
    <message>
        <source>Einmal</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>Einzeln</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Ist beim Senden das Protokollende erreicht, wird wieder von vorne begonnen.</source>
        <translation>When the end of the protocol is reached, sending starts again from the top.</translation>
    </message>
    <message>
        <source>Beim Senden wird das Protokoll einmal von oben nach unten versendet.</source>
        <translation>The protocol is sent once from top to bottom.</translation>
    </message>
    <message>
        <source>Beim Senden wird das Protokoll einmal von oben nach unten versendet</source>
        <translation>The protocol is sent once from top to bottom</translation>
    </message>
    <message>
        <source>Es wird nur das markierte Telegramm versendet.</source>
        <translation>Only the selected telegram is sent.</translation>
    </message>
    <message>
        <source>Warnung: Modus Umschaltung</source>
        <translation>Warning: mode switch</translation>
    </message>
    <message>
        <source>Sie können nur dann eine Mastersimulation starten, wenn der %1 Master ist.</source>
        <translation>You can only start a master simulation when the %1 is master.</translation>
    </message>
    <message>
        <source>Dies ist augenblicklich nicht der Fall.</source>
        <translation>This is not the case at the moment.</translation>
    </message>
    <message>
        <source>Es ist bereits ein anderes Protokoll aktiv, es darf jedoch immer nur ein Protokoll aktiv sein.</source>
        <translation>Another protocol is already active, but only one protocol may be active at a time.</translation>
    </message>
    <message>
        <source>Möchten Sie nun das andere Protokoll stoppen und dieses aktivieren?</source>
        <translation>Do you want to stop the other protocol and activate this one?</translation>
    </message>
    <message>
        <source>Anhalten</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Aktives Protokoll: </source>
        <translation>Active protocol: </translation>
    </message>
    <message>
        <source>Telegramm der Direkteingabe versenden.</source>
        <translation>Send the telegram of the direct input.</translation>
    </message>
    <message>
        <source>Fehlerfrei</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>Das eingegebene Telegramm ist syntaktisch korrekt.</source>
        <translation>The telegram entered is syntactically correct.</translation>
    </message>
    <message>
        <source>Datensatz %1 ist ein Slavetelegramm und sollte nicht von einem Master versendet werden.</source>
        <translation>Data set %1 is a slave telegram and should not be sent by a master.</translation>
    </message>
    <message>
        <source>Das eingegebene Telegramm entspricht nicht dem Aufbau [%1] eines Datensatzes %2.</source>
        <translation>The telegram entered does not match the syntax [%1] of a data set %2.</translation>
    </message>
    <message>
        <source>Syntax- und Typfehler</source>
        <translation>Syntax and type error</translation>
    </message>
    <message>
        <source>Unbekannter Datensatz</source>
        <translation>Unknown data set</translation>
    </message>
    <message>
        <source>Es ist kein Telegrammmuster bekannt, mit dem die Eingabe übereinstimmen würde.</source>
        <translation>No telegram pattern is known that would match the input.</translation>
    </message>
    <message>
        <source>Telegrammanalyse</source>
        <translation>Telegram analysis</translation>
    </message>
    <message>
        <source>Abfolgeanalyse:</source>
        <translation>Sequence analysis:</translation>
    </message>
    <message>
        <source>Adresse der angesprochenen Anzeige</source>
        <translation>Address of the display</translation>
    </message>
    <message>
        <source>Adresse:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Anzahl der Datenblöcke zu je 16 Zeichen</source>
        <translation>Number of data blocks of 16 characters</translation>
    </message>
    <message>
        <source>Anzahl der Datenblöcke zu je 4 Zeichen</source>
        <translation>Number of data blocks of 4 characters</translation>
    </message>
    <message>
        <source>Anzeige</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Anzeigetext:</source>
        <translation>Display text:</translation>
    </message>
    <message>
        <source>Bestpassende DS-Nr.:</source>
        <translation>Best matching record no.:</translation>
    </message>
    <message>
        <source>Blöcke:</source>
        <translation>Blocks:</translation>
    </message>
    <message>
        <source>DS-Nr.:</source>
        <translation>Record no.:</translation>
    </message>
    <message>
        <source>Das Telegramm kann nicht analysiert werden.</source>
        <translation>The telegram cannot be analysed.</translation>
    </message>
    <message>
        <source>Das nächste passende, unbeantwortete Mastertelegramm wurde in Protokollzeile %1 aufgezeichnet.</source>
        <translation>The next matching unanswered master telegram was recorded in protocol row %1.</translation>
    </message>
    <message>
        <source>Datensatz %1 ist ein Masterdatensatz. Er scheint jedoch von einem Slave verschickt worden zu sein.</source>
        <translation>Data set %1 is a master data set, but a slave seems to have sent it.</translation>
    </message>
    <message>
        <source>Datensatz %1 ist ein Slavedatensatz. Er scheint jedoch von einem Master verschickt worden zu sein.</source>
        <translation>Data set %1 is a slave data set, but a master seems to have sent it.</translation>
    </message>
    <message>
        <source>Datensatz-Nr.:</source>
        <translation>Data set no.:</translation>
    </message>
    <message>
        <source>Datensatznummer des Datensatzes</source>
        <translation>The number of the data set</translation>
    </message>
    <message>
        <source>Der Aufbau des Telegramms entspricht nicht der in der VDV300 geforderten Norm.</source>
        <translation>The structure of the telegram does not meet the VDV 300 standard.</translation>
    </message>
    <message>
        <source>Der Datensatz ist fehlerhaft. Daher kann hier nur angegeben werden, welchem Datensatz er am meisten ähnelt.</source>
        <translation>The data set is erroneous, so only the data set it resembles most can be named here.</translation>
    </message>
    <message>
        <source>Die Antwort, auf die sich diese Analyse bezieht, ging in Protokollzeile %1 ein.</source>
        <translation>The answer this analysis refers to arrived in protocol row %1.</translation>
    </message>
    <message>
        <source>Die Datensatznummer des Telegramms.</source>
        <translation>The data set number of the telegram.</translation>
    </message>
    <message>
        <source>Die Prüfsumme fehlt!</source>
        <translation>The checksum is missing!</translation>
    </message>
    <message>
        <source>Die Prüfsumme ist "%1" (Hex: 0x%2). Dies ist nicht korrekt.</source>
        <translation>The checksum is "%1" (hex 0x%2). This is not correct.</translation>
    </message>
    <message>
        <source>Die Prüfsumme müsste "%1" (Hex: 0x%2) sein, ist aber "%3" (Hex: 0x%4).</source>
        <translation>The checksum should be "%1" (hex 0x%2), but it is "%3" (hex 0x%4).</translation>
    </message>
    <message>
        <source>Die Zeile des Protokolls, auf das sich diese Fehleranalyse bezieht.</source>
        <translation>The protocol row this error analysis refers to.</translation>
    </message>
    <message>
        <source>Dieses Telegramm ist fehlerhaft</source>
        <translation>This telegram is erroneous</translation>
    </message>
    <message>
        <source>Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003a).</source>
        <translation>This telegram is erroneous (see VDV 300 on the structure of a DS 003a).</translation>
    </message>
    <message>
        <source>Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003c).</source>
        <translation>This telegram is erroneous (see VDV 300 on the structure of a DS 003c).</translation>
    </message>
    <message>
        <source>Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 021).</source>
        <translation>This telegram is erroneous (see VDV 300 on the structure of a DS 021).</translation>
    </message>
    <message>
        <source>Dieses Telegramm ist so fehlerhaft, dass es nicht analysiert werden kann.</source>
        <translation>This telegram is too faulty to be analysed.</translation>
    </message>
    <message>
        <source>Ein Datensatz %1 sollte wie folgt aufgebaut sein: %2</source>
        <translation>A data set %1 should be structured as follows: %2</translation>
    </message>
    <message>
        <source>Es gibt keinen Datensatz mit dem das Telegramm übereinstimmen würde.</source>
        <translation>No data set matches this telegram.</translation>
    </message>
    <message>
        <source>Es ist ein Framing-Fehler aufgetreten.</source>
        <translation>A framing error occurred.</translation>
    </message>
    <message>
        <source>Es ist ein Parity-Fehler aufgetreten.</source>
        <translation>A parity error occurred.</translation>
    </message>
    <message>
        <source>Es ist ein Prüfsummenfehler aufgetreten.</source>
        <translation>A checksum error occurred.</translation>
    </message>
    <message>
        <source>Es ist ein Reset durchgeführt worden.</source>
        <translation>The device was reset.</translation>
    </message>
    <message>
        <source>Es ist ein Timeout aufgetreten.</source>
        <translation>A time-out occurred.</translation>
    </message>
    <message>
        <source>Fehler: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Die Antwort ging zwar ein, jedoch zu spät.</source>
        <translation>Error: data set %1 expects data set(s) %2 as its answer. The answer came, but too late.</translation>
    </message>
    <message>
        <source>Fehler: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Kein Slave hat passend darauf geantwortet.</source>
        <translation>Error: data set %1 expects data set(s) %2 as its answer. No slave gave a matching answer.</translation>
    </message>
    <message>
        <source>Fehler: Dieses Slavetelegramm kam zu spät als Antwort auf das anfordernde Mastertelegramm.</source>
        <translation>Error: this slave telegram came too late to answer the master telegram that requested it.</translation>
    </message>
    <message>
        <source>Fehler: Es konnte nicht festgestellt werden, auf welches Telegramm dieses Slavetelegramm die Antwort sein sollte.</source>
        <translation>Error: no master telegram was found that this slave telegram could answer.</translation>
    </message>
    <message>
        <source>Framing-Fehler</source>
        <translation>Framing error</translation>
    </message>
    <message>
        <source>Lfd-Nr.:</source>
        <translation>No.:</translation>
    </message>
    <message>
        <source>Länge (Byte):</source>
        <translation>Length (bytes):</translation>
    </message>
    <message>
        <source>Nummer des Telegramms in der obigen Tabelle</source>
        <translation>Number of the telegram in the table above</translation>
    </message>
    <message>
        <source>OK: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Diese Antwort ging korrekt ein</source>
        <translation>OK: data set %1 expects data set(s) %2 as its answer. The answer came correctly.</translation>
    </message>
    <message>
        <source>OK: Datensatz %1 erwartet keine Antwort.</source>
        <translation>OK: data set %1 expects no answer.</translation>
    </message>
    <message>
        <source>OK: Dieses Slavetelegramm ist die korrekte Antwort auf das vorhergehende Mastertelegramm.</source>
        <translation>OK: this slave telegram is the correct answer to the preceding master telegram.</translation>
    </message>
    <message>
        <source>Originaltext des Telegramms</source>
        <translation>The telegram as received</translation>
    </message>
    <message>
        <source>Parity-Fehler</source>
        <translation>Parity error</translation>
    </message>
    <message>
        <source>Protokollzeile:</source>
        <translation>Protocol line:</translation>
    </message>
    <message>
        <source>Prüfsummenfehler</source>
        <translation>Checksum error</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Satznr.:</source>
        <translation>Record no.:</translation>
    </message>
    <message>
        <source>Startzeit:</source>
        <translation>Start time:</translation>
    </message>
    <message>
        <source>Syntaxfehler</source>
        <translation>Syntax error</translation>
    </message>
    <message>
        <source>Takt</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Taktzeit</source>
        <translation>Phase time</translation>
    </message>
    <message>
        <source>Taktzeit:</source>
        <translation>Phase time:</translation>
    </message>
    <message>
        <source>Telegrammlänge inkl. abschließendem Zeilenumbruch und Prüfsumme</source>
        <translation>Length of the telegram including the final delimiter (&lt;CR&gt;) and the checksum</translation>
    </message>
    <message>
        <source>Text der im Display angezeigt werden soll</source>
        <translation>The text to be shown on the display</translation>
    </message>
    <message>
        <source>Text, der im Display angezeigt werden soll</source>
        <translation>The text to be shown on the display</translation>
    </message>
    <message>
        <source>Timeout</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <source>Typ- und Aufbaufehler:</source>
        <translation>Type and structure errors:</translation>
    </message>
    <message>
        <source>Typfehler sind Fehler, bei denen ein Master Slavetelegramme oder ein Slave Mastertelegramme verschickt.</source>
        <translation>A type error occurs when an IBIS master sends a slave telegram or an IBIS slave sends a master telegram.</translation>
    </message>
    <message>
        <source>Typfehler</source>
        <translation>Type error</translation>
    </message>
    <message>
        <source>Wann wurde der Datensatz übertragen?</source>
        <translation>When was the data set transmitted?</translation>
    </message>
    <message>
        <source>Zeile 1:</source>
        <translation>Line 1:</translation>
    </message>
    <message>
        <source>Zeile 2:</source>
        <translation>Line 2:</translation>
    </message>
    <message>
        <source>Übertragungsfehler:</source>
        <translation>Transmission errors:</translation>
    </message>
    <message>
        <source>&amp;Speichern</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Speichern &amp;unter...</source>
        <translation>Save &amp;as...</translation>
    </message>
    <message>
        <source>Spaltenbreite fixieren</source>
        <translation>Fix column widths</translation>
    </message>
    <message>
        <source>Wenn Sie die Spaltenbreite verändern wollen, dann müssen</source>
        <translation>If you want to change the column widths,</translation>
    </message>
    <message>
        <source>Sie zunächst die dynamische Spaltenanpassung deaktivieren.</source>
        <translation>first switch off the automatic column sizing.</translation>
    </message>
    <message>
        <source>Spaltenbreite variabel</source>
        <translation>Variable column widths</translation>
    </message>
    <message>
        <source>Eine Zeile vor der aktuellen Zeile einfügen</source>
        <translation>Insert a row before the current row</translation>
    </message>
    <message>
        <source>Die markierte Zeile löschen</source>
        <translation>Delete the selected row</translation>
    </message>
    <message>
        <source>Eine Zeile am Ende anfügen</source>
        <translation>Append a row at the end</translation>
    </message>
    <message>
        <source>variable Spaltenbreite</source>
        <translation>variable column width</translation>
    </message>
    <message>
        <source>feste Spaltenbreite</source>
        <translation>fixed column width</translation>
    </message>
    <message>
        <source>Sonderzeichen einfügen</source>
        <translation>Insert special character</translation>
    </message>
    <message>
        <source>Aktivieren</source>
        <translation>Activate</translation>
    </message>
    <message>
        <source>Alle auswählen</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Keines auswählen</source>
        <translation>Select none</translation>
    </message>
    <message>
        <source>Die aktuelle Zeile ist unvollständig.</source>
        <translation>The current row is incomplete.</translation>
    </message>
    <message>
        <source>Bitte füllen Sie sie korrekt aus oder löschen Sie sie, bevor Sie zu einer anderen Zeile wechseln.</source>
        <translation>Please complete or delete it before you move to another row.</translation>
    </message>
    <message>
        <source>Die aktuelle Zeile ist unvollständig ausgefüllt.</source>
        <translation>The current row is not filled in completely.</translation>
    </message>
    <message>
        <source>Wenn Sie das Fenster jetzt schließen, gehen alle bisherigen Änderungen verloren.</source>
        <translation>If you close the window now, all changes are lost.</translation>
    </message>
    <message>
        <source>Wollen Sie das Fenster schließen?</source>
        <translation>Do you want to close the window?</translation>
    </message>
    <message>
        <source>Protokoll</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Protokoll speichern?</source>
        <translation>Save protocol?</translation>
    </message>
    <message>
        <source>Das Protokoll wurde importiert oder erneut analysiert.</source>
        <translation>The protocol has been imported or analysed again.</translation>
    </message>
    <message>
        <source>Das Telegramm wurde geändert und noch nicht übernommen.</source>
        <translation>The telegram was changed and has not been applied yet.</translation>
    </message>
    <message>
        <source>Wollen Sie es jetzt übernehmen?</source>
        <translation>Do you want to apply it now?</translation>
    </message>
    <message>
        <source>Wollen Sie das geänderte Protokoll jetzt speichern?</source>
        <translation>Do you want to save the changed protocol now?</translation>
    </message>
    <message>
        <source>Speichern unter...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Detailinformationen ausblenden</source>
        <translation>Hide the details</translation>
    </message>
    <message>
        <source>Telegramm:</source>
        <translation>Telegram:</translation>
    </message>
    <message>
        <source>Beschreibung:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>Reaktion:</source>
        <translation>Reaction:</translation>
    </message>
    <message>
        <source>Fehler:</source>
        <translation>Errors:</translation>
    </message>
    <message>
        <source>Tipp</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>Durch einen Doppelklick auf Zeilen, in denen ein Fehler aufgetreten ist,</source>
        <translation>Double-click a row in which an error occurred</translation>
    </message>
    <message>
        <source>können Sie eine genaue Analyse der oder des Fehlers einblenden.</source>
        <translation>to show a detailed analysis of the error(s).</translation>
    </message>
    <message>
        <source>Durch einen Doppelklick auf Zeilen mit Datensatz 003a, 003c oder 021</source>
        <translation>Double-click a row of record type 003a, 003c or 021</translation>
    </message>
    <message>
        <source>können Sie eine genaue Analyse dieses Datensatzes einblenden.</source>
        <translation>to show a detailed analysis of this record.</translation>
    </message>
    <message>
        <source>Sie müssen die Filterung erst aktivieren,</source>
        <translation>You have to switch the filter on</translation>
    </message>
    <message>
        <source>bevor die Datensätze eines Fensters gefiltert werden.</source>
        <translation>before the records of a window are filtered.</translation>
    </message>
    <message>
        <source>Die ausgewählte Datei ist kein gültiges Protokoll, beschädigt oder durch einen anderen Prozess gesperrt. </source>
        <translation>The selected file is not a valid protocol, is damaged or is locked by another process.</translation>
    </message>
    <message>
        <source>Falls Sie gleichzeitig mit anderen Programmen auf dieses Protokoll zugreifen, beenden Sie diese zuerst.</source>
        <translation>If other programs are accessing this protocol at the same time, close them first.</translation>
    </message>
    <message>
        <source>Ungültiges Protokollformat</source>
        <translation>Invalid protocol format</translation>
    </message>
    <message>
        <source>Die Form des Protokolls ist nicht eindeutig zu erkennen: Die Felder seiner ersten Zeile stehen nicht vollständig in Anführungszeichen. Die Datei wurde weder geladen noch umgewandelt.</source>
        <translation>The protocol's form cannot be told for certain: the fields of its first line are not all enclosed in quotes. The file was neither loaded nor converted.</translation>
    </message>
    <message>
        <source>Das Protokoll wird geladen.</source>
        <translation>The protocol is being loaded.</translation>
    </message>
    <message>
        <source>Das Protokoll ist unvollständig: Ein Anführungszeichen in Zeile %1 der Datei wird nie geschlossen, daher kann ab dort nichts gelesen werden. Gezeigt werden die %2 Zeilen davor.</source>
        <translation>The protocol is incomplete: a quote in line %1 of the file is never closed, so nothing from there on can be read. The %2 rows before it are shown.</translation>
    </message>
    <message>
        <source>Protokolldatei öffnen</source>
        <translation>Open protocol file</translation>
    </message>
    <message>
        <source>Es wurde ein Protokoll gefunden, das von der automatischen Sicherung angelegt worden ist. Diese Protokolle sollten eigentlich automatisch beim Beenden des Programms gelöscht werden. Dass dieses Protokoll nicht gelöscht wurde, deutet auf abnormales Beenden des Programms hin.</source>
        <translation>A protocol made by the automatic backup has been found. Such protocols are deleted when the program ends; that this one was not points to an abnormal end of the program.</translation>
    </message>
    <message>
        <source>Das Sicherungsprotokoll wird nun geladen.</source>
        <translation>The backup protocol is loaded now.</translation>
    </message>
    <message>
        <source>Es bleibt als diese Datei erhalten:</source>
        <translation>It is kept as this file:</translation>
    </message>
    <message>
        <source>Datenordner</source>
        <translation>Data folder</translation>
    </message>
    <message>
        <source>Es gibt keinen Dokumente-Ordner. Die Datensatzdatei und die automatische Sicherung liegen deshalb hier:</source>
        <translation>There is no documents folder. The record-type file and the automatic backup are therefore kept here:</translation>
    </message>
    <message>
        <source>Adressumsetzung aktiviert</source>
        <translation>Address translation on</translation>
    </message>
    <message>
        <source>Adressumsetzung deaktiviert</source>
        <translation>Address translation off</translation>
    </message>
    <message>
        <source>Adressumsetzung ausgeschaltet</source>
        <translation>Address translation off</translation>
    </message>
    <message>
        <source>Adressumsetzung eingeschaltet</source>
        <translation>Address translation on</translation>
    </message>
    <message>
        <source>Wird ein Protokoll abgespielt, werden alle Adressen gemäß den Vorgaben umgesetzt.</source>
        <translation>When a protocol is played back, every address is translated as defined.</translation>
    </message>
    <message>
        <source>Wird ein Protokoll abgespielt, werden Adressen genau wie aufgezeichnet wiedergegeben.</source>
        <translation>When a protocol is played back, addresses are sent as recorded.</translation>
    </message>
    <message>
        <source>Die Telegramme werden als Zugbus-Telegramme ausgewertet.</source>
        <translation>The telegrams are analysed as train bus telegrams.</translation>
    </message>
    <message>
        <source>Die Telegramme werden als Wagenbus-Telegramme ausgewertet.</source>
        <translation>The telegrams are analysed as vehicle bus telegrams.</translation>
    </message>
    <message>
        <source>IBIS-Wagenbus Monitor und Simulator</source>
        <translation>IBIS vehicle bus monitor and simulator</translation>
    </message>
    <message>
        <source>IBIS Wagenbus Testgerät</source>
        <translation>IBIS vehicle bus test device</translation>
    </message>
    <message>
        <source>Geräterevision:</source>
        <translation>Device revision:</translation>
    </message>
    <message>
        <source>Der Modus wechselt, sobald das Gerät ihn im nächsten Statusbyte meldet.</source>
        <translation>The mode changes as soon as the device reports it in its next status byte.</translation>
    </message>
    <message>
        <source>Dieser Dateityp kann in dieser Version noch nicht geöffnet werden: </source>
        <translation>This version cannot open files of this type yet: </translation>
    </message>
    <message>
        <source>Aktive Aufrufliste:</source>
        <translation>Active call list:</translation>
    </message>
    <message>
        <source>Aktives Protokoll:</source>
        <translation>Active protocol:</translation>
    </message>
    <message>
        <source>Aktive Antwortliste:</source>
        <translation>Active response list:</translation>
    </message>
    <message>
        <source>Direkteingabe</source>
        <translation>Direct input</translation>
    </message>
    <message>
        <source>Sie können auch hier zwischen dem Master- und Slavemode umschalten.</source>
        <translation>You can also switch between master and slave mode here.</translation>
    </message>
    <message>
        <source>Bitte beachten Sie, dass im Zugbusbetrieb andere IBIS-Telegramme gelten, als im Wagenbusbetrieb.</source>
        <translation>Please note that other IBIS telegrams apply on the train bus than on the vehicle bus.</translation>
    </message>
    <message>
        <source>Wenn Ihr Tavrin an einen IBIS-Wagenbus angeschlossen ist, die Vaskel-Software jedoch im Modus "Zugbus" arbeitet, werden die meisten Telegramme als fehlerhaft gemeldet werden.</source>
        <translation>If your Tavrin is connected to an IBIS vehicle bus while the Vaskel software works in "train bus" mode, most telegrams will be reported as faulty.</translation>
    </message>
    <message>
        <source>Wollen Sie wirklich umschalten?</source>
        <translation>Do you really want to switch?</translation>
    </message>
    <!-- protocol windows: menus, find dialog, column and cell hints -->
    <message>
        <source>&amp;Hex-Darstellung einblenden</source>
        <translation>Show &amp;hex column</translation>
    </message>
    <message>
        <source>&amp;Hex-Darstellung ausblenden</source>
        <translation>Hide &amp;hex column</translation>
    </message>
    <message>
        <source>Hexadezimalspalte anzeigen</source>
        <translation>Show the hex column</translation>
    </message>
    <message>
        <source>Hexadezimalspalte ausblenden</source>
        <translation>Hide the hex column</translation>
    </message>
    <message>
        <source>Fil&amp;ter einschalten</source>
        <translation>Switch fil&amp;ter on</translation>
    </message>
    <message>
        <source>Akustischen Fil&amp;ter einschalten</source>
        <translation>Switch acoustic fil&amp;ter on</translation>
    </message>
    <message>
        <source>Fil&amp;ter ausschalten</source>
        <translation>Switch fil&amp;ter off</translation>
    </message>
    <message>
        <source>Filter einschalten</source>
        <translation>Switch filter on</translation>
    </message>
    <message>
        <source>Filter ausschalten</source>
        <translation>Switch filter off</translation>
    </message>
    <message>
        <source>Ton bei Filter</source>
        <translation>Sound on filter</translation>
    </message>
    <message>
        <source>&amp;Warnungsmarkierung ausblenden</source>
        <translation>Hide &amp;warning marks</translation>
    </message>
    <message>
        <source>&amp;Warnungsmarkierung anzeigen</source>
        <translation>Show &amp;warning marks</translation>
    </message>
    <message>
        <source>Kritische Werte werden automatisch markiert</source>
        <translation>Critical values are marked automatically</translation>
    </message>
    <message>
        <source>Kritische Werte nicht markieren</source>
        <translation>Do not mark critical values</translation>
    </message>
    <message>
        <source>IBIS-Sonderzeichen nicht konvertieren</source>
        <translation>Do not convert IBIS characters</translation>
    </message>
    <message>
        <source>Groß-/Kleinschreibung beachten</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>Richtung</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>Nach oben</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Nach unten</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Weitersuchen</source>
        <translation>Find next</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Handelt es sich um ein Master- oder Slavetelegramm?</source>
        <translation>Is it a master or a slave telegram?</translation>
    </message>
    <message>
        <source>Laufende Nummer des Telegramms</source>
        <translation>Running number of the telegram</translation>
    </message>
    <message>
        <source>Uhrzeit, zu der die Übertragung des Telegramms begann</source>
        <translation>Time of day at which the transmission of the telegram began</translation>
    </message>
    <message>
        <source>Zeit in Millisekunden vom Ende des Mastertelegramms bis zum Beginn der Antwort</source>
        <translation>Time in milliseconds from the end of the master telegram to the start of the answer</translation>
    </message>
    <message>
        <source>Fehler: R Reset, F Framing, P Parity, S Prüfsumme, A Timeout, T Typfehler, X Syntaxfehler</source>
        <translation>Errors: R reset, F framing, P parity, S checksum, A time-out, T type error, X syntax error</translation>
    </message>
    <message>
        <source>Das Telegramm, wie es auf dem Bus übertragen wurde</source>
        <translation>The telegram as it was transmitted on the bus</translation>
    </message>
    <message>
        <source>Das Telegramm in hexadezimaler Darstellung</source>
        <translation>The telegram in hexadecimal notation</translation>
    </message>
    <message>
        <source>Nummer des erkannten IBIS-Datensatzes</source>
        <translation>Number of the IBIS data set recognised</translation>
    </message>
    <message>
        <source>Beschreibung des Datensatzes</source>
        <translation>Description of the data set</translation>
    </message>
    <message>
        <source>Antwortstatus: Wurde das Telegramm beantwortet?</source>
        <translation>Answer status: was the telegram answered?</translation>
    </message>
    <message>
        <source>Mastertelegramm</source>
        <translation>Master telegram</translation>
    </message>
    <message>
        <source>Eigenes Mastertelegramm</source>
        <translation>Own master telegram</translation>
    </message>
    <message>
        <source>Slavetelegramm</source>
        <translation>Slave telegram</translation>
    </message>
    <message>
        <source>Eigenes Slavetelegramm</source>
        <translation>Own slave telegram</translation>
    </message>
    <message>
        <source>Keine passende Antwort</source>
        <translation>No fitting answer</translation>
    </message>
    <message>
        <source>Beantwortet</source>
        <translation>Answered</translation>
    </message>
    <message>
        <source>Beantwortet, jedoch zu spät</source>
        <translation>Answered, but too late</translation>
    </message>
    <message>
        <source>Kein anforderndes Mastertelegramm gefunden</source>
        <translation>No requesting master telegram found</translation>
    </message>
    <message>
        <source>Antwort zu spät</source>
        <translation>Answer too late</translation>
    </message>
    <message>
        <source>Korrekte Antwort</source>
        <translation>Correct answer</translation>
    </message>
    <message>
        <source> ACHTUNG: Ihre Änderungen werden erst aktiv, wenn Sie die Aufrufliste speichern!</source>
        <translation> ATTENTION: your changes only take effect once you save the call list!</translation>
    </message>
    <message>
        <source>&amp;Abbruch</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Adresse %1 (%2):</source>
        <translation>Address %1 (%2):</translation>
    </message>
    <message>
        <source>Adresse im Protokoll:</source>
        <translation>Address in the protocol:</translation>
    </message>
    <message>
        <source>Alle Werte auf die Normalwerte zurücksetzen.</source>
        <translation>Reset all values to their defaults.</translation>
    </message>
    <message>
        <source>Alle Zeilen der Aufrufliste sind inaktiv: es wird nichts gesendet.</source>
        <translation>Every row of the call list is inactive: nothing is sent.</translation>
    </message>
    <message>
        <source>Alle Änderungen speichern und Formular schließen</source>
        <translation>Save all changes and close the window</translation>
    </message>
    <message>
        <source>Aufrufliste (*.AUF.CSV)</source>
        <translation>Call list (*.AUF.CSV)</translation>
    </message>
    <message>
        <source>Aufrufliste speichern</source>
        <translation>Save call list</translation>
    </message>
    <message>
        <source>Aufrufliste öffnen</source>
        <translation>Open call list</translation>
    </message>
    <message>
        <source>Beispiel</source>
        <translation>Example</translation>
    </message>
    <message>
        <source>DS 003a ...</source>
        <translation>Data set 003a ...</translation>
    </message>
    <message>
        <source>DS 003c ...</source>
        <translation>Data set 003c ...</translation>
    </message>
    <message>
        <source>DS 004c ...</source>
        <translation>Data set 004c ...</translation>
    </message>
    <message>
        <source>DS 021 ...</source>
        <translation>Data set 021 ...</translation>
    </message>
    <message>
        <source>DS 021a ...</source>
        <translation>Data set 021a ...</translation>
    </message>
    <message>
        <source>DS Nr.</source>
        <translation>Record no.</translation>
    </message>
    <message>
        <source>Datei öffnen</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Deaktivieren</source>
        <translation>Deactivate</translation>
    </message>
    <message>
        <source>Die Datei wurde nicht geladen!</source>
        <translation>The file was not loaded!</translation>
    </message>
    <message>
        <source>Die Feldnamen der geöffneten Datei entsprechen nicht den erwarteten Feldnamen.</source>
        <translation>The field names of the opened file do not match the expected field names.</translation>
    </message>
    <message>
        <source>Die Umsetzung hat keine Auswirkungen auf Aufruflisten und auf die Direkteingabe.</source>
        <translation>The translation has no effect on call lists and on the direct input.</translation>
    </message>
    <message>
        <source>Die ausgewählte Datei ist entweder keine Aufrufliste oder fehlerhaft.</source>
        <translation>The selected file is not a call list, or it is faulty.</translation>
    </message>
    <message>
        <source>Die links genannte Adresse wird in diesen Wert umgesetzt. Bitte geben Sie die Zahlen in dezimaler Darstellung an.</source>
        <translation>The address named on the left is translated to this value. Please enter the numbers in decimal notation.</translation>
    </message>
    <message>
        <source>Diese Umsetzung wird bei der Mastersimulation angewendet, wenn Sie ein aufgezeichnetes Protokoll abspielen.</source>
        <translation>This translation is applied in the master simulation when you play back a recorded protocol.</translation>
    </message>
    <message>
        <source>Durch einen Doppelklick auf diesen Eintrag im Statusbereich</source>
        <translation>Double-click this entry in the status area</translation>
    </message>
    <message>
        <source>Es ist bereits eine andere Aufrufliste aktiv.</source>
        <translation>Another call list is already active.</translation>
    </message>
    <message>
        <source>Formular schließen ohne die Änderungen zu übernehmen</source>
        <translation>Close the window without applying the changes</translation>
    </message>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>IBIS Adressumsetzung</source>
        <translation>IBIS address translation</translation>
    </message>
    <message>
        <source>Adresse %1: &quot;%2&quot; ist keine Adresse von 1 bis 15.</source>
        <translation>Address %1: "%2" is not an address from 1 to 15.</translation>
    </message>
    <message>
        <source>Bitte geben Sie eine Zahl von 1 bis 15 ein.</source>
        <translation>Please enter a number from 1 to 15.</translation>
    </message>
    <message>
        <source>Kopf</source>
        <translation>Prefix</translation>
    </message>
    <message>
        <source>Mastersimulation - Aufrufliste: </source>
        <translation>Master simulation - call list: </translation>
    </message>
    <message>
        <source>Mastersimulation - Aufrufliste: Neu</source>
        <translation>Master simulation - call list: New</translation>
    </message>
    <message>
        <source>Mit der folgenden Tabelle können Sie eine Adressumsetzung definieren.</source>
        <translation>With the following table you can define an address translation.</translation>
    </message>
    <message>
        <source>Neue Aufrufliste</source>
        <translation>New call list</translation>
    </message>
    <message>
        <source>Sie wurde nicht geladen</source>
        <translation>It was not loaded</translation>
    </message>
    <message>
        <source>Soll nun versucht werden, den %1 in den Mastermodus zu schalten?</source>
        <translation>Shall the %1 be switched to master mode now?</translation>
    </message>
    <message>
        <source>Vergessen Sie nicht, die Adressumsetzung zu aktivieren, damit</source>
        <translation>Do not forget to switch the address translation on, so that</translation>
    </message>
    <message>
        <source>Wenn diese Adresse gefunden wird, wird sie beim Abspielen umgesetzt. Der Wert in Klammern stellt die Zahl in IBIS-hexadezimaler Darstellung dar.</source>
        <translation>When this address is found, it is translated during playback. The value in brackets is the number in IBIS hexadecimal notation.</translation>
    </message>
    <message>
        <source>Wird beim Abspielen umgesetzt zu:</source>
        <translation>Is translated during playback into:</translation>
    </message>
    <message>
        <source>Wollen Sie tatsächlich diese aktivieren?</source>
        <translation>Do you really want to activate this one?</translation>
    </message>
    <message>
        <source>Zurücksetzen</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>beim Abspielen eines Protokolls die Adressen auch tatsächlich umgesetzt werden!</source>
        <translation>the addresses are actually translated when a protocol is played back!</translation>
    </message>
    <message>
        <source>können Sie die gerade aktive Aufrufliste öffnen.</source>
        <translation>to open the call list that is active now.</translation>
    </message>
    <message>
        <source>Intervall [mm:ss]</source>
        <translation>Interval [mm:ss]</translation>
    </message>
    <message>
        <source>Mit diesem Feld können Sie auswählen, ob die jeweilige Zeile aktiv oder inaktiv sein soll.</source>
        <translation>With this field you choose whether the row is active or inactive.</translation>
    </message>
    <message>
        <source>Geben Sie hier den Datensatz an, auf den eine Antwort gesendet werden soll.</source>
        <translation>Enter the data set to be answered here.</translation>
    </message>
    <message>
        <source>Beschreibung zum Datensatz (nur zur Information gedacht)</source>
        <translation>Description of the data set (for information only)</translation>
    </message>
    <message>
        <source>Geben Sie das Sendeintervall ein. Der Datensatz wird zyklisch mit diesem Intervall wiederholt.</source>
        <translation>Enter the send interval. The telegram is repeated cyclically at this interval.</translation>
    </message>
    <message>
        <source>Aufruf</source>
        <translation>Call</translation>
    </message>
    <message>
        <source> ACHTUNG: Ihre Änderungen werden erst aktiv, wenn Sie die Antwortliste speichern!</source>
        <translation> ATTENTION: your changes only take effect once you save the response list!</translation>
    </message>
    <message>
        <source>Alle Zeilen der Antwortliste sind inaktiv: das Gerät antwortet auf nichts.</source>
        <translation>Every row of the response list is inactive: the device answers nothing.</translation>
    </message>
    <message>
        <source>Antwortliste speichern</source>
        <translation>Save response list</translation>
    </message>
    <message>
        <source>Antwortliste öffnen</source>
        <translation>Open response list</translation>
    </message>
    <message>
        <source>Antwortliste (*.ANT.CSV)</source>
        <translation>Response list (*.ANT.CSV)</translation>
    </message>
    <message>
        <source>Antwortdatei (*.ANT.CSV)</source>
        <translation>Response file (*.ANT.CSV)</translation>
    </message>
    <message>
        <source>Antwort</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Reaktion [ms]</source>
        <translation>Reaction [ms]</translation>
    </message>
    <message>
        <source>Aus einem Protokoll erstellt: Jede Antwort wird 1 ms nach ihrem Aufruf gesendet (Spalte &quot;Reaktion [ms]&quot;).</source>
        <translation>Made from a protocol: every answer is sent 1 ms after its call (column &quot;Reaction [ms]&quot;).</translation>
    </message>
    <message>
        <source>Die Reaktionszeit von 1 ms gilt für jede Zeile. Ändern Sie sie in der Spalte &quot;Reaktion [ms]&quot;, wo ein Gerät mehr Zeit braucht.</source>
        <translation>The reaction time of 1 ms holds for every row. Change it in the column &quot;Reaction [ms]&quot; where a device needs more time.</translation>
    </message>
    <message>
        <source>Geben Sie hier die Antwort ein, die auf den Aufruf gesendet werden soll.</source>
        <translation>Enter the answer to be sent to the call here.</translation>
    </message>
    <message>
        <source>Geben Sie an, mit welcher Verzögerung die Antwort gesendet werden soll.</source>
        <translation>Enter the delay after which the answer is to be sent.</translation>
    </message>
    <message>
        <source>Das ausgewählte Protokoll enthält keine gültigen Slaveantworten,</source>
        <translation>The selected protocol contains no valid slave answers</translation>
    </message>
    <message>
        <source>die extrahiert werden können.</source>
        <translation>that could be extracted.</translation>
    </message>
    <message>
        <source>Die ausgewählte Datei ist entweder keine Antwortdatei oder fehlerhaft.</source>
        <translation>The selected file is not a response list, or it is faulty.</translation>
    </message>
    <message>
        <source>Es ist bereits eine andere Antwortliste aktiv.</source>
        <translation>Another response list is already active.</translation>
    </message>
    <message>
        <source>Es konnte keine Antwortliste erzeugt werden, da das Protokoll ein falsches Format hat.</source>
        <translation>No response list could be created because the protocol has a wrong format.</translation>
    </message>
    <message>
        <source>Möglicherweise ist es kein gültiges Protokoll?</source>
        <translation>Perhaps it is not a valid protocol?</translation>
    </message>
    <message>
        <source>Neue Antwortliste</source>
        <translation>New response list</translation>
    </message>
    <message>
        <source>Sie können nur dann eine Slavesimulation starten, wenn der %1 Slave ist.</source>
        <translation>You can start a slave simulation only while the %1 is a slave.</translation>
    </message>
    <message>
        <source>Slavesimulation - Antwortliste: </source>
        <translation>Slave simulation - response list: </translation>
    </message>
    <message>
        <source>Slavesimulation - Antwortliste: Neu</source>
        <translation>Slave simulation - response list: New</translation>
    </message>
    <message>
        <source>Soll der %1 nun in den Slave-Modus geschaltet werden?</source>
        <translation>Shall the %1 be switched to slave mode now?</translation>
    </message>
    <message>
        <source>Zeile %1: Aufruf oder Antwort sind zu lang für die Übertragung in das Gerät.</source>
        <translation>Row %1: the call or the answer is too long for the download into the device.</translation>
    </message>
    <message>
        <source>Zeile %1 ist länger als %2 Bytes: die Datei ist keine Antwortliste.</source>
        <translation>Line %1 is longer than %2 bytes: the file is not a response list.</translation>
    </message>
    <message>
        <source>Die Datei enthält keine Zeile einer Antwortliste (vier Felder unter der Kopfzeile).</source>
        <translation>The file holds no row of a response list (four fields below the header).</translation>
    </message>
    <message>
        <source>Zeile %1: &quot;Ok&quot; ist weder -1 noch 0.</source>
        <translation>Row %1: &quot;Ok&quot; is neither -1 nor 0.</translation>
    </message>
    <message>
        <source>Zeile %1: Reaktionszeit &quot;%2&quot; liegt außerhalb von 0 bis 1000 ms, das Gerät antwortet nach %3 ms.</source>
        <translation>Row %1: reaction time "%2" is outside 0 to 1000 ms; the device answers after %3 ms.</translation>
    </message>
    <message>
        <source>Zeile %1: Reaktionszeit &quot;%2&quot; ist keine Zahl, das Gerät antwortet nach %3 ms.</source>
        <translation>Row %1: reaction time "%2" is not a number; the device answers after %3 ms.</translation>
    </message>
    <message>
        <source>Zeile %1: Der Aufruf ist leer.</source>
        <translation>Row %1: the call is empty.</translation>
    </message>
    <message>
        <source>Zeile %1: Ein Feld in Anführungszeichen wird nicht geschlossen.</source>
        <translation>Row %1: a quoted field is not closed.</translation>
    </message>
    <message>
        <source>Zeile %1: Ein Wagenrücklauf im Aufruf oder in der Antwort würde das Telegramm vorzeitig beenden.</source>
        <translation>Row %1: a carriage return in the call or the answer would end the telegram early.</translation>
    </message>
    <message>
        <source>können Sie die gerade aktive Antwortliste öffnen.</source>
        <translation>to open the response list that is active now.</translation>
    </message>
    <message>
        <source>Zeilen: %1, Mastertelegramme: %2, Slavetelegramme: %3, Antworten ohne Anfrage: %4; mittlere Buslast: %5 %</source>
        <translation>Rows: %1, master telegrams: %2, slave telegrams: %3, answers without a request: %4; mean bus load: %5 %</translation>
    </message>
    <message>
        <source>95 % (ms)</source>
        <translation>95 % (ms)</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Aktualisieren</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Anfragen</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>Antworten</source>
        <translation>Answers</translation>
    </message>
    <message>
        <source>Anzahl</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Beginn</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Buslast (%)</source>
        <translation>Bus load (%)</translation>
    </message>
    <message>
        <source>Buslast und Fehler, je %1 s</source>
        <translation>Bus load and errors, per %1 s</translation>
    </message>
    <message>
        <source>Datensätze</source>
        <translation>Record types</translation>
    </message>
    <message>
        <source>Diagramm speichern</source>
        <translation>Save chart</translation>
    </message>
    <message>
        <source>Diagramm speichern ...</source>
        <translation>Save chart ...</translation>
    </message>
    <message>
        <source>Die Datei %1 konnte nicht geschrieben werden.</source>
        <translation>The file %1 could not be written.</translation>
    </message>
    <message>
        <source>Maximum (ms)</source>
        <translation>Maximum (ms)</translation>
    </message>
    <message>
        <source>Median (ms)</source>
        <translation>Median (ms)</translation>
    </message>
    <message>
        <source>Minimum (ms)</source>
        <translation>Minimum (ms)</translation>
    </message>
    <message>
        <source>Reaktionszeit (ms)</source>
        <translation>Reaction time (ms)</translation>
    </message>
    <message>
        <source>Reaktionszeiten</source>
        <translation>Reaction times</translation>
    </message>
    <message>
        <source>Reaktionszeiten der Adresse %1 (Antworten: %2)</source>
        <translation>Reaction times of address %1 (answers: %2)</translation>
    </message>
    <message>
        <source>Speichert das Diagramm der Seite als PNG- oder SVG-Datei</source>
        <translation>Saves the page's chart as a PNG or SVG file</translation>
    </message>
    <message>
        <source>Speichert die Tabelle der Seite als CSV-Datei</source>
        <translation>Saves the page's table as a CSV file</translation>
    </message>
    <message>
        <source>Statistik</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Statistik ...</source>
        <translation>Statistics ...</translation>
    </message>
    <message>
        <source>Tabelle speichern</source>
        <translation>Save table</translation>
    </message>
    <message>
        <source>Tabelle speichern ...</source>
        <translation>Save table ...</translation>
    </message>
    <message>
        <source>Telegramme</source>
        <translation>Telegrams</translation>
    </message>
    <message>
        <source>Telegramme je Datensatz</source>
        <translation>Telegrams per record type</translation>
    </message>
    <message>
        <source>Verlauf</source>
        <translation>Timeline</translation>
    </message>
    <message>
        <source>Zeichen/s</source>
        <translation>Characters/s</translation>
    </message>
    <message>
        <source>Zeigt die Zahlen des Protokolls: Datensätze und ihre Fehler, die Reaktionszeiten jeder Adresse, die Buslast im Verlauf</source>
        <translation>Shows the protocol's figures: record types and their errors, each address's reaction times, the bus load over time</translation>
    </message>
    <message>
        <source>fehlerfrei</source>
        <translation>without errors</translation>
    </message>
    <message>
        <source>mit Fehlern</source>
        <translation>with errors</translation>
    </message>
    <message>
        <source>unbeantwortet</source>
        <translation>unanswered</translation>
    </message>
    <message>
        <source>PNG-Bild (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>SVG-Grafik (*.svg)</source>
        <translation>SVG graphic (*.svg)</translation>
    </message>
    <message>
        <source>CSV-Datei (*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>&amp;Drucken</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>Als PDF speichern</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>Als PDF speichern ...</source>
        <translation>Save as PDF ...</translation>
    </message>
    <message>
        <source>Ausdruck abbrechen</source>
        <translation>Cancel the printout</translation>
    </message>
    <message>
        <source>Ausdruck starten</source>
        <translation>Start printing</translation>
    </message>
    <message>
        <source>Die PDF-Datei konnte nicht geschrieben werden:</source>
        <translation>The PDF file could not be written:</translation>
    </message>
    <message>
        <source>Die Seiten als PDF-Datei speichern</source>
        <translation>Save the pages as a PDF file</translation>
    </message>
    <message>
        <source>Die Seiten werden gedruckt ...</source>
        <translation>Printing the pages ...</translation>
    </message>
    <message>
        <source>Die Seiten werden gespeichert ...</source>
        <translation>Saving the pages ...</translation>
    </message>
    <message>
        <source>Druckvorschau - Vaskel</source>
        <translation>Print preview - Vaskel</translation>
    </message>
    <message>
        <source>Ganze Seite</source>
        <translation>Whole page</translation>
    </message>
    <message>
        <source>Ganze Seite anzeigen</source>
        <translation>Show the whole page</translation>
    </message>
    <message>
        <source>Kein Drucker eingerichtet</source>
        <translation>No printer set up</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>PDF-Dateien (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>Protokollnotiz</source>
        <translation>Protocol note</translation>
    </message>
    <message>
        <source>Protokollnotiz (maximal 55 Zeichen):</source>
        <translation>Protocol note (at most 55 characters):</translation>
    </message>
    <message>
        <source>Seite vergrößern</source>
        <translation>Enlarge the page</translation>
    </message>
    <message>
        <source>Seite verkleinern</source>
        <translation>Reduce the page</translation>
    </message>
    <message>
        <source>Seite:</source>
        <translation>Page:</translation>
    </message>
    <message>
        <source>Sie haben die Möglichkeit, eine kurze Beschreibung für das auszudruckende Protokoll anzugeben, die mit in den Ausdruck aufgenommen wird (z. B. Grund des Protokolls oder angeschlossene Geräte).</source>
        <translation>You can give a short description of the protocol to be printed, which is included in the printout (e.g. the reason for the protocol or the devices connected).</translation>
    </message>
    <message>
        <source>Sie können eine Notizzeile für das auszudruckende Protokoll eingeben.</source>
        <translation>You can enter a note line for the protocol to be printed.</translation>
    </message>
    <message>
        <source>Vaskel 3 - Vaskelprotokoll</source>
        <translation>Vaskel 3 - Vaskel protocol</translation>
    </message>
    <message>
        <source>Vaskel Protokoll</source>
        <translation>Vaskel protocol</translation>
    </message>
    <message>
        <source>Vergrößern</source>
        <translation>Enlarge</translation>
    </message>
    <message>
        <source>Verkleinern</source>
        <translation>Reduce</translation>
    </message>
    <message>
        <source>&amp;Standardwerte wiederherstellen</source>
        <translation>&amp;Restore the defaults</translation>
    </message>
    <message>
        <source>Allgemein</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Antwortliste bei Verbindungsverlust automatisch neu laden.</source>
        <translation>Reload the response list automatically after a lost connection.</translation>
    </message>
    <message>
        <source>Bei den Datensätzen U und D (Datum und Uhrzeit) in Simulationen automatisch die aktuellen Werte übernehmen.</source>
        <translation>For the record types U and D (date and time), take the current values in simulations.</translation>
    </message>
    <message>
        <source>Das angegebene Verzeichnis:&#xd;
@@&#xd;
für das Speichern von Antwortlisten konnte nicht angelegt werden.&#xd;
Es wird das alte Verzeichnis weiter verwendet!</source>
        <translation>The folder:&#xd;
@@&#xd;
for saving response lists could not be created.&#xd;
The old folder stays in use!</translation>
    </message>
    <message>
        <source>Das angegebene Verzeichnis:&#xd;
@@&#xd;
für das Speichern von Aufruflisten konnte nicht angelegt werden.&#xd;
Es wird das alte Verzeichnis weiter verwendet!</source>
        <translation>The folder:&#xd;
@@&#xd;
for saving call lists could not be created.&#xd;
The old folder stays in use!</translation>
    </message>
    <message>
        <source>Das angegebene Verzeichnis: &#xd;
@@&#xd;
für das Speichern von Protokollen konnte nicht angelegt werden.&#xd;
Es wird das alte Verzeichnis weiter verwendet!</source>
        <translation>The folder:&#xd;
@@&#xd;
for saving protocols could not be created.&#xd;
The old folder stays in use!</translation>
    </message>
    <message>
        <source>Die Sprachdatei konnte nicht geschrieben werden:</source>
        <translation>The language file could not be written:</translation>
    </message>
    <message>
        <source>Die angegebene Sprache existiert bereits.&#xd;
Bitte geben Sie eine andere Sprache ein!</source>
        <translation>This language exists already.&#xd;
Please enter another language!</translation>
    </message>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Für den Betrieb im IBIS-Zugbus (24V/Zweidraht) ist ein Adapter nötig.</source>
        <translation>An adapter is needed on the IBIS train bus (24 V/two-wire).</translation>
    </message>
    <message>
        <source>IBIS-Bus</source>
        <translation>IBIS bus</translation>
    </message>
    <message>
        <source>IBIS-Wagenbus</source>
        <translation>IBIS vehicle bus</translation>
    </message>
    <message>
        <source>IBIS-Zugbus (24V/Zweidraht)</source>
        <translation>IBIS train bus (24 V/two-wire)</translation>
    </message>
    <message>
        <source>Neue Sprache anlegen</source>
        <translation>Add a new language</translation>
    </message>
    <message>
        <source>Neue Sprache:</source>
        <translation>New language:</translation>
    </message>
    <message>
        <source>Sprache:</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>Sprachumstellung</source>
        <translation>Language change</translation>
    </message>
    <message>
        <source>Timeout für Master-Telegramm in [ms]:</source>
        <translation>Time-out for master telegrams in [ms]:</translation>
    </message>
    <message>
        <source>Timeout für Slave-Telegramm in [ms]:</source>
        <translation>Time-out for slave telegrams in [ms]:</translation>
    </message>
    <message>
        <source>Verzeichnis auswählen</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Verzeichnisse</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>Welcher Bustyp soll der Telegrammanalyse zugrunde liegen?</source>
        <translation>Which bus type should the telegram analysis be based on?</translation>
    </message>
    <message>
        <source>Wenn diese Option aktiv ist, wird in der Direkteingabe oder beim Abspielen eines Protokolls bei Datum und Uhrzeit der aktuelle Wert statt des aufgezeichneten genommen.</source>
        <translation>With this option on, the direct input and protocol playback take the current date and time instead of the recorded ones.</translation>
    </message>
    <message>
        <source>Wählen Sie das Verzeichnis für %s aus.</source>
        <translation>Choose the folder for %s.</translation>
    </message>
    <message>
        <source>Antwortlisten:</source>
        <translation>Response lists:</translation>
    </message>
    <message>
        <source>Aufruflisten:</source>
        <translation>Call lists:</translation>
    </message>
    <message>
        <source>Protokolldateien:</source>
        <translation>Protocol files:</translation>
    </message>
    <message>
        <source>Fehlerprotokoll</source>
        <translation>Error report</translation>
    </message>
    <message>
        <source>Das Fehlerprotokoll konnte nicht geschrieben werden:</source>
        <translation>The error report could not be written:</translation>
    </message>
    <message>
        <source>Das Fehlerprotokoll wurde geschrieben in:</source>
        <translation>The error report was written to:</translation>
    </message>
    <message>
        <source>Ordner öffnen</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Es ist ein schwerer Fehler aufgetreten, den das Programm nicht selbst beheben kann. </source>
        <translation>A serious error occurred that the program cannot resolve by itself. </translation>
    </message>
    <message>
        <source>Sie finden in der Fehlerdatei im Hauptverzeichnis der Anwendung genaue Angaben.</source>
        <translation>You will find the details in the error file in the program's folder.</translation>
    </message>
    <message>
        <source>Das aktuelle Fenster enthält keine Daten, die gedruckt werden könnten.</source>
        <translation>The current window holds no data that could be printed.</translation>
    </message>
    <message>
        <source>Datensatz %1 Detaileingabe</source>
        <translation>Data set %1 detail input</translation>
    </message>
    <message>
        <source>Geräteadresse des Zielgeräts</source>
        <translation>Address of the destination device</translation>
    </message>
    <message>
        <source>Im Datensatz 021 legt die Taktzeit fest, in welchem Sekundenabstand Anzeigen die einzelnen Zeilen wechseln</source>
        <translation>In data set 021 the phase time sets how many seconds the displays show each phase before they change to the next</translation>
    </message>
    <message>
        <source>Ohne Takt</source>
        <translation>No phases</translation>
    </message>
    <message>
        <source>Doppelter Zeilenumbruch</source>
        <translation>Double line feed</translation>
    </message>
    <message>
        <source>Im DS021 werden Takte normalerweise durch "&lt;LF&gt;&lt;LF&gt;" separiert. Sie können dies hier auf einen einfachen Zeilenumbruch umschalten.</source>
        <translation>In DS 021 phases are normally separated by "&lt;LF&gt;&lt;LF&gt;". You can switch this to a single line feed here.</translation>
    </message>
    <message>
        <source>Zeile anhängen</source>
        <translation>Append line</translation>
    </message>
    <message>
        <source>Zeile einfügen</source>
        <translation>Insert line</translation>
    </message>
    <message>
        <source>Zeile löschen</source>
        <translation>Delete line</translation>
    </message>
    <message>
        <source>Einen Takt (zwei Zeilen) am Ende anhängen</source>
        <translation>Append a phase (two lines) at the end</translation>
    </message>
    <message>
        <source>Eine Zeile am Ende anhängen</source>
        <translation>Append a line at the end</translation>
    </message>
    <message>
        <source>Einen Takt (zwei Zeilen) vor dem aktuellen einfügen</source>
        <translation>Insert a phase (two lines) before the current one</translation>
    </message>
    <message>
        <source>Eine Zeile vor der aktuellen einfügen</source>
        <translation>Insert a line before the current one</translation>
    </message>
    <message>
        <source>Den aktuellen Takt (beide Zeilen) löschen</source>
        <translation>Delete the current phase (both lines)</translation>
    </message>
    <message>
        <source>Die aktuelle Zeile löschen</source>
        <translation>Delete the current line</translation>
    </message>
    <message>
        <source>Telegrammvorschau:</source>
        <translation>Telegram preview:</translation>
    </message>
    <message>
        <source>Aufbau eines DS 021: aA&lt;Adresse&gt;&lt;Datensatzlänge in 16-Zeichen-Blöcken&gt;A&lt;Taktung&gt;&lt;Daten&gt;</source>
        <translation>Structure of a DS 021: aA&lt;address&gt;&lt;record length in 16-character blocks&gt;A&lt;phase time&gt;&lt;data&gt;</translation>
    </message>
    <message>
        <source>Aufbau eines DS 003a: zA&lt;Datensatzlänge in 16-Zeichen-Blöcken&gt;&lt;Daten&gt;</source>
        <translation>Structure of a DS 003a: zA&lt;record length in 16-character blocks&gt;&lt;data&gt;</translation>
    </message>
    <message>
        <source>Aufbau eines DS 003c: zI&lt;Datensatzlänge in 4-Zeichen-Blöcken&gt;&lt;Daten&gt;</source>
        <translation>Structure of a DS 003c: zI&lt;record length in 4-character blocks&gt;&lt;data&gt;</translation>
    </message>
    <message>
        <source>Aufbau eines DS 004c: eT&lt;Datensatzlänge in 4-Zeichen-Blöcken&gt;&lt;Daten&gt;</source>
        <translation>Structure of a DS 004c: eT&lt;record length in 4-character blocks&gt;&lt;data&gt;</translation>
    </message>
    <message>
        <source>Aufbau eines DS 021a: aL&lt;Adresse&gt;&lt;Länge der Daten&gt;&lt;Daten&gt;</source>
        <translation>Structure of a DS 021a: aL&lt;address&gt;&lt;length of the data&gt;&lt;data&gt;</translation>
    </message>
    <message>
        <source>Fahrgastansicht:</source>
        <translation>Passenger view:</translation>
    </message>
    <message>
        <source>Frontanzeige</source>
        <translation>Front display</translation>
    </message>
    <message>
        <source>Seitenanzeige</source>
        <translation>Side display</translation>
    </message>
    <message>
        <source>Innenanzeige</source>
        <translation>Inside display</translation>
    </message>
    <message>
        <source>Die Anzeige, für die die Fahrgastansicht gezeichnet wird</source>
        <translation>The display the passenger view is drawn for</translation>
    </message>
    <message>
        <source>Übernehmen</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Das Telegramm in das Fenster übernehmen, aus dem der Editor geöffnet wurde</source>
        <translation>Hand the telegram to the window the editor was opened from</translation>
    </message>
    <message>
        <source>Dieses Fenster schließen</source>
        <translation>Close this window</translation>
    </message>
    <message>
        <source>Zeile</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Daten</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Die Taktnummer der Anzeige.</source>
        <translation>The phase number of the display.</translation>
    </message>
    <message>
        <source>Die Zeilennummer innerhalb eines Taktes.</source>
        <translation>The line number within a phase.</translation>
    </message>
    <message>
        <source>Der Text, der angezeigt werden soll.</source>
        <translation>The text to be displayed.</translation>
    </message>
    <message>
        <source>Die zu übertragenden Daten</source>
        <translation>The data to be transmitted</translation>
    </message>
    <message>
        <source>Bitte geben Sie eine gültige Adresse ein.</source>
        <translation>Please define a valid address.</translation>
    </message>
    <message>
        <source>Bitte wählen Sie eine Taktzeit aus.</source>
        <translation>Please choose the phase time.</translation>
    </message>
    <message>
        <source>Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 16 Zeichen.</source>
        <translation>Your input will use more than 15 16-character-blocks.</translation>
    </message>
    <message>
        <source>Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 4 Zeichen.</source>
        <translation>Your input will use more than 15 4-character-blocks.</translation>
    </message>
    <message>
        <source>Dies ist nicht möglich.</source>
        <translation>This is not allowed.</translation>
    </message>
    <message>
        <source>Bitte die Eingabe entsprechend reduzieren!</source>
        <translation>Please reduce your data accordingly!</translation>
    </message>
    <message>
        <source>Die Daten sind länger als 255 Zeichen.</source>
        <translation>The data are longer than 255 characters.</translation>
    </message>
    <message>
        <source>Ziel- und Innenanzeigentexte (003a, 003c, 004c, 021, 021a) Zeile für Zeile eingeben</source>
        <translation>Enter destination and inside display texts (003a, 003c, 004c, 021, 021a) line by line</translation>
    </message>
    <message>
        <source>Datensatzauswahl</source>
        <translation>Data set selection</translation>
    </message>
    <message>
        <source>Bitte wählen Sie aus, welchen Datensatz Sie neu anlegen wollen:</source>
        <translation>Please choose which data set you want to create:</translation>
    </message>
    <message>
        <source>Datensatz 003a</source>
        <translation>Data set 003a</translation>
    </message>
    <message>
        <source>Datensatz 003c</source>
        <translation>Data set 003c</translation>
    </message>
    <message>
        <source>Datensatz 021</source>
        <translation>Data set 021</translation>
    </message>
    <message>
        <source>Datensatz 004c</source>
        <translation>Data set 004c</translation>
    </message>
    <message>
        <source>Datensatz 021a</source>
        <translation>Data set 021a</translation>
    </message>
    <message>
        <source>(Außenanzeigen - Text)</source>
        <translation>(exterior displays - text)</translation>
    </message>
    <message>
        <source>(Innenanzeigen)</source>
        <translation>(interior displays)</translation>
    </message>
    <message>
        <source>(Außenanzeigen mit Taktung)</source>
        <translation>(exterior displays with phases)</translation>
    </message>
    <message>
        <source>(Entwerter, Fahrkartenautom.)</source>
        <translation>(validators, ticket machines)</translation>
    </message>
    <message>
        <source>(Streckenverlaufsanzeigen)</source>
        <translation>(route displays)</translation>
    </message>
    <message>
        <source>So sieht der Fahrgast den Text auf der Anzeige.</source>
        <translation>This is how the passenger sees the text on the display.</translation>
    </message>
    <message>
        <source>Takt %1 von %2</source>
        <translation>Phase %1 of %2</translation>
    </message>
    <message>
        <source>Bild kopieren (alle Takte)</source>
        <translation>Copy picture (all phases)</translation>
    </message>
    <message>
        <source>HEX zu IBIS-HEX Konverter</source>
        <translation>HEX to IBIS hex converter</translation>
    </message>
    <message>
        <source>Dezimal</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>Hexadezimal</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>IBIS-Hexadezimal</source>
        <translation>IBIS hexadecimal</translation>
    </message>
    <message>
        <source>IBIS-Datensätze</source>
        <translation>IBIS record types</translation>
    </message>
    <message>
        <source>Datensatznummer des zu sendenden bzw. zu empfangenden Datensatzes</source>
        <translation>Number of the record type to be sent or received</translation>
    </message>
    <message>
        <source>Kodierung für diese Datensatzart</source>
        <translation>Coding of this record type</translation>
    </message>
    <message>
        <source>Ein Beispiel dieses Datensatzes</source>
        <translation>An example of this record type</translation>
    </message>
    <message>
        <source>Ist dieses Telegramm ein Mastertelegramm?</source>
        <translation>Is this telegram a master telegram?</translation>
    </message>
    <message>
        <source>Erwartet dieses Telegramm eine Antwort? Falls ja: Liste der erwarteten DS-Nr. (Nur bei Mastertelegrammen zulässig)</source>
        <translation>Does this telegram expect an answer? If so: the list of the expected record numbers (master telegrams only)</translation>
    </message>
    <message>
        <source>Ist dieses Telegramm ein Wagenbus- oder Zugbustelegramm?</source>
        <translation>Is this telegram a vehicle bus or a train bus telegram?</translation>
    </message>
    <message>
        <source>Soll dieses Telegramm in das Filterfenster aufgenommen werden?</source>
        <translation>Shall this telegram be offered in the filter window?</translation>
    </message>
    <message>
        <source>zusätzliche &amp;Sprache:</source>
        <translation>Additional &amp;language:</translation>
    </message>
    <message>
        <source>Zur Vermeidung von Fehleingaben ist die Datensatzübersicht gesperrt.</source>
        <translation>The table of record types is locked to avoid accidental changes.</translation>
    </message>
    <message>
        <source>Die Datensätze können editiert werden.</source>
        <translation>The record types can be edited.</translation>
    </message>
    <message>
        <source>Um Fehleingaben zu vermeiden, ist die Bearbeitung der Datensätze</source>
        <translation>To avoid accidental changes, editing the record types</translation>
    </message>
    <message>
        <source>zunächst immer gesperrt. Sie können diese Sperre hier lösen.</source>
        <translation>is always locked at first. You can unlock it here.</translation>
    </message>
    <message>
        <source>Sie sollten über den korrekten Aufbau von IBIS-Datensatzmustern</source>
        <translation>You should, however, know the structure of IBIS record patterns well</translation>
    </message>
    <message>
        <source>jedoch gut Bescheid wissen, bevor Sie Datensätze bearbeiten!</source>
        <translation>before you edit record types!</translation>
    </message>
    <message>
        <source>Lesen Sie zunächst das entsprechende Kapitel in der Hilfe nach.</source>
        <translation>Read the chapter on them in the help first.</translation>
    </message>
    <message>
        <source>Die folgenden Datensätze bestehen die Prüfung nicht:</source>
        <translation>These record types fail the check:</translation>
    </message>
    <message>
        <source>Wollen Sie die Datensätze korrigieren oder trotzdem speichern?</source>
        <translation>Do you want to correct them, or to save all the same?</translation>
    </message>
    <message>
        <source>Korrigieren</source>
        <translation>Correct</translation>
    </message>
    <message>
        <source>Trotzdem speichern</source>
        <translation>Save anyway</translation>
    </message>
    <message>
        <source>... und %1 weitere</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>Die Datensätze konnten nicht gespeichert werden.</source>
        <translation>The record types could not be saved.</translation>
    </message>
    <message>
        <source>Die Datensätze wurden gespeichert, konnten aber nicht neu geladen werden:</source>
        <translation>The record types were saved, but could not be loaded again:</translation>
    </message>
    <message>
        <source>Bis zum nächsten erfolgreichen Laden gelten die bisherigen Datensätze.</source>
        <translation>The previous record types stay in force until the next successful load.</translation>
    </message>
    <message>
        <source>Auf dem Gerät gespeicherte Datensätze: %d</source>
        <translation>Data sets stored on the device: %d</translation>
    </message>
    <message>
        <source>Alle aufgezeichneten Daten wurden gelöscht.</source>
        <translation>All recorded data have been deleted.</translation>
    </message>
    <message>
        <source>Aufgezeichnete Daten löschen</source>
        <translation>Delete recorded data</translation>
    </message>
    <message>
        <source>Aufgezeichnete Daten übertragen</source>
        <translation>Transfer recorded data</translation>
    </message>
    <message>
        <source>Autonome Aufzeichnung im Flash endgültig löschen.</source>
        <translation>Delete the autonomous recording in the flash for good.</translation>
    </message>
    <message>
        <source>Autonomen Modus aktivieren</source>
        <translation>Activate autonomous mode</translation>
    </message>
    <message>
        <source>Autonomen Modus ausschalten</source>
        <translation>Switch autonomous mode off</translation>
    </message>
    <message>
        <source>Autonomer Aufzeichnungsmodus aktiv</source>
        <translation>Autonomous recording mode active</translation>
    </message>
    <message>
        <source>Autonomer Aufzeichnungsmodus deaktiviert</source>
        <translation>Autonomous recording mode deactivated</translation>
    </message>
    <message>
        <source>Autonomer Aufzeichnungsmodus nicht verfügbar</source>
        <translation>Autonomous recording mode not available</translation>
    </message>
    <message>
        <source>Autonomes Aufzeichnen</source>
        <translation>Autonomous recording</translation>
    </message>
    <message>
        <source>Autonomes Aufzeichnen beenden</source>
        <translation>End autonomous recording</translation>
    </message>
    <message>
        <source>Debug Fenster</source>
        <translation>Debug window</translation>
    </message>
    <message>
        <source>Debuglog speichern</source>
        <translation>Save debug log</translation>
    </message>
    <message>
        <source>Der Bereich des Tavrin, der für die Aufzeichnung von Daten vorgesehen ist, wurde formatiert.</source>
        <translation>The area of the Tavrin set aside for recording data has been formatted.</translation>
    </message>
    <message>
        <source>Der autonome Modus ist aktiviert.</source>
        <translation>Autonomous mode is activated.</translation>
    </message>
    <message>
        <source>Der autonome Modus ist nun deaktiviert.</source>
        <translation>Autonomous mode is now deactivated.</translation>
    </message>
    <message>
        <source>Die Daten wurden gespeichert!</source>
        <translation>The data have been saved!</translation>
    </message>
    <message>
        <source>Die Funktion "Autonome Aufzeichnung ohne PC" ist aktiviert.</source>
        <translation>The function "Autonomous recording without PC" is on.</translation>
    </message>
    <message>
        <source>Dieses Gerät unterstützt die Funktion "Autonome Aufzeichnung ohne PC" noch nicht. Bitte wenden Sie sich für weitere Informationen an ZK.</source>
        <translation>This device does not support the function &quot;Autonomous recording without PC&quot; yet. Please contact ZK for further information.</translation>
    </message>
    <message>
        <source>Dieses Gerät unterstützt die Funktion "Autonome Aufzeichnung ohne PC", sie ist im Moment ausgeschaltet.</source>
        <translation>This device supports the function "Autonomous recording without PC"; it is off at the moment.</translation>
    </message>
    <message>
        <source>Flash formatieren</source>
        <translation>Format flash</translation>
    </message>
    <message>
        <source>Funktion nicht verfügbar</source>
        <translation>Function not available</translation>
    </message>
    <message>
        <source>Gerät --&gt; PC</source>
        <translation>Device --&gt; PC</translation>
    </message>
    <message>
        <source>Gerätemeldungen (Debugausgabe)</source>
        <translation>Device messages (debug output)</translation>
    </message>
    <message>
        <source>Gerätenachrichten anzeigen</source>
        <translation>Show device messages</translation>
    </message>
    <message>
        <source>Im autonomen Modus zeichnet der Tavrin auf, ohne dass ein PC angeschlossen sein muss.</source>
        <translation>In autonomous mode the Tavrin records without a PC being connected.</translation>
    </message>
    <message>
        <source>In ASCII-Darstellung umschalten</source>
        <translation>Switch to ASCII view</translation>
    </message>
    <message>
        <source>In HEX-Darstellung umschalten</source>
        <translation>Switch to hex view</translation>
    </message>
    <message>
        <source>Keine Datensätze auf dem Gerät vorhanden.</source>
        <translation>No data sets on the device.</translation>
    </message>
    <message>
        <source>Kommunikationsfenster öffnen</source>
        <translation>Open communication window</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Lädt alle aufgezeichneten Daten vom Tavrin herunter.</source>
        <translation>Downloads all recorded data from the Tavrin.</translation>
    </message>
    <message>
        <source>Löscht alle auf dem Tavrin aufgezeichneten Daten.</source>
        <translation>Deletes all data recorded on the Tavrin.</translation>
    </message>
    <message>
        <source>Marker setzen</source>
        <translation>Set marker</translation>
    </message>
    <message>
        <source>Markieren</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>Möchten Sie nun die aufgezeichneten Daten vom Gerät herunterladen?</source>
        <translation>Do you want to download the recorded data from the device now?</translation>
    </message>
    <message>
        <source>PC --&gt; Gerät</source>
        <translation>PC --&gt; Device</translation>
    </message>
    <message>
        <source>Protokoll speichern</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>Rot markierte Bytes:</source>
        <translation>Bytes marked in red:</translation>
    </message>
    <message>
        <source>Schnittstellenkommunikation</source>
        <translation>Interface communication</translation>
    </message>
    <message>
        <source>Sie können nun Ihren PC vom Tavrin trennen und den Tavrin,</source>
        <translation>You can now disconnect your PC from the Tavrin and,</translation>
    </message>
    <message>
        <source>Sind bereits Offline-Daten auf dem Gerät gespeichert?</source>
        <translation>Are there data stored on the device already?</translation>
    </message>
    <message>
        <source>Zeigt die Leiste für die Aufzeichnung des Tavrin ohne PC.</source>
        <translation>Shows the bar for the Tavrin's recording without a PC.</translation>
    </message>
    <message>
        <source>falls noch nicht geschehen, in ein Fahrzeug einbauen. Die Aufzeichnung</source>
        <translation>if you have not done so yet, install the Tavrin in a vehicle. Recording</translation>
    </message>
    <message>
        <source>läuft automatisch, sobald der Tavrin Spannung über den IBIS-Bus erhält.</source>
        <translation>runs automatically as soon as the Tavrin gets power over the IBIS bus.</translation>
    </message>
    <message>
        <source> nicht lesen!</source>
        <translation> cannot be read!</translation>
    </message>
    <message>
        <source>Abbruch</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Beim Einlesen der Firmwaredatei ist folgender Fehler aufgetreten: %1</source>
        <translation>The following error occurred while reading the firmware file: %1</translation>
    </message>
    <message>
        <source>Bitte klicken Sie auf &quot;Start&quot;, um den Upload zu starten</source>
        <translation>Please click &quot;Start&quot; to start the upload.</translation>
    </message>
    <message>
        <source>Bitte warten Sie, bis der Upload beendet ist.</source>
        <translation>Please wait until the upload has finished.</translation>
    </message>
    <message>
        <source>Block %1 konnte nicht gesendet werden.</source>
        <translation>Block %1 could not be sent.</translation>
    </message>
    <message>
        <source>Das Gerät meldet eine andere Programmversion!</source>
        <translation>The device reports another firmware version!</translation>
    </message>
    <message>
        <source>Das Gerät meldet nach dem Neustart die Version &quot;%1&quot;,</source>
        <translation>After its restart the device reports the version &quot;%1&quot;,</translation>
    </message>
    <message>
        <source>Datei:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>Der %1 hat nicht auf den Uploadwunsch geantwortet.</source>
        <translation>The %1 did not answer the upload request.</translation>
    </message>
    <message>
        <source>Der %1 hat nicht genug Speicher für dieses</source>
        <translation>The %1 does not have enough memory for this</translation>
    </message>
    <message>
        <source>Der Befehl zum Programmieren konnte nicht gesendet werden.</source>
        <translation>The command to program the flash could not be sent.</translation>
    </message>
    <message>
        <source>Der FLASH-Speicher wurde nicht programmiert.</source>
        <translation>The flash memory was not programmed.</translation>
    </message>
    <message>
        <source>Der Upload wird abgebrochen. Bitte trennen Sie das Gerät, </source>
        <translation>The upload is cancelled. Please disconnect the device, </translation>
    </message>
    <message>
        <source>Der Upload wurde abgebrochen, bevor der FLASH-Speicher programmiert wurde.</source>
        <translation>The upload was cancelled before the flash memory was programmed.</translation>
    </message>
    <message>
        <source>Die Firmware belegt die Adressen %1 bis %2 (%3 Byte), das Gerät nimmt höchstens %4 Byte (%5 Blöcke zu 63 Byte).</source>
        <translation>The firmware takes the addresses %1 to %2 (%3 bytes); the device takes at most %4 bytes (%5 blocks of 63 bytes).</translation>
    </message>
    <message>
        <source>Die Datei endet ohne Endesatz (:00000001FF), sie ist unvollständig.</source>
        <translation>The file ends without its end-of-file record (:00000001FF): it is incomplete.</translation>
    </message>
    <message>
        <source>nach dem Endesatz der Datei</source>
        <translation>after the file&apos;s end-of-file record</translation>
    </message>
    <message>
        <source>ein Satz vom Typ %1 hat %2 Datenbytes, nicht %3</source>
        <translation>a record of type %1 has %2 data bytes, not %3</translation>
    </message>
    <message>
        <source>Adresse %1 ist schon in Zeile %2 belegt</source>
        <translation>address %1 is already filled by line %2</translation>
    </message>
    <message>
        <source>die Daten reichen über Adresse 0xFFFFFFFF hinaus</source>
        <translation>the data reaches beyond address 0xFFFFFFFF</translation>
    </message>
    <message>
        <source>Die Verbindung zum Gerät ist während der Übertragung abgebrochen.</source>
        <translation>The connection to the device was lost during the transfer.</translation>
    </message>
    <message>
        <source>FLASH-Speicher wird programmiert!</source>
        <translation>Programming flash memory!</translation>
    </message>
    <message>
        <source>Firmwaredatei öffnen</source>
        <translation>Open firmware file</translation>
    </message>
    <message>
        <source>Firmwareupdate. Der Upload wird abgebrochen.</source>
        <translation>firmware update. The upload is cancelled.</translation>
    </message>
    <message>
        <source>Formatfehler in Zeile: </source>
        <translation>Format error in line: </translation>
    </message>
    <message>
        <source>Kann Datei </source>
        <translation>Cannot read file </translation>
    </message>
    <message>
        <source>Keine Verbindung zum Gerät!</source>
        <translation>Device not connected!</translation>
    </message>
    <message>
        <source>Keine gültige Programmversion!</source>
        <translation>No valid firmware version!</translation>
    </message>
    <message>
        <source>Programm Upload</source>
        <translation>Firmware upload</translation>
    </message>
    <message>
        <source>Programm wird übertragen!</source>
        <translation>Transferring the firmware!</translation>
    </message>
    <message>
        <source>Programm-Update abgebrochen!</source>
        <translation>Firmware update cancelled.</translation>
    </message>
    <message>
        <source>Programm-Update erfolgreich durchgeführt!</source>
        <translation>Firmware update completed successfully.</translation>
    </message>
    <message>
        <source>Programm-Upload starten?</source>
        <translation>Start the firmware upload?</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Vaskel kann jetzt nicht beendet werden: die Firmware wird gerade zum Gerät übertragen oder das Gerät programmiert seinen FLASH-Speicher.</source>
        <translation>Vaskel cannot end now: the firmware is being transferred to the device, or the device is programming its flash memory.</translation>
    </message>
    <message>
        <source>Verbindung abgebrochen!</source>
        <translation>Connection lost!</translation>
    </message>
    <message>
        <source>die Firmwaredatei enthält die Version &quot;%1&quot;.</source>
        <translation>the firmware file holds the version &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>verbinden Sie es neu und versuchen Sie den Upload erneut.</source>
        <translation>connect it again and try the upload once more.</translation>
    </message>
    <message>
        <source>Vaskel-Firmware (*.a79)</source>
        <translation>Vaskel firmware (*.a79)</translation>
    </message>
    <message>
        <source>Version 1.x-Antwortliste importieren</source>
        <translation>Import version 1.x response list</translation>
    </message>
    <message>
        <source>Version 1.x-Aufrufliste importieren</source>
        <translation>Import version 1.x call list</translation>
    </message>
    <message>
        <source>Version 1.x-Protokoll importieren</source>
        <translation>Import version 1.x protocol</translation>
    </message>
    <message>
        <source>V1.x Antwortliste (*.DB)</source>
        <translation>V1.x response list (*.DB)</translation>
    </message>
    <message>
        <source>V1.x Aufrufliste (*.DB)</source>
        <translation>V1.x call list (*.DB)</translation>
    </message>
    <message>
        <source>V1.x Protokoll (*.DB)</source>
        <translation>V1.x protocol (*.DB)</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht importiert werden, da sie ein falsches Format hat.</source>
        <translation>The file could not be imported because its format is wrong.</translation>
    </message>
    <message>
        <source>Möglicherweise ist es keine gültige Antwortliste?</source>
        <translation>Perhaps it is not a valid response list?</translation>
    </message>
    <message>
        <source>Möglicherweise ist es keine gültige Aufrufliste?</source>
        <translation>Perhaps it is not a valid call list?</translation>
    </message>
    <message>
        <source>Möglicherweise ist es kein gültiges IBIS-Protokoll?</source>
        <translation>Perhaps it is not a valid IBIS protocol?</translation>
    </message>
    <message>
        <source>Der Importvorgang wurde abgebrochen.</source>
        <translation>The import was cancelled.</translation>
    </message>
    <message>
        <source>Es wurden nicht alle Daten der V1.x-Datei importiert</source>
        <translation>Not all data of the V1.x file were imported</translation>
    </message>
    <message>
        <source>Die Daten werden importiert</source>
        <translation>The data are being imported</translation>
    </message>
    <message>
        <source>Die Sicherungskopie kann nicht geschrieben werden:</source>
        <translation>The safety copy cannot be written:</translation>
    </message>
    <message>
        <source>Geben Sie hier den Datensatz an, der gesendet werden soll.</source>
        <translation>Enter the data set to be sent here.</translation>
    </message>
    <message>
        <source>virtuelles Gerät</source>
        <translation>virtual device</translation>
    </message>
    <message>
        <source>Firmware-Version: %1</source>
        <translation>Firmware version: %1</translation>
    </message>
    <message>
        <source>unbekannt</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Ein</source>
        <translation>On</translation>
    </message>
    <message>
        <source> Diese Aufrufliste ist aktiv: Die Mastersimulation sendet ihre Aufrufe.</source>
        <translation> This call list is active: the master simulation sends its calls.</translation>
    </message>
    <message>
        <source> Diese Antwortliste ist aktiv: Das Gerät antwortet nach ihren Zeilen.</source>
        <translation> This response list is active: the device answers as its rows say.</translation>
    </message>
    <message>
        <source>Die Datei endet mitten in einer Zeile (ein Anführungszeichen wird nie geschlossen) und wurde nicht geöffnet:</source>
        <translation>The file ends in the middle of a row (a quote is never closed) and was not opened:</translation>
    </message>
    <message>
        <source>Das Benutzerhandbuch öffnen</source>
        <translation>Open the user manual</translation>
    </message>
    <message>
        <source>Was ist das?</source>
        <translation>What's this?</translation>
    </message>
    <message>
        <source>Nach diesem Befehl zeigt ein Klick auf ein Bedienelement seine Erklärung.</source>
        <translation>After this command a click on a control shows what it does.</translation>
    </message>
    <message>
        <source>keine Seiten</source>
        <translation>no pages</translation>
    </message>
    <message>
        <source>Inhalt</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Gesuchtes Stichwort:</source>
        <translation>Look for:</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>Suche</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Zurück</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Vorwärts</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Startseite</source>
        <translation>Start page</translation>
    </message>
    <message>
        <source>Vaskel Hilfe</source>
        <translation>Vaskel Help</translation>
    </message>
    <message>
        <source>Das Handbuch wurde nicht gefunden:</source>
        <translation>The user manual was not found:</translation>
    </message>
    <message>
        <source>Der Ordner für die Hilfe kann nicht angelegt werden:</source>
        <translation>The folder for the help cannot be made:</translation>
    </message>
    <message>
        <source>Die Hilfe kann nicht kopiert werden nach:</source>
        <translation>The help cannot be copied to:</translation>
    </message>
    <message>
        <source>Die Hilfe kann nicht geöffnet werden:</source>
        <translation>The help cannot be opened:</translation>
    </message>
    <message>
        <source>Kapitel "Datensätze" in der Hilfe öffnen (F1)</source>
        <translation>Open the chapter "Record types" in the help (F1)</translation>
    </message>
    <message>
        <source>Beschreibung Deutsch</source>
        <translation>Description German</translation>
    </message>
    <message>
        <source>Beschreibung Englisch</source>
        <translation>Description English</translation>
    </message>
    <message>
        <source>Textdatei</source>
        <translation>Text file</translation>
    </message>
    <message>
        <source>Alle Dateien</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>Debug-Fenster</source>
        <translation>Debug window</translation>
    </message>
    <message>
        <source>Gerätemeldungen ...</source>
        <translation>Device messages ...</translation>
    </message>
</context>
</TS>
