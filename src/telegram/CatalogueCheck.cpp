#include "telegram/CatalogueCheck.h"

#include "telegram/TelegramParser.h"
#include "telegram/TextConventions.h"

#include <array>

namespace vaskel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<TPatternError> CheckPatternSyntax(std::string_view p) {
    using K = TPatternError::TKind;
    const int n = static_cast<int>(p.size());
    std::array<bool, 10> stored{};
    std::vector<int> open; // positions of the open groups
    for (int j = 0; j < n; ++j) {
        const char c = p[j];
        if (c == '[') {
            // the set's characters are taken literally up to "]"
            const auto close = p.find(']', static_cast<std::size_t>(j) + 1);
            if (close == std::string_view::npos) return TPatternError{K::UnclosedSet, j, 0};
            j = static_cast<int>(close);
        } else if (c == '(') {
            open.push_back(j);
        } else if (c == ')') {
            if (open.empty()) return TPatternError{K::UnopenedGroup, j, 0};
            open.pop_back();
        } else if (c == '=') {
            if (j + 2 >= n || p[j + 1] != '$' || !IsDigit(p[j + 2]))
                return TPatternError{K::BadStore, j, 0};
            stored[p[j + 2] - '0'] = true;
            j += 2;
        } else if (c == '$') {
            if (j + 1 >= n || !IsDigit(p[j + 1])) return TPatternError{K::BadUse, j, 0};
            if (!stored[p[j + 1] - '0']) return TPatternError{K::UnsetVariable, j, p[j + 1]};
            j += 1;
        }
    }
    if (!open.empty()) return TPatternError{K::UnclosedGroup, open.back(), 0};
    return std::nullopt;
}

std::vector<TCatalogueProblem> CheckCatalogue(const std::vector<TCatalogueRow>& rows) {
    // the catalogue as the rows make it, loaded as the loader would
    std::vector<TWagenbusProfileRecord> records;
    for (const TCatalogueRow& row : rows)
        if (row.Fields.size() >= kCatalogueFields) records.push_back(RecordFromFields(row.Fields));
    const TIBISTelegramParser parser(SortRecords(std::move(records)));

    std::vector<TCatalogueProblem> problems;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const TCatalogueRow& row = rows[k];
        TCatalogueProblem p;
        p.Row = static_cast<int>(k);
        p.LineNo = row.LineNo;
        p.RecordNo = row.Fields.empty() ? std::string() : row.Fields[0];
        auto fail = [&](TCatalogueFault f) {
            p.Fault = f;
            problems.push_back(p);
        };
        if (row.Fields.size() < kCatalogueFields) {
            fail(TCatalogueFault::TooFewFields);
            continue;
        }
        if (row.Fields.size() > kCatalogueMaxFields) {
            fail(TCatalogueFault::TooManyFields);
            continue;
        }
        bool flags = true;
        for (const std::size_t k : kCatalogueFlagFields)
            if (flags && !IsCatalogueFlag(row.Fields[k])) {
                p.Field = static_cast<int>(k) + 1;
                flags = false;
            }
        if (!flags) {
            fail(TCatalogueFault::BadFlag);
            continue;
        }
        bool comment = false, control = false;
        for (const std::string& f : row.Fields) {
            comment = comment || f.find("//") != std::string::npos;
            for (char c : f)
                control = control || static_cast<unsigned char>(c) < 0x20;
        }
        if (comment) {
            fail(TCatalogueFault::CommentMark);
            continue;
        }
        if (control) {
            fail(TCatalogueFault::ControlCharacter);
            continue;
        }
        const TWagenbusProfileRecord r = RecordFromFields(row.Fields);
        if (r.Pattern.empty()) {
            fail(TCatalogueFault::EmptyPattern);
            continue;
        }
        if (auto e = CheckPatternSyntax(r.Pattern)) {
            p.Syntax = *e;
            fail(TCatalogueFault::PatternSyntax);
            continue;
        }
        if (r.Example.empty()) {
            fail(TCatalogueFault::EmptyExample);
            continue;
        }
        // the example as typed: entry notation ("<CR>", umlauts)
        const std::string example = DisplayToTelegram(r.Example);
        TTelegramRecord own;
        own.Telegram = example;
        TIBISTelegramParser::SplitFields(own, r);
        const std::string_view body = DivideTelegram(example).Body;
        if (MatchScore(body, r.Pattern) != -1) {
            p.MatchedLength =
                static_cast<int>(body.size() - std::min(body.size(), own.Rest.size()));
            fail(TCatalogueFault::ExampleNoMatch);
            continue;
        }
        const TTelegramRecord got = parser.Classify(
            example, r.Master, r.TrainBus ? TBusType::bsTrainBus : TBusType::bsVehicleBus);
        const bool same = got.RecordNo == r.RecordNo && got.Pattern == r.Pattern &&
                          got.Master == r.Master && got.TrainBus == r.TrainBus;
        if (!same || !got.ExactMatch || !got.RoleAsExpected) {
            p.OtherRecordNo = got.RecordNo;
            fail(TCatalogueFault::OtherRecordType);
        }
    }
    return problems;
}

std::string CatalogueProblemText(const TCatalogueProblem& p, int language) {
    const bool en = language == 2;
    std::string head;
    if (p.LineNo > 0)
        head = FormatText(en ? "Line %d, DS %s: " : "Zeile %d, DS %s: ",
                          {std::to_string(p.LineNo), p.RecordNo});
    else
        head = FormatText("DS %s: ", {p.RecordNo});
    using K = TPatternError::TKind;
    switch (p.Fault) {
    case TCatalogueFault::TooFewFields:
        return head + (en ? "fewer than 8 fields" : "weniger als 8 Felder");
    case TCatalogueFault::TooManyFields:
        return head + (en ? "more than " : "mehr als ") + std::to_string(kCatalogueMaxFields) +
               (en ? " fields" : " Felder");
    case TCatalogueFault::BadFlag:
        return head + (en ? "field " : "Feld ") + std::to_string(p.Field) +
               (en ? " is no flag (-1 or 0)" : " ist kein Schalter (-1 oder 0)");
    case TCatalogueFault::CommentMark:
        return head + (en ? "\"//\" in a field makes the line a comment"
                          : "\"//\" in einem Feld macht die Zeile zum Kommentar");
    case TCatalogueFault::ControlCharacter:
        return head + (en ? "a field holds a control character (line break)"
                          : "ein Feld enth\xE4lt ein Steuerzeichen (Zeilenumbruch)");
    case TCatalogueFault::EmptyPattern:
        return head + (en ? "the pattern is empty" : "das Muster ist leer");
    case TCatalogueFault::PatternSyntax: {
        const std::string at = std::to_string(p.Syntax.Position + 1);
        std::string what;
        switch (p.Syntax.Kind) {
        case K::UnclosedSet:
            what = en ? "\"[\" without \"]\"" : "\"[\" ohne \"]\"";
            break;
        case K::UnopenedGroup:
            what = en ? "\")\" without \"(\"" : "\")\" ohne \"(\"";
            break;
        case K::UnclosedGroup:
            what = en ? "\"(\" without \")\"" : "\"(\" ohne \")\"";
            break;
        case K::BadStore:
            what = en ? "\"=\" not followed by \"$\" and a digit"
                      : "\"=\" ohne folgendes \"$\" und Ziffer";
            break;
        case K::BadUse:
            what = en ? "\"$\" not followed by a digit" : "\"$\" ohne folgende Ziffer";
            break;
        case K::UnsetVariable:
            what =
                FormatText(en ? "$%s is used before \"=$%s\" stores it"
                              : "Variable $%s wird benutzt, bevor \"=$%s\" sie setzt",
                           {std::string(1, p.Syntax.Variable), std::string(1, p.Syntax.Variable)});
            break;
        }
        return head + FormatText(en ? "pattern error at character %s: %s"
                                    : "Musterfehler bei Zeichen %s: %s",
                                 {at, what});
    }
    case TCatalogueFault::EmptyExample:
        return head + (en ? "the example is empty" : "das Beispiel ist leer");
    case TCatalogueFault::ExampleNoMatch:
        return head +
               FormatText(en ? "the example does not match the pattern (from character %s on)"
                             : "das Beispiel passt nicht zum Muster (ab Zeichen %s)",
                          {std::to_string(p.MatchedLength + 1)});
    case TCatalogueFault::OtherRecordType:
        if (p.OtherRecordNo.empty())
            return head + (en ? "the example is not recognised as a record type"
                              : "das Beispiel wird keinem Datensatz zugeordnet");
        return head + FormatText(en ? "the example is recognised as DS %s"
                                    : "das Beispiel wird als DS %s erkannt",
                                 {p.OtherRecordNo});
    }
    return head;
}

} // namespace vaskel
