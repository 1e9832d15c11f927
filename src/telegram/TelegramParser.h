#pragma once
// The telegram parser: decides for a telegram text which record type of the
// catalogue it is, how well it matches and how its characters divide into
// prefix, address, data, rest, CR and check byte.

#include "telegram/Catalogue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vaskel {

// The classification of one telegram.
struct TTelegramRecord {
    std::string RecordNo;
    std::string Pattern;
    std::string PatternText;
    std::string Description;
    std::string Example;
    std::string Answers;
    std::string Telegram; // the input with every "<CR>" replaced by a CR byte
    std::string Prefix;
    std::string Address;
    std::string CRText;
    std::string CheckByte;
    std::string DataText; // Data in umlaut display notation
    std::string RestText; // Rest in umlaut display notation
    std::string Data;
    std::string Rest;
    bool TrainBus = false;
    bool Master = false;
    bool Filter = false;
    bool ExactMatch = false;
    bool RoleAsExpected = false;
    int32_t MatchedLength = 0; // -1 exact, 0 no type, else 1 + consumed (mod 1000)

    friend bool operator==(const TTelegramRecord&, const TTelegramRecord&) = default;
};

// The object the protocol views attach to a classified row.
struct TTelegramData {
    int32_t EndTime = 0;
    std::string ExpectedAnswers;
    int32_t PartnerRow = -1;
    int32_t Address = 0;
};

// Row data for a classification result: answers and the address's value.
TTelegramData MakeTelegramData(const TTelegramRecord& record);

// -1 for an exact match, -1000 for an empty body or pattern, otherwise
// 1000 x (characters consumed before the first '[', digit or '*' of the
// pattern) + 1 + (characters consumed in all), held at INT32_MAX for heads
// of millions of characters.
int MatchScore(std::string_view body, std::string_view pattern);

// Divides a telegram at its end into body, "<CR>" text and check byte.
struct TTelegramParts {
    std::string_view Body;
    bool HasCR = false;
    std::string_view CheckByte;
};
TTelegramParts DivideTelegram(std::string_view telegram);

class TIBISTelegramParser {
public:
    // Loads the catalogue; throws EFileError when it cannot.
    explicit TIBISTelegramParser(std::string fileName);
    // A parser over a catalogue already in memory (tests, tools).
    explicit TIBISTelegramParser(TProfileArray records);

    // Loads the same file again. On failure the catalogue in force stays and
    // the error is thrown to the caller.
    void Reload();

    const std::string& FileName() const { return FFileName; }

    // Shared reference: holders keep the array they got across reloads.
    std::shared_ptr<const TProfileArray> ProfileArray() const;
    const TFirstCharIndex& FirstCharIndex() const;

    TTelegramRecord Classify(std::string_view text, bool asMaster, TBusType busType) const;
    // The same, reusing the storage of result (cheap for repeated calls).
    void Classify(std::string_view text, bool asMaster, TBusType busType,
                  TTelegramRecord& result) const;

    // Fills result (whose Telegram is set) from the record type.
    static void SplitFields(TTelegramRecord& result, const TWagenbusProfileRecord& type);

private:
    struct TCatalogue;
    static std::shared_ptr<const TCatalogue> Prepare(TProfileArray records);

    std::string FFileName;
    std::shared_ptr<const TCatalogue> FCat;
};

} // namespace vaskel
