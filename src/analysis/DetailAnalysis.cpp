#include "analysis/DetailAnalysis.h"

#include "recording/Recorder.h"
#include "telegram/DisplayRecords.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <cstdio>

namespace vaskel {

namespace {

using TLine = std::vector<TDetailItem>;

TDetailItem Label(const char* german) {
    TDetailItem i;
    i.Kind = TDetailItem::Label;
    i.German = german;
    return i;
}
TDetailItem Heading(const char* german) {
    TDetailItem i;
    i.Kind = TDetailItem::Heading;
    i.German = german;
    return i;
}
TDetailItem Field(std::string text, const char* hint) {
    TDetailItem i;
    i.Kind = TDetailItem::Field;
    i.Value = std::move(text);
    if (hint) i.GermanHint = hint;
    return i;
}
TDetailItem Memo(std::string text, const char* hint, int lines, int pixels = 0) {
    TDetailItem i;
    i.Kind = TDetailItem::Memo;
    i.Value = std::move(text);
    i.GermanHint = hint;
    i.Lines = lines;
    i.PixelHeight = pixels;
    return i;
}
TDetailItem Mark(bool holds, const char* hint) {
    TDetailItem i;
    i.Kind = TDetailItem::Mark;
    if (holds) i.Value = "X";
    if (holds && hint) i.GermanHint = hint;
    return i;
}
TDetailItem Message(const char* german, std::vector<std::string> args = {}) {
    TDetailItem i;
    i.Kind = TDetailItem::Message;
    i.German = german;
    i.Args = std::move(args);
    i.LeftAlign = true;
    return i;
}

std::string CellOf(const TTable& t, int col, int row) {
    return std::string(t.Cell(col, row));
}

// The row's values every analysis uses.
struct TRowFacts {
    std::string Kind, Nr, Errors, Telegram, RecordNo, Status;
    int64_t Start = 0;
    int32_t PartnerRow = -1;
    bool HasObject = false;
};

TRowFacts Facts(const TTable& t, int row) {
    TRowFacts f;
    f.Kind = std::string(TrimBlanks(t.Cell(pcKind, row)));
    f.Nr = CellOf(t, pcNr, row);
    f.Errors = CellOf(t, pcErrors, row);
    f.Telegram = CellOf(t, pcTelegram, row);
    f.RecordNo = CellOf(t, pcRecordNo, row);
    f.Status = std::string(TrimBlanks(t.Cell(pcAnswer, row)));
    int64_t ms = 0;
    if (TryStrToInt64(t.Cell(pcStart, row), ms)) f.Start = ms;
    if (const auto o = t.Object(row)) {
        f.HasObject = true;
        f.PartnerRow = o->PartnerRow;
    }
    return f;
}

std::string TelegramMemoText(const TTelegramRecord& r, const TDetailOptions& o) {
    return o.ConvertIBIS ? TelegramToDisplay(r.Telegram) : r.Telegram;
}

TDetailItem RecordNoField(const TRowFacts& f) {
    return Field(f.RecordNo, "Datensatznummer des Datensatzes");
}
TDetailItem LengthField(const TTelegramRecord& r) {
    return Field(std::to_string(r.Telegram.size()), "Telegramml\xE4nge inkl. abschlie\xDF"
                                                    "endem Zeilenumbruch und Pr\xFC"
                                                    "fsumme");
}
TDetailItem TelegramMemo(const TTelegramRecord& r, const TDetailOptions& o, int lines,
                         int pixels = 0) {
    return Memo(TelegramMemoText(r, o), "Originaltext des Telegramms", lines, pixels);
}
TLine NumberAndTime(const TRowFacts& f, const char* numberLabel = "Lfd-Nr.:") {
    return {Label(numberLabel), Field(f.Nr, "Nummer des Telegramms in der obigen Tabelle"),
            Label("Startzeit:"),
            Field(MsToTimeText(f.Start), "Wann wurde der Datensatz \xFC"
                                         "bertragen?")};
}

TDetailContent Analyse021(const TRowFacts& f, const TTelegramRecord& r, const TDetailOptions& o) {
    TDetailContent c;
    // taken apart as the composer, the passenger's view and vaskel-cli do
    const TRecord021 parts = Split021(r.Telegram);
    if (parts.Address < 0) throw EConversionError("address");
    TLine first = {Label("DS-Nr.:"), RecordNoField(f), Label("Adresse:"),
                   Field(std::to_string(parts.Address), "Adresse der angesprochenen Anzeige")};
    if (parts.PhaseTime != kNoPhaseTime) {
        // digit v: (v + 2) / 2 seconds, with one decimal (0 or 5)
        const int halves = parts.PhaseTime + 2;
        const std::string shown =
            std::to_string(halves / 2) + o.DecimalSeparator + (halves % 2 ? '5' : '0');
        first.push_back(Label("Taktzeit:"));
        first.push_back(Field(shown + "s (" + kIBISHexDigits[static_cast<std::size_t>(parts.PhaseTime)] + ")",
                              "Taktzeit"));
    }
    first.push_back(Label("L\xE4nge (Byte):"));
    first.push_back(LengthField(r));
    c.Lines.push_back(first);

    for (std::size_t k = 0; k < parts.PhaseCount(); ++k) {
        TDetailItem phase = Label("Takt");
        phase.Suffix = " " + std::to_string(k + 1);
        phase.LeftAlign = true;
        TDetailItem none;
        none.LeftAlign = true;
        c.Lines.push_back({phase, Label("Zeile 1:"),
                           Field(TelegramToUmlautDisplay(parts.Lines[2 * k]), nullptr)});
        c.Lines.push_back({none, Label("Zeile 2:"),
                           Field(TelegramToUmlautDisplay(parts.Lines[2 * k + 1]), nullptr)});
    }
    c.Lines.push_back({Label("Telegramm:"), TelegramMemo(r, o, 2)});
    c.Lines.push_back(NumberAndTime(f));
    return c;
}

TDetailContent Analyse003(const TRowFacts& f, const TTelegramRecord& r, const TDetailOptions& o,
                          bool blocksOf16) {
    TDetailContent c;
    std::string t = r.DataText + r.RestText;
    // every "<CR>" (any letter case) becomes a line break
    for (std::size_t p = 0; p + 4 <= t.size();) {
        const std::string part = t.substr(p, 4);
        if (part.size() == 4 && part[0] == '<' && (part[1] | 0x20) == 'c' &&
            (part[2] | 0x20) == 'r' && part[3] == '>') {
            t.replace(p, 4, "\r\n");
            p += 2;
        } else {
            ++p;
        }
    }
    if (t.empty()) throw EConversionError("blocks");
    c.Lines.push_back({Label("DS-Nr.:"), RecordNoField(f),
                       Label("Bl\xF6"
                             "cke:"),
                       Field(IBISHexToIntStr(t.substr(0, 1)), blocksOf16 ? "Anzahl der Datenbl\xF6"
                                                                           "cke zu je 16 Zeichen"
                                                                         : "Anzahl der Datenbl\xF6"
                                                                           "cke zu je 4 Zeichen"),
                       Label("L\xE4nge (Byte):"), LengthField(r)});
    c.Lines.push_back({Label(blocksOf16 ? "Anzeigetext:" : "Anzeige"),
                       Memo(t.substr(1),
                            blocksOf16 ? "Text der im Display angezeigt werden soll"
                                       : "Text, der im Display angezeigt werden soll",
                            2)});
    c.Lines.push_back({Label("Telegramm:"), TelegramMemo(r, o, 2)});
    c.Lines.push_back(NumberAndTime(f, blocksOf16 ? "Lfd-Nr.:" : "Satznr.:"));
    return c;
}

TDetailContent AnalyseGeneral(const TRowFacts& f, const TTelegramRecord& r,
                              const TDetailOptions& o) {
    TDetailContent c;
    c.Lines.push_back(
        {Label("DS-Nr.:"), RecordNoField(f), Label("L\xE4nge (Byte):"), LengthField(r)});
    c.Lines.push_back({Label("Telegramm:"), TelegramMemo(r, o, 4, 70)});
    c.Lines.push_back(NumberAndTime(f));
    return c;
}

std::string Hex2(unsigned char b) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return buf;
}

TDetailItem ChecksumMessage(const TTelegramRecord& r, const TDetailOptions& o) {
    if (r.CheckByte.empty())
        return Message("Die Pr\xFC"
                       "fsumme fehlt!");
    const auto received = static_cast<unsigned char>(r.CheckByte[0]);
    if (!o.LinkOpen)
        return Message("Die Pr\xFC"
                       "fsumme ist \"%1\" (Hex: 0x%2). Dies ist nicht korrekt.",
                       {r.CheckByte, Hex2(received)});
    // the body: without the final CR and the check byte
    std::string body = r.Telegram;
    if (!body.empty()) body.pop_back();
    if (!body.empty() && body.back() == kCR) body.pop_back();
    const char expected = CalcCheckByte(body);
    return Message("Die Pr\xFC"
                   "fsumme m\xFCsste \"%1\" (Hex: 0x%2) sein, ist aber \"%3\" (Hex: 0x%4).",
                   {std::string(1, expected), Hex2(static_cast<unsigned char>(expected)),
                    r.CheckByte, Hex2(received)});
}

TDetailContent AnalyseError(const TRowFacts& f, const TTelegramRecord& r, const TDetailOptions& o,
                            const TErrorVerdicts& v) {
    TDetailContent c;
    c.ErrorLook = true;
    TLine first = {Label("Protokollzeile:"), Field(f.Nr, "Die Zeile des Protokolls, auf das sich "
                                                         "diese Fehleranalyse bezieht.")};
    if (r.ExactMatch) {
        first.push_back(Label("Datensatz-Nr.:"));
        first.push_back(Field(r.RecordNo, "Die Datensatznummer des Telegramms."));
    } else {
        first.push_back(Label("Bestpassende DS-Nr.:"));
        first.push_back(Field(r.RecordNo, "Der Datensatz ist fehlerhaft. Daher kann hier nur "
                                          "angegeben werden, welchem Datensatz er am meisten "
                                          "\xE4hnelt."));
    }
    first.push_back(Label("L\xE4nge (Byte):"));
    first.push_back(LengthField(r));
    c.Lines.push_back(first);

    c.Lines.push_back({Heading("\xDC"
                               "bertragungsfehler:")});
    TLine marks = {
        Label("Framing-Fehler"), Mark(v.Framing, "Es ist ein Framing-Fehler aufgetreten."),
        Label("Parity-Fehler"),  Mark(v.Parity, "Es ist ein Parity-Fehler aufgetreten."),
        Label("Timeout"),        Mark(v.Timeout, "Es ist ein Timeout aufgetreten."),
        Label("Reset"),          Mark(v.Reset, "Es ist ein Reset durchgef\xFChrt worden.")};
    if (!v.Checksum) {
        marks.push_back(Label("Pr\xFC"
                              "fsummenfehler"));
        marks.push_back(Mark(false, nullptr));
    }
    c.Lines.push_back(marks);
    if (v.Checksum)
        c.Lines.push_back({Label("Pr\xFC"
                                 "fsummenfehler"),
                           Mark(true, "Es ist ein Pr\xFC"
                                      "fsummenfehler aufgetreten."),
                           ChecksumMessage(r, o)});

    c.Lines.push_back({Heading("Typ- und Aufbaufehler:")});
    const std::string& recordNo = r.RecordNo;
    TLine type = {Label("Typfehler"),
                  Mark(v.TypeError, "Typfehler sind Fehler, bei denen ein Master Slavetelegramme "
                                    "oder ein Slave Mastertelegramme verschickt.")};
    if (v.TypeError)
        type.push_back(Message(r.Master ? "Datensatz %1 ist ein Masterdatensatz. Er scheint "
                                          "jedoch von einem Slave verschickt worden zu sein."
                                        : "Datensatz %1 ist ein Slavedatensatz. Er scheint "
                                          "jedoch von einem Master verschickt worden zu sein.",
                               {recordNo}));
    c.Lines.push_back(type);
    TLine syntax = {Label("Syntaxfehler"),
                    Mark(v.SyntaxError, "Der Aufbau des Telegramms entspricht nicht der in der "
                                        "VDV300 geforderten Norm.")};
    if (v.SyntaxError)
        syntax.push_back(!recordNo.empty()
                             ? Message("Ein Datensatz %1 sollte wie folgt aufgebaut sein: %2",
                                       {recordNo, TelegramToUmlautDisplay(r.PatternText)})
                             : Message("Es gibt keinen Datensatz mit dem das Telegramm \xFC"
                                       "bereinstimmen w\xFCrde."));
    c.Lines.push_back(syntax);

    c.Lines.push_back({Heading("Abfolgeanalyse:")});
    const std::vector<std::string> recordAndAnswers = {recordNo, r.Answers};
    const std::vector<std::string> partner = {std::to_string(v.PartnerRow)};
    TDetailItem sequence = Message("");
    TDetailItem second = Message("");
    switch (v.Sequence) {
    case TSequenceVerdict::Answered:
        sequence =
            Message("OK: Datensatz %1 erwartet Datensatz/Datens\xE4tze %2 als Antwort. Diese "
                    "Antwort ging korrekt ein",
                    recordAndAnswers);
        break;
    case TSequenceVerdict::Unanswered:
        sequence = Message("Fehler: Datensatz %1 erwartet Datensatz/Datens\xE4tze %2 als Antwort. "
                           "Kein Slave hat passend darauf geantwortet.",
                           recordAndAnswers);
        break;
    case TSequenceVerdict::NoAnswerExpected:
        sequence = Message("OK: Datensatz %1 erwartet keine Antwort.", {recordNo});
        break;
    case TSequenceVerdict::AnsweredLate:
        sequence = Message("Fehler: Datensatz %1 erwartet Datensatz/Datens\xE4tze %2 als Antwort. "
                           "Die Antwort ging zwar ein, jedoch zu sp\xE4t.",
                           recordAndAnswers);
        if (v.PartnerRow != -1)
            second = Message("Die Antwort, auf die sich diese Analyse bezieht, ging in "
                             "Protokollzeile %1 ein.",
                             partner);
        break;
    case TSequenceVerdict::Unpaired:
        sequence = Message("Fehler: Es konnte nicht festgestellt werden, auf welches Telegramm "
                           "dieses Slavetelegramm die Antwort sein sollte.");
        break;
    case TSequenceVerdict::LateAnswer:
        sequence = Message("Fehler: Dieses Slavetelegramm kam zu sp\xE4t als Antwort auf das "
                           "anfordernde Mastertelegramm.");
        if (v.PartnerRow != -1)
            second = Message("Das n\xE4"
                             "chste passende, unbeantwortete Mastertelegramm wurde in "
                             "Protokollzeile %1 aufgezeichnet.",
                             partner);
        break;
    case TSequenceVerdict::Answer:
        sequence = Message("OK: Dieses Slavetelegramm ist die korrekte Antwort auf das "
                           "vorhergehende Mastertelegramm.");
        break;
    case TSequenceVerdict::Other:
        break;
    }
    c.Lines.push_back({sequence});
    if (!second.German.empty()) c.Lines.push_back({second});
    c.Lines.push_back({Heading("Telegramm:"), TelegramMemo(r, o, 2)});
    return c;
}

} // namespace

std::string DetailAnalysisErrorText(TDetailKind kind) {
    switch (kind) {
    case TDetailKind::DS021:
        return "Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 021).\r\n"
               "Das Telegramm kann nicht analysiert werden.";
    case TDetailKind::DS003a:
        return "Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003a).\r\n"
               "Das Telegramm kann nicht analysiert werden.";
    case TDetailKind::DS003c:
        return "Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003c).\r\n"
               "Das Telegramm kann nicht analysiert werden.";
    case TDetailKind::Error:
        return "Dieses Telegramm ist so fehlerhaft, dass es nicht analysiert werden kann.";
    default:
        return "Dieses Telegramm ist fehlerhaft\r\n"
               "Das Telegramm kann nicht analysiert werden.";
    }
}

std::string FillPlaces(std::string_view text, const std::vector<std::string>& args) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '%' && k + 1 < text.size() && text[k + 1] >= '1' && text[k + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(text[k + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++k;
                continue;
            }
        }
        out += text[k];
    }
    return out;
}

std::string TDetailItem::Text() const {
    if (Kind == Field || Kind == Memo || Kind == Mark) return Value;
    return FillPlaces(German, Args) + Suffix;
}

const TDetailItem* TDetailContent::FieldAfter(std::string_view label) const {
    for (const auto& line : Lines)
        for (std::size_t k = 0; k + 1 < line.size(); ++k)
            if ((line[k].Kind == TDetailItem::Label || line[k].Kind == TDetailItem::Heading) &&
                line[k].German == label &&
                (line[k + 1].Kind == TDetailItem::Field || line[k + 1].Kind == TDetailItem::Memo ||
                 line[k + 1].Kind == TDetailItem::Mark))
                return &line[k + 1];
    return nullptr;
}

std::vector<std::string> TDetailContent::Messages() const {
    std::vector<std::string> out;
    for (const auto& line : Lines)
        for (const TDetailItem& i : line)
            if (i.Kind == TDetailItem::Message) out.push_back(i.Text());
    return out;
}

TErrorVerdicts ErrorVerdictsOf(const TTable& table, int row, const TTelegramRecord& r) {
    const TRowFacts f = Facts(table, row);
    TErrorVerdicts v;
    const auto has = [&](char letter) { return f.Errors.find(letter) != std::string::npos; };
    v.Framing = has('F');
    v.Parity = has('P');
    v.Timeout = has('A');
    v.Reset = has('R');
    v.Checksum = has('S');
    v.TypeError = !r.RecordNo.empty() && !r.RoleAsExpected;
    v.SyntaxError = !r.ExactMatch;
    static const std::pair<const char*, TSequenceVerdict> statuses[] = {
        {"0", TSequenceVerdict::Answered},        {"-1", TSequenceVerdict::Unanswered},
        {"", TSequenceVerdict::NoAnswerExpected}, {"1", TSequenceVerdict::AnsweredLate},
        {"2", TSequenceVerdict::Unpaired},        {"3", TSequenceVerdict::LateAnswer},
        {"4", TSequenceVerdict::Answer}};
    for (const auto& [status, verdict] : statuses)
        if (f.Status == status) v.Sequence = verdict;
    if (f.HasObject) v.PartnerRow = f.PartnerRow;
    return v;
}

TDetailContent BuildDetailAnalysis(TDetailKind kind, const TTable& table, int row,
                                   const TIBISTelegramParser& parser, const TDetailOptions& o) {
    const TRowFacts f = Facts(table, row);
    try {
        const bool asMaster = kind != TDetailKind::Error ||
                              (!f.Kind.empty() && (f.Kind[0] == 'M' || f.Kind[0] == 'N'));
        const TTelegramRecord r = parser.Classify(f.Telegram, asMaster, o.Bus);
        switch (kind) {
        case TDetailKind::DS021:
            return Analyse021(f, r, o);
        case TDetailKind::DS003a:
            return Analyse003(f, r, o, true);
        case TDetailKind::DS003c:
            return Analyse003(f, r, o, false);
        case TDetailKind::Error:
            return AnalyseError(f, r, o, ErrorVerdictsOf(table, row, r));
        default:
            return AnalyseGeneral(f, r, o);
        }
    } catch (const std::exception&) {
        throw EVaskelError(DetailAnalysisErrorText(kind));
    }
}

} // namespace vaskel
