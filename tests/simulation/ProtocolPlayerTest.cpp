#include "simulation/ProtocolPlayer.h"
#include "link/DeviceProtocol.h"
#include "recording/Recorder.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

class PlayerTest : public ::testing::Test {
protected:
    TTable T = MakeProtocolTable();
    void Rows(const std::vector<std::vector<std::string>>& rows) {
        T.Clear();
        for (std::size_t k = 0; k < rows.size(); ++k)
            T.SetRow(k == 0 ? 0 : T.AppendRow(), rows[k]);
    }
    std::vector<std::string> Sent;
    bool Busy = false, Monitor = true, Reformat = true;
    int Factor = 1;
    TProtocolPlayer Make() {
        TProtocolPlayer::THooks h;
        h.SimulationBusy = [this] { return Busy; };
        h.MonitorExists = [this] { return Monitor; };
        h.RequestSingleCall = [this](const std::string& t) { Sent.push_back(t); };
        h.ReformatUandD = [this] { return Reformat; };
        h.SendDelayFactor = [this] { return Factor; };
        return TProtocolPlayer(T, h);
    }
};

TEST_F(PlayerTest, PacingByTheRecordedTimes) {
    Rows({{"M", "1", "1000", "", "", TelegramBytes("l001")},
          {"S", "2", "1100", "", "", TelegramBytes("a10")},
          {"M", "3", "1250", "", "", TelegramBytes("k07")},
          {"M", "4", "x", "", "", TelegramBytes("z034")},
          {"N", "5", "900", "", "", TelegramBytes("u1234")}});
    struct Case {
        int factor;
        int first;
    };
    for (const Case c : {Case{1, 251}, Case{2, 501}, Case{-5, 51}}) {
        Factor = c.factor;
        Sent.clear();
        TProtocolPlayer p = Make();
        EXPECT_EQ(p.Start(), c.first) << "factor " << c.factor;
        EXPECT_EQ(Sent, std::vector<std::string>{TelegramBytes("l001")});
        EXPECT_EQ(p.CurrentRow, 2) << "the slave row is skipped";
        EXPECT_EQ(p.Step(), 10) << "a start time that is no number";
        EXPECT_EQ(p.Step(), 10) << "from a start time that is no number";
        EXPECT_EQ(p.Step(), -1) << "once: the end of the protocol";
        EXPECT_FALSE(p.Sending());
        EXPECT_EQ(Sent.back(), "u") << "the scheduler fills in the time";
        EXPECT_EQ(p.SentCount(), 4);
    }
}

TEST_F(PlayerTest, NegativeGapTakesTheFallback) {
    // a recording across midnight
    Rows({{"M", "1", "86399900", "", "", "l001"}, {"M", "2", "50", "", "", "k07"}});
    TProtocolPlayer p = Make();
    EXPECT_EQ(p.Start(), 10);
}

TEST_F(PlayerTest, TelegramTextAsSent) {
    Rows({{"M", "1", "1000", "", "", "l001\r/"}});
    TProtocolPlayer p = Make();
    p.Start();
    // the stored check byte stays; the scheduler removes CR and check byte
    EXPECT_EQ(Sent.back(), "l001\r/");
    Rows({{"M", "1", "1000", "", "", "a<$00>b\r"}, {"M", "2", "1001", "", "", "dU10122026"}});
    TProtocolPlayer q = Make();
    q.Start();
    EXPECT_EQ(Sent.back(), std::string("a\0b", 3));
    q.Step();
    EXPECT_EQ(Sent.back(), "dU");
    Reformat = false;
    TProtocolPlayer r = Make();
    r.CurrentRow = 1;
    r.Mode = TProtocolPlayer::smSingle;
    r.Start();
    EXPECT_EQ(Sent.back(), "dU10122026");
}

TEST_F(PlayerTest, ModesAndBusyDevice) {
    Rows({{"M", "1", "1000", "", "", "l001"},
          {"M", "2", "1100", "", "", "k07"},
          {"S", "3", "1200", "", "", "a10"}});
    TProtocolPlayer once = Make();
    once.CurrentRow = 2; // at the last row: starts at row 1
    once.Start();
    EXPECT_EQ(Sent.front(), "l001");

    Sent.clear();
    TProtocolPlayer single = Make();
    single.Mode = TProtocolPlayer::smSingle;
    single.CurrentRow = 1;
    EXPECT_EQ(single.Start(), -1);
    EXPECT_EQ(Sent, std::vector<std::string>{"k07"});
    EXPECT_EQ(single.CurrentRow, 1) << "the selected row stays";

    Sent.clear();
    TProtocolPlayer cyclic = Make();
    cyclic.Mode = TProtocolPlayer::smCyclic;
    cyclic.Start();
    cyclic.Step(); // k07, then the slave row at the end: back to row 1
    EXPECT_EQ(cyclic.CurrentRow, 0);
    EXPECT_TRUE(cyclic.Sending());
    Busy = true;
    EXPECT_EQ(cyclic.Step(), 100);
    EXPECT_EQ(Sent.size(), 2u) << "nothing sent while the device is busy";
    Busy = false;
    Monitor = false;
    cyclic.Step();
    EXPECT_EQ(Sent.size(), 2u) << "without a monitor the rows are stepped through";
    EXPECT_EQ(cyclic.SentCount(), 2);
}

} // namespace
} // namespace vaskel
