#include "recording/TableFile.h"

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

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

void AppendQuoted(std::string& out, std::string_view cell, char quote) {
    out += quote;
    for (char c : cell) {
        if (c == quote) out += quote;
        out += c;
    }
    out += quote;
}

std::string RowLine(TTable& table, int row, char quote, char separator) {
    std::string line;
    for (int col = 0; col < table.ColCount(); ++col) {
        if (col > 0) line += separator;
        switch (table.Style(col)) {
        case TZK_InputStyle::csBoolean: {
            const std::string_view c = table.Cell(col, row);
            if (c != "0") table.SetCell(col, row, c.empty() ? "0" : "-1");
            line.append(table.Cell(col, row));
            break;
        }
        case TZK_InputStyle::csInteger:
        case TZK_InputStyle::csUnsignedInt:
        case TZK_InputStyle::csDirection:
            line.append(table.Cell(col, row));
            break;
        default:
            AppendQuoted(line, table.Cell(col, row), quote);
        }
    }
    line += "\r\n";
    return line;
}

} // namespace

std::string BackupFileName(const std::string& fileName) {
    const fs::path p(fileName);
    fs::path b = p;
    b.replace_extension(".BAK");
    return b.string();
}

void WriteFileAtomically(const std::string& fileName, std::string_view content) {
    const std::string tmp = fileName + ".vaskel-tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) throw EFileError("Cannot create file " + fileName + ".");
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            throw EFileError("Cannot write file " + fileName + ".");
        }
    }
    std::error_code ec;
    fs::rename(tmp, fileName, ec);
    if (ec) {
        fs::remove(tmp, ec);
        throw EFileError("Cannot write file " + fileName + ".");
    }
}

void SaveToCSV(TTable& table, const std::string& fileName, char quote, int firstRow,
               const std::optional<std::string>& header, char separator) {
    if (firstRow < 0) firstRow = 0;
    std::error_code ec;
    const bool exists = fs::exists(fileName, ec);
    const bool append = exists && firstRow > 0;
    const int from = std::max(firstRow, 1) - 1; // 0-based data row
    std::string content;
    if (header) content += *header + "\r\n";
    for (int row = from; row < table.RowCount(); ++row)
        content += RowLine(table, row, quote, separator);
    if (append) {
        std::ofstream out(fileName, std::ios::binary | std::ios::app);
        if (!out) throw EFileError("Cannot open file " + fileName + ".");
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) throw EFileError("Cannot write file " + fileName + ".");
    } else {
        if (exists && firstRow == 0) {
            fs::copy_file(fileName, BackupFileName(fileName), fs::copy_options::overwrite_existing,
                          ec);
            if (ec) throw EFileError("Cannot write backup " + BackupFileName(fileName) + ".");
        }
        WriteFileAtomically(fileName, content);
    }
    table.Modified = false;
}

std::vector<std::string> SplitTableLine(std::string_view line, char quote, char separator) {
    std::vector<std::string> fields = SplitDelimited(line, separator, quote, true);
    for (auto& f : fields)
        if (f.empty()) f = " ";
    return fields;
}

bool ForEachTableLine(const std::string& fileName, char quote, char separator,
                      const std::function<void(std::vector<std::string>&)>& f) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    std::string line;
    bool inside = false;
    std::vector<char> block(64 * 1024);
    auto emit = [&] {
        std::vector<std::string> fields = SplitDelimited(line, separator, quote, true);
        f(fields);
    };
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t k = 0; k < n; ++k) {
            const char c = block[k];
            if (c == quote) {
                inside = !inside;
                line += c;
            } else if (c == '\r' && !inside) {
                if (line.size() > 1) emit();
                line.clear();
            } else {
                line += c;
            }
        }
    }
    if (inside) return false;
    if (line.size() > 1) emit();
    return true;
}

TLoadResult LoadFromCSV(TTable& table, const std::string& fileName, char quote,
                        const std::function<void(int)>& progress,
                        const std::optional<std::string>& header, char separator) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    table.Clear();
    TLoadResult result;

    std::string pending; // bytes read but not yet scanned (after the header)
    if (header) {
        std::string head(header->size(), '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        if (Upper(head) != Upper(*header)) return result;
    }

    auto addLine = [&](const std::string& line) {
        const std::vector<std::string> cells = SplitTableLine(line, quote, separator);
        int row = 0;
        if (result.Rows > 0) row = table.AppendRow();
        std::vector<std::string> used(
            cells.begin(), cells.begin() + std::min<std::size_t>(cells.size(), table.ColCount()));
        table.SetRow(row, used);
        ++result.Rows;
        if (progress) progress(result.Rows);
    };

    std::string line;
    bool inside = false;
    bool skippingHeaderEnd = header.has_value();
    std::vector<char> block(64 * 1024);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t k = 0; k < n; ++k) {
            const char c = block[k];
            if (skippingHeaderEnd) {
                if (c == '\r' || c == '\n') continue;
                skippingHeaderEnd = false;
            }
            if (c == quote) {
                inside = !inside;
                line += c;
            } else if (c == '\r' && !inside) {
                if (line.size() > 1) addLine(line);
                line.clear();
            } else {
                line += c;
            }
        }
    }
    // A last line without line end counts when its quotes are closed.
    if (inside) {
        result.LastLineIncomplete = true;
    } else if (line.size() > 1) {
        addLine(line);
    }
    result.Loaded = true;
    return result;
}

} // namespace vaskel
