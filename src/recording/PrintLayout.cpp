#include "recording/PrintLayout.h"

#include "recording/Recorder.h"
#include "telegram/TextConventions.h"

#include <algorithm>
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

std::string PrintMeasureText(const TTable& table, int row, int col,
                             const TIBISTelegramParser& parser, TBusType bus) {
    const std::string_view raw = table.Cell(col, row);
    switch (col) {
    case pcStart:
        return MsToTimeText(StrToIntDef(raw, 0));
    case pcReaction:
        return MsToSecondsText(StrToIntDef(raw, 0), true);
    case pcTelegram: {
        const std::string_view kind = TrimBlanks(table.Cell(pcKind, row));
        if (kind.empty()) return "M";
        const TTelegramRecord r = parser.Classify(ReplaceNulTokens(raw), IsMasterKind(kind), bus);
        return r.Prefix + r.Address + r.DataText + r.RestText + r.CRText;
    }
    default:
        return std::string(raw);
    }
}

std::vector<int> PrintColumnShares(const TTable& table, const std::vector<int>& rows,
                                   const std::vector<std::string>& titles,
                                   const std::vector<bool>& columnShown,
                                   const TIBISTelegramParser& parser, TBusType bus,
                                   const TPrintTextWidth& width) {
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
    std::vector<int> shares(static_cast<std::size_t>(cols), 0);
    if (shownCount == 0) return shares;
    const int total =
        std::max(1, std::accumulate(longest.begin(), longest.end(), 0) + 7 * shownCount);
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
    return shares;
}

std::vector<int> PrintColumnWidths(const TPrintPaper& paper, const std::vector<int>& shares) {
    std::vector<int> widths;
    widths.reserve(shares.size());
    const int w = PrintUsableWidth(paper);
    for (int s : shares) widths.push_back(w * s / 100);
    return widths;
}

TPrintPeriod PrintPeriodOf(const TTable& table, const std::vector<int>& rows) {
    if (rows.empty()) return {};
    return {MsToTimeText(StrToIntDef(table.Cell(pcStart, rows.front()), 0)),
            MsToTimeText(StrToIntDef(table.Cell(pcStart, rows.back()), 0))};
}

namespace {

// Rows that start from top and stay above the break line.
int RowsFrom(int top, int paperHeight) {
    const int room = paperHeight - kPrintBodyEnd - top;
    return room <= 0 ? 1 : (room + kPrintRowHeight - 1) / kPrintRowHeight;
}

} // namespace

TPrintPages::TPrintPages(const TPrintPaper& paper, int rowCount)
    : FRows(std::max(rowCount, 0)),
      FFirst(RowsFrom(kPrintBodyFirst, paper.Height)),
      FFollowing(RowsFrom(kPrintBodyFollow, paper.Height)) {
    // A page always takes at least the row that begins it.
    FPageCount = FRows <= FFirst ? 1 : 1 + (FRows - FFirst + FFollowing - 1) / FFollowing;
}

int TPrintPages::FirstRow(int page) const {
    if (page <= 0) return 0;
    return FFirst + (page - 1) * FFollowing;
}

int TPrintPages::RowsOn(int page) const {
    if (page < 0 || page >= FPageCount) return 0;
    const int first = FirstRow(page);
    const int room = page == 0 ? FFirst : FFollowing;
    return std::clamp(FRows - first, 0, room);
}

int TPrintPages::PageOfRow(int index) const {
    if (index < FFirst) return 0;
    return std::min(FPageCount - 1, 1 + (index - FFirst) / FFollowing);
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
