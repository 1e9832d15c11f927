#pragma once
// A small INI file in the Windows form: "[Section]" lines and "Key=Value"
// lines; section and key names compare without letter case. Read whole,
// changed in memory, written whole (through a temporary file renamed over
// the old one).

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

class TIniFile {
public:
    // Reads the file when it exists; a missing file is an empty one. Throws
    // EFileError when it exists but cannot be read (a folder, no permission)
    // or is no INI text (NUL bytes, a section name that is never closed;
    // ELineTooLong for a line longer than MaxLineBytes()).
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return FFileName; }

    std::vector<std::string> SectionKeys(std::string_view section) const;
    bool SectionExists(std::string_view section) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def = {}) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // Throws EFileError when the file cannot be written.
    void UpdateFile() const;

    // The text of the file as written (CR LF line ends).
    std::string Text() const;
    void Parse(std::string_view content);

private:
    struct TSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
    };
    TSection* Find(std::string_view section);
    const TSection* Find(std::string_view section) const;

    std::string FFileName;
    std::vector<TSection> FSections;
};

} // namespace vaskel
