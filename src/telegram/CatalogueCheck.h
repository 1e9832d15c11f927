#pragma once
// The check a catalogue passes before the record-type editor writes it (and
// that vaskel-cli catalogue check runs on a file): every record type's
// pattern is well formed, and its own example is classified by the
// catalogue as a whole as that very record type, exactly and in its role,
// on its bus. Rows that would not survive the file (a "//" that makes the
// loader skip the line, a control character that breaks it, too few
// fields) fail as well.

#include "telegram/Catalogue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// What is wrong with the form of a compact pattern.
struct TPatternError {
    enum class TKind {
        UnclosedSet,   // "[" without "]"
        UnopenedGroup, // ")" without "("
        UnclosedGroup, // "(" without ")"
        BadStore,      // "=" not followed by "$" and a digit
        BadUse,        // "$" not followed by a digit
        UnsetVariable, // "$d" before "=$d"
    };
    TKind Kind = TKind::UnclosedSet;
    int Position = 0;  // 0-based, in the compact pattern
    char Variable = 0; // UnsetVariable: the digit
};

// The first fault of a compact pattern's form; none when it is well formed.
std::optional<TPatternError> CheckPatternSyntax(std::string_view pattern);

enum class TCatalogueFault {
    TooFewFields,     // fewer than eight fields: the load fails
    TooManyFields,    // more than kCatalogueMaxFields: the load fails
    BadFlag,          // a flag field holds no flag: the load fails
    CommentMark,      // a field holds "//": the loader skips the line
    ControlCharacter, // a field holds a byte below 0x20 (a line break)
    EmptyPattern,
    PatternSyntax,
    EmptyExample,
    ExampleNoMatch,  // the example does not match the row's own pattern
    OtherRecordType, // the example is taken for another record type
};

struct TCatalogueProblem {
    int Row = 0;    // index into the rows checked
    int LineNo = 0; // the row's line in the file (0: not from a file)
    std::string RecordNo;
    TCatalogueFault Fault = TCatalogueFault::EmptyPattern;
    TPatternError Syntax;      // PatternSyntax
    int MatchedLength = 0;     // ExampleNoMatch: example characters matched
    std::string OtherRecordNo; // OtherRecordType
    int Field = 0;             // BadFlag: the field (1 = first)
};

// Checks every row (the fields in file order) against the catalogue the
// rows make together; one problem per failing row, in row order.
std::vector<TCatalogueProblem> CheckCatalogue(const std::vector<TCatalogueRow>& rows);

// One line naming the row and what is wrong (Windows-1252).
// language: 1 German, 2 English.
std::string CatalogueProblemText(const TCatalogueProblem& problem, int language);

} // namespace vaskel
