#include "import/V1Import.h"

#include "lists/ListEditor.h"
#include "recording/Recorder.h"

#include <vector>

namespace vaskel {

const char* const kV1ImportFailed =
    "Die Datei konnte nicht importiert werden, da sie ein falsches Format hat.";
const char* const kV1NoResponseList = "M\xF6glicherweise ist es keine g\xFCltige Antwortliste?";
const char* const kV1NoCallList = "M\xF6glicherweise ist es keine g\xFCltige Aufrufliste?";
const char* const kV1NoProtocol = "M\xF6glicherweise ist es kein g\xFCltiges IBIS-Protokoll?";
const char* const kV1ImportCancelled = "Der Importvorgang wurde abgebrochen.\r\n"
                                       "Es wurden nicht alle Daten der V1.x-Datei importiert";
const char* const kV1ImportWait = "Bitte haben Sie etwas Geduld ...";
const char* const kV1ImportProgressText = "Die Daten werden importiert";

std::string V1ImportErrorText(TV1Kind kind) {
    const char* second = kind == TV1Kind::ResponseList ? kV1NoResponseList
                         : kind == TV1Kind::CallList   ? kV1NoCallList
                                                       : kV1NoProtocol;
    return std::string(kV1ImportFailed) + "\r\n" + second;
}

namespace {

// Row 1 of a list table at its column defaults, nothing else.
void StartList(TTable& table, TListEditorRows& rows) {
    table.Clear();
    rows.SetDefaults(0);
}

// Whether the named fields exist and, on the first record, read as text.
bool Readable(ITableReader& source, std::initializer_list<const char*> names) {
    try {
        source.First();
        for (const char* n : names) {
            const int f = source.FieldByName(n);
            if (!source.Eof()) source.AsString(f);
        }
        return true;
    } catch (const ETableError&) {
        return false;
    }
}

// Blanks and control characters at both ends go.
std::string TrimControls(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return std::string(s.substr(b, e - b));
}

// A recorded telegram as a call: the text before its carriage return (the
// check byte after it goes too, printable or not; the send adds both again),
// without blanks and control characters at either end.
std::string CallFromTelegram(std::string_view s) {
    return TrimControls(s.substr(0, s.find('\r')));
}

} // namespace

std::string HexBytes(std::string_view bytes) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!out.empty()) out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

void ImportResponseList(ITableReader& source, TTable& table) {
    const int checked = source.FieldByName("CHECKED");
    const int call = source.FieldByName("AUFRUF");
    const int answer = source.FieldByName("ANTWORT");
    const int reaction = source.FieldByName("REAKTIONSZ");
    TListEditorRows rows(table);
    StartList(table, rows);
    table.Modified = true;
    int row = 0;
    source.First();
    while (!source.Eof()) {
        table.SetCell(0, row, source.AsBoolean(checked) ? "-1" : "0");
        table.SetCell(1, row, source.AsString(call));
        table.SetCell(2, row, source.AsString(answer));
        table.SetCell(3, row, std::to_string(source.AsInteger(reaction)));
        source.Next();
        if (!source.Eof()) {
            row = table.AppendRow();
            rows.SetDefaults(row);
        }
    }
}

TV1CallSource ImportCallList(ITableReader& source, TTable& table) {
    TV1CallSource form;
    if (Readable(source, {"Aufruf", "Beschreibu", "Interval"}))
        form = TV1CallSource::CallList;
    else if (Readable(source, {"Art", "Fehler", "Telegramm"}))
        form = TV1CallSource::Protocol;
    else
        throw ETableError("Die Tabelle ist weder eine Aufrufliste noch ein Protokoll.");

    TListEditorRows rows(table);
    StartList(table, rows);
    table.Modified = true;
    int row = 0;
    if (form == TV1CallSource::CallList) {
        const int checked = source.FieldByName("Checked");
        const int call = source.FieldByName("Aufruf");
        const int description = source.FieldByName("Beschreibu");
        const int interval = source.FieldByName("Interval");
        source.First();
        while (!source.Eof()) {
            table.SetCell(0, row, source.AsBoolean(checked) ? "-1" : "0");
            const std::string text = source.AsString(call);
            if (!text.empty()) {
                table.SetCell(1, row, text);
                table.SetCell(2, row, source.AsString(description));
                table.SetCell(3, row, source.AsString(interval));
            }
            source.Next();
            if (!source.Eof()) {
                row = table.AppendRow();
                rows.SetDefaults(row);
            }
        }
    } else {
        const int kind = source.FieldByName("Art");
        const int telegram = source.FieldByName("Telegramm");
        source.First();
        while (!source.Eof()) {
            if (source.AsString(kind) == "M") {
                const std::string text = source.AsString(telegram);
                if (!text.empty()) {
                    table.SetCell(0, row, "-1");
                    table.SetCell(1, row, CallFromTelegram(text));
                    table.SetCell(2, row, "");
                    table.SetCell(3, row, "0:10");
                }
            }
            source.Next();
            if (!source.Eof()) {
                row = table.AppendRow();
                rows.SetDefaults(row);
            }
        }
    }
    return form;
}

void RemoveUntouchedRows(TTable& table) {
    TListEditorRows rows(table);
    for (int r = table.RowCount() - 1; r >= 0 && table.RowCount() > 1; --r)
        if (rows.IsUntouched(r)) table.DeleteRow(r);
}

TV1ProtocolImport ImportProtocol(ITableReader& source, TTable& table,
                                 const TIBISTelegramParser& parser, TBusType bus,
                                 const std::function<bool(int)>& beforeRecord) {
    TV1ProtocolImport result;
    if (Readable(source, {"Telegramm(Hex)", "DSNr", "Beschreibung"}))
        result.Form = TV1ProtocolForm::Analysed;
    else if (Readable(source, {"Art", "Fehler", "Telegramm"}))
        result.Form = TV1ProtocolForm::Plain;
    else
        throw ETableError("Die Tabelle ist kein Protokoll.");
    const bool analysed = result.Form == TV1ProtocolForm::Analysed;

    const int kind = source.FieldByName("Art");
    const int number = source.FieldByName("Nummer");
    const int start = source.FieldByName("Startzeit");
    const int reaction = source.FieldByName("Reaktionszeit");
    const int errors = source.FieldByName("Fehler");
    const int telegram = source.FieldByName("Telegramm");
    const int hex = analysed ? source.FieldByName("Telegramm(Hex)") : -1;
    const int recordNo = analysed ? source.FieldByName("DSNr") : -1;
    const int description = analysed ? source.FieldByName("Beschreibung") : -1;

    table.Clear();
    table.Modified = true;
    std::vector<std::string> cells(kProtocolColumns);
    TTelegramRecord r;
    int row = 0;
    source.First();
    while (!source.Eof()) {
        if (beforeRecord && !beforeRecord(result.Records)) {
            result.Cancelled = true;
            // the row waiting for the next record stays empty: it goes
            if (result.Records > 0) table.DeleteRow(row);
            break;
        }
        cells[pcKind] = source.AsString(kind);
        cells[pcNr] = std::to_string(source.AsInteger(number));
        cells[pcStart] = std::to_string(source.AsInteger(start));
        cells[pcReaction] = std::to_string(source.AsInteger(reaction));
        cells[pcErrors] = source.AsString(errors);
        cells[pcTelegram] = source.AsString(telegram);
        if (analysed) {
            cells[pcHex] = source.AsString(hex);
            cells[pcRecordNo] = source.AsString(recordNo);
            cells[pcDescription] = source.AsString(description);
        } else {
            parser.Classify(cells[pcTelegram], IsMasterKind(cells[pcKind]), bus, r);
            cells[pcHex] = HexBytes(cells[pcTelegram]);
            cells[pcRecordNo] = r.RecordNo;
            cells[pcDescription] = r.Description;
        }
        cells[pcAnswer].clear();
        table.SetRow(row, cells);
        ++result.Records;
        source.Next();
        if (!source.Eof()) row = table.AppendRow();
    }
    return result;
}

} // namespace vaskel
