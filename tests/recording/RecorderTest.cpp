#include "recording/Recorder.h"
#include "emulator/VirtualTavrin.h"
#include "recording/OpenedProtocol.h"
#include "recording/TableFile.h"
#include "telegram/DateTime.h"
#include "telegram/TextConventions.h"

#include "../link/RecordingSink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

TTelegramm Capture(const std::string& text, uint32_t start, uint32_t end, uint8_t flags = 0,
                   bool own = false) {
    TTelegramm t;
    t.Text = TelegramBytes(text);
    t.StartTicks = start;
    t.EndTicks = end;
    t.ErrorFlags = flags;
    t.SentByDevice = own;
    return t;
}

// Writes a file and dates its last write at a local time.
void WriteFileAt(const std::string& file, const std::string& bytes, const TDateTime& at) {
    std::ofstream(file, std::ios::binary) << bytes;
    std::tm tm{};
    tm.tm_year = at.Year - 1900;
    tm.tm_mon = at.Month - 1;
    tm.tm_mday = at.Day;
    tm.tm_hour = at.Hour;
    tm.tm_min = at.Minute;
    tm.tm_sec = at.Second;
    tm.tm_isdst = -1;
    const auto sys = std::chrono::system_clock::from_time_t(std::mktime(&tm));
    std::filesystem::last_write_time(file, std::chrono::file_clock::from_sys(sys));
}

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() {
        std::filesystem::create_directories(Dir.Path() / "docs");
        Platform.Program = Dir / "Vaskel";
        Platform.Documents = Dir / "docs";
        std::filesystem::create_directories(Env.DataDirectory());
        TRecorder::THooks hooks;
        hooks.NowMsOfDay = [this] { return Now; };
        hooks.StopSlaveTimeout = [this] { ++SlaveStops; };
        hooks.StopMasterTimeout = [this] { ++MasterStops; };
        hooks.Trace = [this](const std::string& s) { Traces.push_back(s); };
        R = std::make_unique<TRecorder>(Parser, Env, hooks);
    }
    std::string Cell(int col, int row) const { return std::string(R->Table().Cell(col, row)); }
    // Rows in a table file (-1: no file).
    static int CopyRows(const std::string& file) {
        if (!std::filesystem::exists(file)) return -1;
        TTable t = MakeProtocolTable();
        return LoadFromCSV(t, file, '"', nullptr, std::nullopt, ';').Rows;
    }
    void M(const std::string& text, uint32_t start, uint32_t end, uint8_t flags = 0) {
        R->CopyTelegramm(Capture(text, start, end, flags), 'M', false);
    }
    void S(const std::string& text, uint32_t start, uint32_t end, uint8_t flags = 0,
           bool own = false) {
        R->CopyTelegramm(Capture(text, start, end, flags, own), 'S', false);
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    std::unique_ptr<TRecorder> R;
    int64_t Now = 8 * 3600000;
    int SlaveStops = 0, MasterStops = 0;
    std::vector<std::string> Traces;
};

TEST_F(RecorderTest, FirstRowAndAnswerRightAfterItsMaster) {
    M("a1", 7200, 7464); // 1 s of device time; 4 characters
    EXPECT_EQ(Cell(pcKind, 0), "M");
    EXPECT_EQ(Cell(pcNr, 0), "1");
    EXPECT_EQ(Cell(pcStart, 0), std::to_string(Now)) << "the PC time at the first telegram";
    EXPECT_EQ(Cell(pcRecordNo, 0), "020");
    EXPECT_EQ(Cell(pcAnswer, 0), "");
    EXPECT_EQ(Cell(pcTelegram, 0), TelegramBytes("a1"));
    EXPECT_EQ(Cell(pcHex, 0), StrToHexDump(TelegramBytes("a1"), true));
    S("a10", 7464 + 144, 7464 + 144 + 330); // answer 20 ms after the end
    EXPECT_EQ(Cell(pcAnswer, 0), "0");
    EXPECT_EQ(Cell(pcAnswer, 1), "4");
    EXPECT_EQ(Cell(pcReaction, 1), "20");
    EXPECT_EQ(Cell(pcStart, 1), std::to_string(Now + (7608 - 7200) * 10 / 72));
    EXPECT_EQ(Cell(pcErrors, 1), "");
    EXPECT_EQ(R->Table().Object(1)->PartnerRow, 1);
    EXPECT_EQ(R->Table().Object(0)->PartnerRow, 2);
    EXPECT_EQ(R->Table().Object(0)->Address, 1);
    EXPECT_EQ(SlaveStops, 1);
    EXPECT_EQ(MasterStops, 1);
    EXPECT_TRUE(R->Table().Modified);
}

TEST_F(RecorderTest, SlaveTimeoutMarksOnlyAMasterAwaitingAnAnswer) {
    EXPECT_EQ(R->MarkLastRowUnanswered(), -1) << "no rows";
    M("l001", 7200, 7500); // expects no answer
    EXPECT_EQ(R->MarkLastRowUnanswered(), -1);
    EXPECT_EQ(Cell(pcAnswer, 0), "");
    M("a1", 8000, 8264); // a status request
    EXPECT_EQ(R->MarkLastRowUnanswered(), 1);
    EXPECT_EQ(Cell(pcAnswer, 1), "-1");
}

// The request of an answer that opens the recording was sent before it
// began: no reaction time is known, none is shown (with or without the
// automatic warnings); the next answer is measured again.
TEST_F(RecorderTest, SlaveAsFirstRow) {
    for (const bool warnings : {true, false}) {
        R->AutoWarnings = warnings;
        R->Clear();
        S("a10", 100, 430);
        EXPECT_EQ(Cell(pcReaction, 0), "") << warnings;
        EXPECT_EQ(Cell(pcAnswer, 0), "") << warnings;
        M("a2", 1000, 1300);
        S("a20", 1372, 1700);
        EXPECT_EQ(Cell(pcReaction, 2), "10") << warnings;
    }
}

TEST_F(RecorderTest, LateAnswerAndUnpairedAnswer) {
    M("a1", 0, 264);
    M("l001", 400, 796); // a1 is now waiting: "-1"
    EXPECT_EQ(Cell(pcAnswer, 0), "-1");
    EXPECT_EQ(Cell(pcAnswer, 1), "") << "no answer expected";
    S("a10", 1000, 1330);
    EXPECT_EQ(Cell(pcAnswer, 0), "1");
    EXPECT_EQ(Cell(pcAnswer, 2), "3");
    EXPECT_EQ(Cell(pcReaction, 2), std::to_string((1000 - 264) * 10 / 72));
    EXPECT_EQ(R->Table().Object(0)->PartnerRow, 3);
    EXPECT_EQ(R->Table().Object(2)->PartnerRow, 1);
    S("a20", 2000, 2330); // nobody asked
    EXPECT_EQ(Cell(pcAnswer, 3), "2");
    EXPECT_EQ(Cell(pcReaction, 3), kReactionInvalid);
    R->AutoWarnings = false;
    S("a30", 3000, 3330);
    EXPECT_EQ(Cell(pcReaction, 4), "-1");
}

TEST_F(RecorderTest, SearchReachesFiftyRowsBack) {
    M("a1", 0, 264);
    for (int k = 0; k < 49; ++k)
        M("l001", 1000 + k * 500, 1400 + k * 500);
    S("a10", 40000, 40330); // the master is the 50th newest row: still found
    EXPECT_EQ(Cell(pcAnswer, 50), "3");
    M("a2", 50000, 50264);
    for (int k = 0; k < 50; ++k)
        M("l001", 51000 + k * 500, 51400 + k * 500);
    S("a20", 90000, 90330); // the master is the 51st newest row: out of reach
    EXPECT_EQ(Cell(pcAnswer, R->RowCounter() - 1), "2");
    EXPECT_EQ(Cell(pcAnswer, 51), "-1") << "the master still waits";
}

TEST_F(RecorderTest, ReactionLimits) {
    M("a1", 0, 720);
    S("a10", 720 + 432000, 720 + 432330); // exactly 60000 ms
    EXPECT_EQ(Cell(pcReaction, 1), "60000");
    M("a1", 500000, 500720);
    S("a10", 500720 + 432008, 500720 + 432338); // 60001 ms
    EXPECT_EQ(Cell(pcReaction, 3), kReactionInvalid);
}

TEST_F(RecorderTest, ErrorLettersAndRecordCell) {
    struct Case {
        std::string text;
        char source;
        uint8_t flags;
        std::string errors, record;
    };
    const Case cases[] = {
        {"l001", 'M', 0, "", "001"},
        {"l001", 'M', kErrFraming | kErrChecksum, "FS", "001"},
        {"l0012", 'M', kErrParity, "PX", "[001]"},
        {"a10", 'M', 0, "T", "[120]"},        // an answer seen as master telegram
        {"Q1", 'M', kErrAborted, "AX", "[]"}, // nothing found: X, not XT
        {"a1x", 'S', 0, "X", "[120]"},
        {"aA1", 'S', 0, "XT", "[021]"}, // best partial match is a master type
    };
    int row = 0;
    for (const auto& c : cases) {
        R->CopyTelegramm(Capture(c.text, row * 1000, row * 1000 + 500, c.flags), c.source, false);
        EXPECT_EQ(Cell(pcErrors, row), c.errors) << c.text;
        EXPECT_EQ(Cell(pcRecordNo, row), c.record) << c.text;
        ++row;
    }
}

TEST_F(RecorderTest, KindsAndOwnTransmission) {
    S("a10", 0, 330, 0, true);
    EXPECT_EQ(Cell(pcKind, 0), "T");
    // In master mode the record holds the sent text + CR; Check is the check byte.
    TTelegramm own;
    own.Text = "l001\r";
    own.Check = static_cast<uint8_t>(CalcCheckByte("l001"));
    own.OwnMaster = true;
    own.StartTicks = 1000;
    own.EndTicks = 1396;
    R->CopyTelegramm(own, 'M', true);
    EXPECT_EQ(Cell(pcKind, 1), "N");
    EXPECT_EQ(Cell(pcTelegram, 1), TelegramBytes("l001"));
    EXPECT_EQ(Cell(pcRecordNo, 1), "001");
    TTelegramm zA;
    zA.Text = "zA\r_";
    R->CopyTelegramm(zA, 'M', false);
    EXPECT_EQ(Cell(pcHex, 2), " 7A 41 0D 5F");
}

TEST_F(RecorderTest, DeviceResetRestartsTheTimeBase) {
    M("l001", 72000, 72396);
    Now += 5000;
    Env.SetResetTG(true);
    M("l001", 100, 496, kErrChecksum); // the device clock started again
    EXPECT_EQ(Cell(pcErrors, 1), "RS");
    EXPECT_EQ(Cell(pcStart, 1), std::to_string(Now));
    EXPECT_FALSE(Env.ResetTG());
    M("l001", 820, 1216);
    EXPECT_EQ(Cell(pcStart, 2), std::to_string(Now + 100));
}

TEST_F(RecorderTest, SafetyCopyGrowsByEvery500thRowAndEveryTick) {
    const std::string copy = R->SafetyCopyFile();
    EXPECT_EQ(copy, Env.DataDirectory() + "WBTEMP.PRO.CSV");
    for (int k = 0; k < 499; ++k)
        M("l001", k * 500, k * 500 + 396);
    EXPECT_FALSE(std::filesystem::exists(copy));
    M("l001", 499 * 500, 499 * 500 + 396);
    EXPECT_EQ(CopyRows(copy), 500);
    // a few more rows: the next tick writes them all
    for (int k = 500; k < 510; ++k)
        M("l001", k * 500, k * 500 + 396);
    EXPECT_EQ(CopyRows(copy), 500);
    R->SafetyTick();
    EXPECT_EQ(CopyRows(copy), 510);
    R->SafetyTick(); // nothing new: nothing written twice
    EXPECT_EQ(CopyRows(copy), 510);
    for (int k = 510; k < 1000; ++k)
        M("l001", k * 500, k * 500 + 396);
    TTable t = MakeProtocolTable();
    EXPECT_EQ(LoadFromCSV(t, copy, '"', nullptr, std::nullopt, ';').Rows, 1000);
    for (int k = 0; k < 1000; ++k)
        ASSERT_EQ(t.Cell(pcNr, k), std::to_string(k + 1));
    EXPECT_TRUE(R->Table().Modified) << "the safety copy is not the user's save";
    EXPECT_TRUE(R->CurrentFile().empty());
    EXPECT_TRUE(Traces.empty());
}

// A crash loses at most the rows since the last tick: every row recorded
// before a tick is on disk after it, however young.
TEST_F(RecorderTest, EveryTickWritesEveryRowRecordedBeforeIt) {
    const std::string copy = R->SafetyCopyFile();
    struct TCase {
        int64_t AfterTickMs; // the row arrives this long after the tick before
        int64_t TickMs;      // the next tick, after the tick before
    };
    const TCase cases[] = {{0, 1000}, {1, 1000}, {999, 1000}, {300, 1300}, {5, 5}};
    int rows = 0;
    for (const TCase& c : cases) {
        const int64_t tick = Now;
        Now = tick + c.AfterTickMs;
        M("l001", static_cast<uint32_t>(rows) * 500, static_cast<uint32_t>(rows) * 500 + 396);
        ++rows;
        Now = tick + c.TickMs;
        R->SafetyTick();
        EXPECT_EQ(CopyRows(copy), rows)
            << "a row " << c.TickMs - c.AfterTickMs << " ms old at the tick";
    }
}

// A safety copy that cannot be written is tried again at every tick and
// traced once until a write works again (not once a second).
TEST_F(RecorderTest, AFailingSafetyCopyIsTracedOnceUntilItWorksAgain) {
    const std::string copy = R->SafetyCopyFile();
    std::filesystem::remove_all(Env.DataDirectory());
    M("l001", 0, 396);
    for (int k = 0; k < 3; ++k)
        R->SafetyTick();
    EXPECT_EQ(Traces.size(), 1u);
    std::filesystem::create_directories(Env.DataDirectory());
    R->SafetyTick();
    EXPECT_EQ(CopyRows(copy), 1) << "the rows that waited";
    std::filesystem::remove_all(Env.DataDirectory());
    M("l001", 500, 896);
    R->SafetyTick();
    R->SafetyTick();
    EXPECT_EQ(Traces.size(), 2u);
}

// The safety copy holds one recording, numbered from 1. A copy this
// program did not write comes from an earlier run that ended abnormally: it
// is set aside under the time it was last written, never appended to and
// never overwritten, and offered once.
TEST_F(RecorderTest, AnEarlierRunsCopyIsSetAsideNotAppendedTo) {
    const std::string copy = R->SafetyCopyFile();
    const std::string earlier =
        "\"M\";\"1\";\"1000\";\" \";\" \";\"a1\r\";\" \";\"020\";\"Status\";\"-1\"\r\n"
        "\"M\";\"2\";\"2000\";\" \";\" \";\"l001\r\";\" \";\"001\";\"Linie\";\"\"\r\n";
    WriteFileAt(copy, earlier, {2026, 12, 9, 17, 30, 5});
    // a copy set aside by another crash at the same second stays as it is
    const std::string taken = Env.DataDirectory() + "WBTEMP-2026-12-09-17-30-05.PRO.CSV";
    WriteFileAt(taken, "another crash", {2026, 12, 9, 17, 30, 5});
    EXPECT_FALSE(R->OwnsSafetyCopy());
    EXPECT_EQ(R->EarlierCopy(), "") << "nothing is moved before this run writes";

    for (int k = 0; k < 3; ++k)
        M("l001", k * 500, k * 500 + 396);
    R->SafetyTick();
    const std::string setAside = Env.DataDirectory() + "WBTEMP-2026-12-09-17-30-05-2.PRO.CSV";
    EXPECT_EQ(R->EarlierCopy(), setAside);
    EXPECT_EQ(test::ReadFile(setAside), earlier) << "the earlier recording, untouched";
    EXPECT_EQ(test::ReadFile(taken), "another crash");
    EXPECT_TRUE(R->OwnsSafetyCopy());
    TTable t = MakeProtocolTable();
    ASSERT_EQ(LoadFromCSV(t, copy, '"', nullptr, std::nullopt, ';').Rows, 3)
        << "this run's copy holds this run's rows only";
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(t.Cell(pcNr, k), std::to_string(k + 1));
    // offered once
    EXPECT_EQ(R->TakeEarlierCopy(), setAside);
    EXPECT_EQ(R->TakeEarlierCopy(), "");
    EXPECT_EQ(CopyRows(copy), 3) << "this run's own copy is never set aside";
    EXPECT_TRUE(Traces.empty());
}

// Nobody took the earlier copy (an unattended run): when this run's own copy
// is gone at the end, it goes back to the safety copy's name for the next
// start to offer; never over a copy that is there.
TEST_F(RecorderTest, AnEarlierCopyNotTakenGoesBackForTheNextStart) {
    const std::string copy = R->SafetyCopyFile();
    WriteFileAt(copy, "earlier rows", {2026, 1, 2, 3, 4, 5});
    M("l001", 0, 396);
    R->SafetyTick();
    ASSERT_FALSE(R->EarlierCopy().empty());
    EXPECT_FALSE(R->PutBackEarlierCopy()) << "this run's copy is still there";
    EXPECT_EQ(CopyRows(copy), 1);
    std::filesystem::remove(copy); // the end of the run
    EXPECT_TRUE(R->PutBackEarlierCopy());
    EXPECT_EQ(test::ReadFile(copy), "earlier rows");
    EXPECT_EQ(R->EarlierCopy(), "");
    EXPECT_FALSE(R->PutBackEarlierCopy()) << "once";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Env.DataDirectory()),
                            std::filesystem::directory_iterator()),
              1);
}

// The recovery comes before this run has written anything: the earlier copy
// is set aside at once, and the recording that follows starts a copy of its
// own.
TEST_F(RecorderTest, TakingTheEarlierCopySetsItAsideAtOnce) {
    EXPECT_EQ(R->TakeEarlierCopy(), "") << "no copy, nothing to offer";
    const std::string copy = R->SafetyCopyFile();
    WriteFileAt(copy, "earlier rows", {2026, 1, 2, 3, 4, 5});
    const std::string setAside = R->TakeEarlierCopy();
    EXPECT_EQ(setAside, Env.DataDirectory() + "WBTEMP-2026-01-02-03-04-05.PRO.CSV");
    EXPECT_EQ(test::ReadFile(setAside), "earlier rows");
    EXPECT_FALSE(std::filesystem::exists(copy));
    M("l001", 0, 396);
    R->SafetyTick();
    EXPECT_EQ(CopyRows(copy), 1);
    EXPECT_EQ(test::ReadFile(setAside), "earlier rows");
}

// "Löschen", and a monitor opened again, start a new recording: its copy
// starts afresh. The copy of the recording that was emptied goes (the user
// asked for that); nothing of it is set aside or offered.
TEST_F(RecorderTest, ANewRecordingStartsANewCopy) {
    const std::string copy = R->SafetyCopyFile();
    for (int k = 0; k < 3; ++k)
        M("l001", k * 500, k * 500 + 396);
    R->SafetyTick();
    ASSERT_EQ(CopyRows(copy), 3);
    R->Clear();
    EXPECT_FALSE(std::filesystem::exists(copy)) << "a crash now offers no emptied rows";
    EXPECT_FALSE(R->OwnsSafetyCopy());
    for (int k = 0; k < 2; ++k)
        M("l002", k * 500, k * 500 + 396);
    R->SafetyTick();
    TTable t = MakeProtocolTable();
    ASSERT_EQ(LoadFromCSV(t, copy, '"', nullptr, std::nullopt, ';').Rows, 2);
    EXPECT_EQ(t.Cell(pcNr, 0), "1");
    EXPECT_EQ(t.Cell(pcTelegram, 0), TelegramBytes("l002"));
    EXPECT_EQ(R->TakeEarlierCopy(), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Env.DataDirectory()),
                            std::filesystem::directory_iterator()),
              1)
        << "nothing set aside";
}

// The safety copy holds what a save of the recording holds, byte for byte,
// after every tick: also when an answer pairs with a master row the copy
// has already, a master is marked unanswered, a row far back changes, or
// the copy went behind the recorder's back. Written at once and in the
// background alike.
TEST_F(RecorderTest, SafetyCopyEqualsASaveOfTheRecordingAfterEveryTick) {
    const std::string copy = R->SafetyCopyFile();
    const std::string saved = Dir / "saved.PRO.CSV";
    for (const bool background : {false, true}) {
        SCOPED_TRACE(background ? "written in the background" : "written at once");
        R->Clear();
        R->SafetyCopyInBackground = background;
        uint32_t t = 0;
        auto next = [&] { return t += 1000; };
        auto tickAndCompare = [&](const std::string& what) {
            R->FinishSafetyCopy(); // a write under way holds the tick's rows back
            R->SafetyTick();
            R->FinishSafetyCopy();
            std::filesystem::remove(saved); // a save from row 1 appends to a file there
            ASSERT_TRUE(R->SaveActiveProtocol(saved, 1));
            ASSERT_EQ(test::ReadFile(copy), test::ReadFile(saved)) << what;
        };
        M("a1", next(), next());
        tickAndCompare("a master that waits for its answer");
        M("l001", next(), next());
        ASSERT_EQ(Cell(pcAnswer, 0), "-1");
        tickAndCompare("the master before marked unanswered by the next telegram");
        S("a10", next(), next());
        ASSERT_EQ(Cell(pcAnswer, 0), "1") << "answered late";
        ASSERT_EQ(Cell(pcAnswer, 2), "3");
        tickAndCompare("a late answer pairs with a master in the copy");
        M("a2", next(), next());
        R->SafetyTick();
        R->FinishSafetyCopy();
        ASSERT_EQ(R->MarkLastRowUnanswered(), 3);
        tickAndCompare("the slave time-out marks the last row");
        // late answers across the 500th row, ticks between them
        for (int k = 0; k < 200; ++k) {
            M("a1", next(), next());
            M("l001", next(), next());
            S("a10", next(), next());
            if (k % 7 == 0) {
                R->SafetyTick();
                if (k % 14 == 0) R->FinishSafetyCopy();
            }
        }
        tickAndCompare("late answers across the 500th row");
        // more rows than the copy keeps the places of: a change of the
        // first row writes it anew
        for (int k = 0; k < 9000; ++k)
            M("l001", next(), next());
        tickAndCompare("9000 rows more");
        R->Table().SetCell(pcDescription, 0, "changed far back");
        tickAndCompare("the first row changed");
        R->Table().SetCell(pcDescription, R->RowCounter() - 20, "changed near the end");
        tickAndCompare("a newer row changed");
        std::filesystem::remove(copy);
        M("l001", next(), next());
        tickAndCompare("the copy removed by someone else");
    }
    EXPECT_TRUE(Traces.empty());
}

// A crash while the copy is written leaves it cut anywhere in its last
// line: it loads with every row before that line, and says it is
// incomplete.
TEST_F(RecorderTest, ACopyCutInsideItsLastLineLoadsItsWholeRows) {
    M("a1", 0, 264);
    S("a10", 400, 730);
    M("l001", 1000, 1396);
    R->SafetyTick();
    const std::string whole = test::ReadFile(R->SafetyCopyFile());
    // the last row begins after the second row's line end
    std::size_t lastRow = 0;
    for (int lines = 0; lines < 2; ++lines)
        lastRow = whole.find("\"\r\n", lastRow) + 3;
    ASSERT_LT(lastRow, whole.size());
    TTable full = MakeProtocolTable();
    ASSERT_EQ(LoadProtocolFile(full, R->SafetyCopyFile(), Parser, TBusType::bsVehicleBus).RowsRead,
              3);
    const std::string cut = Dir / "cut.PRO.CSV";
    for (std::size_t end = lastRow; end < whole.size(); ++end) {
        SCOPED_TRACE("cut after " + test::Printable(whole.substr(lastRow, end - lastRow)));
        std::ofstream(cut, std::ios::binary | std::ios::trunc) << whole.substr(0, end);
        TTable t = MakeProtocolTable();
        TProtocolLoad info;
        ASSERT_NO_THROW(info = LoadProtocolFile(t, cut, Parser, TBusType::bsVehicleBus));
        // the last row is whole once its last field's closing quote is there
        const bool whole3 = end >= whole.size() - 2;
        ASSERT_EQ(info.RowsRead, whole3 ? 3 : 2);
        EXPECT_EQ(info.Incomplete, !whole3 && end > lastRow);
        if (info.Incomplete) EXPECT_EQ(info.UnreadFromLine, 3);
        for (int row = 0; row < info.RowsRead; ++row)
            for (int col = 0; col < kProtocolColumns; ++col)
                EXPECT_EQ(t.Cell(col, row), full.Cell(col, row)) << row << "/" << col;
    }
}

TEST_F(RecorderTest, SaveActiveProtocol) {
    M("a1", 0, 264);
    S("a10", 400, 730);
    R->Table().SetCell(pcKind, 0, "Master");
    const std::string file = Dir / "docs/2026-12-10-08-00-00.PRO.CSV";
    ASSERT_TRUE(R->SaveActiveProtocol(file, 0));
    EXPECT_EQ(R->CurrentFile(), file);
    EXPECT_EQ(Env.LastDirectory(TFileFolder::Protokolle), IncludeTrailingPathDelimiter(Dir / "docs"));
    EXPECT_FALSE(R->Table().Modified);
    const std::string content = test::ReadFile(file);
    EXPECT_EQ(content.substr(0, 4), "\"M\";") << "the kind cut to its first character";
    EXPECT_FALSE(R->SaveActiveProtocol(Dir / "no/such/dir/x.PRO.CSV", 0));
    ASSERT_FALSE(Traces.empty());
    EXPECT_EQ(Traces.back().rfind("TfMonitorForm.SaveActiveProtocol. Exception:", 0), 0u);
    EXPECT_EQ(DefaultProtocolFileName(2007, 3, 14, 9, 5, 59), "2007-03-14-09-05-59.PRO.CSV");
}

// The virtual Tavrin records on its own for 20 s while the PC looks on; the
// recording is read out and live traffic goes on. The PC's clock runs with
// the device's, each capture arriving within the 100 ms step it ended in.
// The rows read out keep the times they were recorded at, and the live rows
// after them keep the PC's clock: whether the monitor recorded all along, or
// opened only for the read-out (the traffic before reached the recorder
// while nothing recorded).
TEST_F(RecorderTest, ReadOutTelegramsKeepTheirTimesAndLiveOnesThePcClock) {
    for (const bool monitorOpen : {true, false}) {
        SCOPED_TRACE(monitorOpen ? "monitor open all along" : "monitor opened for the read-out");
        TRecorder::THooks hooks;
        hooks.NowMsOfDay = [this] { return Now; };
        R = std::make_unique<TRecorder>(Parser, Env, hooks);
        R->SafetyCopy = false;
        const int64_t pcAtZero = 8 * 3600000; // the PC clock at device tick 0
        TVirtualTavrin device;
        bool recording = monitorOpen;
        std::vector<uint32_t> startTicks; // of every row
        TCaptureSink sink([&](const TTelegramm& t, char source) {
            if (!recording) return R->Observe(t);
            R->CopyTelegramm(t, source, false);
            startTicks.push_back(t.StartTicks);
        });
        TStreamDecoder decoder(sink);
        sink.Decoder = &decoder;
        decoder.SetState(TDecoderState::Idle);
        auto run = [&](int ms) {
            for (int k = 0; k < ms; k += 100) {
                device.AdvanceMs(100);
                Now = pcAtZero + DeviceTicksToMs(static_cast<int64_t>(device.Now())) + 30;
                decoder.Decode(device.TakeOutput());
            }
        };
        Env.SetResetTG(true); // the device has just started
        run(5000);
        device.FromPC(Cmd::AutonomousRecording(true));
        run(20000);
        device.FromPC(Cmd::AutonomousRecording(false));
        run(2000); // the question whether to read out
        if (!monitorOpen) {
            EXPECT_EQ(R->RowCounter(), 0);
            R->Clear(); // the read-out opens the monitor
            recording = true;
        }
        const int firstReadOut = R->RowCounter();
        const uint32_t recorded = device.RecordCount();
        device.FromPC(Cmd::TransferRecordedData());
        run(5000);
        ASSERT_GT(recorded, 100u);
        ASSERT_GT(R->RowCounter() - firstReadOut, static_cast<int>(recorded) + 20)
            << "the rows read out and live rows after them";
        // every row at the time its telegram started on the PC's clock, give
        // or take the step it arrived in
        for (int row = 0; row < R->RowCounter(); ++row) {
            const int64_t start = std::stoll(Cell(pcStart, row));
            const int64_t started = pcAtZero + DeviceTicksToMs(static_cast<int64_t>(startTicks[row]));
            ASSERT_GE(start, started) << "row " << row + 1 << " of " << R->RowCounter();
            ASSERT_LE(start, started + 1000) << "row " << row + 1 << " of " << R->RowCounter();
        }
        if (monitorOpen) {
            // the read-out goes back to the start of the device's recording
            EXPECT_LT(std::stoll(Cell(pcStart, firstReadOut)) + 20000,
                      std::stoll(Cell(pcStart, firstReadOut - 1)));
        }
    }
}

// A recording of the virtual bus, checked against expectations computed
// from the captures themselves.
TEST_F(RecorderTest, EmulatorTrafficPairsAsExpected) {
    TVirtualTavrin device;
    test::RecordingSink sink;
    TStreamDecoder decoder(sink);
    decoder.SetState(TDecoderState::Idle);
    device.AdvanceMs(30000);
    device.ForceFault(TFault::NoAnswer);
    device.AdvanceMs(30000);
    decoder.Decode(device.TakeOutput());
    // merge masters and slaves in capture order (by start time)
    std::vector<std::pair<TTelegramm, char>> all;
    for (const auto& m : sink.Masters)
        all.push_back({m, 'M'});
    for (const auto& s : sink.Slaves)
        all.push_back({s, 'S'});
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
        return a.first.StartTicks < b.first.StartTicks;
    });
    for (const auto& [t, src] : all)
        R->CopyTelegramm(t, src, false);
    ASSERT_EQ(R->RowCounter(), static_cast<int>(all.size()));
    int answered = 0, unanswered = 0;
    for (std::size_t k = 0; k < all.size(); ++k) {
        const TTelegramm& t = all[k].first;
        const std::string text = t.Text.substr(0, t.Text.size() - 2);
        const bool request = text.size() == 2 && text[0] == 'a';
        const bool nextIsAnswer = k + 1 < all.size() && all[k + 1].second == 'S';
        const int row = static_cast<int>(k);
        if (all[k].second == 'S') {
            const TTelegramm& req = all[k - 1].first;
            EXPECT_EQ(Cell(pcAnswer, row), "4");
            EXPECT_EQ(Cell(pcReaction, row),
                      std::to_string((int64_t{t.StartTicks} - req.EndTicks) * 10 / 72));
            EXPECT_EQ(Cell(pcRecordNo, row), "120");
        } else if (request) {
            if (k + 1 == all.size()) continue; // the last row has no verdict yet
            EXPECT_EQ(Cell(pcAnswer, row), nextIsAnswer ? "0" : "-1") << k;
            (nextIsAnswer ? answered : unanswered)++;
        } else {
            EXPECT_EQ(Cell(pcAnswer, row), "") << text;
        }
        EXPECT_EQ(Cell(pcErrors, row), "");
    }
    EXPECT_GT(answered, 10);
    EXPECT_GT(unanswered, 10);
}

} // namespace
} // namespace vaskel
