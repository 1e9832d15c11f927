#include "simulation/SlaveSimulation.h"
#include "lists/ListFiles.h"
#include "shell/SystemPlatform.h"
#include "telegram/Errors.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kHeader = std::string(kAntwortHeader) + "\r\n";

class SlaveSimulationTest : public ::testing::Test {
protected:
    SlaveSimulationTest() {
        Platform.Program = Dir / "Vaskel";
        TSlaveSimulation::THooks h;
        h.Download = [this](const TAntwortListe& l) {
            if (Pending) return false;
            Downloads.push_back(l);
            return true;
        };
        h.SwitchDevice = [this](bool on) { Switches.push_back(on); };
        S = std::make_unique<TSlaveSimulation>(Env, h);
    }
    std::string List(const std::string& name, const std::string& rows) {
        return Dir.Write(name, kHeader + rows);
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    bool Pending = false;
    std::vector<TAntwortListe> Downloads;
    std::vector<bool> Switches;
    std::unique_ptr<TSlaveSimulation> S;
};

// What an activation downloads, file by file.
TEST_F(SlaveSimulationTest, ElementsOfAFile) {
    struct Case {
        const char* what;
        std::string content;
        TAntwortListe expected;
    } cases[] = {
        {"an inactive row is left out",
         kHeader + "-1;\"a1\";\"a1x\";20\r\n0;\"a2\";\"a2x\";5\r\n",
         {{"a1", "a1x", 20}}},
        {"the comma form, never opened in the editor",
         std::string(kAntwortHeaderComma) + "\r\n'-1','a1','a1x','20',\r\n'0','a2','a2x','5',\r\n",
         {{"a1", "a1x", 20}}},
        {"a reaction time that is no number",
         kHeader + "-1;\"a1\";\"a1x\";schnell\r\n",
         {{"a1", "a1x", 9}}},
        {"a line feed inside a quoted field stays in its row",
         kHeader + "-1;\"zA\";\"zA1\nzweite\";0\r\n-1;\"a2\";\"a20\";3\r\n",
         {{"zA", "zA1\nzweite", 0}, {"a2", "a20", 3}}},
    };
    for (const Case& c : cases) {
        const std::string file = Dir.Write("c.ANT.CSV", c.content);
        Downloads.clear();
        EXPECT_EQ(S->Activate(file), TResponseActivation::Active) << c.what;
        EXPECT_EQ(S->AntwortBuffer(), c.expected) << c.what;
        ASSERT_EQ(Downloads.size(), 1u) << c.what;
        EXPECT_EQ(Downloads[0], c.expected) << c.what;
        EXPECT_EQ(S->ActualAntwortliste(), file);
    }
    EXPECT_EQ(Env.LastDirectory(TFileFolder::Antwort),
              IncludeTrailingPathDelimiter(Dir.Path().string()));
    // the own-answer lookup of the last list
    EXPECT_EQ(S->AnswerOf(1), "a20");
    EXPECT_EQ(S->AnswerOf(2), "");
    S->Deactivate();
    EXPECT_EQ(S->AnswerOf(0), "") << "gone with the list";
}

// A row that cannot reach the device whole is named; nothing of its list is
// downloaded, and the list active before is gone from the device too.
TEST_F(SlaveSimulationTest, BrokenRowsAreRefusedByRow) {
    const std::string good = List("g.ANT.CSV", "-1;\"a1\";\"a1x\";20\r\n");
    struct Case {
        const char* what;
        std::string rows;
        TResponseRowProblem problem;
        int row;
    } cases[] = {
        {"a carriage return in an answer",
         "-1;\"a1\";\"a1x\";20\r\n0;\"\";\"\";0\r\n-1;\"a2\";\"a\rb\";20\r\n",
         TResponseRowProblem::CarriageReturn, 3},
        {"an empty call", "-1;\"a1\";\"a1x\";20\r\n-1;\"\";\"a2x\";20\r\n",
         TResponseRowProblem::EmptyCall, 2},
        {"an answer too long for its 16-bit length",
         "-1;\"a1\";\"" + std::string(70000, 'x') + "\";20\r\n", TResponseRowProblem::TooLong, 1},
        {"a quote that is never closed", "-1;\"a1\";\"a1x\";20\r\n-1;\"a2;\"a2x\";20\r\n",
         TResponseRowProblem::Unterminated, 2},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(S->Activate(good), TResponseActivation::Active);
        Downloads.clear();
        Switches.clear();
        const std::string file = List("b.ANT.CSV", c.rows);
        EXPECT_EQ(S->Activate(file), TResponseActivation::Failed) << c.what;
        EXPECT_EQ(S->LastCheck().Problem, c.problem) << c.what;
        EXPECT_EQ(S->LastCheck().Row, c.row) << c.what;
        EXPECT_EQ(Downloads, std::vector<TAntwortListe>{TAntwortListe{}}) << c.what;
        EXPECT_TRUE(Switches.empty()) << c.what;
        EXPECT_FALSE(S->Active()) << c.what;
        EXPECT_NE(ResponseRowProblemText(S->LastCheck()).find("row " + std::to_string(c.row)),
                  std::string::npos);
    }
    EXPECT_EQ(S->Activate(Dir / "missing.ANT.CSV"), TResponseActivation::Missing);
}

// A download refused because an earlier one is pending follows it; the
// device never stays on the old list.
TEST_F(SlaveSimulationTest, PendingDownloadFollows) {
    const std::string a = List("a.ANT.CSV", "-1;\"a1\";\"a1x\";20\r\n");
    const std::string b = List("b.ANT.CSV", "-1;\"b1\";\"b1x\";20\r\n");
    S->Activate(a);
    Pending = true;
    EXPECT_EQ(S->Activate(b), TResponseActivation::Active);
    EXPECT_TRUE(S->DownloadWaiting());
    EXPECT_EQ(S->AntwortBuffer(), (TAntwortListe{{"b1", "b1x", 20}})) << "in memory at once";
    EXPECT_TRUE(S->RetryDownload()) << "still pending";
    Pending = false;
    EXPECT_FALSE(S->RetryDownload());
    EXPECT_EQ(Downloads.back(), (TAntwortListe{{"b1", "b1x", 20}}));
    EXPECT_FALSE(S->RetryDownload()) << "nothing more to do";
    EXPECT_EQ(Downloads.size(), 2u);

    // an unload waiting behind a pending download empties the device as well
    Pending = true;
    S->Unload();
    Pending = false;
    S->RetryDownload();
    EXPECT_EQ(Downloads.back(), TAntwortListe{});
}

// Who remembers the list for a reload after a device restart.
TEST_F(SlaveSimulationTest, ReloadAfterRestart) {
    const std::string file = List("r.ANT.CSV", "-1;\"a1\";\"a1x\";20\r\n");
    struct Case {
        const char* what;
        bool reloadSetting;
        bool byHand;
        bool reloaded;
    } cases[] = {
        {"unloaded by the program, setting on", true, false, true},
        {"unloaded by the program, setting off", false, false, false},
        {"switched off by hand, setting on", true, true, false},
    };
    for (const Case& c : cases) {
        Env.SetReloadResponseList(c.reloadSetting);
        ASSERT_EQ(S->Activate(file), TResponseActivation::Active);
        Switches.clear();
        if (c.byHand)
            S->Deactivate();
        else
            S->Unload(); // monitor closed, device offline or bus master
        EXPECT_FALSE(S->Active()) << c.what;
        EXPECT_EQ(Downloads.back(), TAntwortListe{}) << c.what;
        EXPECT_EQ(Switches, c.byHand ? std::vector<bool>{false} : std::vector<bool>{}) << c.what;
        S->Unload(); // a second unload (still offline) forgets nothing
        EXPECT_EQ(S->DeviceRestarted(),
                  c.reloaded ? TResponseActivation::Active : TResponseActivation::Missing)
            << c.what;
        EXPECT_EQ(S->Active(), c.reloaded) << c.what;
        if (c.reloaded) {
            EXPECT_EQ(S->ActualAntwortliste(), file);
        }
        S->Deactivate();
    }
    // a list deleted while unloaded is not remembered
    Env.SetReloadResponseList(true);
    const std::string gone = List("gone.ANT.CSV", "-1;\"a1\";\"a1x\";20\r\n");
    S->Activate(gone);
    std::filesystem::remove(gone);
    S->Unload();
    EXPECT_EQ(Env.LastLoadedResponseList(), "");
}

// A restart while a list is active: the device forgot it, it goes down again.
TEST_F(SlaveSimulationTest, ActiveListGoesDownAgainAfterRestart) {
    const std::string file = List("r.ANT.CSV", "-1;\"a1\";\"a1x\";20\r\n");
    S->Activate(file);
    Downloads.clear();
    Switches.clear();
    EXPECT_EQ(S->DeviceRestarted(), TResponseActivation::Active);
    EXPECT_EQ(Downloads, std::vector<TAntwortListe>{(TAntwortListe{{"a1", "a1x", 20}})});
    EXPECT_EQ(Switches, std::vector<bool>{true});
}

TEST(ReactionTimeInput, ClampedToItsRange) {
    struct Case {
        const char* typed;
        const char* kept;
        bool beep;
    } cases[] = {{"1500", "1000", true},  {"-3", "0", true},
                 {"1000", "1000", false}, {"0", "0", false},
                 {"", "", false},         {"12", "12", false},
                 {"abc", "abc", false},   {"99999999999999999999", "1000", true}};
    for (const Case& c : cases) {
        bool beep = false;
        EXPECT_EQ(ClampedReactionTime(c.typed, beep), c.kept) << c.typed;
        EXPECT_EQ(beep, c.beep) << c.typed;
    }
}

} // namespace
} // namespace vaskel
