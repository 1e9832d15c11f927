// The firmware upload's engine on a manual clock: the checks before
// anything is sent, the request and its three outcomes, the paced transfer,
// blocks that wait for room in the send ring, the stop before programming,
// and the version check after the device's restart.

#include "link/FirmwareUpload.h"

#include "TestSupport.h"
#include "link/FirmwareHex.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vaskel {
namespace {

const std::string kNewVersion = "Tavrin V2.15 Vaskel/AT91SAM7S256";

// The upload's surroundings: a send ring with room for a given number of
// commands, a device that is online and reports a version.
struct Rig {
    TManualTime Time;
    std::vector<std::string> Sent;
    std::size_t Room = SIZE_MAX; // commands the ring still takes
    int Refused = 0;
    bool Online = true;
    std::string Version = "Tavrin V2.14";
    std::vector<bool> ComTimer;
    int Reconnects = 0;
    std::vector<std::string> Messages, Debug;
    std::vector<TUploadReport> Reports;
    int Changes = 0;

    TFirmwareUpload::THooks Hooks() {
        TFirmwareUpload::THooks h;
        h.Send = [this](const std::string& b) {
            if (Room == 0) {
                ++Refused;
                return false;
            }
            if (Room != SIZE_MAX) --Room;
            Sent.push_back(b);
            return true;
        };
        h.DeviceOnline = [this] { return Online; };
        h.DeviceVersion = [this] { return Version; };
        h.ComTimer = [this](bool run) { ComTimer.push_back(run); };
        h.Reconnect = [this] {
            ++Reconnects;
            Version = "unbekannt";
        };
        h.DeviceMessage = [this](const std::string& s) { Messages.push_back(s); };
        h.DebugLine = [this](const std::string& s) { Debug.push_back(s); };
        h.Report = [this](const TUploadReport& r) { Reports.push_back(r); };
        h.Changed = [this] { ++Changes; };
        return h;
    }
    // The blocks sent so far (0xD7 commands), without their command byte.
    std::vector<std::string> Blocks() const {
        std::vector<std::string> out;
        for (const auto& s : Sent)
            if (static_cast<unsigned char>(s[0]) == 0xD7) out.push_back(s.substr(1));
        return out;
    }
    bool EndSent() const {
        return std::find(Sent.begin(), Sent.end(), Cmd::UploadEnd()) != Sent.end();
    }
};

class FirmwareUploadTest : public ::testing::Test {
protected:
    // A firmware file of n bytes that names kNewVersion.
    std::string File(std::size_t n, const std::string& name = "fw.a79") {
        return Dir.Write(name, test::FirmwareHex(test::FirmwareBytes(n, "Tavrin V2.15")));
    }
    std::unique_ptr<TFirmwareUpload> Upload(const std::string& file, bool online = true) {
        return std::make_unique<TFirmwareUpload>(R.Time, file, online, R.Hooks());
    }
    // Started and given the go-ahead.
    std::unique_ptr<TFirmwareUpload> Transferring(const std::string& file) {
        auto u = Upload(file);
        u->Start();
        u->ReplyArrived(TUploadReplyStatus::urGoAhead);
        EXPECT_EQ(u->State(), TUploadState::Transferring);
        return u;
    }

    test::TempDir Dir;
    Rig R;
};

TEST_F(FirmwareUploadTest, FilesThatAreNoWholeFirmwareAreRefusedBeforeAnythingIsSent) {
    const std::string good = test::HexRecord(0, 0, "abc");
    // the identity in line 1, a wrong checksum in line 7: never half sent
    const std::string withIdentity = test::HexRecord(0, 0x20, "V1 Vaskel/AT91SAM7S256");
    std::string tooLarge = test::HexRecord(0, 0, "x") +
                           test::HexRecord(4, 0, std::string("\x00\x08", 2)) +
                           test::HexRecord(0, 0x0000, "y") + ":00000001FF\r\n"; // 512 KiB apart
    struct Case {
        const char* Name;
        std::string Text; // empty: no file at all
        TUploadProblem Problem;
        std::size_t Number;
    };
    const Case cases[] = {
        {"checksum in line 7",
         withIdentity + good + good + good + good + good + test::HexRecord(0, 3, "d", true) +
             ":00000001FF\r\n",
         TUploadProblem::FormatError, 7},
        {"no identity", test::FirmwareHex(std::string(200, 'p')), TUploadProblem::NoIdentity, 0},
        {"no data", ":00000001FF\r\n", TUploadProblem::NoIdentity, 0},
        {"beyond the block table", tooLarge, TUploadProblem::TooLarge, 8323},
        {"missing", "", TUploadProblem::FileUnreadable, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        R = Rig();
        const std::string file = c.Text.empty() ? Dir / "missing.a79" : Dir.Write("c.a79", c.Text);
        auto u = Upload(file);
        ASSERT_EQ(u->State(), TUploadState::Ready);
        u->Start();
        EXPECT_TRUE(R.Sent.empty());
        EXPECT_EQ(u->State(), TUploadState::Cancelled);
        ASSERT_EQ(R.Reports.size(), 1u);
        EXPECT_EQ(R.Reports[0].Problem, c.Problem);
        EXPECT_EQ(R.Reports[0].Number, c.Number);
        EXPECT_EQ(R.Reports[0].Information(), c.Problem == TUploadProblem::NoIdentity);
        // the polling stopped for the start and runs again; another start may follow
        EXPECT_EQ(R.ComTimer, (std::vector<bool>{false, true}));
        EXPECT_TRUE(u->StartEnabled());
        EXPECT_TRUE(u->CloseEnabled());
    }
    EXPECT_EQ(UploadReportText({TUploadProblem::FormatError, "", 7, "", ""}),
              "Formatfehler in Zeile: 7");
    EXPECT_EQ(UploadReportText({TUploadProblem::NoIdentity, "", 0, "", ""}),
              "Keine g\xFCltige Programmversion!");

    // offline when the window opened: state 0, no start
    R = Rig();
    auto off = Upload(File(500), false);
    EXPECT_EQ(off->State(), TUploadState::NoConnection);
    EXPECT_FALSE(off->StartEnabled());
    EXPECT_TRUE(off->CloseEnabled());
    off->Start();
    EXPECT_TRUE(R.Sent.empty());
    EXPECT_EQ(off->State(), TUploadState::NoConnection);
}

TEST_F(FirmwareUploadTest, TheRequestWaitsForItsOwnReply) {
    // 63 bytes at 0..62: two blocks, the second all 0xFF
    const std::string file =
        Dir.Write("63.a79", test::FirmwareHex("V9 Vaskel/AT91SAM7S256" + std::string(1, '\0') +
                                              std::string(40, 'p')));
    auto u = Upload(file);
    u->Start();
    ASSERT_EQ(R.Sent, (std::vector<std::string>{std::string("\xD6\x02\x00", 3)}));
    EXPECT_EQ(R.Messages, (std::vector<std::string>{"-- Requesting upload of 2 blocks"}));
    EXPECT_EQ(u->ExpectedVersion(), "V9 Vaskel/AT91SAM7S256");
    EXPECT_TRUE(u->WaitingForReply());
    EXPECT_FALSE(u->StartEnabled());
    EXPECT_FALSE(u->CloseEnabled());
    R.Time.Advance(1500);
    u->ReplyArrived(TUploadReplyStatus::urGoAhead);
    EXPECT_EQ(u->State(), TUploadState::Transferring);
    EXPECT_EQ(R.Debug, (std::vector<std::string>{
                           "SEND COMMAND: CMD_START_FIRMWAREUPDATE) - DATA: D6 02 00"}));
    R.Time.Advance(200);
    const auto blocks = R.Blocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1], std::string(63, '\xFF'));
    EXPECT_TRUE(R.EndSent());
    u.reset();

    // no answer: given up once the whole seconds since the request exceed 2
    R = Rig();
    auto quiet = Upload(file);
    quiet->Start();
    R.Time.Advance(2990);
    EXPECT_TRUE(quiet->WaitingForReply());
    R.Time.Advance(20);
    EXPECT_EQ(quiet->State(), TUploadState::Cancelled);
    ASSERT_EQ(R.Reports.size(), 1u);
    EXPECT_EQ(R.Reports[0].Problem, TUploadProblem::NoAnswer);
    EXPECT_EQ(UploadReportText(R.Reports[0]),
              "Der Tavrin hat nicht auf den Uploadwunsch geantwortet.\r\n"
              "Der Upload wird abgebrochen. Bitte trennen Sie das Ger\xE4t, "
              "verbinden Sie es neu und versuchen Sie den Upload erneut.");
    quiet.reset();

    // not enough memory; a second start is not decided by that old reply
    R = Rig();
    auto full = Upload(file);
    full->Start();
    full->ReplyArrived(TUploadReplyStatus::urNotEnoughMenory);
    EXPECT_EQ(full->State(), TUploadState::Cancelled);
    ASSERT_EQ(R.Reports.size(), 1u);
    EXPECT_EQ(R.Reports[0].Problem, TUploadProblem::NotEnoughMemory);
    EXPECT_EQ(UploadReportText(R.Reports[0]),
              "Der Tavrin hat nicht genug Speicher f\xFCr dieses\r\n"
              "Firmwareupdate. Der Upload wird abgebrochen.");
    full->Start();
    R.Time.Advance(500);
    EXPECT_TRUE(full->WaitingForReply()) << "the earlier refusal does not answer this request";
    EXPECT_EQ(R.Blocks().size(), 0u);
    full->ReplyArrived(TUploadReplyStatus::urGoAhead);
    EXPECT_EQ(full->State(), TUploadState::Transferring);
}

TEST_F(FirmwareUploadTest, BlocksArePacedThenProgrammedThenTheVersionDecides) {
    const std::string file = File(100 * 63);
    const TFirmwareImage image = ReadFirmwareFile(file);
    ASSERT_EQ(image.BlockCount(), 101u); // two beyond the last byte
    struct Case {
        const char* Name;
        bool Back;           // the device comes back online
        std::string Version; // and reports this
        TUploadState End;
    };
    const Case cases[] = {
        {"the image's version", true, kNewVersion, TUploadState::Done},
        {"another version", true, "Tavrin V2.14", TUploadState::VersionMismatch},
        {"never back", false, "", TUploadState::ConnectionLost},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        R = Rig();
        auto u = Transferring(file);
        for (const std::size_t expected : {30u, 60u, 90u}) {
            R.Time.Advance(200);
            EXPECT_EQ(R.Blocks().size(), expected);
            EXPECT_EQ(u->Progress(), static_cast<int>(expected * 100 / 101));
            EXPECT_FALSE(u->CloseEnabled());
            EXPECT_FALSE(R.EndSent());
        }
        R.Time.Advance(200);
        EXPECT_EQ(R.Blocks(), image.Blocks);
        EXPECT_EQ(R.Sent.back(), Cmd::UploadEnd());
        EXPECT_EQ(u->State(), TUploadState::Programming);
        EXPECT_EQ(u->Progress(), 100);
        EXPECT_EQ(R.Messages[1], "-- Uploading block no. 0");
        EXPECT_EQ(R.Messages.back(), "-- Uploading block no. 100");
        // six seconds for the programming, then a new connection
        R.Online = false;
        R.Time.Advance(5990);
        EXPECT_EQ(R.Reconnects, 0);
        R.Time.Advance(10);
        EXPECT_EQ(R.Reconnects, 1);
        EXPECT_TRUE(u->Verifying());
        EXPECT_FALSE(u->CloseEnabled());
        EXPECT_TRUE(R.ComTimer.back()) << "the polling brings the device's version";
        R.Time.Advance(1000);
        EXPECT_EQ(u->State(), TUploadState::Programming) << "no version yet";
        R.Online = c.Back;
        R.Version = c.Version;
        R.Time.Advance(TFirmwareUpload::kVersionWaitMs);
        EXPECT_EQ(u->State(), c.End);
        EXPECT_TRUE(u->CloseEnabled());
        EXPECT_EQ(u->StartEnabled(), c.End == TUploadState::VersionMismatch);
        if (c.End == TUploadState::VersionMismatch) {
            ASSERT_EQ(R.Reports.size(), 1u);
            EXPECT_EQ(R.Reports[0].Expected, kNewVersion);
            EXPECT_EQ(R.Reports[0].Reported, "Tavrin V2.14");
        } else {
            EXPECT_TRUE(R.Reports.empty());
        }
    }
}

TEST_F(FirmwareUploadTest, ABlockWithoutRoomWaitsInItsPlace) {
    const std::string file = File(200 * 63);
    const TFirmwareImage image = ReadFirmwareFile(file);
    auto u = Transferring(file);
    // the ring takes 45 blocks, then nothing for two seconds, then all
    R.Room = 45;
    R.Time.Advance(2000);
    EXPECT_EQ(R.Blocks().size(), 45u);
    EXPECT_GT(R.Refused, 0);
    EXPECT_EQ(u->State(), TUploadState::Transferring);
    R.Room = SIZE_MAX;
    R.Time.Advance(2000);
    EXPECT_EQ(R.Blocks(), image.Blocks) << "every block once, in order";
    EXPECT_EQ(std::count(R.Sent.begin(), R.Sent.end(), Cmd::UploadEnd()), 1);
    EXPECT_EQ(u->State(), TUploadState::Programming);
    u.reset();

    // no room at all: the upload stops before the flash is programmed
    R = Rig();
    auto stuck = Transferring(file);
    R.Room = 70;
    R.Time.Advance(600);
    EXPECT_EQ(R.Blocks().size(), 70u);
    R.Time.Advance(TFirmwareUpload::kBlockStallMs - 200);
    EXPECT_EQ(stuck->State(), TUploadState::Transferring);
    R.Time.Advance(400);
    EXPECT_EQ(stuck->State(), TUploadState::Cancelled);
    EXPECT_FALSE(R.EndSent());
    ASSERT_EQ(R.Reports.size(), 1u);
    EXPECT_EQ(R.Reports[0].Problem, TUploadProblem::BlockNotSent);
    EXPECT_EQ(R.Reports[0].Number, 71u);
    stuck.reset();

    // room for every block but not for the end: nothing is programmed either
    R = Rig();
    auto noEnd = Transferring(File(10 * 63, "small.a79"));
    R.Room = 11; // the blocks

    R.Time.Advance(200 + TFirmwareUpload::kBlockStallMs);
    EXPECT_EQ(R.Blocks().size(), 11u);
    EXPECT_FALSE(R.EndSent());
    EXPECT_EQ(noEnd->State(), TUploadState::Cancelled);
    ASSERT_EQ(R.Reports.size(), 1u);
    EXPECT_EQ(R.Reports[0].Number, 0u) << "the end command, not a block";
}

TEST_F(FirmwareUploadTest, AbortAndALostLinkStopBeforeProgramming) {
    const std::string file = File(300 * 63);
    auto u = Transferring(file);
    R.Time.Advance(400);
    EXPECT_TRUE(u->AbortEnabled());
    u->Abort();
    R.Time.Advance(200);
    EXPECT_EQ(u->State(), TUploadState::Cancelled);
    EXPECT_EQ(R.Blocks().size(), 60u) << "the tick that sees the flag sends nothing";
    EXPECT_FALSE(R.EndSent());
    EXPECT_TRUE(R.Reports.empty());
    EXPECT_TRUE(u->StartEnabled());
    EXPECT_FALSE(u->AbortEnabled());
    // started again, it reads the file and asks anew
    u->Start();
    EXPECT_EQ(R.Sent.back(), Cmd::UploadRequest(301));
    u.reset();

    R = Rig();
    auto lost = Transferring(file);
    R.Time.Advance(200);
    R.Online = false;
    R.Time.Advance(200);
    EXPECT_EQ(lost->State(), TUploadState::ConnectionLost);
    EXPECT_EQ(R.Blocks().size(), 30u);
    EXPECT_FALSE(R.EndSent());
    ASSERT_EQ(R.Reports.size(), 1u);
    EXPECT_EQ(R.Reports[0].Problem, TUploadProblem::LinkLost);
    EXPECT_FALSE(lost->StartEnabled());
    EXPECT_TRUE(lost->CloseEnabled());
}

} // namespace
} // namespace vaskel
