#pragma once
// The destination-display records 021, 003a, 003c, 004c and 021a: composing
// a telegram from plain lines (padding, block counts, address, phase time,
// line feeds) and taking one apart again; the passenger's view of a display
// text (lines, phases, what a display of a given width shows); the number
// conversions of the IBIS-hex converter. Stateless; any thread.

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

enum class TDisplayRecord { DS021, DS003a, DS003c, DS004c, DS021a };

// "021", "003a", ...
const char* DisplayRecordNo(TDisplayRecord type);
bool DisplayRecordFromNo(std::string_view no, TDisplayRecord& type);
// The type a telegram starts with ("zA" 003a, "zI" 003c, "aA" 021, "aL" 021a,
// "eT" 004c), after blanks on the left; false for any other start.
bool DisplayRecordFromPrefix(std::string_view text, TDisplayRecord& type);

// Phase times: index i stands for (i + 2) / 2 seconds ("1", "1,5" ... "8,5");
// kNoPhaseTime is "Ohne Takt", kPhaseTimeUnset means nothing is chosen.
inline constexpr int kPhaseTimeCount = 16;
inline constexpr int kNoPhaseTime = 16;
inline constexpr int kPhaseTimeUnset = -1;
std::string PhaseTimeText(int index);
// "1", "1,5", "1.5", "8,5" ... and "none"/"Ohne Takt"; -1 when unknown.
int PhaseTimeFromText(std::string_view text);
// The phase time in milliseconds (0 for "Ohne Takt" or unset).
int PhaseTimeMs(int index);

// What the composer window holds.
struct TComposerInput {
    TDisplayRecord Type = TDisplayRecord::DS003a;
    int Address = 1;                 // 1..15; anything else: no valid address
    int PhaseTime = kPhaseTimeUnset; // 021 only
    bool DoubleLineFeed = true;      // 021 only: LF LF after each phase
    std::vector<std::string> Rows;   // one text per row (021: pairs per phase)
};

enum class TComposeProblem { None, NoAddress, NoPhaseTime, Over15Blocks16, Over15Blocks4, TooLong };

struct TComposeResult {
    std::string Telegram; // entry notation bytes (umlauts, LF); empty when refused
    TComposeProblem Problem = TComposeProblem::None;
};

TComposeResult ComposeDisplayRecord(const TComposerInput& in);
// The German message of a refusal (Windows-1252, lines separated by "\n").
std::string ComposeProblemText(TComposeProblem problem);

// Fills address, phase time, line feeds and rows from an initial telegram
// (raw bytes: LF as byte; IBIS national characters become umlauts). The rows
// compose again to the same telegram for every telegram the composer makes.
TComposerInput DecomposeDisplayRecord(TDisplayRecord type, std::string_view telegram);

// A 021 taken apart: the one reading of the record that the composer, the
// passenger's view, the detail analysis and vaskel-cli decompose share.
// Positions count from the telegram's first character ("aA"); a CR and what
// follows it (the check byte) are not read.
// - address: the 3rd character as IBIS-hex digit;
// - phase time: "A" at the 5th character and an IBIS-hex digit at the 6th;
//   the lines start after them, else at the 5th character;
// - lines: each ends at an LF and a phase holds two; with double line feeds
//   an empty line after the second line ends the phase. The line feeds are
//   read as double when the lines compose again so, else as single when
//   they compose so, else as double;
// - what follows the last LF: only blanks are the padding of the last block;
//   any other text is one more line (its trailing blanks are the padding).
struct TRecord021 {
    int Address = -1; // -1: the 3rd character is no IBIS-hex digit
    int PhaseTime = kNoPhaseTime;
    bool DoubleLineFeed = true;
    std::vector<std::string> Lines; // two per phase, bytes as in the telegram
    std::string Padding;
    std::size_t PhaseCount() const { return Lines.size() / 2; }
};
TRecord021 Split021(std::string_view telegram);

// The rows a fresh composer starts with: one pair for 021, one row else.
std::vector<std::string> EmptyRows(TDisplayRecord type);

// --- the passenger's view -------------------------------------------------

// Display classes and the characters one line holds: a front display shows
// 24 characters, a side display 20, an inside display 2 lines of 20.
enum class TDisplayClass { Front, Side, Inside };
int DisplayColumns(TDisplayClass c);
int DisplayLines(TDisplayClass c);
TDisplayClass DefaultDisplayClass(TDisplayRecord type);

struct TDisplayLine {
    std::string Text; // what fits (umlauts as Windows-1252 bytes)
    bool Cut = false; // more characters than the display shows
};
struct TDisplayPhase {
    std::vector<TDisplayLine> Lines;
    bool MoreLines = false; // lines beyond the display's lines were dropped
};
struct TDisplayView {
    TDisplayRecord Type = TDisplayRecord::DS003a;
    int PhaseTime = kNoPhaseTime;
    std::vector<TDisplayPhase> Phases;
};
// The passenger's view of a display telegram (bytes as on the bus or as the
// composer makes them); false when the telegram is none of the five types.
bool BuildDisplayView(std::string_view telegram, TDisplayClass displayClass, TDisplayView& view);

// --- the IBIS-hex converter -----------------------------------------------

struct TNumberNotations {
    std::string Decimal, Hex, IbisHex;
};
// Each returns the two other notations of a field's text (cleaned: upper
// case, characters outside the notation removed); Decimal → hex without
// leading zeros ("0" when empty or no number).
TNumberNotations FromDecimalText(std::string_view decimal);
TNumberNotations FromHexText(std::string_view hex);
TNumberNotations FromIbisHexText(std::string_view ibisHex);

} // namespace vaskel
