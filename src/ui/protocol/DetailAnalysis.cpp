#include "ui/protocol/DetailAnalysis.h"

#include "platform/QtText.h"
#include "recording/Recorder.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vaskel {

namespace {

using TLine = std::vector<TDetailItem>;

TDetailItem Label(const char* german) {
    TDetailItem i;
    i.Kind = TDetailItem::Label;
    i.Text = Tr(german);
    return i;
}
TDetailItem Heading(const char* german) {
    TDetailItem i;
    i.Kind = TDetailItem::Heading;
    i.Text = Tr(german);
    return i;
}
TDetailItem Field(const QString& text, const char* hint) {
    TDetailItem i;
    i.Kind = TDetailItem::Field;
    i.Text = text;
    i.Hint = hint ? Tr(hint) : QString();
    return i;
}
TDetailItem Memo(const QString& text, const char* hint, int lines, int pixels = 0) {
    TDetailItem i;
    i.Kind = TDetailItem::Memo;
    i.Text = text;
    i.Hint = Tr(hint);
    i.Lines = lines;
    i.PixelHeight = pixels;
    return i;
}
TDetailItem Mark(bool holds, const char* hint) {
    TDetailItem i;
    i.Kind = TDetailItem::Mark;
    i.Text = holds ? QStringLiteral("X") : QString();
    i.Hint = holds && hint ? Tr(hint) : QString();
    return i;
}
TDetailItem Message(const QString& text) {
    TDetailItem i;
    i.Kind = TDetailItem::Message;
    i.Text = text;
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

QString TelegramMemoText(const TTelegramRecord& r, const TDetailOptions& o) {
    return FromCp1252(o.ConvertIBIS ? TelegramToDisplay(r.Telegram) : r.Telegram);
}

TDetailItem RecordNoField(const TRowFacts& f) {
    return Field(FromCp1252(f.RecordNo), "Datensatznummer des Datensatzes");
}
TDetailItem LengthField(const TTelegramRecord& r) {
    return Field(QString::number(r.Telegram.size()),
                 "Telegrammlänge inkl. abschließendem Zeilenumbruch und Prüfsumme");
}
TDetailItem TelegramMemo(const TTelegramRecord& r, const TDetailOptions& o, int lines,
                         int pixels = 0) {
    return Memo(TelegramMemoText(r, o), "Orginaltext des Telegramms", lines, pixels);
}
TLine NumberAndTime(const TRowFacts& f, const char* numberLabel = "Lfd-Nr.:") {
    return {Label(numberLabel),
            Field(FromCp1252(f.Nr), "Nummer des Telegramm in der obigen Tabelle"),
            Label("Startzeit:"),
            Field(FromCp1252(MsToTimeText(f.Start)), "Wann wurde der Datensatz übertragen?")};
}

char DecimalSeparator() {
    return UiLanguage() == 2 ? '.' : ',';
}

TDetailContent Analyse021(const TRowFacts& f, const TTelegramRecord& r, const TDetailOptions& o) {
    TDetailContent c;
    const std::string& cell = f.Telegram;
    if (cell.size() < 3) throw EConversionError("address");
    TLine first = {Label("DS-Nr.:"), RecordNoField(f), Label("Adresse:"),
                   Field(FromCp1252(IBISHexToIntStr(cell.substr(2, 1))),
                         "Adresse der angesprochenen Anzeige")};
    if (cell.size() >= 6 && cell[4] == 'A') {
        const int v = IBISHexToInt(cell.substr(5, 1));
        QString phase = QString::number((v + 2) / 2.0, 'f', 1);
        phase.replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator()));
        first.push_back(Label("Taktzeit:"));
        first.push_back(Field(phase + QStringLiteral("s (") + FromCp1252(cell.substr(5, 1)) +
                                  QStringLiteral(")"),
                              "Taktzeit"));
    }
    first.push_back(Label("Länge (Byte):"));
    first.push_back(LengthField(r));
    c.Lines.push_back(first);

    std::string t = r.DataText + r.RestText;
    if (t.size() < 2 || t[1] != 'A')
        t.erase(0, 1);
    else
        t.erase(0, 3);
    for (int k = 1; !t.empty(); ++k) {
        const std::string line1 = GetNextToken(t, "<LF>");
        const std::string line2 = GetNextToken(t, "<LF>");
        TDetailItem phase = Label("Takt");
        phase.Text += QStringLiteral(" ") + QString::number(k);
        phase.LeftAlign = true;
        c.Lines.push_back({phase, Label("Zeile 1:"), Field(FromCp1252(line1), nullptr)});
        c.Lines.push_back({TDetailItem{TDetailItem::Label, {}, {}, 1, 0, true}, Label("Zeile 2:"),
                           Field(FromCp1252(line2), nullptr)});
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
    c.Lines.push_back({Label("DS-Nr.:"), RecordNoField(f), Label("Blöcke:"),
                       Field(FromCp1252(IBISHexToIntStr(t.substr(0, 1))),
                             blocksOf16 ? "Anzahl der Datenblöcke á 16 Zeichen"
                                        : "Anzahl der Datenblöcke á 4 Zeichen"),
                       Label("Länge (Byte):"), LengthField(r)});
    c.Lines.push_back({Label(blocksOf16 ? "Anzeigetext:" : "Anzeige"),
                       Memo(FromCp1252(t.substr(1)),
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
    c.Lines.push_back({Label("DS-Nr.:"), RecordNoField(f), Label("Länge (Byte):"), LengthField(r)});
    c.Lines.push_back({Label("Telegramm:"), TelegramMemo(r, o, 4, 70)});
    c.Lines.push_back(NumberAndTime(f));
    return c;
}

QString Hex2(unsigned char b) {
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
}

TDetailContent AnalyseError(const TRowFacts& f, const TTelegramRecord& r, const TDetailOptions& o) {
    TDetailContent c;
    c.ErrorLook = true;
    TLine first = {Label("Protokollzeile:"),
                   Field(FromCp1252(f.Nr), "Die Zeile des Protokolls, auf das sich diese "
                                           "Fehleranalyse bezieht.")};
    if (r.ExactMatch) {
        first.push_back(Label("Datensatz-Nr.:"));
        first.push_back(Field(FromCp1252(r.RecordNo), "Die Datensatznummer des Telegramms."));
    } else {
        first.push_back(Label("Bestpassende DS-Nr.:"));
        first.push_back(Field(FromCp1252(r.RecordNo),
                              "Der Datensatz ist fehlerhaft. Daher kann hier nur angegeben "
                              "werden, welchem Datensatz er am meisten ähnelt."));
    }
    first.push_back(Label("Länge (Byte):"));
    first.push_back(LengthField(r));
    c.Lines.push_back(first);

    c.Lines.push_back({Heading("Übertragungsfehler:")});
    const auto has = [&](char letter) { return f.Errors.find(letter) != std::string::npos; };
    TLine marks = {
        Label("Framing-Fehler"), Mark(has('F'), "Es ist ein Framing-Fehler aufgetreten."),
        Label("Parity-Fehler"),  Mark(has('P'), "Es ist ein Parity-Fehler aufgetreten."),
        Label("Timeout"),        Mark(has('A'), "Es ist ein Timeout aufgetreten."),
        Label("Reset"),          Mark(has('R'), "Es ist ein Reset durchgeführt worden.")};
    if (!has('S')) {
        marks.push_back(Label("Prüfsummenfehler"));
        marks.push_back(Mark(false, nullptr));
    }
    c.Lines.push_back(marks);
    if (has('S')) {
        QString message;
        if (r.CheckByte.empty()) {
            message = Tr("Die Prüfsumme fehlt!");
        } else {
            const auto received = static_cast<unsigned char>(r.CheckByte[0]);
            std::string body = r.Telegram;
            // the body: without the final CR and the check byte
            if (!body.empty()) body.pop_back();
            if (!body.empty() && body.back() == kCR) body.pop_back();
            if (o.LinkOpen) {
                const auto expected = static_cast<unsigned char>(CalcCheckByte(body));
                message = Tr("Die Prüfsumme müsste \"%1\" (Hex: 0x%2) sein, ist aber \"%3\" "
                             "(Hex: 0x%4).")
                              .arg(FromCp1252(std::string(1, static_cast<char>(expected))),
                                   Hex2(expected), FromCp1252(r.CheckByte), Hex2(received));
            } else {
                message = Tr("Die Prüfsumme ist \"%1\" (Hex: 0x%2). Dies ist nicht korrekt.")
                              .arg(FromCp1252(r.CheckByte), Hex2(received));
            }
        }
        c.Lines.push_back({Label("Prüfsummenfehler"),
                           Mark(true, "Es ist ein Prüfsummenfehler aufgetreten."),
                           Message(message)});
    }

    c.Lines.push_back({Heading("Typ- und Aufbaufehler:")});
    const bool found = !r.RecordNo.empty();
    const QString recordNo = FromCp1252(r.RecordNo);
    const bool typeError = found && !r.RoleAsExpected;
    TLine type = {Label("Typfehler"),
                  Mark(typeError, "Typefehler sind Fehler, bei denen ein Master Slavetelegramme "
                                  "oder ein Slave Mastertelegramme verschickt.")};
    if (typeError)
        type.push_back(Message(
            (r.Master ? Tr("Datensatz %1 ist ein Masterdatensatz. Er scheint jedoch von einem "
                           "Slave verschickt worden zu sein.")
                      : Tr("Datensatz %1 ist ein Slavedatensatz. Er scheint jedoch von einem "
                           "Master verschickt worden zu sein."))
                .arg(recordNo)));
    c.Lines.push_back(type);
    TLine syntax = {Label("Syntaxfehler"),
                    Mark(!r.ExactMatch, "Der Aufbau des Telegramms entspricht nicht der in der "
                                        "VDV300 geforderten Norm.")};
    if (!r.ExactMatch)
        syntax.push_back(Message(
            found ? Tr("Ein Datensatz %1 sollte wie folgt aufgebaut sein: %2")
                        .arg(recordNo, FromCp1252(TelegramToUmlautDisplay(r.PatternText)))
                  : Tr("Es gibt keinen Datensatz mit dem das Telegramm übereinstimmen würde.")));
    c.Lines.push_back(syntax);

    c.Lines.push_back({Heading("Abfolgeanalyse:")});
    const QString answers = FromCp1252(r.Answers);
    QString firstMessage, second;
    const bool partner = f.HasObject && f.PartnerRow != -1;
    if (f.Status == "0") {
        firstMessage = Tr("OK: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. Diese "
                          "Antwort ging korrekt ein")
                           .arg(recordNo, answers);
    } else if (f.Status == "-1") {
        firstMessage = Tr("Fehler: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. "
                          "Kein Slave hat passend darauf geantwortet.")
                           .arg(recordNo, answers);
    } else if (f.Status.empty()) {
        firstMessage = Tr("OK: Datensatz %1 erwartet keine Antwort.").arg(recordNo);
    } else if (f.Status == "1") {
        firstMessage = Tr("Fehler: Datensatz %1 erwartet Datensatz/Datensätze %2 als Antwort. "
                          "Die Antwort ging zwar ein, jedoch zu spät.")
                           .arg(recordNo, answers);
        if (partner)
            second = Tr("Die Antwort, auf die sich diese Analyse bezieht, ging in "
                        "Protokollzeile %1 ein.")
                         .arg(f.PartnerRow);
    } else if (f.Status == "2") {
        firstMessage = Tr("Fehler: Es konnte nicht festgestellt werden, auf welches Telegramm "
                          "dieses Slavetelegramm die Antwort sein sollte.");
    } else if (f.Status == "3") {
        firstMessage = Tr("Fehler: Dieses Slavetelegramm kam zu spät als Antwort auf das "
                          "anfordernde Mastertelegramm.");
        if (partner)
            second = Tr("Das nächste passende, unbeantwortete Mastertelegramm wurde in "
                        "Protokollzeile %1 aufgezeichnet.")
                         .arg(f.PartnerRow);
    } else if (f.Status == "4") {
        firstMessage = Tr("OK: Dieses Slavetelegramm ist die korrekte Antwort auf das "
                          "vorhergehende Mastertelegramm.");
    }
    c.Lines.push_back({Message(firstMessage)});
    if (!second.isEmpty()) c.Lines.push_back({Message(second)});
    TDetailItem telegram = Heading("Telegramm:");
    c.Lines.push_back({telegram, TelegramMemo(r, o, 2)});
    return c;
}

const char* ErrorTextOf(TDetailKind kind) {
    switch (kind) {
    case TDetailKind::DS021:
        return "Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 021).";
    case TDetailKind::DS003a:
        return "Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003a).";
    case TDetailKind::DS003c:
        return "Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 003c).";
    case TDetailKind::Error:
        return "Dieses Telegramm ist so fehlerhaft, dass es nicht analysiert werden kann.";
    default:
        return "Dieses Telegramm ist fehlerhaft";
    }
}

} // namespace

const TDetailItem* TDetailContent::FieldAfter(const QString& label) const {
    for (const auto& line : Lines)
        for (std::size_t k = 0; k + 1 < line.size(); ++k)
            if ((line[k].Kind == TDetailItem::Label || line[k].Kind == TDetailItem::Heading) &&
                line[k].Text == label &&
                (line[k + 1].Kind == TDetailItem::Field || line[k + 1].Kind == TDetailItem::Memo ||
                 line[k + 1].Kind == TDetailItem::Mark))
                return &line[k + 1];
    return nullptr;
}

QStringList TDetailContent::Messages() const {
    QStringList out;
    for (const auto& line : Lines)
        for (const TDetailItem& i : line)
            if (i.Kind == TDetailItem::Message) out << i.Text;
    return out;
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
            return AnalyseError(f, r, o);
        default:
            return AnalyseGeneral(f, r, o);
        }
    } catch (const std::exception&) {
        QString text = Tr(ErrorTextOf(kind));
        if (kind != TDetailKind::Error)
            text += QStringLiteral("\n") + Tr("Das Telegramm kann nicht analysiert werden.");
        throw EVaskelError(text.toStdString());
    }
}

void FillDetailPanel(const TDetailContent& content, QWidget* panel, QVBoxLayout* layout) {
    int count = 0;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int labelWidth =
        panel->fontMetrics().horizontalAdvance(QStringLiteral("Bestpassende DS-Nr.:")) + 8;
    for (const auto& line : content.Lines) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        for (const TDetailItem& item : line) {
            QWidget* w = nullptr;
            switch (item.Kind) {
            case TDetailItem::Label:
            case TDetailItem::Heading:
            case TDetailItem::Message: {
                auto* l = new QLabel(item.Text, panel);
                l->setObjectName(QStringLiteral("Genericlbl%1").arg(count));
                if (item.Kind == TDetailItem::Heading) {
                    QFont b = l->font();
                    b.setBold(true);
                    l->setFont(b);
                }
                if (item.Kind == TDetailItem::Label && !item.LeftAlign) {
                    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                    l->setMinimumWidth(std::min(labelWidth, 170));
                } else {
                    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                }
                w = l;
                break;
            }
            case TDetailItem::Field:
            case TDetailItem::Mark: {
                auto* e = new QLineEdit(item.Text, panel);
                e->setObjectName(QStringLiteral("GenericEd%1").arg(count));
                e->setReadOnly(true);
                e->setFont(fixed);
                e->setToolTip(item.Hint);
                e->setCursorPosition(0);
                if (item.Kind == TDetailItem::Mark) {
                    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("XX")) + 10);
                    e->setAlignment(Qt::AlignCenter);
                }
                w = e;
                break;
            }
            case TDetailItem::Memo: {
                auto* m = new QPlainTextEdit(item.Text, panel);
                m->setObjectName(QStringLiteral("GenericMemo%1").arg(count));
                m->setReadOnly(true);
                m->setFont(fixed);
                m->setToolTip(item.Hint);
                m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
                m->setFixedHeight(item.PixelHeight > 0
                                      ? item.PixelHeight
                                      : item.Lines * m->fontMetrics().lineSpacing() + 10);
                w = m;
                break;
            }
            }
            ++count;
            const bool stretch = item.Kind == TDetailItem::Memo ||
                                 (item.Kind == TDetailItem::Field && &item == &line.back());
            row->addWidget(w, stretch ? 1 : 0);
        }
        if (line.empty() ||
            (line.back().Kind != TDetailItem::Memo && !(line.back().Kind == TDetailItem::Field)))
            row->addStretch();
        layout->addLayout(row);
    }
}

} // namespace vaskel
