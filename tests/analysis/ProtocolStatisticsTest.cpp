#include "analysis/ProtocolStatistics.h"
#include "emulator/VirtualTavrin.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "telegram/TextConventions.h"

#include "../link/RecordingSink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

// 72 device ticks are 10 ms.
constexpr uint32_t Ticks(uint32_t ms) { return ms * 72 / 10; }

TTelegramm Capture(const std::string& text, uint32_t start, uint32_t end, uint8_t flags = 0) {
    TTelegramm t;
    t.Text = TelegramBytes(text);
    t.StartTicks = start;
    t.EndTicks = end;
    t.ErrorFlags = flags;
    return t;
}

// Everything the figures say, as one text, to compare two of them.
std::string Summary(const TProtocolStatistics& s) {
    std::ostringstream o;
    o << "rows " << s.Rows() << " m " << s.MasterRows() << " s " << s.SlaveRows() << " unpaired "
      << s.UnpairedAnswers() << " first " << s.FirstMs() << " last " << s.LastMs() << "\n";
    for (const auto& [no, t] : s.RecordTypes()) {
        o << "type " << no << " " << t.Count << " " << t.RowsWithErrors << " " << t.FirstRow << " "
          << t.FirstErrorRow;
        for (const auto e : t.Errors) o << " " << e;
        o << "\n";
    }
    for (const auto& [a, f] : s.Addresses()) {
        o << "address " << a << " " << f.Requests << " " << f.Answers << " " << f.Invalid << " "
          << f.FirstRow;
        for (const auto& [ms, n] : f.Reaction.Values()) o << " " << ms << "x" << n;
        for (const auto& b : f.Reaction.Histogram()) o << " [" << b.FromMs << " " << b.FirstRow << "]";
        o << "\n";
    }
    for (const auto& b : s.Timeline())
        o << "bucket " << b.StartMs << " " << b.Telegrams << " " << b.Chars << " " << b.Errors << " "
          << b.FirstRow << "\n";
    return o.str();
}

class ProtocolStatisticsTest : public ::testing::Test {
protected:
    ProtocolStatisticsTest() {
        std::filesystem::create_directories(Dir.Path() / "docs");
        Platform.Program = Dir / "Vaskel";
        Platform.Documents = Dir / "docs";
        TRecorder::THooks hooks;
        hooks.NowMsOfDay = [] { return int64_t{36000000}; }; // 10:00:00
        hooks.StopSlaveTimeout = [] {};
        hooks.StopMasterTimeout = [] {};
        hooks.Trace = [](const std::string&) {};
        R = std::make_unique<TRecorder>(Parser, Env, hooks);
        R->SafetyCopy = false;
    }
    // A master telegram at a time (ms after the start) and its end.
    uint32_t M(const std::string& text, uint32_t atMs, uint8_t flags = 0) {
        const uint32_t start = Ticks(atMs);
        const uint32_t end = start + static_cast<uint32_t>((text.size() + 2) * 66);
        R->CopyTelegramm(Capture(text, start, end, flags), 'M', false);
        return end;
    }
    void S(const std::string& text, uint32_t startTicks, uint8_t flags = 0) {
        R->CopyTelegramm(Capture(text, startTicks, startTicks + 330, flags), 'S', false);
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    std::unique_ptr<TRecorder> R;
};

// A recording whose figures are known: answers at 20, 30 and 40 ms to
// display 1, an answer nobody asked for, an answer after more than a minute
// ("ungültig"), every error letter once, and display 2 asked last and never
// answering.
TEST_F(ProtocolStatisticsTest, KnownRecordingGivesKnownFigures) {
    S("a10", Ticks(20) + M("a1", 0));       // rows 1, 2: 20 ms
    S("a10", Ticks(30) + M("a1", 1000));    // rows 3, 4: 30 ms
    S("a10", Ticks(40) + M("a1", 2000));    // rows 5, 6: 40 ms
    S("a30", Ticks(3500));                  // row 7: no request waits
    S("a10", Ticks(60010) + M("a1", 4000)); // rows 8, 9: "ungültig"
    M("a1", 70000, 0x01);                   // row 10: F
    M("a1", 70100, 0x02 | 0x04);            // row 11: P S
    M("a1", 70200, 0x08);                   // row 12: A
    M("a10", 70300);                        // row 13: an answer sent as master: T
    M("#~q", 70400);                        // row 14: nothing known: X
    M("a2", 71000);                         // row 15: never answered
    ASSERT_EQ(R->RowCounter(), 15);
    const TTable& t = R->Table();
    ASSERT_EQ(t.Cell(pcAnswer, 6), "2");
    ASSERT_EQ(t.Cell(pcReaction, 8), kReactionInvalid);
    ASSERT_EQ(t.Cell(pcErrors, 12), "T");
    ASSERT_EQ(t.Cell(pcErrors, 13), "X");

    TProtocolStatistics s;
    s.Compute(t);
    EXPECT_EQ(s.Rows(), 15u);
    EXPECT_EQ(s.MasterRows(), 10u);
    EXPECT_EQ(s.SlaveRows(), 5u);
    EXPECT_EQ(s.UnpairedAnswers(), 1u);

    const auto& types = s.RecordTypes();
    const std::string a1 = std::string(t.Cell(pcRecordNo, 0));
    ASSERT_TRUE(types.count(a1));
    const TRecordTypeFigures& req = types.find(a1)->second;
    EXPECT_EQ(req.Count, 8u); // rows 1 3 5 8 10 11 12, and 15 to display 2
    EXPECT_EQ(req.Errors, (std::array<uint64_t, 6>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(req.RowsWithErrors, 3u);
    EXPECT_EQ(req.FirstRow, 0);
    EXPECT_EQ(req.FirstErrorRow, 9);
    const TRecordTypeFigures& typeError = types.find(std::string(t.Cell(pcRecordNo, 12)))->second;
    EXPECT_EQ(typeError.Errors[4], 1u); // T
    const TRecordTypeFigures& unknown = types.find(std::string(t.Cell(pcRecordNo, 13)))->second;
    EXPECT_EQ(unknown.Count, 1u);
    EXPECT_EQ(unknown.Errors[5], 1u); // X

    const auto& addresses = s.Addresses();
    ASSERT_EQ(addresses.size(), 2u);
    const TAddressFigures& d1 = addresses.at(1);
    EXPECT_EQ(d1.Requests, 7u);
    EXPECT_EQ(d1.Answers, 4u);
    EXPECT_EQ(d1.Invalid, 1u);
    EXPECT_EQ(d1.Unanswered(), 3u);
    EXPECT_EQ(d1.Reaction.Count(), 3u);
    EXPECT_EQ(d1.Reaction.Min(), 20);
    EXPECT_EQ(d1.Reaction.Percentile(50), 30);
    EXPECT_EQ(d1.Reaction.Percentile(95), 40);
    EXPECT_EQ(d1.Reaction.Max(), 40);
    EXPECT_EQ(d1.FirstRow, 0);
    const TAddressFigures& d2 = addresses.at(2);
    EXPECT_EQ(d2.Requests, 1u);
    EXPECT_EQ(d2.Answers, 0u);
    EXPECT_EQ(d2.Unanswered(), 1u);
    EXPECT_EQ(d2.FirstRow, 14);

    // 10:00:00 .. 10:01:11: buckets of one second, 72 of them
    EXPECT_EQ(s.FirstMs(), 36000000);
    EXPECT_EQ(s.BucketSeconds(), 1);
    const auto line = s.Timeline();
    ASSERT_EQ(line.size(), 72u);
    EXPECT_EQ(StatisticsTimeText(line.front().StartMs), "10:00:00");
    EXPECT_EQ(line.front().Telegrams, 2u);
    EXPECT_EQ(line.front().Chars, 4u + 5u); // "a1" and "a10" with CR and check byte
    EXPECT_DOUBLE_EQ(line.front().Load, 9.0 / 109.0);
    EXPECT_EQ(line[1].FirstRow, 2);
    EXPECT_EQ(line[70].Telegrams, 5u);
    EXPECT_EQ(line[70].Errors, 5u);
    EXPECT_EQ(line.back().Telegrams, 1u);
    EXPECT_EQ(line[20].Telegrams, 0u) << "a second without telegrams is there with zeros";
    // wider buckets keep every telegram
    const auto wide = s.Timeline(60);
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0].Telegrams + wide[1].Telegrams, 15u);
    EXPECT_EQ(wide[1].FirstRow, 8);
    EXPECT_EQ(StatisticsTimeText(wide[1].StartMs), "10:01:00");
}

// Rows added one by one as the recorder appends them give what one pass
// over the finished table gives, although earlier rows' status changes.
TEST_F(ProtocolStatisticsTest, AddingRowsAsTheyComeEqualsOnePassAfterwards) {
    TEmulatorOptions options;
    options.FaultRate = 0.2;
    options.Seed = 7;
    TVirtualTavrin device(options);
    test::RecordingSink sink;
    TStreamDecoder decoder(sink);
    decoder.SetState(TDecoderState::Idle);
    device.AdvanceMs(120000);
    decoder.Decode(device.TakeOutput());
    std::vector<std::pair<TTelegramm, char>> all;
    for (const auto& m : sink.Masters) all.push_back({m, 'M'});
    for (const auto& s : sink.Slaves) all.push_back({s, 'S'});
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
        return a.first.StartTicks < b.first.StartTicks;
    });
    ASSERT_GT(all.size(), 200u);
    TProtocolStatistics live;
    for (const auto& [t, src] : all) {
        R->CopyTelegramm(t, src, false);
        live.AddRow(R->Table(), R->RowCounter() - 1);
    }
    TProtocolStatistics batch;
    batch.Compute(R->Table());
    EXPECT_EQ(Summary(live), Summary(batch));

    // saved and opened again, the rows have their cells but not the
    // recording's pairing until it is restored from them
    const std::string file = Dir / "stats.PRO.CSV";
    ASSERT_TRUE(R->SaveActiveProtocol(file, 0));
    TTable opened = MakeProtocolTable();
    const TProtocolLoad info = LoadProtocolFile(opened, file, Parser, TBusType::bsVehicleBus);
    ASSERT_FALSE(info.Reanalysed);
    RestoreRowObjects(opened, Parser, TBusType::bsVehicleBus);
    TProtocolStatistics reopened;
    reopened.Compute(opened);
    EXPECT_EQ(Summary(reopened), Summary(batch));
    EXPECT_GT(batch.UnpairedAnswers() + batch.Addresses().begin()->second.Unanswered(), 0u)
        << "faults on the bus show in the figures";
    uint64_t answers = 0;
    for (const auto& [a, f] : batch.Addresses()) answers += f.Answers;
    EXPECT_EQ(answers + batch.UnpairedAnswers(), batch.SlaveRows());
}

// A bar of the reaction histogram leads to the first answer whose time lies
// in its range, not to the address's first request.
TEST_F(ProtocolStatisticsTest, EachReactionBucketKnowsItsFirstAnswer) {
    const int reactions[] = {40, 33, 20, 33, 34, 21}; // answers in rows 1, 3, 5, 7, 9, 11
    uint32_t at = 0;
    for (const int ms : reactions) {
        S("a10", Ticks(static_cast<uint32_t>(ms)) + M("a1", at) + 1);
        at += 1000;
    }
    const TTable& t = R->Table();
    for (int k = 0; k < 6; ++k)
        ASSERT_EQ(t.Cell(pcReaction, 2 * k + 1), std::to_string(reactions[k])) << k;
    TProtocolStatistics s;
    s.Compute(t);
    const TAddressFigures& d1 = s.Addresses().at(1);
    EXPECT_EQ(d1.FirstRow, 0) << "the table row still leads to the first request";
    // 20..40 ms in at most 20 buckets: 2 ms wide from 20
    const auto bars = d1.Reaction.Histogram();
    ASSERT_EQ(bars.size(), 11u);
    struct TCase {
        int32_t FromMs;
        int Row;
    };
    for (const TCase c : {TCase{20, 5}, TCase{22, -1}, TCase{32, 3}, TCase{34, 9}, TCase{40, 1}}) {
        const auto& bar = bars[static_cast<std::size_t>((c.FromMs - 20) / 2)];
        ASSERT_EQ(bar.FromMs, c.FromMs);
        EXPECT_EQ(bar.FirstRow, c.Row) << c.FromMs;
        EXPECT_EQ(d1.Reaction.FirstRow(bar.FromMs, bar.ToMs), c.Row) << c.FromMs;
    }
    // rows added out of order: the lowest one counts; values without a row
    // lead nowhere
    TReactionTimes r;
    r.Add(5, 9);
    r.Add(5, 3);
    r.Add(6, 4);
    r.Add(7);
    EXPECT_EQ(r.FirstRow(5, 6), 3);
    EXPECT_EQ(r.FirstRow(6, 8), 4);
    EXPECT_EQ(r.FirstRow(7, 8), -1);
    EXPECT_EQ(r.Histogram(1).front().FirstRow, 3);
}

TEST(ReactionTimes, PercentilesAndHistogramAreExact) {
    TReactionTimes r;
    EXPECT_EQ(r.Percentile(50), 0);
    EXPECT_TRUE(r.Histogram().empty());
    for (int v = 100; v >= 1; --v) r.Add(v); // 1..100, any order
    struct Case {
        double P;
        int32_t Expected;
    };
    for (const Case c : {Case{0, 1}, Case{1, 1}, Case{50, 50}, Case{95, 95}, Case{99.5, 100},
                         Case{100, 100}})
        EXPECT_EQ(r.Percentile(c.P), c.Expected) << c.P;
    EXPECT_DOUBLE_EQ(r.Mean(), 50.5);
    // 1..100 in at most 20 buckets: width 10 from 0 (the last holds 100 alone)
    const auto h = r.Histogram(20);
    ASSERT_EQ(h.size(), 11u);
    EXPECT_EQ(h[0].FromMs, 0);
    EXPECT_EQ(h[0].ToMs, 10);
    EXPECT_EQ(h[0].Count, 9u);
    EXPECT_EQ(h[10].Count, 1u);
    uint64_t total = 0;
    for (const auto& b : h) total += b.Count;
    EXPECT_EQ(total, 100u);

    TReactionTimes one;
    one.Add(37);
    one.Add(37);
    EXPECT_EQ(one.Percentile(50), 37);
    EXPECT_EQ(one.Percentile(95), 37);
    const auto single = one.Histogram();
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].FromMs, 37);
    EXPECT_EQ(single[0].ToMs, 38);
    EXPECT_EQ(single[0].Count, 2u);
}

TEST(ProtocolStatistics, BucketWidthFollowsTheRecordingsLength) {
    struct Case {
        int64_t LastSecond;
        int Expected;
    };
    for (const Case c : {Case{0, 1}, Case{119, 1}, Case{120, 2}, Case{3600, 60}, Case{86399, 900}}) {
        TTable t = MakeProtocolTable();
        t.SetRow(0, {"M", "1", "0", "", "", "x", "", "", "", ""});
        t.SetRow(t.AppendRow(),
                 {"M", "2", std::to_string(c.LastSecond * 1000), "", "", "x", "", "", "", ""});
        TProtocolStatistics s;
        s.Compute(t);
        EXPECT_EQ(s.BucketSeconds(), c.Expected) << c.LastSecond;
        uint64_t n = 0;
        for (const auto& b : s.Timeline()) n += b.Telegrams;
        EXPECT_EQ(n, 2u);
    }
}

// Damaged cells count for what they are and never upset the figures: a
// start time that is no number, times far apart, a partner row that is not
// there.
TEST(ProtocolStatistics, DamagedRowsAreCountedSafely) {
    TTable t = MakeProtocolTable();
    t.SetRow(0, {"M", "1", "abc", "", "", "a1", "", "001", "", "-1"});
    t.SetRow(t.AppendRow(), {"S", "2", "-9000000000000000", "5", "", "a10", "", "120", "", "4"});
    TTelegramData answer;
    answer.PartnerRow = 77; // no such row
    t.SetObject(1, answer);
    t.SetRow(t.AppendRow(), {"M", "3", "9000000000000000", "", "", "a1", "", "001", "", ""});
    t.AppendRow(); // the empty last row
    TProtocolStatistics s;
    s.Compute(t);
    EXPECT_EQ(s.Rows(), 3u);
    EXPECT_EQ(s.UnpairedAnswers(), 1u);
    const auto line = s.Timeline();
    EXPECT_LE(line.size(), 1000000u);
    uint64_t n = 0;
    for (const auto& b : line) n += b.Telegrams;
    EXPECT_EQ(n, 2u);
}

} // namespace
} // namespace vaskel
