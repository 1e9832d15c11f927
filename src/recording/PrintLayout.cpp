#include "recording/PrintLayout.h"

#include "recording/Recorder.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <unordered_map>

namespace vaskel {

const char* const kPrintTitleLive = "Vaskel Protokoll";
const char* const kPrintFollowing = "%s - Folgeblatt";
const char* const kPrintPeriod = "Zeitraum: %s bis %s Uhr";
const char* const kPrintVersion = "Vaskel Version %s";
const char* const kPrintDate = "Ausdruck vom %s";
const char* const kPrintPage = "Seite %d";
const char* const kPrintJobTitle = "Vaskel 3 - Vaskelprotokoll";

std::vector<int> PrintRows(int rowCount, std::vector<int> selectedRows,
                           const std::function<bool(int)>& shown) {
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
    std::erase_if(selectedRows, [&](int r) { return r < 0 || r >= rowCount; });
    std::vector<int> rows;
    if (selectedRows.size() <= 1) {
        rows.reserve(static_cast<std::size_t>(std::max(rowCount, 0)));
        for (int r = 0; r < rowCount; ++r)
            if (!shown || shown(r)) rows.push_back(r);
    } else {
        for (int r : selectedRows)
            if (!shown || shown(r)) rows.push_back(r);
    }
    return rows;
}

TPrintTelegram PrintTelegramText(const TTable& table, int row, const TIBISTelegramParser& parser,
                                 TBusType bus) {
    const std::string_view kind = TrimBlanks(table.Cell(pcKind, row));
    const std::string_view raw = table.Cell(pcTelegram, row);
    if (kind.empty() || raw.empty()) return {};
    const TTelegramRecord r = parser.Classify(ReplaceNulTokens(raw), IsMasterKind(kind), bus);
    // as the protocol window shows them: umlauts, blanks as blanks
    TPrintTelegram t{TelegramToDisplay(r.Prefix), TelegramToDisplay(r.Address),
                     TelegramToShownText(r.Data), TelegramToShownText(r.Rest), r.CRText, {}};
    if (!r.CheckByte.empty()) {
        const auto c = static_cast<unsigned char>(r.CheckByte[0]);
        if (c < 33 || c == 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "<$%02X>", c);
            t.Check = buf;
        } else {
            t.Check = r.CheckByte.substr(0, 1);
        }
    }
    return t;
}

std::string PrintReactionText(const TTable& table, int row) {
    if (!IsSlaveKind(TrimBlanks(table.Cell(pcKind, row)))) return {};
    return std::string(TrimBlanks(table.Cell(pcReaction, row)));
}

std::string PrintMeasureText(const TTable& table, int row, int col,
                             const TIBISTelegramParser& parser, TBusType bus) {
    const std::string_view raw = table.Cell(col, row);
    switch (col) {
    case pcStart:
        return MsToTimeText(StrToIntDef(raw, 0));
    case pcReaction:
        return PrintReactionText(table, row);
    case pcTelegram: {
        if (TrimBlanks(table.Cell(pcKind, row)).empty()) return "M";
        return PrintTelegramText(table, row, parser, bus).Joined();
    }
    default:
        return std::string(raw);
    }
}

bool PrintColumnWraps(int col) {
    return col == pcTelegram || col == pcHex || col == pcDescription;
}

std::vector<int> PrintColumnShares(const TTable& table, const std::vector<int>& rows,
                                   const std::vector<std::string>& titles,
                                   const std::vector<bool>& columnShown,
                                   const TIBISTelegramParser& parser, TBusType bus,
                                   const TPrintTextWidth& width, int usableWidth,
                                   std::vector<int>* longestOut) {
    const int cols = table.ColCount();
    auto isShown = [&](int c) {
        return c < static_cast<int>(columnShown.size()) ? bool(columnShown[c]) : true;
    };
    // The measuring font is monospaced: the longest text is the one with the
    // most characters, and only that one is measured. A telegram's measured
    // length is kept per distinct telegram (recordings repeat them a lot).
    std::vector<int> longest(static_cast<std::size_t>(cols), 0);
    int shownCount = 0;
    std::unordered_map<std::string, std::size_t> telegramLength;
    for (int c = 0; c < cols; ++c) {
        if (!isShown(c)) continue;
        ++shownCount;
        std::string best = c < static_cast<int>(titles.size()) ? titles[c] : std::string();
        for (int r : rows) {
            if (c == pcTelegram) {
                const std::string_view kind = TrimBlanks(table.Cell(pcKind, r));
                std::string key(1, kind.empty() ? '-' : IsMasterKind(kind) ? 'M' : 'S');
                key += table.Cell(pcTelegram, r);
                auto it = telegramLength.find(key);
                if (it == telegramLength.end()) {
                    const std::size_t n = PrintMeasureText(table, r, c, parser, bus).size();
                    if (telegramLength.size() > 200000) telegramLength.clear();
                    it = telegramLength.emplace(std::move(key), n).first;
                }
                if (it->second > best.size()) best = PrintMeasureText(table, r, c, parser, bus);
                continue;
            }
            if (c == pcStart) {
                // always "hh:nn:ss,zzz"
                if (best.size() < 12) best = PrintMeasureText(table, r, c, parser, bus);
                continue;
            }
            if (c == pcReaction) {
                const std::string t = PrintMeasureText(table, r, c, parser, bus);
                if (t.size() > best.size()) best = t;
                continue;
            }
            const std::string_view cell = table.Cell(c, r);
            if (cell.size() > best.size()) best = std::string(cell);
        }
        longest[c] = best.empty() ? 0 : width(best);
    }
    if (longestOut) *longestOut = longest;
    std::vector<int> shares(static_cast<std::size_t>(cols), 0);
    if (shownCount == 0) return shares;
    const int total =
        std::max(1, std::accumulate(longest.begin(), longest.end(), 0) + 7 * shownCount);
    // the points of the page a column needs for its longest text
    auto needPoints = [&](int c) {
        const int need = longest[c] + 2 * kPrintCellPad;
        return std::max((need * 100 + usableWidth - 1) / usableWidth, kPrintMinShare);
    };
    if (usableWidth > 0 && total > usableWidth) {
        // Too wide for the page. The columns that cannot wrap keep what
        // their longest text needs; the wrapping ones share the rest by
        // their needs, the description (or the telegram) taking the
        // rounding. Only when that leaves them nothing do all shrink alike.
        int fixed = 0;
        int wrapNeed = 0;
        std::vector<int> wrapping;
        for (int c = 0; c < cols; ++c) {
            if (!isShown(c)) continue;
            const int need = longest[c] + 7;
            if (PrintColumnWraps(c)) {
                wrapping.push_back(c);
                wrapNeed += need;
                continue;
            }
            shares[c] = needPoints(c);
            fixed += shares[c];
        }
        const int rest = 100 - fixed;
        if (!wrapping.empty() && rest >= kPrintMinShare * static_cast<int>(wrapping.size())) {
            int given = 0;
            for (int c : wrapping) {
                // a title does not wrap: the column keeps room for it
                const std::string title =
                    c < static_cast<int>(titles.size()) ? titles[c] : std::string();
                const int titleNeed = title.empty() ? 0
                                                    : ((width(title) + 2 * kPrintCellPad) * 100 +
                                                       usableWidth - 1) /
                                                          usableWidth;
                shares[c] = std::max({rest * (longest[c] + 7) / std::max(wrapNeed, 1),
                                      titleNeed, kPrintMinShare});
                given += shares[c];
            }
            const int taker = isShown(pcDescription) ? pcDescription : wrapping.back();
            shares[taker] += rest - given;
            // the least shares may have given out more than there was
            while (shares[taker] < kPrintMinShare) {
                auto widest = std::max_element(wrapping.begin(), wrapping.end(),
                                               [&](int a, int b) { return shares[a] < shares[b]; });
                if (*widest == taker || shares[*widest] <= kPrintMinShare) break;
                --shares[*widest];
                ++shares[taker];
            }
            if (shares[taker] >= kPrintMinShare) return shares;
        }
        std::fill(shares.begin(), shares.end(), 0);
    }
    for (int c = 0; c < cols; ++c) {
        if (!isShown(c)) continue;
        shares[c] = (longest[c] + 7) * 100 / total + (c >= 1 && c <= 7 ? 2 : 0);
        // a narrow column (the kind letter, the status symbol) of a wide
        // table would round down to nothing and vanish from the page
        shares[c] = std::max(shares[c], kPrintMinShare);
    }
    if (pcDescription < cols && isShown(pcDescription)) {
        const int others = std::accumulate(shares.begin(), shares.end(), 0) - shares[pcDescription];
        shares[pcDescription] = 100 - others;
        // The extra points of the narrow columns can leave the description
        // nothing or less: it keeps nothing, and the widest columns give up
        // the rest, so the table never runs past the page.
        if (shares[pcDescription] < 0) {
            int excess = -shares[pcDescription];
            shares[pcDescription] = 0;
            while (excess > 0) {
                auto widest = std::max_element(shares.begin(), shares.end());
                if (*widest <= 0) break;
                --*widest;
                --excess;
            }
        }
    }
    if (usableWidth > 0 && total <= usableWidth) {
        // The extra points of the narrow columns and the rounding can leave
        // a column (mostly the description) narrower than its text: it takes
        // points, one at a time, from the column with the most to spare.
        for (int c = 0; c < cols; ++c) {
            if (!isShown(c)) continue;
            while (shares[c] < needPoints(c)) {
                int donor = -1;
                int spare = 0;
                for (int d = 0; d < cols; ++d) {
                    if (d == c || !isShown(d)) continue;
                    const int s = shares[d] - needPoints(d);
                    if (s > spare) {
                        spare = s;
                        donor = d;
                    }
                }
                if (donor < 0) break;
                --shares[donor];
                ++shares[c];
            }
        }
    }
    return shares;
}

std::vector<int> PrintColumnWidths(const TPrintPaper& paper, const std::vector<int>& shares) {
    std::vector<int> widths;
    widths.reserve(shares.size());
    const int w = PrintUsableWidth(paper);
    for (int s : shares) widths.push_back(w * s / 100);
    return widths;
}

namespace {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[(m - 1) % 12];
}

std::string DateText(const TDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.Day, t.Month, t.Year);
    return buf;
}

bool SameDay(const TDateTime& a, const TDateTime& b) {
    return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day;
}

} // namespace

TDateTime PreviousDay(TDateTime t) {
    if (--t.Day >= 1) return t;
    if (--t.Month < 1) {
        t.Month = 12;
        --t.Year;
    }
    t.Day = DaysInMonth(t.Year, t.Month);
    return t;
}

TPrintPeriod PrintPeriodOf(const TTable& table, const std::vector<int>& rows,
                           const std::optional<TDateTime>& reference) {
    if (rows.empty()) return {};
    const int64_t first = StrToIntDef(table.Cell(pcStart, rows.front()), 0);
    const int64_t last = StrToIntDef(table.Cell(pcStart, rows.back()), 0);
    TPrintPeriod period{MsToTimeText(first), MsToTimeText(last)};
    if (!reference) return period;
    const TDateTime lastDay = last > reference->MsOfDay() ? PreviousDay(*reference) : *reference;
    const TDateTime firstDay = first > last ? PreviousDay(lastDay) : lastDay;
    period.First = DateText(firstDay) + " " + period.First;
    if (!SameDay(firstDay, lastDay)) period.Last = DateText(lastDay) + " " + period.Last;
    return period;
}

std::optional<TDateTime> ProtocolNameTime(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    // yyyy-mm-dd-hh-nn-ss: 19 characters, digits and dashes in place
    constexpr std::string_view kForm = "dddd-dd-dd-dd-dd-dd";
    for (std::size_t at = name.size() < kForm.size() ? std::string_view::npos
                                                      : name.size() - kForm.size();
         at != std::string_view::npos; at = at == 0 ? std::string_view::npos : at - 1) {
        bool fits = true;
        for (std::size_t k = 0; k < kForm.size() && fits; ++k) {
            const char ch = name[at + k];
            fits = kForm[k] == 'd' ? ch >= '0' && ch <= '9' : ch == '-';
        }
        if (!fits) continue;
        auto number = [&](std::size_t from, std::size_t n) {
            int v = 0;
            for (std::size_t k = 0; k < n; ++k) v = v * 10 + (name[at + from + k] - '0');
            return v;
        };
        TDateTime t;
        t.Year = number(0, 4);
        t.Month = number(5, 2);
        t.Day = number(8, 2);
        t.Hour = number(11, 2);
        t.Minute = number(14, 2);
        t.Second = number(17, 2);
        if (t.Year < 1900 || t.Month < 1 || t.Month > 12 || t.Day < 1 ||
            t.Day > DaysInMonth(t.Year, t.Month) || t.Hour > 23 || t.Minute > 59 || t.Second > 59)
            continue;
        return t;
    }
    return std::nullopt;
}

namespace {

// Rows that start from top and stay above the break line.
int RowsFrom(int top, int paperHeight) {
    const int room = paperHeight - kPrintBodyEnd - top;
    return room <= 0 ? 1 : (room + kPrintRowHeight - 1) / kPrintRowHeight;
}

// The line a row must end above: where a row of one line starting at the
// break line would end.
int BodyBottom(int paperHeight) { return paperHeight - kPrintBodyEnd + kPrintRowHeight; }

} // namespace

int PrintMaxRowLines(const TPrintPaper& paper) {
    const int room = BodyBottom(paper.Height) - 1 - kPrintBodyFirst - kPrintRowHeight;
    return std::max(1, 1 + room / kPrintLineStep);
}

TPrintPages::TPrintPages(const TPrintPaper& paper, int rowCount,
                         const std::function<int(int)>& linesOf)
    : FRows(std::max(rowCount, 0)),
      FFirst(RowsFrom(kPrintBodyFirst, paper.Height)),
      FFollowing(RowsFrom(kPrintBodyFollow, paper.Height)) {
    if (linesOf) {
        // rows of one line only: the pages are counted, not walked
        const int most = PrintMaxRowLines(paper);
        FLines.resize(static_cast<std::size_t>(FRows));
        bool wrapped = false;
        for (int k = 0; k < FRows; ++k) {
            const int lines = std::clamp(linesOf(k), 1, most);
            FLines[static_cast<std::size_t>(k)] = static_cast<uint16_t>(lines);
            wrapped = wrapped || lines > 1;
        }
        if (!wrapped) FLines = {};
        if (wrapped) {
            const int bottom = BodyBottom(paper.Height);
            int y = kPrintBodyFirst;
            FPageFirst.push_back(0);
            for (int k = 0; k < FRows; ++k) {
                const int h = PrintRowHeight(FLines[static_cast<std::size_t>(k)]);
                if (FPageFirst.back() != k && y + h >= bottom) {
                    FPageFirst.push_back(k);
                    y = kPrintBodyFollow;
                }
                y += h;
            }
            FPageCount = static_cast<int>(FPageFirst.size());
            return;
        }
    }
    // A page always takes at least the row that begins it.
    FPageCount = FRows <= FFirst ? 1 : 1 + (FRows - FFirst + FFollowing - 1) / FFollowing;
}

int TPrintPages::FirstRow(int page) const {
    if (page <= 0) return 0;
    if (!FPageFirst.empty())
        return page < FPageCount ? FPageFirst[static_cast<std::size_t>(page)] : FRows;
    return FFirst + (page - 1) * FFollowing;
}

int TPrintPages::RowsOn(int page) const {
    if (page < 0 || page >= FPageCount) return 0;
    const int first = FirstRow(page);
    if (!FPageFirst.empty()) return FirstRow(page + 1) - first;
    const int room = page == 0 ? FFirst : FFollowing;
    return std::clamp(FRows - first, 0, room);
}

int TPrintPages::PageOfRow(int index) const {
    if (!FPageFirst.empty()) {
        const auto it = std::upper_bound(FPageFirst.begin(), FPageFirst.end(), index);
        return std::max(0, static_cast<int>(it - FPageFirst.begin()) - 1);
    }
    if (index < FFirst) return 0;
    return std::min(FPageCount - 1, 1 + (index - FFirst) / FFollowing);
}

int TPrintPages::LinesOf(int index) const {
    if (FLines.empty() || index < 0 || index >= FRows) return 1;
    return FLines[static_cast<std::size_t>(index)];
}

std::vector<int> ParsePageRanges(std::string_view text, int pageCount) {
    std::vector<int> pages;
    std::string part;
    auto flush = [&]() -> bool {
        const std::string whole(TrimBlanks(part));
        const std::string_view p = whole;
        part.clear();
        if (p.empty()) return true;
        const auto dash = p.find('-');
        int64_t from = 0;
        int64_t to = 0;
        if (dash == std::string_view::npos) {
            if (!TryStrToInt64(std::string(p), from)) return false;
            to = from;
        } else if (!TryStrToInt64(std::string(TrimBlanks(p.substr(0, dash))), from) ||
                   !TryStrToInt64(std::string(TrimBlanks(p.substr(dash + 1))), to)) {
            return false;
        }
        if (from < 1 || to < from) return false;
        for (int64_t k = from; k <= std::min<int64_t>(to, pageCount); ++k)
            pages.push_back(static_cast<int>(k));
        return true;
    };
    for (char c : text) {
        if (c == ',' || c == ';') {
            if (!flush()) return {};
        } else {
            part += c;
        }
    }
    if (!flush()) return {};
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

} // namespace vaskel
