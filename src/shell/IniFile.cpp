#include "shell/IniFile.h"

#include "telegram/SafeFile.h"

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vaskel {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        unsigned char x = static_cast<unsigned char>(a[k]);
        unsigned char y = static_cast<unsigned char>(b[k]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    std::error_code ec;
    if (FFileName.empty() || !std::filesystem::exists(FFileName, ec)) return;
    // a file that is there but cannot be read would be replaced by the next
    // write: refused instead
    std::string content;
    bool read = std::filesystem::is_regular_file(FFileName, ec);
    if (read) {
        std::ifstream in(FFileName, std::ios::binary);
        read = static_cast<bool>(in);
        if (read) {
            try {
                content.assign(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
                read = !in.bad();
            } catch (const std::exception&) { // the stream's own read error
                read = false;
            }
        }
    }
    if (!read) throw EFileError("Cannot read file " + FFileName + ".");
    // binary bytes or a line longer than any setting: no INI file, and not
    // to be written over by the next change
    if (content.find('\0') != std::string::npos)
        throw EFileError("Cannot read file " + FFileName + ": it holds binary data, no settings.");
    // a section name that never closes is a file that broke off (or no INI
    // file at all): its keys would land in no section or the wrong one
    ForEachTextLine(content, [&](std::string_view line, int no) {
        line = TrimBlanks(line);
        if (!line.empty() && line.front() == '[' && line.back() != ']')
            throw EFileError("Cannot read file " + FFileName + ": line " + std::to_string(no) +
                             " is cut off.");
    });
    Parse(content);
}

void TIniFile::Parse(std::string_view content) {
    FSections.clear();
    TSection* current = nullptr;
    while (!content.empty()) {
        std::size_t end = content.find_first_of("\r\n");
        std::string_view line = content.substr(0, end);
        if (end == std::string_view::npos)
            content = {};
        else
            content.remove_prefix(end + 1);
        line = TrimBlanks(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
            current = Find(name);
            if (!current) {
                FSections.push_back({std::string(name), {}});
                current = &FSections.back();
            }
            continue;
        }
        if (!current) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, eq));
        if (key.empty()) continue;
        const std::string_view value = TrimBlanks(line.substr(eq + 1));
        bool replaced = false;
        for (auto& [k, v] : current->Values)
            if (SameName(k, key)) {
                v = value;
                replaced = true;
            }
        if (!replaced) current->Values.emplace_back(std::string(key), std::string(value));
    }
}

TIniFile::TSection* TIniFile::Find(std::string_view section) {
    for (TSection& s : FSections)
        if (SameName(s.Name, section)) return &s;
    return nullptr;
}

const TIniFile::TSection* TIniFile::Find(std::string_view section) const {
    for (const TSection& s : FSections)
        if (SameName(s.Name, section)) return &s;
    return nullptr;
}

std::vector<std::string> TIniFile::SectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    if (const TSection* s = Find(section))
        for (const auto& [k, v] : s->Values)
            keys.push_back(k);
    return keys;
}

bool TIniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    if (const TSection* s = Find(section))
        for (const auto& [k, v] : s->Values)
            if (SameName(k, key)) return v;
    return std::string(def);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    TSection* s = Find(section);
    if (!s) {
        FSections.push_back({std::string(section), {}});
        s = &FSections.back();
    }
    for (auto& [k, v] : s->Values)
        if (SameName(k, key)) {
            v = value;
            return;
        }
    s->Values.emplace_back(std::string(key), std::string(value));
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    if (TSection* s = Find(section))
        std::erase_if(s->Values, [&](const auto& kv) { return SameName(kv.first, key); });
}

void TIniFile::EraseSection(std::string_view section) {
    std::erase_if(FSections, [&](const TSection& s) { return SameName(s.Name, section); });
}

std::string TIniFile::Text() const {
    std::string text;
    for (const TSection& s : FSections) {
        if (!text.empty()) text += "\r\n";
        text += "[" + s.Name + "]\r\n";
        for (const auto& [k, v] : s.Values)
            text += k + "=" + v + "\r\n";
    }
    return text;
}

void TIniFile::UpdateFile() const {
    WriteFileSafely(FFileName, Text());
}

} // namespace vaskel
