#include "link/DeviceProtocol.h"

#include "RecordingSink.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

using test::Hex;

struct DecodeCase {
    const char* name;
    std::string stream;
    std::vector<std::string> events;
    bool masterMode = false;
};

std::vector<DecodeCase> Cases() {
    const std::string t1 = "01 00 00 00", t16 = "10 00 00 00";
    return {
        {"example from the device description",
         Hex("82 01 00 00 00 80 61 0D 13 83 10 00 00 00"),
         {"master 0 start=1 end=16 flags= text=610D13 check=0"}},
        {"wrong check byte",
         Hex("82 " + t1 + " 80 61 0D 14 83 " + t16),
         {"master 0 start=1 end=16 flags=S text=610D14 check=7"}},
        {"no CR, no check byte: aborted",
         Hex("82 " + t1 + " 80 61 83 " + t16),
         {"master 0 start=1 end=16 flags=A text=61 check=19"}},
        {"CR but no check byte: checksum error",
         Hex("82 " + t1 + " 80 61 0D 83 " + t16),
         {"master 0 start=1 end=16 flags=S text=610D check=19"}},
        {"time stamp bytes above 0x7F are data",
         Hex("82 80 FF 81 82 80 61 0D 13 83 8E 88 80 FF"),
         {"master 0 start=2189557632 end=4286613646 flags= text=610D13 check=0"}},
        {"end time with empty text delivers nothing",
         Hex("82 " + t1 + " 83 " + t16 + " 83 " + t16),
         {}},
        {"status byte", Hex("88 A5"), {"status 165"}},
        {"record count", Hex("8E 10 27 00 00"), {"count 10000"}},
        {"upload replies", Hex("8B 00 8B 01 8B 7F"), {"upload go", "upload nomem", "upload nomem"}},
        {"version text", Hex("89") + "Tavrin 2.14" + Hex("0D"), {"version Tavrin 2.14"}},
        {"device text", Hex("8A 03") + "abc" + Hex("88 01"), {"text abc", "status 1"}},
        {"empty device text", Hex("8A 00 88 02"), {"text ", "status 2"}},
        {"slave answer",
         Hex("84 " + t1 + " 81 61 31 0D 22 85 " + t16),
         {"slave 0 start=1 end=16 flags= text=61310D22 check=0"}},
        {"own slave answer",
         Hex("84 " + t1 + " 8D 61 31 0D 22 85 " + t16),
         {"slave 0 start=1 end=16 flags= text=61310D22 check=0 own"}},
        {"character error inside the text",
         Hex("82 " + t1 + " 80 61 86 01 62 0D 71 83 " + t16),
         {"master 0 start=1 end=16 flags=F text=61620D71 check=0"}},
        {"parity error in a slave answer",
         Hex("84 " + t1 + " 81 61 87 03 31 0D 22 85 " + t16),
         {"slave 0 start=1 end=16 flags=FP text=61310D22 check=0"}},
        {"unknown bytes in idle are dropped", Hex("8C 8F FF 41 0D 88 07"), {"status 7"}},
        {"master and slave interleaved",
         Hex("82 " + t1 + " 80 61 0D 13 83 " + t16 + " 84 " + t16 + " 81 61 31 0D 22 85 " + t16 +
             " 82 " + t16 + " 80 61 0D 13 83 " + t16),
         {"master 0 start=1 end=16 flags= text=610D13 check=0",
          "slave 0 start=16 end=16 flags= text=61310D22 check=0",
          "master 1 start=16 end=16 flags= text=610D13 check=0"}},
    };
}

std::vector<std::string> DecodeInChunks(const DecodeCase& c, std::size_t chunk) {
    test::RecordingSink sink;
    TStreamDecoder d(sink);
    d.SetState(TDecoderState::Idle);
    d.SetMasterMode(c.masterMode);
    for (std::size_t p = 0; p < c.stream.size(); p += chunk)
        d.Decode(std::string_view(c.stream).substr(p, chunk));
    return sink.Events;
}

TEST(Decoder, CasesWholeAndSplitAtEveryByte) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeInChunks(c, c.stream.size()), c.events);
        for (std::size_t chunk = 1; chunk < c.stream.size(); ++chunk)
            ASSERT_EQ(DecodeInChunks(c, chunk), c.events) << "chunks of " << chunk;
    }
}

TEST(Decoder, RegistersFollowTheStream) {
    test::RecordingSink sink;
    TStreamDecoder d(sink);
    EXPECT_EQ(d.State(), TDecoderState::Down);
    d.SetState(TDecoderState::Idle);
    d.Decode(Hex("89") + "V1" + Hex("0D 8A 02") + "hi" + Hex("8B 00"));
    EXPECT_EQ(d.ControllerVersion(), "V1");
    EXPECT_EQ(d.LastMessage(), "hi");
    EXPECT_EQ(d.UploadGoAheadReply(), TUploadReplyStatus::urGoAhead);
    d.Decode(Hex("8B"));
    EXPECT_EQ(d.UploadGoAheadReply(), TUploadReplyStatus::urUndefined);
}

TEST(Decoder, DownIgnoresEverything) {
    test::RecordingSink sink;
    TStreamDecoder d(sink);
    d.Decode(Hex("82 01 00 00 00 80 61 0D 13 83 10 00 00 00 88 01"));
    EXPECT_TRUE(sink.Events.empty());
    EXPECT_EQ(d.MasterIndex(), 0);
    // ... and after the link is back the next sequence is taken
    d.SetState(TDecoderState::Idle);
    d.Decode(Hex("82 01 00 00 00 80 61 0D 13 83 10 00 00 00"));
    EXPECT_EQ(sink.Events.size(), 1u);
}

TEST(Decoder, OwnMasterTelegramInMasterMode) {
    test::RecordingSink sink;
    TStreamDecoder d(sink);
    d.SetState(TDecoderState::Idle);
    d.SetMasterMode(true);
    d.PrepareOwnMaster("l001\r", '/');
    d.Decode(Hex("82 05 00 00 00 83 50 00 00 00"));
    ASSERT_EQ(sink.Masters.size(), 1u);
    EXPECT_EQ(sink.Masters[0].Text, "l001\r");
    EXPECT_EQ(sink.Masters[0].Check, '/');
    EXPECT_EQ(sink.Masters[0].ErrorFlags, 0);
    EXPECT_EQ(sink.Masters[0].StartTicks, 5u);
    EXPECT_EQ(sink.Masters[0].EndTicks, 0x50u);
}

// In master mode a text the device sends (its recording read out) is a
// telegram of its own, never appended to the own telegram that waits for its
// report, also when the send path hands that over in the middle of it.
TEST(Decoder, DeviceTextInMasterModeBesideTheOwnTelegram) {
    const std::string readOut = Hex("82 01 00 00 00 80") + TelegramBytes("a1") +
                                Hex("83 10 00 00 00");
    const std::string ownReport = Hex("82 20 00 00 00 83 30 00 00 00");
    // where the send path hands over its telegram: before the read-out, or
    // after each of its bytes
    for (std::size_t at = 0; at <= readOut.size(); ++at) {
        SCOPED_TRACE("own telegram handed over after byte " + std::to_string(at));
        test::RecordingSink sink;
        TStreamDecoder d(sink);
        d.SetState(TDecoderState::Idle);
        d.SetMasterMode(true);
        d.Decode(readOut.substr(0, at));
        d.PrepareOwnMaster("l001\r", '/');
        d.Decode(readOut.substr(at));
        d.Decode(ownReport);
        ASSERT_EQ(sink.Masters.size(), 2u);
        EXPECT_EQ(sink.Masters[0].Text, TelegramBytes("a1"));
        EXPECT_EQ(sink.Masters[0].ErrorFlags, 0);
        EXPECT_EQ(sink.Masters[0].Check, 0);
        EXPECT_FALSE(sink.Masters[0].OwnMaster);
        EXPECT_EQ(sink.Masters[0].StartTicks, 1u);
        EXPECT_EQ(sink.Masters[1].Text, "l001\r");
        EXPECT_EQ(sink.Masters[1].Check, '/');
        EXPECT_EQ(sink.Masters[1].ErrorFlags, 0);
        EXPECT_TRUE(sink.Masters[1].OwnMaster);
        EXPECT_EQ(sink.Masters[1].StartTicks, 0x20u);
    }
}

TEST(Decoder, RingWrapsAndReadyHandOver) {
    test::RecordingSink sink;
    TStreamDecoder d(sink);
    d.SetState(TDecoderState::Idle);
    const std::string one = Hex("82 01 00 00 00 80 61 0D 13 83 10 00 00 00");
    for (int k = 0; k < 255; ++k)
        d.Decode(one);
    EXPECT_EQ(sink.Overruns, 0);
    d.Decode(one); // the 256th is delivered at index 255, then the index wraps onto record 0
    EXPECT_EQ(sink.Events.back().substr(0, 10), "master 255");
    EXPECT_EQ(sink.Overruns, 1);
    EXPECT_TRUE(d.MasterRecord(0).Ready);
    d.ReleaseMaster(0);
    EXPECT_FALSE(d.MasterRecord(0).Ready);
    d.Decode(one);
    EXPECT_EQ(sink.Events.back().substr(0, 9), "master 0 ");
}

TEST(Decoder, SlowConsumerLosesNothing) {
    // One chunk with 10,000 complete telegrams, nothing taken meanwhile.
    std::string chunk;
    std::vector<std::string> texts;
    for (int k = 0; k < 10000; ++k) {
        const std::string text = "z" + std::to_string(k % 1000 + 1000);
        texts.push_back(text);
        chunk += Hex("82") + std::string("\x01\x02\x03\x04", 4) + Hex("80") + TelegramBytes(text) +
                 Hex("83") + std::string("\x05\x06\x07\x08", 4);
        if (k % 3 == 0)
            chunk += Hex("84 01 00 00 00 81") + TelegramBytes("a10") + Hex("85 02 00 00 00");
    }
    chunk += Hex("88 42");
    test::RecordingSink sink;
    TStreamDecoder d(sink);
    d.SetState(TDecoderState::Idle);
    d.Decode(chunk);
    ASSERT_EQ(sink.Masters.size(), 10000u);
    for (int k = 0; k < 10000; ++k) {
        ASSERT_EQ(sink.Masters[k].Text, TelegramBytes(texts[k])) << k;
        ASSERT_EQ(sink.Masters[k].ErrorFlags, 0) << k;
    }
    EXPECT_EQ(sink.Slaves.size(), 3334u);
    EXPECT_EQ(sink.Events.back(), "status 66") << "the rest of the chunk is decoded";
    EXPECT_GT(sink.Overruns, 0);
}

TEST(Protocol, ErrorFlagLettersAndTicks) {
    EXPECT_EQ(ErrorFlagLetters(0), "");
    EXPECT_EQ(ErrorFlagLetters(0x0F), "FPSA");
    EXPECT_EQ(ErrorFlagLetters(kErrChecksum | kErrFraming), "FS");
    EXPECT_EQ(TicksToMs(72), 10);
    EXPECT_EQ(TicksToMs(0xFFFFFFB8u), -10) << "sign-extended from 32 bits";
    EXPECT_EQ(MsToTicksTruncated(500), 3600);
    EXPECT_EQ(MsToTicksTruncated(9999), (71992 % 65536));
    EXPECT_EQ(MsToTicksTruncated(1), 7);
    EXPECT_EQ(MsToTicksRounded(1), 7);
    EXPECT_EQ(MsToTicksRounded(5), 36);
    EXPECT_EQ(MsToTicksRounded(10), 72);
    EXPECT_EQ(MsToTicksRounded(3), 22); // 21.6
}

TEST(Protocol, CommandBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {Cmd::MasterMode(), "80"},
        {Cmd::SlaveMode(), "81"},
        {Cmd::ResetOverload(), "90"},
        {Cmd::StatusRequest(), "A0"},
        {Cmd::VersionRequest(), "C0"},
        {Cmd::MasterTimeout(500), "D1100E"},
        {Cmd::SlaveTimeout(9999), "D23819"},
        {Cmd::ClearResponseList(), "D3"},
        {Cmd::SlaveSimulation(false), "D400"},
        {Cmd::SlaveSimulation(true), "D401"},
        {Cmd::ResponseListElement("ab", "c", 10),
         "D548000400030061620D" + StrToHexDump(std::string(1, CalcCheckByte("ab")), false) +
             "630D" + StrToHexDump(std::string(1, CalcCheckByte("c")), false)},
        {Cmd::UploadRequest(0x1234), "D63412"},
        {Cmd::UploadEnd(), "D8"},
        {Cmd::AutonomousRecording(true), "D901"},
        {Cmd::AutonomousRecording(false), "D900"},
        {Cmd::FormatRecordingFlash(), "DA"},
        {Cmd::EraseRecordedData(), "DB"},
        {Cmd::TransferRecordedData(), "DC"},
        {Cmd::QueryRecordCount(), "DD"},
        {TelegramBytes("l001"), "6C3030310D2F"},
    };
    for (const auto& [bytes, hex] : cases)
        EXPECT_EQ(StrToHexDump(bytes, false), hex);
    const std::string block = Cmd::FirmwareBlock("\x01\x02");
    ASSERT_EQ(block.size(), 64u);
    EXPECT_EQ(block.substr(0, 3), Hex("D7 01 02"));
    EXPECT_EQ(block.back(), '\xFF');
    EXPECT_EQ(Cmd::FirmwareBlock(std::string(70, 'x')).size(), 64u);
}

} // namespace
} // namespace vaskel
