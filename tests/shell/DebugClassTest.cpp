#include "shell/DebugClass.h"
#include "shell/Environment.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
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
        std::filesystem::create_directories(Dir / "prog");
        D().Now = [this] { return Clock; };
    }
    TDebugClass& D() { return Env.Debugger(); }
    std::string Log() { return test::ReadFile(Dir / "prog/STATUS.LOG"); }

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
    EXPECT_EQ(D().WriteErrorReport("Testmeldung"), Dir / "prog/STATUS.LOG");
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
                           "-------- SQL-Historie -------------------------------",
                           "-------- Fehlermeldung -------------------------------",
                           "======== ENDE FEHLEREINTRAG =========================="}));
    const std::vector<std::string> pc = Section(lines, "-------- PC-Umgebung");
    ASSERT_EQ(pc.size(), 26u);
    EXPECT_EQ(pc[0], "Morlin Verzeichnis: " + Dir / "prog/");
    EXPECT_EQ(pc[1], "Betriebssystem: Debian GNU/Linux 12");
    EXPECT_EQ(pc[2], "Servicepack: ") << "not known: empty";
    EXPECT_EQ(pc[4], "Nominalfrequenz: 2400 MHz");
    EXPECT_EQ(pc[14], "Gesamter physikalischer Speicher: 17179869184 Byte");
    EXPECT_EQ(pc[19], "Bildschirmgr\xF6\xDF" "e: 1280x800");
    EXPECT_EQ(pc[21], "Desktopgr\xF6\xDF" "e (Clientbereich): ");
    EXPECT_EQ(pc[25], "Internet Explorer-Version: ");
    EXPECT_EQ(Section(lines, "-------- Offene Fenster"),
              (std::vector<std::string>{"Monitor", "Protokoll a.PRO.CSV"}));
    EXPECT_EQ(Section(lines, "-------- Aktionshistorie"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] \"Aufzeichnen\" : ",
                                        "[10.12.2026 14:05:09,042] \"Senden\" : l012"}));
    EXPECT_TRUE(Section(lines, "-------- SQL-Historie").empty());
    EXPECT_EQ(Section(lines, "-------- Fehlermeldung"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] Testmeldung"}));
}

TEST_F(DebugClassTest, ReportAfterReportShowsTheTwoMarkersAndAppends) {
    D().AddAction("eins", "");
    ASSERT_FALSE(D().WriteErrorReport("erste").empty());
    ASSERT_EQ(D().Actions().size(), 2u);
    Clock = {2026, 12, 11, 0, 0, 0, 0};
    ASSERT_FALSE(D().WriteErrorReport("zweite").empty());
    const std::vector<std::string> lines = Lines(Log());
    std::size_t second = 1;
    while (lines[second].rfind("======== BEGINN", 0) != 0) ++second;
    EXPECT_EQ(Section(lines, "-------- Fehlermeldung"),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] erste"}));
    const std::string marker = std::string("\"") + TDebugClass::kMarker + "\" : ";
    EXPECT_EQ(Section(lines, "-------- Aktionshistorie", second),
              (std::vector<std::string>{"[10.12.2026 14:05:09,042] " + marker,
                                        "[10.12.2026 14:05:09,042] " + marker}));
    // exactly midnight: the date alone
    EXPECT_EQ(Section(lines, "-------- Fehlermeldung", second),
              (std::vector<std::string>{"[11.12.2026] zweite"}));
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
    EXPECT_EQ(Env.LastErrorReport(), Dir / "prog/STATUS.LOG");
    // an empty text reports nothing
    const std::string before = Log();
    Env.SetLastDBError("");
    EXPECT_EQ(Log(), before);
}

TEST_F(DebugClassTest, UnwritableProgramFolderReportsIntoTheDataFolder) {
    // a program folder that cannot take the file (it does not exist)
    Platform.Program = Dir / "nowhere/Vaskel";
    Platform.Documents = Dir / "data";
    Platform.UserData = Dir / "data";
    const std::string data = Env.DataDirectory();
    ASSERT_EQ(data.rfind(Dir / "data/", 0), 0u) << data;
    std::filesystem::create_directories(data);
    bool shown = false;
    Env.OnFatalError = [&](const std::string&) { shown = true; };
    Env.SetLastDBError("Fehler");
    EXPECT_TRUE(shown);
    EXPECT_EQ(Env.LastErrorReport(), data + "STATUS.LOG");
    EXPECT_NE(test::ReadFile(data + "STATUS.LOG").find("] Fehler\r\n"), std::string::npos);
    // nowhere to write: still shown, and said that nothing was written
    std::filesystem::remove_all(Dir / "data");
    shown = false;
    Env.SetLastDBError("Noch ein Fehler");
    EXPECT_TRUE(shown) << "a failure to write never hides the error";
    EXPECT_TRUE(Env.LastErrorReport().empty());
}

} // namespace
} // namespace vaskel
