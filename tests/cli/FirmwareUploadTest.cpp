// The firmware upload against the virtual Tavrin on bus time, through the
// desktop program's connection and controller: every block arrives in
// order, also while the controller's send ring is full for a while; the
// device programs, restarts and reports the new version; an image larger
// than its flash is refused. And vaskel-cli firmware upload on top.

#include "link/FirmwareUpload.h"
#include "session/BusTimeSession.h"
#include "cli/CliCommands.h"
#include "cli/CliRun.h"

#include "TestSupport.h"
#include "link/FirmwareHex.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vaskel {
namespace {

const std::string kNewVersion = "Tavrin V2.15 Vaskel/AT91SAM7S256";

class VirtualUpload : public ::testing::Test {
protected:
    void Make(TEmulatorOptions device = {}) {
        Sim = std::make_unique<TBusTimeSession>(Parser, Env, device,
                                                   TDateTime{2026, 12, 10, 8, 0, 0, 0});
        for (int ms = 0; ms < 5000 && !Online(); ++ms)
            Sim->Run(1);
        ASSERT_TRUE(Online());
        TFirmwareUpload::THooks h;
        h.Send = [this](const std::string& b) {
            const bool ok = Sim->Connection().Send(b);
            if (!ok) ++Refused;
            return ok;
        };
        h.DeviceOnline = [this] { return Sim->Status().DeviceOnline(); };
        h.DeviceVersion = [this] { return Sim->Status().HardwareRevision(); };
        h.ComTimer = [this](bool run) { Sim->ComTimer(run); };
        h.Reconnect = [this] { Sim->Connection().ConnectDevice(); };
        h.Report = [this](const TUploadReport& r) { Reports.push_back(r); };
        Upload = std::make_unique<TFirmwareUpload>(Sim->Timers(), File, true, h);
        Sim->OnUploadReply = [this](TUploadReplyStatus r) { Upload->ReplyArrived(r); };
    }
    bool Online() {
        return Sim->Status().DeviceOnline() && Sim->Status().HardwareRevision() != "unbekannt";
    }
    // Runs until the window could close again (at most a minute of bus time).
    void RunToEnd() {
        for (int ms = 0; ms < 60000 && !Upload->CloseEnabled(); ms += 10)
            Sim->Run(10);
    }

    test::TempDir Dir;
    TIBISTelegramParser Parser{TProfileArray{}};
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    std::string File =
        Dir.Write("fw.a79", test::FirmwareHex(test::FirmwareBytes(400 * 63, "Tavrin V2.15")));
    std::unique_ptr<TBusTimeSession> Sim;
    std::unique_ptr<TFirmwareUpload> Upload;
    std::vector<TUploadReport> Reports;
    int Refused = 0;
};

TEST_F(VirtualUpload, EveryBlockArrivesInOrderAndTheDeviceComesBackWithTheNewVersion) {
    Make();
    EXPECT_EQ(Sim->Status().HardwareRevision(), "Tavrin V2.14 (Emulator)");
    const TFirmwareImage image = ReadFirmwareFile(File);
    Upload->Start();
    Sim->Run(100);
    ASSERT_EQ(Upload->State(), TUploadState::Transferring) << "the device's go-ahead";
    RunToEnd();
    EXPECT_EQ(Upload->State(), TUploadState::Done);
    EXPECT_TRUE(Reports.empty());
    EXPECT_TRUE(Sim->Device().ProgrammedFirmware() == image.Bytes())
        << Sim->Device().ProgrammedFirmware().size() << " bytes";
    EXPECT_EQ(Sim->Device().Version(), kNewVersion);
    EXPECT_EQ(Sim->Status().HardwareRevision(), kNewVersion) << "shown in the status bar";
    EXPECT_EQ(Upload->ReportedVersion(), kNewVersion);
    EXPECT_TRUE(Sim->Status().DeviceOnline());
}

TEST_F(VirtualUpload, AFullSendRingHoldsBlocksBackButLosesNone) {
    Make();
    const TFirmwareImage image = ReadFirmwareFile(File);
    Upload->Start();
    Sim->Run(500);
    ASSERT_EQ(Upload->State(), TUploadState::Transferring);
    // the controller's thread writes nothing for three seconds: its ring of
    // 256 entries fills
    Sim->StallController(true);
    Sim->Run(3000);
    EXPECT_GT(Refused, 0);
    EXPECT_EQ(Upload->State(), TUploadState::Transferring);
    Sim->StallController(false);
    RunToEnd();
    EXPECT_EQ(Upload->State(), TUploadState::Done);
    EXPECT_TRUE(Sim->Device().ProgrammedFirmware() == image.Bytes())
        << "every block, once, in order: " << Sim->Device().ProgrammedFirmware().size();
}

TEST_F(VirtualUpload, AnImageLargerThanTheFlashIsRefusedByTheDevice) {
    TEmulatorOptions small;
    small.FlashBytes = 100 * 63;
    Make(small);
    Upload->Start();
    RunToEnd();
    EXPECT_EQ(Upload->State(), TUploadState::Cancelled);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].Problem, TUploadProblem::NotEnoughMemory);
    EXPECT_TRUE(Sim->Device().ProgrammedFirmware().empty());
    EXPECT_EQ(Sim->Device().Version(), "Tavrin V2.14 (Emulator)");
    EXPECT_TRUE(Sim->Status().DeviceOnline()) << "the polling runs again";
}

using test::Cli;
using test::CliRun;

TEST(CliFirmwareUpload, UploadsIntoTheVirtualDeviceAndFailsWhereItShould) {
    test::TempDir dir;
    const std::string good =
        dir.Write("fw.a79", test::FirmwareHex(test::FirmwareBytes(300 * 63, "Tavrin V2.15")));
    const CliRun r = Cli({"firmware", "upload", "--virtual-device", good});
    ASSERT_EQ(r.code, 0) << r.err << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
    for (const char* line :
         {"device firmware Tavrin V2.14 (Emulator)\n", "Requesting upload of 301 blocks\n",
          "firmware version Tavrin V2.15 Vaskel/AT91SAM7S256\n", "sent 30 of 301 blocks (9 %)\n",
          "sent 301 of 301 blocks (100 %)\n", "programming the flash memory\n",
          "reconnecting, waiting for the device's version\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    const std::string last = "device reports version Tavrin V2.15 Vaskel/AT91SAM7S256\n";
    ASSERT_GE(r.out.size(), last.size());
    EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last) << r.out;

    // larger than the virtual device's flash: refused, exit 1
    const std::string big =
        dir.Write("big.a79", test::FirmwareHex(test::FirmwareBytes(4000 * 63, "Tavrin V3")));
    const CliRun refused = Cli({"firmware", "upload", "--virtual-device", big});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("nicht genug Speicher"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out.find("device reports version"), std::string::npos);

    // a broken file never reaches the device
    const std::string bad = dir.Write("bad.a79", ":0110000041AE\r\n:0110010042AD\r\n");
    const CliRun b = Cli({"firmware", "upload", "--virtual-device", bad});
    EXPECT_EQ(b.code, 1);
    EXPECT_EQ(b.err, "vaskel-cli: Formatfehler in Zeile: 2\n");
    EXPECT_EQ(b.out.find("Requesting"), std::string::npos);

    // a good image cut off after 300 lines (no end record) is neither
    // checked nor sent; nor is one with data after its end record
    const std::string full = test::FirmwareHex(test::FirmwareBytes(300 * 63, "Tavrin V2.16"));
    std::size_t at = 0;
    for (int n = 0; n < 300; ++n)
        at = full.find('\n', at) + 1;
    const std::string cut = dir.Write("cut.a79", full.substr(0, at));
    const std::string after = dir.Write("after.a79", full + test::HexRecord(0, 0x8000, "late"));
    for (const std::string& file : {cut, after}) {
        SCOPED_TRACE(file);
        const CliRun check = Cli({"firmware", "check", file});
        EXPECT_EQ(check.code, 1);
        const CliRun up = Cli({"firmware", "upload", "--virtual-device", file});
        EXPECT_EQ(up.code, 1);
        EXPECT_EQ(up.out.find("Requesting"), std::string::npos) << up.out;
        EXPECT_EQ(up.out.find("erfolgreich"), std::string::npos) << up.out;
        EXPECT_NE(up.err.find(file == cut ? "ohne Endesatz" : "nach dem Endesatz"),
                  std::string::npos)
            << up.err;
    }

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"firmware", "upload"},
          {"firmware", "upload", "--virtual-device"},
          {"firmware", "upload", "--nope", good},
          {"firmware", "upload", "--virtual-device", dir / "missing.a79"}})
        EXPECT_EQ(Cli(args).code, 2) << args.back();
    EXPECT_NE(Cli({"firmware", "upload", "--help"}).out.find("--virtual-device"),
              std::string::npos);
}

} // namespace
} // namespace vaskel
