#include "emulator/VirtualTavrin.h"
#include "link/DeviceProtocol.h"
#include "telegram/DisplayRecords.h"
#include "telegram/TelegramParser.h"

#include "../link/RecordingSink.h"

#include <gtest/gtest.h>

#include <set>

namespace vaskel {
namespace {

using test::Hex;

// Decodes everything the device has said so far.
struct Decoded {
    test::RecordingSink Sink;
    TStreamDecoder Decoder{Sink};
    Decoded() { Decoder.SetState(TDecoderState::Idle); }
    void Take(TVirtualTavrin& d) { Decoder.Decode(d.TakeOutput()); }
};

TVirtualTavrin Device(TScenario s, uint32_t seed = 1) {
    TEmulatorOptions o;
    o.Scenario = s;
    o.Seed = seed;
    return TVirtualTavrin(o);
}

uint8_t Status(TVirtualTavrin& d) {
    d.FromPC(Cmd::StatusRequest());
    const std::string out = d.TakeOutput();
    EXPECT_EQ(out.size(), 2u);
    return out.size() == 2 ? static_cast<uint8_t>(out[1]) : 0;
}

TEST(VirtualTavrin, StatusByteFollowsScenarioAndControls) {
    struct Case {
        TScenario Scenario;
        uint8_t First, Later;
    };
    for (const Case c : {Case{TScenario::Vehicle, 0x60, 0x40}, Case{TScenario::Idle, 0x78, 0x58},
                         Case{TScenario::Unpowered, 0x38, 0x18}}) {
        auto d = Device(c.Scenario);
        EXPECT_EQ(Status(d), c.First) << ScenarioName(c.Scenario) << ": restart bit once";
        EXPECT_EQ(Status(d), c.Later) << ScenarioName(c.Scenario);
    }
    auto d = Device(TScenario::Idle);
    Status(d);
    d.FromPC(Cmd::MasterMode());
    EXPECT_EQ(Status(d), 0xC0) << "master: the device powers both lines";
    d.SetShortCircuit(true);
    EXPECT_EQ(Status(d) & 0x04, 0x04);
    d.FromPC(Cmd::ResetOverload());
    EXPECT_EQ(Status(d) & 0x04, 0x04) << "the short is still there";
    d.SetShortCircuit(false);
    d.FromPC(Cmd::ResetOverload());
    EXPECT_EQ(Status(d) & 0x04, 0);
    d.FromPC(Cmd::SlaveMode());
    d.Restart();
    EXPECT_EQ(Status(d), 0x78);

    auto v = Device(TScenario::Vehicle);
    Status(v);
    v.FromPC(Cmd::MasterMode());
    EXPECT_EQ(Status(v), 0xC4) << "a second master on the bus trips the overload protection";
}

TEST(VirtualTavrin, RepliesToRequests) {
    auto d = Device(TScenario::Idle);
    d.FromPC(Cmd::VersionRequest());
    EXPECT_EQ(d.TakeOutput(), "\x89" + d.Version() + "\r");
    d.FromPC(Cmd::MasterTimeout(500));
    d.FromPC(Cmd::SlaveTimeout(100));
    EXPECT_EQ(d.MasterTimeoutTicks(), 3600);
    EXPECT_EQ(d.SlaveTimeoutTicks(), 720);
    d.FromPC(Cmd::QueryRecordCount());
    EXPECT_EQ(d.TakeOutput(), Hex("8E 00 00 00 00"));
    d.FromPC(Hex("8C 42 FF"));
    EXPECT_EQ(d.TakeOutput(), "") << "unknown commands are ignored";
}

TEST(VirtualTavrin, VehicleTrafficClassifiesExactly) {
    TIBISTelegramParser parser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV");
    auto d = Device(TScenario::Vehicle);
    Decoded dec;
    for (int k = 0; k < 600; ++k) { // ten minutes, the stops change
        d.AdvanceMs(1000);
        dec.Take(d);
    }
    ASSERT_GT(dec.Sink.Masters.size(), 3000u);
    ASSERT_GT(dec.Sink.Slaves.size(), 500u);
    std::set<std::string> kinds;
    for (const auto& m : dec.Sink.Masters) {
        ASSERT_EQ(m.ErrorFlags, 0);
        ASSERT_EQ(m.Check, 0);
        const auto r = parser.Classify(m.Text, true, TBusType::bsVehicleBus);
        ASSERT_TRUE(r.ExactMatch && r.RoleAsExpected) << m.Text;
        kinds.insert(r.RecordNo);
        ASSERT_LT(m.StartTicks, m.EndTicks);
        ASSERT_EQ(m.EndTicks - m.StartTicks, kTicksPerCharacter * m.Text.size());
    }
    for (const char* no :
         {"001", "002", "003", "003a", "003c", "004", "005", "006", "009", "010", "020", "021"})
        EXPECT_TRUE(kinds.count(no)) << no;
    for (const auto& s : dec.Sink.Slaves) {
        const auto r = parser.Classify(s.Text, false, TBusType::bsVehicleBus);
        ASSERT_EQ(r.RecordNo, "120") << s.Text;
        ASSERT_TRUE(r.ExactMatch);
        ASSERT_FALSE(s.SentByDevice);
    }
    // one bus: nothing overlaps
    std::vector<std::pair<uint32_t, uint32_t>> spans;
    for (const auto& m : dec.Sink.Masters)
        spans.push_back({m.StartTicks, m.EndTicks});
    for (const auto& s : dec.Sink.Slaves)
        spans.push_back({s.StartTicks, s.EndTicks});
    std::sort(spans.begin(), spans.end());
    for (std::size_t k = 1; k < spans.size(); ++k)
        ASSERT_LE(spans[k - 1].second, spans[k].first);
}

// The on-board computer's destination texts fit the displays they are
// sent to, at every stop of both directions: the passenger's view shows no
// line cut and drops no line.
TEST(VirtualTavrin, DisplayTextsFitTheirDisplays) {
    TIBISTelegramParser parser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV");
    auto d = Device(TScenario::Vehicle);
    Decoded dec;
    for (int k = 0; k < 20 * 60; ++k) { // twenty minutes: there and back
        d.AdvanceMs(1000);
        dec.Take(d);
    }
    std::set<std::string> texts, types;
    for (const auto& m : dec.Sink.Masters) {
        TDisplayRecord type;
        if (!DisplayRecordFromPrefix(m.Text, type)) continue;
        if (!texts.insert(m.Text).second) continue;
        types.insert(DisplayRecordNo(type));
        const auto r = parser.Classify(m.Text, true, TBusType::bsVehicleBus);
        EXPECT_TRUE(r.ExactMatch && r.RoleAsExpected) << m.Text;
        EXPECT_EQ(r.RecordNo, DisplayRecordNo(type)) << m.Text;
        TDisplayView view;
        ASSERT_TRUE(BuildDisplayView(m.Text, DefaultDisplayClass(type), view)) << m.Text;
        for (const TDisplayPhase& phase : view.Phases) {
            EXPECT_FALSE(phase.MoreLines) << m.Text;
            for (const TDisplayLine& line : phase.Lines)
                EXPECT_FALSE(line.Cut) << m.Text << ": " << line.Text;
        }
    }
    EXPECT_EQ(types, (std::set<std::string>{"003a", "003c", "021"}));
    // four texts to each of the two destinations, and the line number
    EXPECT_EQ(texts.size(), 9u);
}

TEST(VirtualTavrin, SameSeedSameTraffic) {
    auto run = [](uint32_t seed) {
        TEmulatorOptions o;
        o.Seed = seed;
        o.FaultRate = 0.2;
        TVirtualTavrin d(o);
        d.AdvanceMs(30000);
        return d.TakeOutput();
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

TEST(VirtualTavrin, Faults) {
    struct Case {
        TFault Fault;
        const char* Letters;
    };
    for (const Case c : {Case{TFault::CharacterError, "FS"}, Case{TFault::WrongCheckByte, "S"},
                         Case{TFault::Aborted, "A"}}) {
        auto d = Device(TScenario::Vehicle);
        d.ForceFault(c.Fault);
        Decoded dec;
        d.AdvanceMs(5000);
        dec.Take(d);
        ASSERT_FALSE(dec.Sink.Masters.empty());
        for (const auto& m : dec.Sink.Masters)
            EXPECT_EQ(ErrorFlagLetters(m.ErrorFlags), c.Letters) << m.Text;
        EXPECT_TRUE(dec.Sink.Slaves.empty()) << "a damaged request gets no answer";
    }
    // aborted: the device waits its master time-out before closing
    auto a = Device(TScenario::Vehicle);
    a.FromPC(Cmd::MasterTimeout(100));
    a.ForceFault(TFault::Aborted);
    Decoded dec;
    a.AdvanceMs(2000);
    dec.Take(a);
    for (const auto& m : dec.Sink.Masters)
        EXPECT_EQ(m.EndTicks - m.StartTicks, kTicksPerCharacter * m.Text.size() + 720);

    auto n = Device(TScenario::Vehicle);
    n.ForceFault(TFault::NoAnswer);
    Decoded none;
    n.AdvanceMs(10000);
    none.Take(n);
    EXPECT_TRUE(none.Sink.Slaves.empty());

    auto l = Device(TScenario::Vehicle);
    l.ForceFault(TFault::LateAnswer);
    Decoded late;
    l.AdvanceMs(10000);
    late.Take(l);
    ASSERT_FALSE(late.Sink.Slaves.empty());
    for (const auto& s : late.Sink.Slaves) {
        const auto& req =
            *std::find_if(late.Sink.Masters.rbegin(), late.Sink.Masters.rend(),
                          [&](const TTelegramm& m) { return m.EndTicks <= s.StartTicks; });
        EXPECT_GE(s.StartTicks - req.EndTicks, 1080u) << s.Text;
    }

    auto r = Device(TScenario::Vehicle, 3);
    r.SetFaultRate(0.3);
    Decoded rate;
    r.AdvanceMs(60000);
    rate.Take(r);
    int faulty = 0;
    for (const auto& m : rate.Sink.Masters)
        faulty += m.ErrorFlags != 0;
    EXPECT_GT(faulty, 0);
    EXPECT_LT(faulty, static_cast<int>(rate.Sink.Masters.size()) / 2);
}

// Every capture in the order the device reports it, masters and slaves.
struct InOrder : test::RecordingSink {
    std::vector<TTelegramm> All;
    void MasterTelegramm(uint8_t index, const TTelegramm& r) override {
        RecordingSink::MasterTelegramm(index, r);
        All.push_back(r);
    }
    void SlaveTelegramm(uint8_t index, const TTelegramm& r) override {
        RecordingSink::SlaveTelegramm(index, r);
        All.push_back(r);
    }
};

// One line carries one telegram at a time: in the order the device reports
// them, each telegram starts when the one before it has ended, also when
// the one before was aborted and closed only by the device's time-out.
::testing::AssertionResult OneAfterTheOther(const std::vector<TTelegramm>& all) {
    for (std::size_t k = 1; k < all.size(); ++k) {
        const TTelegramm& before = all[k - 1];
        const TTelegramm& t = all[k];
        if (t.StartTicks < before.EndTicks)
            return ::testing::AssertionFailure()
                   << "capture " << k << " (" << ErrorFlagLetters(t.ErrorFlags)
                   << ") starts at " << t.StartTicks << ", inside the one before it ("
                   << ErrorFlagLetters(before.ErrorFlags) << ", " << before.StartTicks << " to "
                   << before.EndTicks << ")";
    }
    return ::testing::AssertionSuccess();
}

TEST(VirtualTavrin, AnAbortedTelegramEndsBeforeTheNextOneStarts) {
    // every telegram of the on-board computer breaks off: the next one waits
    // for the device to close it after its master time-out (100 ms here)
    auto d = Device(TScenario::Vehicle);
    d.FromPC(Cmd::MasterTimeout(100));
    d.ForceFault(TFault::Aborted);
    InOrder sink;
    TStreamDecoder decoder(sink);
    decoder.SetState(TDecoderState::Idle);
    d.AdvanceMs(3000);
    decoder.Decode(d.TakeOutput());
    ASSERT_GT(sink.All.size(), 5u);
    for (const auto& m : sink.All)
        ASSERT_EQ(ErrorFlagLetters(m.ErrorFlags), "A");
    EXPECT_TRUE(OneAfterTheOther(sink.All));
}

TEST(VirtualTavrin, FaultyTrafficNeverGoesBackInTime) {
    for (const uint32_t seed : {1u, 4u, 9u, 23u}) {
        for (const double rate : {0.05, 0.2, 0.6}) {
            auto d = Device(TScenario::Vehicle, seed);
            d.SetFaultRate(rate);
            InOrder sink;
            TStreamDecoder decoder(sink);
            decoder.SetState(TDecoderState::Idle);
            int aborted = 0;
            for (int s = 0; s < 120; ++s) {
                d.AdvanceMs(1000);
                decoder.Decode(d.TakeOutput());
            }
            for (const auto& t : sink.All)
                aborted += (t.ErrorFlags & kErrAborted) != 0;
            EXPECT_GT(aborted, 0) << "seed " << seed << ", rate " << rate;
            EXPECT_TRUE(OneAfterTheOther(sink.All)) << "seed " << seed << ", rate " << rate;
        }
    }
}

TEST(VirtualTavrin, MasterModeSendsTheTelegramAndDisplaysAnswer) {
    auto d = Device(TScenario::Idle);
    d.AdvanceMs(5000);
    EXPECT_EQ(d.TakeOutput(), "") << "no master, no traffic";
    d.FromPC(TelegramBytes("a1"));
    d.AdvanceMs(500);
    EXPECT_EQ(d.TakeOutput(), "") << "a telegram in slave mode is not sent";
    d.FromPC(Cmd::MasterMode());
    d.FromPC(TelegramBytes("a1"));
    d.AdvanceMs(500);
    const std::string out = d.TakeOutput();
    ASSERT_GE(out.size(), 10u);
    EXPECT_EQ(out[0], '\x82');
    EXPECT_EQ(out[5], '\x83') << "the own telegram comes back with its times only";
    test::RecordingSink sink;
    TStreamDecoder dec(sink);
    dec.SetState(TDecoderState::Idle);
    dec.SetMasterMode(true);
    dec.PrepareOwnMaster("a1\r", static_cast<uint8_t>(CalcCheckByte("a1")));
    dec.Decode(out);
    ASSERT_EQ(sink.Masters.size(), 1u);
    EXPECT_EQ(sink.Masters[0].EndTicks - sink.Masters[0].StartTicks, 4u * kTicksPerCharacter);
    ASSERT_EQ(sink.Slaves.size(), 1u);
    EXPECT_EQ(sink.Slaves[0].Text, TelegramBytes("a10"));
}

TEST(VirtualTavrin, ResponseListAnswersMatchingCalls) {
    auto d = Device(TScenario::Vehicle);
    d.FromPC(Cmd::ClearResponseList());
    d.FromPC(Cmd::ResponseListElement("z0", "ok1", 50));
    d.FromPC(Cmd::ResponseListElement("a1", "a17", 20)); // replaces display 1's answer
    ASSERT_EQ(d.ResponseList().size(), 2u);
    EXPECT_EQ(d.ResponseList()[0], (TAntwortListeElement{"z0", "ok1", 50}));
    d.FromPC(Cmd::SlaveSimulation(true));
    Decoded dec;
    d.AdvanceMs(10000);
    dec.Take(d);
    int own = 0;
    for (std::size_t k = 0; k < dec.Sink.Slaves.size(); ++k) {
        const auto& s = dec.Sink.Slaves[k];
        if (!s.SentByDevice) {
            EXPECT_NE(s.Text, TelegramBytes("a10"));
            continue;
        }
        ++own;
        EXPECT_TRUE(s.Text == TelegramBytes("ok1") || s.Text == TelegramBytes("a17")) << s.Text;
        const auto& call =
            *std::find_if(dec.Sink.Masters.rbegin(), dec.Sink.Masters.rend(),
                          [&](const TTelegramm& m) { return m.EndTicks <= s.StartTicks; });
        const uint32_t reaction = s.Text == TelegramBytes("ok1") ? 360 : 144;
        EXPECT_GE(s.StartTicks - call.EndTicks, reaction);
        EXPECT_EQ(call.Text.substr(0, 2), s.Text == TelegramBytes("ok1") ? "z0" : "a1");
    }
    EXPECT_GE(own, 4);
    d.FromPC(Cmd::SlaveSimulation(false));
    d.TakeOutput();
    Decoded off;
    d.AdvanceMs(10000);
    off.Take(d);
    for (const auto& s : off.Sink.Slaves)
        EXPECT_FALSE(s.SentByDevice);
}

TEST(VirtualTavrin, FirmwareUpload) {
    auto d = Device(TScenario::Idle);
    int restarts = 0;
    d.OnFirmwareRestart = [&] { ++restarts; };
    d.FromPC(Cmd::UploadRequest(8000)); // 504,000 bytes: more than the flash holds
    EXPECT_EQ(d.TakeOutput(), Hex("8B 01"));
    d.FromPC(Cmd::UploadEnd());
    EXPECT_EQ(restarts, 0) << "no upload was granted";

    std::string image = std::string(40, '\xFF') + "Tavrin V3.01 Vaskel/AT91SAM7S256" + '\0';
    image.resize(126, '\xFF');
    d.FromPC(Cmd::UploadRequest(2));
    EXPECT_EQ(d.TakeOutput(), Hex("8B 00"));
    d.FromPC(Cmd::FirmwareBlock(std::string_view(image).substr(0, 63)));
    d.FromPC(Cmd::FirmwareBlock(std::string_view(image).substr(63, 63)));
    d.FromPC(Cmd::MasterMode());
    d.FromPC(Cmd::UploadEnd());
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(d.Version(), "Tavrin V3.01 Vaskel/AT91SAM7S256");
    EXPECT_EQ(Status(d) & 0xA0, 0x20) << "restarted, back in slave mode";

    EXPECT_EQ(VersionFromImage("xx\x01V9 Vaskel/AT91SAM7S256 build 7\x00yy"),
              "V9 Vaskel/AT91SAM7S256 build 7");
    EXPECT_EQ(VersionFromImage("no identity"), "");
}

TEST(VirtualTavrin, AutonomousRecording) {
    auto d = Device(TScenario::Vehicle);
    Status(d);
    d.FromPC(Cmd::AutonomousRecording(true));
    EXPECT_EQ(Status(d) & 0x01, 0x01);
    d.AdvanceMs(10000);
    const std::string live = d.TakeOutput();
    const uint32_t count = d.RecordCount();
    EXPECT_GT(count, 20u);
    d.FromPC(Cmd::AutonomousRecording(false));
    d.FromPC(Cmd::QueryRecordCount());
    const std::string reply = d.TakeOutput();
    ASSERT_EQ(reply.size(), 5u);
    EXPECT_EQ(static_cast<uint8_t>(reply[1]), count & 0xFF);
    d.FromPC(Cmd::TransferRecordedData());
    EXPECT_EQ(d.TakeOutput(), live) << "the recording comes back as capture sequences";
    d.FromPC(Cmd::EraseRecordedData());
    EXPECT_EQ(d.RecordCount(), 0u);
    d.FromPC(Cmd::AutonomousRecording(true));
    d.AdvanceMs(2000);
    d.FromPC(Cmd::FormatRecordingFlash());
    EXPECT_EQ(d.RecordCount(), 0u);
}

TEST(VirtualTavrin, MasterComesAndGoes) {
    auto d = Device(TScenario::Idle);
    d.SetMasterPresent(true);
    d.AdvanceMs(3000);
    EXPECT_FALSE(d.TakeOutput().empty());
    d.SetMasterPresent(false);
    d.AdvanceMs(1000);
    d.TakeOutput();
    d.AdvanceMs(3000);
    EXPECT_EQ(d.TakeOutput(), "");
    d.SetExternalPower(false);
    d.SetMasterPresent(true);
    d.AdvanceMs(3000);
    EXPECT_EQ(d.TakeOutput(), "") << "without power the bus is silent";
    d.SetExternalPower(true);
    d.AdvanceMs(3000);
    EXPECT_FALSE(d.TakeOutput().empty());
    TScenario s;
    EXPECT_TRUE(ParseScenario("unpowered", s));
    EXPECT_EQ(s, TScenario::Unpowered);
    EXPECT_FALSE(ParseScenario("tram", s));
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

// What the device recorded alone is read out whole, even the telegrams the
// PC had it send (the PC that reads may be another one), and the recording
// flash has a size.
TEST(VirtualTavrin, AutonomousRecordingKeepsOwnTelegramsAndFitsItsFlash) {
    auto d = Device(TScenario::Idle);
    d.FromPC(Cmd::MasterMode());
    d.FromPC(Cmd::AutonomousRecording(true));
    d.FromPC(TelegramBytes("a1"));
    d.AdvanceMs(500);
    d.TakeOutput();
    d.FromPC(Cmd::AutonomousRecording(false));
    d.FromPC(Cmd::TransferRecordedData());
    Decoded read;
    read.Take(d);
    ASSERT_EQ(read.Sink.Masters.size(), 1u);
    EXPECT_EQ(read.Sink.Masters[0].Text, TelegramBytes("a1"));
    EXPECT_EQ(read.Sink.Masters[0].ErrorFlags, 0);
    ASSERT_EQ(read.Sink.Slaves.size(), 1u);

    TEmulatorOptions o;
    o.RecordingBytes = 200;
    TVirtualTavrin small(o);
    small.FromPC(Cmd::AutonomousRecording(true));
    small.AdvanceMs(20000);
    EXPECT_GT(small.MasterCaptures(), 20u);
    const uint32_t kept = small.RecordCount();
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, small.MasterCaptures()) << "a full flash takes no more";
    small.TakeOutput();
    small.FromPC(Cmd::TransferRecordedData());
    EXPECT_LE(small.TakeOutput().size(), 200u);
    small.FromPC(Cmd::EraseRecordedData());
    small.AdvanceMs(2000);
    EXPECT_GT(small.RecordCount(), 0u) << "erased, the flash has room again";
}

} // namespace
} // namespace vaskel
