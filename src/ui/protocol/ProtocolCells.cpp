#include "ui/protocol/ProtocolCells.h"

#include "platform/QtText.h"
#include "telegram/Filter.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"

namespace vaskel {

namespace {

const QColor kWarn(0xFF, 0x80, 0x80);

QString Cell(const TTable& t, int col, int row) {
    return FromCp1252(t.Cell(col, row));
}

// The telegram cell as coloured segments of its classification.
std::vector<TSegment> TelegramSegments(const TTable& table, int row,
                                       const TIBISTelegramParser& parser, const TCellOptions& o) {
    std::vector<TSegment> segments;
    const std::string_view raw = table.Cell(pcTelegram, row);
    const std::string_view kind = TrimBlanks(table.Cell(pcKind, row));
    if (raw.empty() || kind.empty()) return segments;
    const TTelegramRecord r = parser.Classify(ReplaceNulTokens(raw), IsMasterKind(kind), o.Bus);
    // the IBIS characters as umlauts or as they travel; blanks stay blanks
    auto text = [&](const std::string& s) {
        return FromCp1252(o.ConvertIBIS ? TelegramToShownText(s) : TelegramToDisplay(s));
    };
    segments.push_back({text(r.Prefix), QColor(0x00, 0xAE, 0x00), {}});
    segments.push_back({text(r.Address), QColor(0xFF, 0x00, 0x00), {}});
    segments.push_back({text(r.Data), {}, {}});
    if (!r.ExactMatch && o.AutoWarnings)
        segments.push_back({r.Rest.empty() ? QStringLiteral("Ø") : text(r.Rest), {}, kWarn});
    else if (!r.ExactMatch)
        segments.push_back({text(r.Rest), {}, {}});
    segments.push_back({FromCp1252(r.CRText), QColor(0x80, 0x80, 0x80), {}});
    const bool checksumError = table.Cell(pcErrors, row).find('S') != std::string_view::npos;
    if (!r.CheckByte.empty()) {
        const auto c = static_cast<unsigned char>(r.CheckByte[0]);
        QString shown = c < 33 || c == 127
                            ? QStringLiteral("<$%1>").arg(c, 2, 16, QLatin1Char('0')).toUpper()
                            : FromCp1252(r.CheckByte);
        segments.push_back({shown, QColor(0x00, 0x00, 0xFF),
                            checksumError && o.AutoWarnings ? kWarn : QColor()});
    } else if (checksumError) {
        segments.push_back({QStringLiteral("Ø"), QColor(0x00, 0x00, 0xFF), kWarn});
    }
    return segments;
}

QString Joined(const std::vector<TSegment>& segments) {
    QString text;
    for (const TSegment& s : segments)
        text += s.Text;
    return text;
}

// The shown telegram as the marking compares it.
std::string MarkableText(const std::vector<TSegment>& segments) {
    return ToCp1252(Joined(segments));
}

QColor KindColor(char k) {
    switch (k) {
    case 'M':
        return QColor(0x1F, 0x5F, 0xC0);
    case 'S':
        return QColor(0x2A, 0x9A, 0x2A);
    case 'N':
        return QColor(0x80, 0x30, 0xB0);
    case 'T':
        return QColor(0xD0, 0x80, 0x00);
    default:
        return QColor(0x80, 0x80, 0x80);
    }
}

} // namespace

TCellLook ProtocolCellLook(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
                           const TCellOptions& o) {
    TCellLook look;
    const std::string_view raw = table.Cell(col, row);
    const std::string_view kind = TrimBlanks(table.Cell(pcKind, row));
    const bool slave = IsSlaveKind(kind);
    // record types with an analysis of their own stand out (outside the
    // selection)
    const std::string recordNo(TrimBlanks(table.Cell(pcRecordNo, row)));
    if (col != pcKind && !o.RowSelected &&
        (recordNo == "003a" || recordNo == "003c" || recordNo == "021"))
        look.Background = row == o.DetailRow ? QColor(0xC0, 0xDC, 0xC0) : QColor(0xE2, 0xE9, 0xFA);
    // the telegram as shown: its cell's segments, and the text the marking
    // looks at
    std::vector<TSegment> telegram;
    const bool marking = col != pcKind && row != o.CurrentRow && !kind.empty() && !o.MarkText.empty();
    if (col == pcTelegram || marking) telegram = TelegramSegments(table, row, parser, o);
    if (marking && MarkMatches(MarkableText(telegram), o.MarkText))
        look.Background = QColor(0xFF, 0x80, 0x00);
    switch (col) {
    case pcKind: {
        if (TrimBlanks(raw).empty()) break;
        look.Segments.push_back({QString(QChar(raw[0])), Qt::white, KindColor(raw[0])});
        look.Align = Qt::AlignCenter;
        break;
    }
    case pcStart: {
        if (TrimBlanks(raw).empty()) break;
        const int32_t v = StrToIntDef(raw, 0);
        look.Segments.push_back(
            {v < 1 ? Tr(FromCp1252(kReactionInvalid)) : FromCp1252(MsToTimeText(v)), {}, {}});
        look.Align = Qt::AlignRight | Qt::AlignVCenter;
        break;
    }
    case pcReaction: {
        if (!slave) {
            look.Cross = true;
            break;
        }
        int64_t v = 0;
        const bool number = TryStrToInt64(raw, v);
        if (o.AutoWarnings) {
            if (!number || v < 0)
                look.Background = kWarn;
            else if (v <= 1)
                look.Background = QColor(0xC0, 0xDC, 0xC0);
            else if (v <= 50)
                look.Background = QColor(0xDF, 0xED, 0x7E);
            else if (v <= 100)
                look.Background = QColor(0xFF, 0xFF, 0x80);
            else if (v <= 500)
                look.Background = QColor(0xFB, 0xC8, 0x84);
            else
                look.Background = kWarn;
            look.Segments.push_back({Cell(table, col, row), {}, {}});
        } else {
            look.Segments.push_back({QString::number(number ? v : 0), {}, {}});
        }
        look.Align = Qt::AlignRight | Qt::AlignVCenter;
        break;
    }
    case pcErrors:
        if (!TrimBlanks(raw).empty() && o.AutoWarnings) look.Background = kWarn;
        look.Segments.push_back({Cell(table, col, row), {}, {}});
        break;
    case pcTelegram:
        look.Segments = std::move(telegram);
        break;
    case pcAnswer: {
        const QString v = Cell(table, col, row).trimmed();
        if (v.isEmpty() || !o.AutoWarnings) break;
        // the status as a small symbol
        static const std::pair<const char*, std::pair<const char*, QColor>> marks[] = {
            {"-1", {"?", QColor(0xC0, 0x60, 0x00)}}, {"0", {"✓", QColor(0x00, 0x90, 0x00)}},
            {"1", {"✓", QColor(0x90, 0x90, 0x00)}},  {"2", {"✗", QColor(0xD0, 0x00, 0x00)}},
            {"3", {"↑", QColor(0x90, 0x90, 0x00)}},  {"4", {"↑", QColor(0x00, 0x90, 0x00)}}};
        TSegment s{QString::fromUtf8("✓"), QColor(0x00, 0x90, 0x00), {}};
        for (const auto& [value, mark] : marks)
            if (v == QLatin1String(value)) s = {QString::fromUtf8(mark.first), mark.second, {}};
        look.Segments.push_back(s);
        look.Align = Qt::AlignCenter;
        break;
    }
    default: {
        QString v = Cell(table, col, row);
        if (o.ConvertIBIS && col != pcHex) v = FromCp1252(TelegramToDisplay(table.Cell(col, row)));
        look.Segments.push_back({v, {}, {}});
        if (col == pcNr) look.Align = Qt::AlignRight | Qt::AlignVCenter;
    }
    }
    return look;
}

namespace {

const char* const kColumnTitles[kProtocolColumns] = {
    "",       "Nr.",          "Startzeit", "Reaktion", "Fehler", "Telegramm", "Telegramm (HEX)",
    "DS-Nr.", "Beschreibung", "A?"};

const char* const kColumnHints[kProtocolColumns] = {
    "Handelt es sich um ein Master- oder Slavetelegramm?",
    "Laufende Nummer des Telegramms",
    "Uhrzeit, zu der die Übertragung des Telegramms begann",
    "Zeit in Millisekunden vom Ende des Mastertelegramms bis zum Beginn der Antwort",
    "Fehler: R Reset, F Framing, P Parity, S Prüfsumme, A Timeout, T Typfehler, X Syntaxfehler",
    "Das Telegramm, wie es auf dem Bus übertragen wurde",
    "Das Telegramm in hexadezimaler Darstellung",
    "Nummer des erkannten IBIS-Datensatzes",
    "Beschreibung des Datensatzes",
    "Antwortstatus: Wurde das Telegramm beantwortet?"};

const char* KindMeaning(char kind) {
    switch (kind) {
    case 'M':
        return "Mastertelegramm";
    case 'N':
        return "Eigenes Mastertelegramm";
    case 'S':
        return "Slavetelegramm";
    case 'T':
        return "Eigenes Slavetelegramm";
    default:
        return nullptr;
    }
}

const char* AnswerMeaning(std::string_view status) {
    if (status == "-1") return "Keine passende Antwort";
    if (status == "1") return "Beantwortet, jedoch zu spät";
    if (status == "2") return "Kein anforderndes Mastertelegramm gefunden";
    if (status == "3") return "Antwort zu spät";
    if (status == "4") return "Korrekte Antwort";
    return "Beantwortet";
}

} // namespace

QString ProtocolColumnTitle(int col) {
    return col >= 0 && col < kProtocolColumns ? Tr(kColumnTitles[col]) : QString();
}

QString ProtocolColumnHint(int col) {
    return col >= 0 && col < kProtocolColumns ? Tr(kColumnHints[col]) : QString();
}

QString ProtocolCellText(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
                         const TCellOptions& o) {
    TCellOptions plain = o;
    plain.MarkText.clear(); // the marking colours, it shows no text
    return Joined(ProtocolCellLook(table, row, col, parser, plain).Segments);
}

QString ProtocolCellTip(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
                        const TCellOptions& o) {
    if (col == pcKind) {
        const std::string_view kind = TrimBlanks(table.Cell(pcKind, row));
        const char* meaning = kind.empty() ? nullptr : KindMeaning(kind[0]);
        return meaning ? Tr(meaning) : FromCp1252(kind);
    }
    if (col == pcAnswer) {
        const std::string_view status = TrimBlanks(table.Cell(pcAnswer, row));
        return status.empty() || !o.AutoWarnings ? QString() : Tr(AnswerMeaning(status));
    }
    const QString text = ProtocolCellText(table, row, col, parser, o);
    return text.trimmed().isEmpty() ? QString() : text;
}

QString QuotedCell(QString text) {
    const QChar quote = QLatin1Char('"');
    text.replace(quote, QStringLiteral("\"\""));
    return quote + text + quote;
}

QString ProtocolCopyText(const TTable& table, const std::vector<int>& rows,
                         const std::vector<int>& shownColumns, const TIBISTelegramParser& parser,
                         const TCellOptions& options) {
    QStringList lines;
    QStringList head;
    for (int c : shownColumns)
        head << QuotedCell(ProtocolColumnTitle(c));
    lines << head.join(QLatin1Char('\t'));
    for (int r : rows) {
        QStringList cells;
        for (int c : shownColumns) {
            QString cell = ProtocolCellText(table, r, c, parser, options);
            // a line of the clipboard is a row (a telegram's CR shows as <CR>)
            cell.remove(QLatin1Char('\r'));
            cell.remove(QLatin1Char('\n'));
            cells << QuotedCell(cell);
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QStringLiteral("\r\n"));
}

bool ProtocolRowMarked(const TTable& table, int row, const TIBISTelegramParser& parser,
                       const TCellOptions& options) {
    if (options.MarkText.empty() || TrimBlanks(table.Cell(pcKind, row)).empty()) return false;
    return MarkMatches(MarkableText(TelegramSegments(table, row, parser, options)),
                       options.MarkText);
}

int FindInProtocol(const TTable& table, int rows, int start, bool down, const QString& text,
                   bool matchCase, const TIBISTelegramParser& parser, const TCellOptions& options) {
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int r = start; r >= 0 && r < rows; r += down ? 1 : -1)
        for (int c = 0; c < kProtocolColumns; ++c)
            if (ProtocolCellText(table, r, c, parser, options).contains(text, cs)) return r;
    return -1;
}

} // namespace vaskel
