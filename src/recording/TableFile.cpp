#include "recording/TableFile.h"

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#include <emmintrin.h>
#define VASKEL_HAVE_SSE2 1
#endif

namespace vaskel {

const char* const kMSGFeldnamenUnterschiedlich =
    "Die Feldnamen der ge\xF6"
    "ffneten Datei entsprechen nicht den erwarteten Feldnamen.\r\n"
    "Die Datei wurde nicht geladen!";
const char* const kMSGFeldnamenUnterschiedlichTitel = "Datei \xF6"
                                                      "ffnen";

namespace {

namespace fs = std::filesystem;

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

} // namespace

void AppendTableLine(std::string& line, TTable& table, int row, char quote, char separator) {
    // Boolean cells are normalised in the table itself first.
    for (int col = 0; col < table.ColCount(); ++col) {
        if (table.Style(col) != TZK_InputStyle::csBoolean) continue;
        const std::string_view c = table.Cell(col, row);
        if (c != "0" && c != "-1") table.SetCell(col, row, c.empty() ? "0" : "-1");
    }
    table.ForEachCell(row, [&](int col, std::string_view cell) {
        if (col > 0) line += separator;
        switch (table.Style(col)) {
        case TZK_InputStyle::csBoolean:
        case TZK_InputStyle::csInteger:
        case TZK_InputStyle::csUnsignedInt:
        case TZK_InputStyle::csDirection:
            line.append(cell);
            break;
        default:
            line += quote;
            for (;;) {
                const auto q = cell.find(quote);
                if (q == std::string_view::npos) break;
                line.append(cell.substr(0, q + 1));
                line += quote;
                cell.remove_prefix(q + 1);
            }
            line.append(cell);
            line += quote;
        }
    });
    line += "\r\n";
}

namespace {

void WriteRows(const std::function<void(std::string_view)>& out, TTable& table, int from,
               char quote, const std::optional<std::string>& header, char separator) {
    std::string chunk;
    chunk.reserve(1 << 20);
    if (header) chunk += *header + "\r\n";
    for (int row = from; row < table.RowCount(); ++row) {
        AppendTableLine(chunk, table, row, quote, separator);
        if (chunk.size() >= (1 << 20)) {
            out(chunk);
            chunk.clear();
        }
    }
    out(chunk);
}

} // namespace

std::string BackupFileName(const std::string& fileName) {
    const fs::path p(fileName);
    fs::path b = p;
    b.replace_extension(".BAK");
    return b.string();
}

void SaveToCSV(TTable& table, const std::string& fileName, char quote, int firstRow,
               const std::optional<std::string>& header, char separator) {
    if (firstRow < 0) firstRow = 0;
    std::error_code ec;
    const bool exists = fs::exists(fileName, ec);
    const bool append = exists && firstRow > 0;
    const int from = std::max(firstRow, 1) - 1; // 0-based data row
    if (append) {
        // Whole lines are appended in one go, or nothing.
        std::string content;
        WriteRows([&](std::string_view part) { content.append(part); }, table, from, quote,
                  header, separator);
        AppendToFileSafely(fileName, content);
    } else {
        if (exists && firstRow == 0) {
            try {
                CopyFileSafely(fileName, BackupFileName(fileName));
            } catch (const EFileError& e) {
                throw EFileError("Cannot write file " + fileName + " without its backup. " +
                                 e.what());
            }
        }
        WriteFileSafely(fileName, [&](TFileSink& out) {
            WriteRows([&](std::string_view part) { out.Write(part); }, table, from, quote, header,
                      separator);
        });
    }
    table.Modified = false;
}

std::vector<std::string> SplitTableLine(std::string_view line, char quote, char separator) {
    std::vector<std::string> fields = SplitDelimited(line, separator, quote, true);
    for (auto& f : fields)
        if (f.empty()) f = " ";
    return fields;
}

int FileLineAt(const std::string& fileName, std::uint64_t offset, char quote) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return 0;
    int line = 1;
    std::uint64_t pos = 0;
    bool inside = false, crCounted = false;
    std::vector<char> block(64 * 1024);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t k = 0; k < n; ++k, ++pos) {
            const char c = block[k];
            // the row's own first byte: past the offset, above a blank
            if (pos >= offset && static_cast<unsigned char>(c) > 0x20) return line;
            if (c == quote && quote != '\0') inside = !inside;
            // CR LF, LF and CR outside quotes end a line; inside quotes only
            // an LF does (a telegram's own CR does not)
            if (c == '\n' && !crCounted) ++line;
            crCounted = c == '\r' && !inside;
            if (crCounted) ++line;
        }
    }
    return line;
}

TTableLines ForEachTableRawLine(const std::string& fileName, char quote,
                                const std::function<void(std::string_view, int)>& f) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    const std::size_t limit = MaxLineBytes();
    std::string line;
    bool inside = false, crCounted = false;
    int lineNo = 1;  // the file's line the scan is in
    int rowLine = 0; // the line where the row in `line` begins (0: none yet)
    std::vector<char> block(64 * 1024);
    auto emit = [&] {
        if (line.size() > 1) f(line, rowLine == 0 ? lineNo : rowLine);
        line.clear();
        rowLine = 0;
    };
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t k = 0; k < n; ++k) {
            const char c = block[k];
            const bool lineEnd = c == '\r' || c == '\n';
            if (lineEnd && !inside) {
                // CR LF, LF and CR alone end a line alike
                emit();
            } else {
                if (c == quote) inside = !inside;
                if (rowLine == 0 && static_cast<unsigned char>(c) > 0x20) rowLine = lineNo;
                line += c;
                if (line.size() > limit)
                    throw ELineTooLong(LineTooLongText(rowLine == 0 ? lineNo : rowLine),
                                       rowLine == 0 ? lineNo : rowLine);
            }
            // the file's lines as FileLineAt counts them
            if (c == '\n' && !crCounted) ++lineNo;
            crCounted = c == '\r' && !inside;
            if (crCounted) ++lineNo;
        }
    }
    TTableLines result;
    if (inside) {
        result.Complete = false;
        result.UnterminatedLine = rowLine == 0 ? lineNo : rowLine;
        return result;
    }
    emit();
    return result;
}

TTableLines ForEachTableLine(const std::string& fileName, char quote, char separator,
                             const std::function<void(std::vector<std::string>&, int)>& f) {
    return ForEachTableRawLine(fileName, quote, [&](std::string_view line, int lineNo) {
        std::vector<std::string> fields = SplitDelimited(line, separator, quote, true);
        f(fields, lineNo);
    });
}

namespace {

bool IsBlankOrNul(unsigned char b) {
    return b <= 0x20;
}

// Position of c in s from p on, or s.size().
std::size_t FindByte(std::string_view s, std::size_t p, char c) {
    const std::size_t n = s.size();
#ifdef VASKEL_HAVE_SSE2
    const __m128i cv = _mm_set1_epi8(c);
    while (p + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, cv));
        if (mask != 0)
            return p + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        p += 16;
    }
#endif
    while (p < n && s[p] != c)
        ++p;
    return p;
}

} // namespace

// Splits one line into the table's packed row form, with the rules of
// SplitTableLine (a NUL inside quotes is data; empty fields become one
// blank; fields beyond the last column are dropped).
namespace {

// Packs into buf (grown, never shrunk); returns the cells and sets the
// packed length.
int PackInto(std::string_view line, char quote, char sep, int cols, std::string& buf,
             std::size_t& packedLength) {
    const std::size_t n = line.size();
    const char* const s = line.data();
    // A cell's text is never longer than the line, and every kept cell adds
    // at most a five-byte length and a blank: the packed row fits here.
    const std::size_t need = n + 6 * static_cast<std::size_t>(std::max(cols, 0)) + 8;
    if (buf.size() < need) buf.resize(std::max(need, 2 * buf.size()));
    char* const base = buf.data();
    char* w = base;
    std::size_t p = 0;
    int cells = 0;
    // The length byte is written after the text; a length of 0x80 or more
    // needs more bytes, and the text moves up to make room.
    auto endField = [&](char* lenPos, bool keep) {
        if (!keep) {
            w = lenPos; // a field beyond the last column is read and dropped
            return;
        }
        std::size_t len = static_cast<std::size_t>(w - (lenPos + 1));
        if (len == 0) {
            *w++ = ' ';
            len = 1;
        }
        if (len >= 0x80) {
            std::string prefix;
            TTable::PackCellLength(prefix, len);
            std::memmove(lenPos + prefix.size(), lenPos + 1, len);
            std::memcpy(lenPos, prefix.data(), prefix.size());
            w = lenPos + prefix.size() + len;
        } else {
            *lenPos = static_cast<char>(len);
        }
        ++cells;
    };
    while (p < n && IsBlankOrNul(static_cast<unsigned char>(s[p])))
        ++p;
    while (p < n) {
        char* const lenPos = w++;
        const bool keep = cells < cols;
        if (s[p] == quote) {
            ++p;
            for (;;) {
                const std::size_t q = FindByte(line, p, quote);
                std::memcpy(w, s + p, q - p);
                w += q - p;
                if (q == n) {
                    p = n;
                    break;
                }
                if (q + 1 < n && s[q + 1] == quote) {
                    *w++ = quote;
                    p = q + 2;
                    continue;
                }
                p = q + 1;
                break;
            }
        } else {
            const std::size_t start = p;
            while (p<n&& static_cast<unsigned char>(s[p])> 0x20 && s[p] != sep)
                ++p;
            std::memcpy(w, s + start, p - start);
            w += p - start;
        }
        endField(lenPos, keep);
        while (p < n && IsBlankOrNul(static_cast<unsigned char>(s[p])))
            ++p;
        if (p < n && s[p] == sep) {
            if (p + 1 == n) {
                // a separator at the very end: one more, empty field
                char* const last = w++;
                endField(last, cells < cols);
            }
            do {
                ++p;
            } while (p < n && IsBlankOrNul(static_cast<unsigned char>(s[p])));
        }
    }
    packedLength = static_cast<std::size_t>(w - base);
    return cells;
}

} // namespace

int PackTableLine(std::string_view line, char quote, char sep, int cols, std::string& out) {
    std::size_t length = 0;
    const int cells = PackInto(line, quote, sep, cols, out, length);
    out.resize(length);
    return cells;
}

TLoadResult LoadFromCSV(TTable& table, const std::string& fileName, char quote,
                        const std::function<void(int)>& progress,
                        const std::optional<std::string>& header, char separator,
                        std::string_view rowEnd) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    table.Clear();
    TLoadResult result;
    std::uint64_t base = 0; // the file offset of buf's first byte (below)
    if (header) {
        std::string head(header->size(), '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        if (Upper(head) != Upper(*header)) return result;
        base = head.size();
    }
    bool skippingHeaderEnd = header.has_value();

    std::string buf;
    std::string packed;
    bool stop = false;
    const std::size_t limit = MaxLineBytes();
    // A line this long is no row of a table file: refused, naming its line
    // in the file, before the buffer grows with it.
    auto tooLong = [&](std::uint64_t offset) {
        const int line = FileLineAt(fileName, offset, quote);
        return ELineTooLong(LineTooLongText(line), line);
    };
    // false (and reading stops) for a line that does not end as rowEnd asks
    auto addLine = [&](std::string_view line) {
        if (line.size() > limit)
            throw tooLong(base + static_cast<std::uint64_t>(line.data() - buf.data()));
        if (!rowEnd.empty() && !line.ends_with(rowEnd) && !TrimBlanks(line).empty()) {
            result.BrokenRow = stop = true;
            return false;
        }
        std::size_t length = 0;
        const int cells = PackInto(line, quote, separator, table.ColCount(), packed, length);
        result.LastRowFields = cells;
        const std::string_view row(packed.data(), length);
        if (result.Rows == 0)
            table.SetPackedRow(0, row, cells);
        else
            table.AppendPackedRow(row, cells);
        ++result.Rows;
        if (progress) progress(result.Rows);
        return true;
    };

#ifdef VASKEL_HAVE_SSE2
    const __m128i quoteVec = _mm_set1_epi8(quote);
    const __m128i crVec = _mm_set1_epi8('\r');
    const __m128i lfVec = _mm_set1_epi8('\n');
#endif
    // The buffer holds the unfinished line (carried over) and the new block.
    constexpr std::size_t kBlock = 256 * 1024;
    std::size_t lineStart = 0, scan = 0;
    bool inside = false;
    for (;;) {
        // keep the unfinished line, read the next block behind it
        buf.erase(0, lineStart);
        base += lineStart;
        scan -= lineStart;
        lineStart = 0;
        const std::size_t old = buf.size();
        buf.resize(old + kBlock);
        in.read(buf.data() + old, static_cast<std::streamsize>(kBlock));
        const auto got = static_cast<std::size_t>(in.gcount());
        buf.resize(old + got);
        if (got == 0) break;
        if (skippingHeaderEnd) {
            std::size_t k = 0;
            while (k < buf.size() && (buf[k] == '\r' || buf[k] == '\n'))
                ++k;
            buf.erase(0, k);
            base += k;
            scan = 0;
            if (buf.empty()) continue;
            skippingHeaderEnd = false;
        }
        const char* d = buf.data();
        const std::size_t n = buf.size();
#ifdef VASKEL_HAVE_SSE2
        // Sixteen bytes at a time: the quote parity of every position comes
        // from a prefix XOR of the quote mask, so the line ends (CRs outside
        // quotes) are found without a branch per quote.
        while (scan + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + scan));
            unsigned q = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quoteVec)));
            // CR LF, LF and CR alone end a line alike
            const unsigned c = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(v, crVec), _mm_cmpeq_epi8(v, lfVec))));
            unsigned parity = q;
            parity ^= parity << 1;
            parity ^= parity << 2;
            parity ^= parity << 4;
            parity ^= parity << 8;
            parity &= 0xFFFF;
            if (inside) parity ^= 0xFFFF;
            unsigned ends = c & ~parity & 0xFFFF;
            while (ends != 0) {
                const std::size_t at = scan + static_cast<std::size_t>(__builtin_ctz(ends));
                if (at - lineStart > 1 && !addLine(std::string_view(d + lineStart, at - lineStart)))
                    break;
                lineStart = at + 1;
                ends &= ends - 1;
            }
            if (stop) break;
            inside = (parity >> 15) & 1;
            scan += 16;
            (void)q;
        }
#endif
        while (!stop && scan < n) {
            const char c = d[scan];
            if (c == quote) {
                inside = !inside;
            } else if ((c == '\r' || c == '\n') && !inside) {
                if (scan - lineStart > 1 &&
                    !addLine(std::string_view(d + lineStart, scan - lineStart)))
                    break;
                lineStart = scan + 1;
            }
            ++scan;
        }
        if (stop) break;
        if (scan - lineStart > limit) throw tooLong(base + lineStart);
    }
    if (stop) {
        result.UnreadFrom = base + lineStart;
        result.Loaded = true;
        return result;
    }
    // A last line without line end counts when its quotes are closed.
    if (inside) {
        result.LastLineIncomplete = true;
        result.UnreadFrom = base + lineStart;
    } else if (buf.size() - lineStart > 1) {
        if (addLine(std::string_view(buf.data() + lineStart, buf.size() - lineStart))) {
            result.LastRowUnended = true;
            result.LastRowFrom = base + lineStart;
        } else {
            result.UnreadFrom = base + lineStart;
        }
    }
    result.Loaded = true;
    return result;
}

} // namespace vaskel
