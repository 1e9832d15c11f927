#include "simulation/Scheduler.h"
#include "link/DeviceProtocol.h"
#include "lists/ListEditor.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest() {
        Platform.Program = Dir / "Vaskel";
        TMasterScheduler::THooks h;
        h.DeviceIsMaster = [this] { return Master; };
        h.LinkRunning = [this] { return Link; };
        h.SendRequest = [this](const std::string& t) { Sent.push_back(t); };
        h.MarkLastRowUnanswered = [this] { ++Unanswered; };
        S = std::make_unique<TMasterScheduler>(Parser, Env, Time, Time, h);
        S->Initialise();
    }
    std::string List(const std::string& rows) {
        return Dir.Write("l.AUF.CSV",
                         "\"Ok\";\"Aufruf\";\"Beschreibung\";\"Intervall\"\r\n" + rows);
    }
    // The device's echo of what was sent, as the monitor reports it.
    void Echo() { S->Hook('M', true); }
    void Answer() {
        S->StopSlaveTimeout();
        S->Hook('S', false);
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    TManualTime Time{{2007, 3, 14, 9, 5, 59, 0}};
    bool Master = true, Link = true;
    std::vector<std::string> Sent;
    int Unanswered = 0;
    std::unique_ptr<TMasterScheduler> S;
};

TEST_F(SchedulerTest, OneShotAndIntervalEntries) {
    S->ActivateCallList(List("-1;\"l001\";\"\";\"0:00\"\r\n-1;\"k07\";\"\";\"0:10\"\r\n"
                             "0;\"z034\";\"\";\"0:01\"\r\n"));
    EXPECT_TRUE(S->IntervallTimer().Running());
    EXPECT_EQ(S->Entries().size(), 2u) << "the inactive row is skipped";
    EXPECT_EQ(Sent, std::vector<std::string>{"l001"});
    EXPECT_TRUE(S->BusySending());
    Echo();
    EXPECT_EQ(Sent.back(), "k07");
    Echo(); // end of the list: the one-shot entry goes, nothing is sent
    EXPECT_EQ(Sent.size(), 2u);
    EXPECT_EQ(S->Entries().size(), 1u);
    Time.Advance(9000);
    EXPECT_EQ(Sent.size(), 2u);
    Time.Advance(3000); // due after ten seconds, sent at the next step that finds it
    EXPECT_EQ(Sent.back(), "k07");
    EXPECT_EQ(Sent.size(), 3u);
}

TEST_F(SchedulerTest, TimeAndDateAreReformatted) {
    S->ActivateCallList(
        List("-1;\"u1234\";\"\";\"0:00\"\r\n-1;\"dU01012000000000\";\"\";\"0:00\"\r\n"
             "-1;\"d01010\";\"\";\"0:00\"\r\n"));
    Echo();
    Echo();
    EXPECT_EQ(Sent, (std::vector<std::string>{"u0905", "dU14032007090559", "d14037"}));
    Env.SetReformatUandD(false);
    Sent.clear();
    S->DeactivateCallList();
    S->ActivateCallList(List("-1;\"u1234\";\"\";\"0:00\"\r\n"));
    EXPECT_EQ(Sent, std::vector<std::string>{"u1234"});
    Echo();
    Env.SetReformatUandD(true);
    S->RequestSingleCall("d12345"); // record type 006: the current date
    EXPECT_EQ(Sent.back(), "d14037");
}

TEST_F(SchedulerTest, SingleCallBeforeTheListAndWaitingForItsEcho) {
    Env.SetMasterTimeout(5000);
    S->ActivateCallList(List("-1;\"l001\";\"\";\"0:01\"\r\n-1;\"k07\";\"\";\"0:01\"\r\n"));
    EXPECT_EQ(Sent.back(), "l001");
    ASSERT_TRUE(S->PlaceDirectCall("z034"));
    EXPECT_EQ(Sent.size(), 1u) << "busy: waits for the echo";
    EXPECT_FALSE(S->PlaceDirectCall("z035")) << "one single call at a time";
    Echo();
    EXPECT_EQ(Sent.back(), "z034") << "the single call goes before the list";
    EXPECT_EQ(S->SingleCall().State, 2);
    EXPECT_TRUE(S->MasterTimeout().Running());
    Time.Advance(2000); // interval ticks while the single call waits for its echo
    EXPECT_EQ(Sent.size(), 2u);
    Echo();
    EXPECT_EQ(S->SingleCall().State, 0);
    EXPECT_EQ(Sent.back(), "k07");
}

TEST_F(SchedulerTest, TypedCrAndCheckByteAreNotSentTwice) {
    S->RequestSingleCall("l001<CR>/");
    EXPECT_EQ(Sent.back(), "l001");
    Echo();
    S->RequestSingleCall("l001");
    EXPECT_EQ(Sent.back(), "l001");
    EXPECT_EQ(S->Current().Telegram, TelegramBytes("l001"));
}

TEST_F(SchedulerTest, AnswerOrSlaveTimeoutPacesTheNext) {
    Env.SetSlaveTimeOut(300);
    S->ActivateCallList(List("-1;\"a1\";\"\";\"0:00\"\r\n-1;\"l001\";\"\";\"0:00\"\r\n"
                             "-1;\"a2\";\"\";\"0:00\"\r\n"));
    EXPECT_EQ(Sent.back(), "a1");
    EXPECT_TRUE(S->SlaveTimeout().Running());
    Echo();
    EXPECT_EQ(Sent.size(), 1u) << "an answer is awaited";
    Answer();
    EXPECT_EQ(Sent.back(), "l001");
    Echo();
    EXPECT_EQ(Sent.back(), "a2");
    Echo();
    Time.Advance(299);
    EXPECT_EQ(Unanswered, 0);
    Time.Advance(1);
    EXPECT_EQ(Unanswered, 1) << "the last row is marked unanswered";
    EXPECT_FALSE(S->SlaveTimeout().Running());
}

TEST_F(SchedulerTest, MasterTimeoutReleasesASingleCall) {
    Env.SetMasterTimeout(500);
    S->RequestSingleCall("l001");
    EXPECT_TRUE(S->BusySending());
    Time.Advance(500);
    EXPECT_FALSE(S->BusySending());
    EXPECT_EQ(S->SingleCall().State, 0);
}

TEST_F(SchedulerTest, AddressTranslationOnlyForProtocolCalls) {
    Env.SetAddressTranslation(1, 3);
    Env.SetIBISAddressTranslationMode(1);
    const std::string text = "aA11Marktplatz      ";
    S->RequestSingleCall(text + "\r" + CalcCheckByte(text));
    EXPECT_EQ(Sent.back(), "aA31Marktplatz      ");
    Echo();
    ASSERT_TRUE(S->PlaceDirectCall(text));
    EXPECT_EQ(Sent.back(), text) << "the direct input is never translated";
}

TEST_F(SchedulerTest, NothingWithoutRunningLinkOrAsSlave) {
    Link = false;
    S->RequestSingleCall("l001");
    EXPECT_TRUE(Sent.empty());
    EXPECT_FALSE(S->PlaceDirectCall("l001"));
    Master = false;
    S->Initialise();
    EXPECT_FALSE(S->HookRegistered());
    Master = true;
    S->Initialise();
    EXPECT_TRUE(S->HookRegistered());
}

TEST_F(SchedulerTest, BrokenOkFieldAbortsActivation) {
    try {
        S->ActivateCallList(List("-1;\"l001\";\"\";\"0:10\"\r\nmaybe;\"k07\";\"\";\"0:10\"\r\n"));
        ADD_FAILURE() << "activated";
    } catch (const ECallListError& e) {
        EXPECT_EQ(e.Problem.Kind, TCallListProblem::TKind::NoBoolean);
        EXPECT_EQ(e.Problem.Line, 3) << "the row's line in the file";
    }
    EXPECT_FALSE(S->IntervallTimer().Running());
    EXPECT_EQ(S->Entries().size(), 1u);
    EXPECT_TRUE(Sent.empty());
}

TEST(CallListIntervals, MinutesAndSeconds) {
    const std::pair<std::string, int> cases[] = {
        {"0:10", 10}, {"12:05", 725}, {"2", 120}, {"x:7", 7}, {"1:y", 60}, {"", 0}, {"abc", 0}};
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(IntervalSeconds(text), seconds) << text;
}

TEST(CallListIntervals, TypedIntoTheEditorAndReadFromTheFile) {
    // what is typed into an interval cell, what the cell keeps, and the
    // seconds the simulation reads from the saved file
    struct TCase {
        const char* Typed;
        const char* Stored;
        int Seconds;
    };
    const TCase cases[] = {{"0:10", "0:10", 10}, {"12:05", "12:05", 725}, {"2", "0:02", 2},
                           {"90", "1:30", 90},   {"0:00", "0:00", 0},     {"", "0", 0}};
    for (const TCase& c : cases) {
        const std::string stored =
            TListEditorRows::OnEditorLeave(c.Typed, TZK_InputStyle::csMinSec);
        EXPECT_EQ(stored, c.Stored) << c.Typed;
        EXPECT_EQ(IntervalSeconds(stored), c.Seconds) << c.Typed;
    }
    EXPECT_EQ(IntervalSeconds("2"), 120) << "a bare number in a hand-edited file is minutes";
}

TEST_F(SchedulerTest, ActivationReplacesDeactivatesAndRefusesBrokenLists) {
    const std::string a =
        Dir.Write("a.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"\";\"0:05\"\r\n");
    const std::string b =
        Dir.Write("b.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"k07\";\"\";\"0:02\"\r\n");
    const std::string idle =
        Dir.Write("idle.AUF.CSV", std::string(kAufrufHeader) + "\r\n0;\"k07\";\"\";\"0:02\"\r\n");
    const std::string broken =
        Dir.Write("broken.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"\";\"0:05\"\r\n"
                                                                 "ja;\"k07\";\"\";\"0:02\"\r\n");

    EXPECT_EQ(S->TryActivateCallList(a), TCallListActivation::Active);
    EXPECT_EQ(S->ActiveFile(), a);
    EXPECT_EQ(Sent, std::vector<std::string>{"l001"}) << "due at once";
    Echo();

    EXPECT_EQ(S->TryActivateCallList(Dir / "gone.AUF.CSV"), TCallListActivation::Missing);
    EXPECT_EQ(S->ActiveFile(), a) << "a file that is not there changes nothing";

    EXPECT_EQ(S->TryActivateCallList(b), TCallListActivation::Active);
    EXPECT_EQ(S->ActiveFile(), b) << "another list replaces the active one";
    ASSERT_EQ(S->Entries().size(), 1u);
    EXPECT_EQ(S->Entries()[0].Aufruf, "k07");
    EXPECT_EQ(Sent.back(), "k07");
    Echo();

    EXPECT_EQ(S->TryActivateCallList(broken), TCallListActivation::Broken);
    EXPECT_EQ(S->ActiveFile(), "") << "after a broken list none is active";
    EXPECT_TRUE(S->Entries().empty());
    EXPECT_FALSE(S->IntervallTimer().Running());

    EXPECT_EQ(S->TryActivateCallList(idle), TCallListActivation::Empty);
    EXPECT_EQ(S->ActiveFile(), idle) << "a list of inactive rows is active, and sends nothing";
    EXPECT_TRUE(S->IntervallTimer().Running());
    const std::size_t before = Sent.size();
    Time.Advance(10000);
    EXPECT_EQ(Sent.size(), before);

    S->DeactivateCallList();
    EXPECT_EQ(S->ActiveFile(), "");
    EXPECT_FALSE(S->IntervallTimer().Running());
}

TEST_F(SchedulerTest, SavingTheActiveListAgainReloadsIt) {
    const std::string file = List("-1;\"l001\";\"\";\"0:05\"\r\n");
    ASSERT_EQ(S->TryActivateCallList(file), TCallListActivation::Active);
    Echo();
    Dir.Write("l.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"k07\";\"\";\"0:05\"\r\n");
    ASSERT_EQ(S->TryActivateCallList(file), TCallListActivation::Active);
    EXPECT_EQ(Sent.back(), "k07") << "the saved rows run at once";
}

TEST_F(SchedulerTest, TranslatedAddressDigitAndListTelegramsLeftAlone) {
    Env.SetAddressTranslation(10, 3);
    Env.SetIBISAddressTranslationMode(1);
    const std::string text = "aA:1Marktplatz      ";
    S->RequestSingleCall(text);
    EXPECT_EQ(Sent.back(), "aA31Marktplatz      ") << "10 (':') becomes 3";
    Echo();
    S->ActivateCallList(List("-1;\"aA:1Marktplatz      \";\"\";\"0:05\"\r\n"));
    EXPECT_EQ(Sent.back(), text) << "call-list telegrams go out as written";
    Echo();
    Env.SetIBISAddressTranslationMode(0);
    S->RequestSingleCall(text);
    EXPECT_EQ(Sent.back(), text) << "switched off";
}

} // namespace
} // namespace vaskel
