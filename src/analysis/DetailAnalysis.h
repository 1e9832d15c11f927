#pragma once
// The detail analysis of one protocol row: what the detail panel shows for
// the destination-display record types 021, 003a and 003c, for rows with
// errors, and for every other row. The content is built here, items in
// lines; its texts are German (Windows-1252) and are translated where they
// are shown.

#include "analysis/DetailKind.h"
#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

struct TDetailItem {
    enum TKind { Label, Heading, Field, Memo, Mark, Message };
    TKind Kind = Label;
    // Label, Heading, Message: a German text, shown translated, its places
    // %1, %2 ... filled with Args, then Suffix as it is ("Takt" + " 2").
    std::string German;
    std::vector<std::string> Args;
    std::string Suffix;
    // Field, Memo, Mark: a value, shown as it is.
    std::string Value;
    std::string GermanHint; // empty: none
    int Lines = 1;          // memo height in rows
    int PixelHeight = 0;    // memo height in pixels (0: by Lines)
    bool LeftAlign = false; // labels are right-aligned unless said

    // The item's text in German: the text with its places filled and the
    // suffix, or the value.
    std::string Text() const;
};

struct TDetailContent {
    std::vector<std::vector<TDetailItem>> Lines;
    bool ErrorLook = false;
    // The first field, memo or mark whose label (German) is label.
    const TDetailItem* FieldAfter(std::string_view label) const;
    // Every message, in German, in order.
    std::vector<std::string> Messages() const;
};

struct TDetailOptions {
    bool ConvertIBIS = true;
    TBusType Bus = TBusType::bsVehicleBus;
    bool LinkOpen = false;       // a device link exists: the expected check byte is named
    char DecimalSeparator = ','; // of the phase time of a 021
};

// What the error analysis finds in a row.
enum class TSequenceVerdict {
    Other,            // a status without a verdict
    Answered,         // "0": the expected answer came
    Unanswered,       // "-1": no slave answered
    NoAnswerExpected, // "": the record type expects no answer
    AnsweredLate,     // "1": the answer came, too late
    Unpaired,         // "2": a slave telegram answering no known request
    LateAnswer,       // "3": a slave telegram that came too late
    Answer            // "4": the answer to the master telegram just before
};
struct TErrorVerdicts {
    // Transmission errors: the error letters F, P, A, R and S.
    bool Framing = false, Parity = false, Timeout = false, Reset = false, Checksum = false;
    bool TypeError = false;   // a known record type sent by the other side
    bool SyntaxError = false; // no record type matches exactly
    TSequenceVerdict Sequence = TSequenceVerdict::Other;
    int PartnerRow = -1; // the row of the answer or request paired late; -1: none
};
// record: the row's telegram classified (a master for M and N rows).
TErrorVerdicts ErrorVerdictsOf(const TTable& table, int row, const TTelegramRecord& record);

// Builds the analysis of the row by its kind. Throws EVaskelError with
// DetailAnalysisErrorText(kind) when the telegram cannot be taken apart.
TDetailContent BuildDetailAnalysis(TDetailKind kind, const TTable& table, int row,
                                   const TIBISTelegramParser& parser, const TDetailOptions& o);
// Why an analysis of the kind failed (German, lines apart by CR LF).
std::string DetailAnalysisErrorText(TDetailKind kind);

// Replaces the places %1 ... %9 of text with args in one pass; a place
// without an argument stays.
std::string FillPlaces(std::string_view text, const std::vector<std::string>& args);

} // namespace vaskel
