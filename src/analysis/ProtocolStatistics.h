#pragma once
// Figures of a protocol: per record type its count and error letters, per
// slave address its requests, answers and reaction times, and the bus load
// over time. One pass over the rows; the live monitor adds each row as it
// is appended, so the figures follow a recording without a second pass.
//
// Everything a row contributes is decided when it is appended: the record
// type, the error letters, the start time and the telegram's length of
// every row; a master row expecting answers counts as a request to its
// address; a slave row counts as an answer to the master it was paired
// with (its status "3" or "4" and its partner row, both set when it is
// appended) with its reaction cell. The status a master row gets later
// ("-1", "1") is not read: unanswered = requests - answers. So adding rows
// one by one as they come gives the same figures as one pass afterwards.
//
// Memory does not grow with the rows: reaction times are counted per
// millisecond value (at most 60001 values per address, so percentiles and
// histograms are exact), the timeline per second of the recording.

#include "recording/Table.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vaskel {

// The error letters counted, in this order.
inline constexpr std::array<char, 6> kStatisticsErrorLetters = {'F', 'P', 'S', 'A', 'T', 'X'};
// Characters per second the bus carries (1200 Bd, 7E2: 11 bits a character).
inline constexpr double kBusCharsPerSecond = 109.0;

struct TRecordTypeFigures {
    uint64_t Count = 0;
    std::array<uint64_t, kStatisticsErrorLetters.size()> Errors{};
    uint64_t RowsWithErrors = 0; // rows with any error letter
    int FirstRow = -1;           // table row of the first one
    int FirstErrorRow = -1;      // table row of the first one with an error letter
};

// Reaction times in whole milliseconds, counted per value: exact. Each
// value also keeps the first table row it came from (the answer), so a bar
// of the histogram leads to its first answer.
class TReactionTimes {
public:
    // row: the table row of the answer (-1: none).
    void Add(int32_t ms, int row = -1);
    uint64_t Count() const { return FCount; }
    int32_t Min() const;
    int32_t Max() const;
    // The nearest-rank percentile: the smallest value that at least
    // p percent of the values do not exceed (p in 0..100; the median is
    // p = 50, the lower middle value of an even count). 0 without values.
    int32_t Percentile(double p) const;
    double Mean() const;
    struct TBucket {
        int32_t FromMs = 0; // inclusive
        int32_t ToMs = 0;   // exclusive
        uint64_t Count = 0;
        int FirstRow = -1; // the first row with a value in the bucket
    };
    // Equal buckets of a round width (1, 2, 5, 10, 20, 50 ... ms) starting at
    // a multiple of it, at most maxBuckets of them from Min to Max; every
    // value counted in exactly one.
    std::vector<TBucket> Histogram(int maxBuckets = 20) const;
    const std::map<int32_t, uint64_t>& Values() const { return FValues; }
    // The first row whose value lies in fromMs..toMs-1; -1 when none.
    int FirstRow(int32_t fromMs, int32_t toMs) const;

private:
    std::map<int32_t, uint64_t> FValues;
    std::map<int32_t, int> FFirstRows; // per value, the lowest row given
    uint64_t FCount = 0;
    int64_t FSum = 0;
};

struct TAddressFigures {
    uint64_t Requests = 0; // master rows expecting an answer
    uint64_t Answers = 0;  // slave rows paired with one of them
    uint64_t Invalid = 0;  // of those, with the reaction "ungültig" (or outside 0..60000 ms)
    uint64_t Unanswered() const { return Requests > Answers ? Requests - Answers : 0; }
    TReactionTimes Reaction; // the valid reactions
    int FirstRow = -1; // table row of the first request
};

// One second of the recording.
struct TSecondFigures {
    uint64_t Telegrams = 0;
    uint64_t Chars = 0; // bytes of the telegrams, carriage return and check byte included
    uint64_t Errors = 0; // rows with error letters
    int FirstRow = -1;
};

struct TTimelineBucket {
    int64_t StartMs = 0; // ms since midnight of the recording's first day
    uint64_t Telegrams = 0;
    uint64_t Chars = 0;
    uint64_t Errors = 0;
    double CharsPerSecond = 0;
    double Load = 0; // CharsPerSecond / the bus's 109 characters a second
    int FirstRow = -1;
};

class TProtocolStatistics {
public:
    TProtocolStatistics() = default;
    // Copies and moves keep their own lookups.
    TProtocolStatistics(const TProtocolStatistics& other) { *this = other; }
    TProtocolStatistics& operator=(const TProtocolStatistics& other);
    void Clear();
    // Rows in table order; a row without a kind (the empty last row) counts
    // for nothing.
    void AddRow(const TTable& table, int row);
    // Rows from..to-1.
    void AddRows(const TTable& table, int from, int to);
    // The table's rows from scratch.
    void Compute(const TTable& table);

    uint64_t Rows() const { return FRows; }
    uint64_t MasterRows() const { return FMasterRows; }
    uint64_t SlaveRows() const { return FSlaveRows; }
    // Slave rows no waiting master was found for (status "2").
    uint64_t UnpairedAnswers() const { return FUnpaired; }
    // Keyed by the "DS-Nr." cell as it stands ("021", "[003a]", "[]").
    const std::map<std::string, TRecordTypeFigures, std::less<>>& RecordTypes() const {
        return FRecordTypes;
    }
    const std::map<int32_t, TAddressFigures>& Addresses() const { return FAddresses; }
    const std::map<int64_t, TSecondFigures>& Seconds() const { return FSeconds; }
    // First and last start time (ms since midnight), -1 without rows.
    int64_t FirstMs() const { return FFirstMs; }
    int64_t LastMs() const { return FLastMs; }

    // The bucket width for the recording's length: the smallest of 1, 2, 5,
    // 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h that gives at
    // most maxBuckets buckets.
    int BucketSeconds(int maxBuckets = 120) const;
    // The timeline in buckets of that width (bucketSeconds <= 0: the one
    // above), starting at a multiple of it; buckets without telegrams
    // between the first and the last are there with zeros.
    std::vector<TTimelineBucket> Timeline(int bucketSeconds = 0) const;

private:
    uint64_t FRows = 0;
    uint64_t FMasterRows = 0;
    uint64_t FSlaveRows = 0;
    uint64_t FUnpaired = 0;
    int64_t FFirstMs = -1;
    int64_t FLastMs = -1;
    std::map<std::string, TRecordTypeFigures, std::less<>> FRecordTypes;
    std::map<int32_t, TAddressFigures> FAddresses;
    std::map<int64_t, TSecondFigures> FSeconds;
    // Looking up what the rows name again and again, fast: the record types
    // by their cell (the map's nodes stay where they are), the second the
    // last row started in.
    struct TTextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, TRecordTypeFigures*, TTextHash, std::equal_to<>> FTypeIndex;
    int64_t FLastSecond = 0;
    TSecondFigures* FLastSecondFigures = nullptr;
};

// "hh:mm:ss" of a time in ms since midnight (a day later counts on: 24:00:05).
std::string StatisticsTimeText(int64_t ms);

} // namespace vaskel
