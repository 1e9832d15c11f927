#pragma once
// The record of the byte strings exchanged with the device, as the traffic
// window shows it: two lists side by side, "Gerät --> PC" and "PC --> Gerät",
// kept in step in time. Every string becomes one row on its own side and a
// filler row on the other, so the two lists always have the same length and
// a row's neighbours are what happened just before and after it. The rows
// are bounded: past kMaxRows the oldest row goes, whichever side logs.

#include "telegram/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace vaskel {

enum class TTrafficSide { Received, Sent };
// ASCII: printable bytes as they are, others as <XX>; hex: "XX XX ...".
enum class TTrafficMode { Ascii, Hex };

struct TTrafficRow {
    TTrafficSide Side = TTrafficSide::Received;
    std::string Text;      // as shown, Windows-1252
    int64_t MsOfDay = 0;   // when it was logged
    TTrafficMode Mode = TTrafficMode::Ascii; // the form its text has
};

// The text a string is shown as, leading blanks removed.
std::string TrafficText(std::string_view bytes, TTrafficMode mode);

// How many leading characters of a row's text stand for its first count
// bytes (drawn in red): in hex 3 per byte; in ASCII one per character, a
// group "<XX>" counting as one.
std::size_t HighlightLength(std::string_view text, TTrafficMode mode, int count);

class TTrafficLog {
public:
    static constexpr std::size_t kMaxRows = 1000;
    static constexpr int kMaxHighlight = 8;

    // Appends a row for the string (in the current mode) and a filler on the
    // other side; returns how many of the oldest rows were dropped to stay
    // within kMaxRows.
    std::size_t Log(TTrafficSide side, std::string_view bytes, int64_t msOfDay);
    void Clear() { FRows.clear(); }
    // Log in steps, for a view that follows each change: the row alone,
    // then the oldest row while there are too many.
    void Append(TTrafficSide side, std::string_view bytes, int64_t msOfDay);
    bool OverFull() const { return FRows.size() > kMaxRows; }
    void DropOldest() { FRows.pop_front(); }

    const std::deque<TTrafficRow>& Rows() const { return FRows; }
    std::size_t Size() const { return FRows.size(); }
    // The text of row index in the list of the given side; empty for a filler.
    const std::string& Text(TTrafficSide list, std::size_t index) const;
    bool Filler(TTrafficSide list, std::size_t index) const { return FRows[index].Side != list; }

    TTrafficMode Mode() const { return FMode; }
    // For rows logged from now on.
    void SetMode(TTrafficMode mode) { FMode = mode; }
    int HighlightCount() const { return FHighlight; }
    // 0 to kMaxHighlight.
    void SetHighlightCount(int count);

    // The text file "Speichern" writes (Windows-1252, lines apart by CR LF):
    // heading with the moment of saving, every row with its side and time,
    // and the closing line.
    std::string SaveText(const TDateTime& now) const;
    // "Kommunikationsprotokoll_dd-mm-yyyy_hh-nn.txt".
    static std::string ProposedFileName(const TDateTime& now);

private:
    std::deque<TTrafficRow> FRows;
    TTrafficMode FMode = TTrafficMode::Ascii;
    int FHighlight = 1;
};

} // namespace vaskel
