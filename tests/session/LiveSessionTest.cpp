// The live session: where a captured telegram goes, what ends with the
// recording, one playback at a time; on a manual clock, without a device.

#include "session/LiveSession.h"

#include "TestSupport.h"
#include "recording/TableFile.h"
#include "telegram/TextConventions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

// Keeps what the session tells, in order; at each new row it looks at what
// the recorder holds by then.
class TNotes : public ISessionObserver {
public:
    const TRecorder* Recorder = nullptr;
    std::vector<std::string> Seen;
    void RowAppended(int row) override {
        std::string text = "row " + std::to_string(row);
        if (Recorder && row < Recorder->RowCounter())
            text += " " + std::string(Recorder->Table().Cell(pcTelegram, row)).substr(0, 4);
        Seen.push_back(text);
    }
    void RecordingStarted() override { Seen.push_back("started"); }
    void RecordingStopped() override { Seen.push_back("stopped"); }
    void PlaybackChanged(const std::string& file) override { Seen.push_back("play " + file); }
    void SimulationChanged(TSimulationKind kind, const std::string& file) override {
        Seen.push_back((kind == TSimulationKind::CallList ? "calls " : "responses ") + file);
    }
};

TTelegramm Telegram(const std::string& text) {
    TTelegramm t;
    t.Text = text + "\r";
    t.Check = CalcCheckByte(text + "\r");
    t.Ready = true;
    return t;
}

class LiveSessionTest : public ::testing::Test {
protected:
    LiveSessionTest() {
        Platform.Program = Dir / "Vaskel";
        TLiveSession::TOptions o;
        o.SafetyCopy = false;
        Live = std::make_unique<TLiveSession>(Env, Parser, HandOver, Time, Time, Notes, o);
        Notes.Recorder = &Live->Recorder();
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    TManualTime Time;
    TManualHandOver HandOver;
    TNotes Notes;
    std::unique_ptr<TLiveSession> Live;
};

// A captured telegram goes to the recorder, which tells of its new row
// itself: the row is there when the observer hears of it. Nothing is
// recorded while no recording runs.
TEST_F(LiveSessionTest, ACaptureReachesTheObserverThroughTheRecorder) {
    Live->Capture(Telegram("a1"), 'M');
    EXPECT_TRUE(Notes.Seen.empty()) << "no recording: the recorder's clock follows, no row";
    EXPECT_EQ(Live->Recorder().RowCounter(), 0);

    Live->StartRecording();
    Live->Capture(Telegram("a1"), 'M');
    Live->Capture(Telegram("a2"), 'M');
    EXPECT_EQ(Notes.Seen, (std::vector<std::string>{"started", "row 0 a1\r", "row 1 a2\r"}));

    // the end of the recording is told once the caller is done
    Notes.Seen.clear();
    Live->StopRecording();
    EXPECT_TRUE(Notes.Seen.empty());
    HandOver.Pump();
    EXPECT_EQ(Notes.Seen, (std::vector<std::string>{"stopped", "calls ", "responses "}));
    Live->Capture(Telegram("a3"), 'M');
    EXPECT_EQ(Live->Recorder().RowCounter(), 2) << "the rows of the recording stay, no new one";
    EXPECT_EQ(Live->Scheduler(), nullptr) << "the master simulation ended with the recording";
}

// One protocol plays at a time: a second playback ends the first, and the
// end of the recording ends the playback.
TEST_F(LiveSessionTest, OnePlaybackAtATime) {
    TTable t = MakeProtocolTable();
    t.SetRow(0, {"M", "1", "1000", "", "", "a1\r", "", "", "", ""});
    t.SetRow(t.AppendRow(), {"M", "2", "3000", "", "", "a2\r", "", "", "", ""});
    std::vector<std::string> sent;
    TLiveSession::TOptions o;
    o.SafetyCopy = false;
    o.SingleCalls = [&](const std::string& text) { sent.push_back(text); };
    TLiveSession live(Env, Parser, HandOver, Time, Time, Notes, o);
    live.StartRecording();
    Notes.Seen.clear();
    int first = 0, second = 0;
    TLiveSession::TPlayback a;
    a.Owner = &first;
    a.File = "a.PRO.CSV";
    a.Mode = TProtocolPlayer::smCyclic;
    ASSERT_TRUE(live.StartPlayback(t, a));
    EXPECT_EQ(live.PlaybackOwner(), &first);
    TLiveSession::TPlayback b = a;
    b.Owner = &second;
    b.File = "b.PRO.CSV";
    ASSERT_TRUE(live.StartPlayback(t, b));
    EXPECT_EQ(live.PlaybackOwner(), &second);
    EXPECT_EQ(Notes.Seen, (std::vector<std::string>{"play a.PRO.CSV", "play ", "play b.PRO.CSV"}));
    Time.Advance(2001);
    EXPECT_EQ(sent, (std::vector<std::string>{"a1", "a1", "a2"})) << "the gap of the rows";

    live.StopRecording();
    HandOver.Pump();
    EXPECT_EQ(live.PlaybackOwner(), nullptr);
    Time.Advance(10000);
    EXPECT_EQ(sent.size(), 3u) << "nothing is sent without a recording";
}

} // namespace
} // namespace vaskel
