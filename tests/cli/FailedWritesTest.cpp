// Every kind of file the program writes, written onto a full disk and into
// a read-only folder: each write fails with a message naming the file, the
// previous version stays as it was, no temporary file is left behind, and
// nothing is reported as saved (the command line ends with a status other
// than 0).

#include "cli/CliRun.h"
#include "lists/CatalogueTable.h"
#include "lists/ListFiles.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "shell/DebugClass.h"
#include "shell/Environment.h"
#include "shell/IniFile.h"
#include "shell/SystemPlatform.h"
#include "telegram/Catalogue.h"
#include "telegram/SafeFile.h"
#include "telegram/TelegramParser.h"
#include "telegram/TextConventions.h"
#ifdef VASKEL_TEST_QT_SETTINGS
#include "platform/QtSettingsStorage.h"
#endif

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace vaskel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::CliRun;
using test::FaultyFolder;
using test::TWriteFault;

const std::string kProtocolRow = "\"M\";\"1\";\"0\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n";

// What a write reports: whether it says it saved, and its message.
struct TOutcome {
    bool Saved = false;
    std::string Message;
};

TOutcome Thrown(const std::function<void()>& write) {
    try {
        write();
    } catch (const EFileError& e) {
        return {false, e.what()};
    }
    return {true, {}};
}

TOutcome CliOutcome(const CliRun& r) {
    return {r.code == kCliOk, r.err};
}

struct TWriter {
    const char* Kind;
    const char* File; // its name in the folder; a previous version is there
    // Writes the new version of folder/File.
    std::function<TOutcome(FaultyFolder& folder, const std::string& file)> Write;
};

TTable ProtocolRows(int rows) {
    TTable t = MakeProtocolTable();
    for (int r = 0; r < rows; ++r) {
        const int row = r == 0 ? 0 : t.AppendRow();
        t.SetCell(pcKind, row, "M");
        t.SetCell(pcTelegram, row, "l00" + std::to_string(r % 10) + "\r");
    }
    return t;
}

std::vector<TWriter> Writers(const test::TempDir& outside) {
    const std::string protocol = outside.Write("in.PRO.CSV", kProtocolRow + kProtocolRow);
    // a call and its answer, for the response list
    const std::string answered =
        outside.Write("answered.PRO.CSV", "\"M\";\"1\";\"0\";\"\";\"\";\"a1\r/\";\"\";\"\";\"\";\"\"\r\n"
                                          "\"S\";\"2\";\"50\";\"\";\"\";\"a10\r/\";\"\";\"\";\"\";\"\"\r\n");
    const std::string stream = outside.Write("in.bin", Cli({"emulate", "--seconds", "20"}).out);
    const std::string callList =
        outside.Write("in.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"\";\"0:01\"\r\n");
    std::vector<TWriter> w = {
        {"protocol", "p.PRO.CSV",
         [](FaultyFolder&, const std::string& f) {
             TTable t = ProtocolRows(200);
             return Thrown([&] { SaveToCSV(t, f, '"', 0, std::nullopt, ';'); });
         }},
        {"protocol rows appended", "p.PRO.CSV",
         [](FaultyFolder&, const std::string& f) {
             TTable t = ProtocolRows(200);
             return Thrown([&] { SaveToCSV(t, f, '"', 2, std::nullopt, ';'); });
         }},
        {"safety copy rewritten from a changed row on", "WBTEMP.PRO.CSV",
         [](FaultyFolder&, const std::string& f) {
             std::string rows;
             for (int k = 0; k < 200; ++k) rows += kProtocolRow;
             // the previous version's second word on
             return Thrown([&] { ReplaceFileTailSafely(f, 9, rows); });
         }},
        {"call list", "l.AUF.CSV",
         [](FaultyFolder&, const std::string& f) {
             TTable t = MakeCallListTable();
             for (int r = 1; r < 200; ++r) t.AppendRow();
             return Thrown([&] { SaveListFile(t, f, TListKind::Aufruf); });
         }},
        {"response list", "l.ANT.CSV",
         [](FaultyFolder&, const std::string& f) {
             TTable t = MakeResponseListTable();
             for (int r = 1; r < 200; ++r) t.AppendRow();
             return Thrown([&] { SaveListFile(t, f, TListKind::Antwort); });
         }},
        {"catalogue", "IBIS.CSV",
         [](FaultyFolder&, const std::string& f) {
             TTable t = MakeCatalogueTable(1);
             const TIBISTelegramParser shipped{test::kShippedCatalogue};
             FillCatalogueTable(t, *shipped.ProfileArray(), test::ReadFile(test::kShippedCatalogue));
             return Thrown([&] { SaveCatalogueTable(t, f); });
         }},
        {"filter templates", "Vaskel.INI",
         [](FaultyFolder&, const std::string& f) {
             TIniFile ini(f);
             for (int k = 0; k < 300; ++k)
                 ini.WriteString("Vorlage", "Satzart" + std::to_string(k), "-1");
             return Thrown([&] { ini.UpdateFile(); });
         }},
        {"error report", "Vaskel/STATUS.LOG",
         [](FaultyFolder& folder, const std::string&) {
             TFixedSystemPlatform platform;
             platform.Program = folder / "Vaskel";
             platform.Documents = folder.Path().string() + "/";
             TEnvironment env(nullptr, platform);
             for (int k = 0; k < 100; ++k) env.Debugger().AddAction("Aktion", std::to_string(k));
             const std::string written = env.Debugger().WriteErrorReport("Fehler");
             // the report says where it could not be written
             return TOutcome{!written.empty(), env.Debugger().ReportFile()};
         }},
#ifdef VASKEL_TEST_QT_SETTINGS
        {"settings", "settings.ini",
         [](FaultyFolder&, const std::string& f) {
             auto storage = TQtSettingsStorage::ForFile(f);
             for (int k = 0; k < 300; ++k) storage->WriteString("Key" + std::to_string(k), "value");
             return Thrown([&] { storage->Flush(); });
         }},
#endif
        {"vaskel-cli record", "r.PRO.CSV",
         [stream](FaultyFolder&, const std::string& f) {
             return CliOutcome(Cli({"record", stream, f}));
         }},
        {"vaskel-cli reanalyse", "r.PRO.CSV",
         [protocol](FaultyFolder&, const std::string& f) {
             return CliOutcome(Cli({"reanalyse", protocol, f}));
         }},
        {"vaskel-cli filter", "r.PRO.CSV",
         [protocol](FaultyFolder&, const std::string& f) {
             return CliOutcome(Cli({"filter", protocol, f}));
         }},
        {"vaskel-cli responses", "r.ANT.CSV",
         [answered](FaultyFolder&, const std::string& f) {
             return CliOutcome(Cli({"responses", answered, f}));
         }},
        {"vaskel-cli simulate", "r.PRO.CSV",
         [callList](FaultyFolder&, const std::string& f) {
             return CliOutcome(Cli({"simulate", "--call-list", callList, "--seconds", "20", f}));
         }},
    };
    return w;
}

class FailedWrites : public ::testing::TestWithParam<TWriteFault> {};

TEST_P(FailedWrites, EveryKindOfFileFailsByNameAndKeepsThePreviousVersion) {
    const TWriteFault fault = GetParam();
    test::TempDir outside;
    for (const TWriter& w : Writers(outside)) {
        SCOPED_TRACE(std::string(w.Kind) + " on a " + test::FaultName(fault));
        FaultyFolder folder(fault);
        if (!folder.Usable()) GTEST_SKIP() << folder.Why();
        const std::string file = folder / w.File;
        const std::string previous = "previous version\r\n";
        folder.Write(w.File, previous);
        const std::vector<std::string> before = folder.Names();
        folder.Break();
        const TOutcome o = w.Write(folder, file);
        EXPECT_FALSE(o.Saved);
        EXPECT_NE(o.Message.find(file), std::string::npos) << o.Message;
        EXPECT_EQ(test::ReadFile(file), previous);
        EXPECT_EQ(folder.Names(), before) << "a temporary file is left";
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedWrites,
                         ::testing::Values(TWriteFault::FullDisk, TWriteFault::ReadOnlyFolder),
                         [](const auto& info) {
                             return info.param == TWriteFault::FullDisk ? "FullDisk"
                                                                        : "ReadOnlyFolder";
                         });

// The safety copy keeps trying while the disk is full, says so once, keeps
// its whole rows, and catches up when there is room again.
TEST(FailedWritesSafetyCopy, SaysOnceKeepsItsRowsAndCatchesUp) {
    FaultyFolder folder(TWriteFault::FullDisk);
    if (!folder.Usable()) GTEST_SKIP() << folder.Why();
    TFixedSystemPlatform platform;
    platform.Program = folder / "Vaskel";
    platform.Documents = folder.Path().string() + "/";
    TEnvironment env(nullptr, platform);
    fs::create_directories(env.DataDirectory());
    const TIBISTelegramParser parser{test::kShippedCatalogue};
    std::vector<std::string> said;
    TRecorder::THooks hooks;
    hooks.NowMsOfDay = [] { return 1000; };
    hooks.SafetyCopyFailed = [&](const std::string& why) { said.push_back(why); };
    TRecorder recorder(parser, env, hooks);
    auto record = [&](int count) {
        for (int k = 0; k < count; ++k) {
            TTelegramm t;
            t.Text = TelegramBytes("l00" + std::to_string(k % 10) + "\r");
            recorder.CopyTelegramm(t, 'M', false);
        }
    };
    record(3);
    recorder.SafetyTick();
    const std::string copy = recorder.SafetyCopyFile();
    const std::string written = test::ReadFile(copy);
    ASSERT_FALSE(written.empty());
    folder.Break();
    record(400);
    recorder.SafetyTick();
    recorder.SafetyTick();
    recorder.SafetyTick();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find(copy), std::string::npos) << said[0];
    EXPECT_EQ(test::ReadFile(copy), written) << "no half row appended";

    fs::remove(folder.Path() / ".filler");
    recorder.SafetyTick();
    TTable rows = MakeProtocolTable();
    EXPECT_EQ(LoadFromCSV(rows, copy, '"', nullptr, std::nullopt, ';').Rows, 403);
    EXPECT_EQ(said.size(), 1u);
}

// A row of the copy changes after it was written (a late answer pairs with
// its master): the copy is written again from that row on. On a full disk
// it stays as it was, the failure is said once, and the copy catches up to
// a save of the recording when there is room again.
TEST(FailedWritesSafetyCopy, AChangedRowOnAFullDiskLeavesTheCopyAsItWas) {
    FaultyFolder folder(TWriteFault::FullDisk);
    if (!folder.Usable()) GTEST_SKIP() << folder.Why();
    TFixedSystemPlatform platform;
    platform.Program = folder / "Vaskel";
    platform.Documents = folder.Path().string() + "/";
    TEnvironment env(nullptr, platform);
    fs::create_directories(env.DataDirectory());
    const TIBISTelegramParser parser{test::kShippedCatalogue};
    std::vector<std::string> said;
    TRecorder::THooks hooks;
    hooks.NowMsOfDay = [] { return 1000; };
    hooks.SafetyCopyFailed = [&](const std::string& why) { said.push_back(why); };
    TRecorder recorder(parser, env, hooks);
    uint32_t ticks = 0;
    auto record = [&](const std::string& text, char source) {
        TTelegramm t;
        t.Text = TelegramBytes(text);
        t.StartTicks = ticks += 100;
        t.EndTicks = ticks += 300;
        recorder.CopyTelegramm(t, source, false);
    };
    record("a1", 'M');
    recorder.SafetyTick();
    const std::string copy = recorder.SafetyCopyFile();
    const std::string written = test::ReadFile(copy);
    ASSERT_FALSE(written.empty());
    folder.Break();
    record("l001", 'M'); // the first master: unanswered so far
    for (int k = 0; k < 20; ++k) record("l002", 'M');
    record("a10", 'S'); // its answer, late
    ASSERT_EQ(recorder.Table().Cell(pcAnswer, 0), "1");
    // more than the room the copy's first row leaves
    for (int k = 0; k < 100; ++k) record("l003", 'M');
    recorder.SafetyTick();
    recorder.SafetyTick();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(test::ReadFile(copy), written) << "the copy as it was";

    fs::remove(folder.Path() / ".filler");
    recorder.SafetyTick();
    const std::string saved = folder / "saved.PRO.CSV";
    ASSERT_TRUE(recorder.SaveActiveProtocol(saved, 1));
    EXPECT_EQ(test::ReadFile(copy), test::ReadFile(saved));
    EXPECT_EQ(said.size(), 1u);
}

} // namespace
} // namespace vaskel
