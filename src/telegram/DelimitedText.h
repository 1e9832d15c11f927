#pragma once
// Splitting of one line of delimited text the way the catalogue, list and
// settings readers expect it:
//  - leading blanks and control characters are skipped;
//  - a field starting with the quote runs to the closing quote (a doubled
//    quote inside stands for one; a missing closing quote takes the rest);
//  - an unquoted field ends at the delimiter or at the first byte <= 0x20,
//    so blanks outside quotes separate fields too;
//  - blanks after a field and after a delimiter are skipped;
//  - a delimiter at the very end of the line adds one empty field.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// keepNul: a NUL byte inside quotes is kept as data and one outside quotes
// counts as a blank (table files, whose telegram cells may hold NUL bytes);
// otherwise a NUL byte ends the line.
std::vector<std::string> SplitDelimited(std::string_view line, char delimiter, char quote = '"',
                                        bool keepNul = false);

} // namespace vaskel

namespace vaskel {

// The longest line the file readers take, in bytes: far above any row of a
// protocol, a list or a catalogue (a telegram is at most a few hundred
// bytes). A longer line is no line of such a file; reading it would only
// fill the memory.
std::size_t MaxLineBytes();
// For the fuzz targets and tests: another limit (0 brings the default back).
void SetMaxLineBytes(std::size_t limit);

// "Zeile %d ist länger als %d Bytes: die Datei ist keine Textdatei dieser
// Art." with the line (1 = first) and the limit (Windows-1252).
std::string LineTooLongText(int line);

// Calls f(line, lineNo) for every line of text (lineNo 1 = first). A line
// ends at CR LF, at LF and at CR alone, so files written on any system (or
// edited in a mixture of them) keep their lines apart; a last line without
// line end counts, an empty text has no line. Throws ELineTooLong for a line
// longer than MaxLineBytes().
void ForEachTextLine(std::string_view text, const std::function<void(std::string_view, int)>& f);

} // namespace vaskel
