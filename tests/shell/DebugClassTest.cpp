#include "shell/DebugClass.h"
#include "shell/Environment.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vaskel {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t p; (p = text.find("\r\n", from)) != std::string::npos; from = p + 2)
        lines.push_back(text.substr(from, p - from));
    return lines;
}

// The lines of a section: after its header up to the next "--------" or "========" line.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& header,
                                 std::size_t start = 0) {
    std::vector<std::string> out;
    std::size_t k = start;
    while (k < lines.size() && lines[k].rfind(header, 0) != 0) ++k;
    for (++k; k < lines.size(); ++k) {
        if (lines[k].rfind("--------", 0) == 0 || lines[k].rfind("========", 0) == 0) break;
        out.push_back(lines[k]);
    }
    return out;
}

class DebugClassTest : public ::testing::Test {
protected:
    DebugClassTest() {
        Platform.Program = Dir / "prog/Vaskel";
        Platform.Documents = Dir / "docs";
        std::filesystem::create_directories(Dir / "prog");
        D().Now = [this] { return Clock; };
    }
    TDebugClass& D() { return Env.Debugger(); }
    std::string LogFile() { return Env.DataDirectory() + "STATUS.LOG"; }
    std::string Log() { return test::ReadFile(LogFile()); }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TDateTime Clock{2026, 12, 10, 14, 5, 9, 42};
};

TEST_F(DebugClassTest, BlockHasItsSectionsInOrder) {
    D().OpenWindows = [] { return std::vector<std::string>{"Monitor", "Protokoll a.PRO.CSV"}; };
    int beeps = 0;
    D().Beep = [&] { ++beeps; };
    D().ComputerFacts = [] {
        TComputerFacts f;
        f.OperatingSystem = "Debian GNU/Linux 12";
        f.CpuMHz = "2400";
        f.PhysicalTotal = "17179869184";
        f.ScreenWidth = "1280";
        f.ScreenHeight = "800";
        return f;
    };
    D().AddAction("Aufzeichnen", "");
    D().AddAction("Senden", "l012");
    EXPECT_EQ(D().WriteErrorReport("Testmeldung"), Dir / "docs/Vaskel/STATUS.LOG")
        << "in the data folder";
    EXPECT_FALSE(std::filesystem::exists(Dir / "prog/STATUS.LOG")) << "not beside the program";
    EXPECT_EQ(beeps, 1);
    const std::vector<std::string> lines = Lines(Log());
    std::vector<std::string> headers;
    for (const std::string& l : lines)
        if (l.rfind("--------", 0) == 0 || l.rfind("========", 0) == 0) headers.push_back(l);
    EXPECT_EQ(headers, (std::vector<std::string>{
                           "======== BEGINN FEHLEREINTRAG ======================",
                           "-------- PC-Umgebung -------------------------------",
                           "-------- Beginn: Environment ------------------------",
                           "-------- Offene Fenster -------------------------------",
                           "-------- Aktionshistorie -------------------------------",
                           "-------- Fehlermeldung -------------------------------",
                           "======== ENDE FEHLEREINTRAG =========================="}));
    EXPECT_EQ(Section(lines, "-------- PC-Umgebung"),
              (std::vector<std::string>{"Programmverzeichnis: " + Dir / "prog/",
                                        "Betriebssystem: Debian GNU/Linux 12",
                                        "Nominalfrequenz: 2400 MHz",
                                        "Gesamter physikalischer Speicher: 17179869184 Byte",
                                        "Bildschirmgr\xF6\xDF" "e: 1280x800"}))
        << "what the platform cannot tell is left out";
    EXPECT_EQ(Section(lines, "-------- Offene Fenster"),
              (std::vector<std::string>{"Monitor", "Protokoll a.PRO.CSV"}));
    EXPECT_EQ(Section(lines, "-------- Aktionshistorie"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] \"Aufzeichnen\" : ",
                                        "[10.12.2026 14:05:09,042] \"Senden\" : l012"}));
    EXPECT_EQ(Section(lines, "-------- Fehlermeldung"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] Testmeldung"}));
}

// The program speaks English: the report's headers, labels and units too.
TEST_F(DebugClassTest, AnEnglishProgramWritesAnEnglishReport) {
    Env.SetLanguage(2);
    D().ComputerFacts = [] {
        TComputerFacts f;
        f.Cpu = "Testprozessor";
        f.CpuCount = "2";
        f.PhysicalFree = "1024";
        f.ColorDepth = "24";
        f.DesktopWidth = "1024";
        f.DesktopHeight = "740";
        return f;
    };
    for (int k = 0; k < 3; ++k) D().AddAction("Tick", "");
    ASSERT_FALSE(D().WriteErrorReport("message").empty());
    const std::vector<std::string> lines = Lines(Log());
    std::vector<std::string> headers;
    for (const std::string& l : lines)
        if (l.rfind("--------", 0) == 0 || l.rfind("========", 0) == 0) headers.push_back(l);
    EXPECT_EQ(headers, (std::vector<std::string>{
                           "======== BEGIN OF ERROR REPORT ====================",
                           "-------- Computer ----------------------------------",
                           "-------- Begin: Environment -------------------------",
                           "-------- Open windows ---------------------------------",
                           "-------- Action history --------------------------------",
                           "-------- Error message -------------------------------",
                           "======== END OF ERROR REPORT ========================"}));
    EXPECT_EQ(Section(lines, "-------- Computer"),
              (std::vector<std::string>{"Program folder: " + Dir / "prog/", "CPU: Testprozessor",
                                        "Number of CPUs: 2", "Free physical memory: 1024 bytes",
                                        "Colour depth: 24 bits",
                                        "Desktop size (client area): 1024x740"}));
    EXPECT_EQ(Section(lines, "-------- Action history"),
              (std::vector<std::string>{
                  "[10.12.2026 14:05:09,042] \"Tick\" : (\xD7" "3, until 10.12.2026 14:05:09,042)"}));
}

TEST_F(DebugClassTest, ReportAfterReportShowsTheMarkerAndAppends) {
    D().AddAction("eins", "");
    ASSERT_FALSE(D().WriteErrorReport("erste").empty());
    ASSERT_EQ(D().Actions().size(), 1u);
    Clock = {2026, 12, 11, 0, 0, 0, 0};
    ASSERT_FALSE(D().WriteErrorReport("zweite").empty());
    const std::vector<std::string> lines = Lines(Log());
    std::size_t second = 1;
    while (lines[second].rfind("======== BEGINN", 0) != 0) ++second;
    EXPECT_EQ(Section(lines, "-------- Fehlermeldung"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] erste"}));
    const std::string marker = std::string("\"") + TDebugClass::kMarker + "\" : ";
    EXPECT_EQ(Section(lines, "-------- Aktionshistorie", second),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] " + marker}));
    // exactly midnight: the date alone
    EXPECT_EQ(Section(lines, "-------- Fehlermeldung", second),
              (std::vector<std::string>{"[11.12.2026] zweite"}));
}

// Once a second the state machine adds its timer entry, the link state and,
// with a device, the device's answer: a poll that repeats is one line with
// its count, from its first to its last time. What differs breaks the run.
TEST_F(DebugClassTest, RepeatedEntriesAndPollsAreFoldedWithTheirCount) {
    auto at = [this](int second) { Clock = {2026, 12, 10, 14, 5, second, 0}; };
    const std::string timer = "StateChange: eTimer - Value: 0 - vState: 2 - CTSWegCount: 0";
    const std::string answer = "StateChange: eStatus - Value: 4 - vState: 2";
    at(0);
    D().AddAction("StateChange: eStart - Value: 0 - vState: 0", "");
    for (int s = 1; s <= 50; ++s) {
        at(s);
        D().AddAction(timer, "");
        D().AddAction("WBCTS Zustand: aktiv", "");
        D().AddAction(answer, "");
    }
    at(51);
    D().AddAction("Senden", "l012");
    D().AddAction("Senden", "l012");
    D().AddAction("Senden", "l013");
    for (int s = 52; s <= 54; ++s) {
        at(s);
        D().AddAction(timer, "");
        D().AddAction("WBCTS Zustand: inaktiv", "");
    }
    at(55);
    D().AddAction(timer, "");
    EXPECT_EQ(D().Actions().size(), 9u) << "each block once, not 159 entries";
    ASSERT_FALSE(D().WriteErrorReport("x").empty());
    EXPECT_EQ(
        Section(Lines(Log()), "-------- Aktionshistorie"),
        (std::vector<std::string>{
            "[10.12.2026 14:05:00,000] \"StateChange: eStart - Value: 0 - vState: 0\" : ",
            "[10.12.2026 14:05:01,000] Statusabfrage (\xD7" "50, bis 10.12.2026 14:05:50,000): \"" +
                timer + "\" | \"WBCTS Zustand: aktiv\" | \"" + answer + "\"",
            "[10.12.2026 14:05:51,000] \"Senden\" : l012 (\xD7" "2, bis 10.12.2026 14:05:51,000)",
            "[10.12.2026 14:05:51,000] \"Senden\" : l013",
            "[10.12.2026 14:05:52,000] Statusabfrage (\xD7" "3, bis 10.12.2026 14:05:54,000): \"" +
                timer + "\" | \"WBCTS Zustand: inaktiv\"",
            "[10.12.2026 14:05:55,000] \"" + timer + "\" : "}));
}

// Entries that repeat in a block that is no poll: named a repetition.
TEST_F(DebugClassTest, ARepeatedBlockWithoutPollIsARepetition) {
    for (int k = 0; k < 4; ++k) {
        D().AddAction("A", "");
        D().AddAction("B", "b");
    }
    ASSERT_FALSE(D().WriteErrorReport("x").empty());
    EXPECT_EQ(Section(Lines(Log()), "-------- Aktionshistorie"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] Wiederholung (\xD7"
                                        "4, bis 10.12.2026 14:05:09,042): \"A\" | \"B\" : b"}));
}

TEST_F(DebugClassTest, HistoryKeepsTheNewest501) {
    for (int k = 1; k <= 600; ++k) D().AddAction("A" + std::to_string(k), "");
    EXPECT_EQ(D().Actions().size(), 501u);
    EXPECT_EQ(D().Actions().front().Action, "A100");
    EXPECT_EQ(D().Actions().back().Action, "A600");
    ASSERT_FALSE(D().WriteErrorReport("x").empty());
    const std::vector<std::string> history = Section(Lines(Log()), "-------- Aktionshistorie");
    ASSERT_EQ(history.size(), 501u);
    EXPECT_EQ(history.front(), "[10.12.2026 14:05:09,042] \"A100\" : ");
}

TEST_F(DebugClassTest, FatalErrorIsReportedBeforeTheDialog) {
    bool reportedFirst = false;
    Env.OnFatalError = [&](const std::string& text) {
        EXPECT_EQ(text, "Datenbankfehler");
        reportedFirst = Log().find("] Datenbankfehler\r\n") != std::string::npos;
    };
    Env.SetLastDBError("Datenbankfehler");
    EXPECT_TRUE(reportedFirst);
    EXPECT_EQ(Env.LastErrorReport(), LogFile());
    // an empty text reports nothing
    const std::string before = Log();
    Env.SetLastDBError("");
    EXPECT_EQ(Log(), before);
}

TEST_F(DebugClassTest, AReportThatCannotBeWrittenNeverHidesTheError) {
    // the data folder is made when it is missing
    Platform.Documents = Dir / "data";
    const std::string data = Env.DataDirectory();
    ASSERT_EQ(data.rfind(Dir / "data/", 0), 0u) << data;
    bool shown = false;
    Env.OnFatalError = [&](const std::string&) { shown = true; };
    Env.SetLastDBError("Fehler");
    EXPECT_TRUE(shown);
    EXPECT_EQ(Env.LastErrorReport(), data + "STATUS.LOG");
    EXPECT_NE(test::ReadFile(data + "STATUS.LOG").find("] Fehler\r\n"), std::string::npos);
    // nowhere to write (a file where the folder should be): still shown, and
    // said that nothing was written
    std::filesystem::remove_all(Dir / "data");
    std::ofstream(Dir / "data", std::ios::binary) << "x";
    shown = false;
    Env.SetLastDBError("Noch ein Fehler");
    EXPECT_TRUE(shown) << "a failure to write never hides the error";
    EXPECT_TRUE(Env.LastErrorReport().empty());
}

} // namespace
} // namespace vaskel
