#include "link/AutonomousRecording.h"
#include "link/DeviceStatus.h"

#include "FakeLink.h"
#include "RecordingSink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vaskel {
namespace {

using test::FakeLink;
using test::Hex;
using namespace AutonomousTexts;

// The connection on a link the test speaks for the device.
class AutonomousTest : public ::testing::Test {
protected:
    AutonomousTest() {
        Platform.Program = Dir / "Vaskel";
        TDeviceConnection::THooks h;
        h.CreateController = [this] {
            auto link = std::make_unique<FakeLink>();
            Link = link.get();
            auto c = std::make_unique<TWBController>(
                std::move(link), HandOver,
                [this](const TControllerNotification& n) { Conn->HandleNotification(n); },
                TControllerHooks{}, TWBController::TOptions{false});
            c->OpenLink();
            return c;
        };
        h.AutonomousChanged = [this] { ++Changes; };
        Conn = std::make_unique<TDeviceConnection>(Env, Dev, h);
        Conn->StateChange(TDeviceConnection::eStart);
        HandOver.Pump();
        Written();
    }
    ~AutonomousTest() override { Conn.reset(); }

    std::vector<std::string> Written() {
        Conn->Controller()->ProcessThreadMessages();
        auto w = Link->Written;
        Link->Written.clear();
        return w;
    }
    bool Queried() {
        const auto w = Written();
        return std::count(w.begin(), w.end(), Cmd::QueryRecordCount()) > 0;
    }
    void Feed(const std::string& hex) {
        Link->Feed(Hex(hex));
        HandOver.Pump();
    }
    void Status(uint8_t b) {
        Link->Feed(Hex("88") + static_cast<char>(b));
        HandOver.Pump();
    }
    void Tick() {
        Conn->StateChange(TDeviceConnection::eTimer);
        HandOver.Pump();
    }
    TAutonomousDisplay Display() const { return Conn->AutonomousDisplay(); }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TDeviceStatus Dev;
    TManualHandOver HandOver;
    FakeLink* Link = nullptr;
    std::unique_ptr<TDeviceConnection> Conn;
    int Changes = 0;
};

// The device comes online with one status byte, is asked for its record
// count, answers (or not), a second passes, and another status byte follows.
TEST_F(AutonomousTest, AnswersToTheRecordCountQuery) {
    struct Case {
        const char* Name;
        uint8_t FirstStatus;
        const char* Answer; // nullptr: the device does not answer
        uint8_t LaterStatus;
        TAutonomousAvailability Availability;
        bool Active;
        const char* Mode;
        std::string Count;
        TFieldLook CountLook;
        bool AskedAgain; // the later status byte sends 0xDD once more (only
                         // while the answer is missing, and only on a change)
    };
    const Case cases[] = {
        {"no data sets", 0x40, "8E 00 00 00 00", 0x40, TAutonomousAvailability::Available, false,
         kModeInactive, kCountNone, TFieldLook::Information, false},
        {"five data sets, recording", 0x40, "8E 05 00 00 00", 0x41,
         TAutonomousAvailability::Available, true, kModeActive,
         "Auf dem Ger\xE4t gespeicherte Datens\xE4tze: 5", TFieldLook::Ok, false},
        {"no answer, a status change asks again", 0x40, nullptr, 0x48,
         TAutonomousAvailability::Unavailable, false, kModeUnavailable, kCountUnavailable,
         TFieldLook::Disabled, true},
        {"no answer, an unchanged status does not ask", 0x40, nullptr, 0x40,
         TAutonomousAvailability::Unavailable, false, kModeUnavailable, kCountUnavailable,
         TFieldLook::Disabled, false},
        {"recording bit before availability is known", 0x41, "8E 00 01 00 00", 0x41,
         TAutonomousAvailability::Available, true, kModeActive,
         "Auf dem Ger\xE4t gespeicherte Datens\xE4tze: 256", TFieldLook::Ok, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Conn->LinkLost();
        Written();
        Status(c.FirstStatus);
        EXPECT_TRUE(Queried()) << "an online device is asked";
        EXPECT_TRUE(Conn->RecordCountQuery());
        EXPECT_FALSE(Dev.OfflineModeActive()) << "bit 0 counts only once availability is known";
        EXPECT_EQ(Conn->Autonomous().Availability(), TAutonomousAvailability::Unknown);
        if (c.Answer) Feed(c.Answer);
        Tick();
        Written();
        Status(c.LaterStatus);
        EXPECT_EQ(Queried(), c.AskedAgain);
        EXPECT_EQ(Conn->Autonomous().Availability(), c.Availability);
        EXPECT_EQ(Dev.OfflineModeAvailable(),
                  c.Availability == TAutonomousAvailability::Available);
        EXPECT_EQ(Dev.OfflineModeActive(), c.Active);
        const TAutonomousDisplay d = Display();
        EXPECT_TRUE(d.PanelEnabled);
        EXPECT_EQ(d.Mode.Shown(), c.Mode);
        EXPECT_EQ(d.Count.Shown(), c.Count);
        EXPECT_EQ(d.Count.Look, c.CountLook);
        const bool available = c.Availability == TAutonomousAvailability::Available;
        EXPECT_EQ(d.CanActivate, available && !c.Active);
        EXPECT_EQ(d.CanStop, available && c.Active);
        EXPECT_EQ(d.CanTransfer, available && !c.Active);
        EXPECT_EQ(d.CanFormat, d.CanTransfer);
        EXPECT_EQ(d.CanErase, d.CanTransfer);
    }
}

TEST_F(AutonomousTest, HintsAndLooksOfTheFields) {
    Status(0x40);
    Tick(); // unanswered
    TAutonomousDisplay d = Display();
    EXPECT_EQ(d.Mode.Look, TFieldLook::Error);
    EXPECT_EQ(d.Mode.Tip, kModeUnavailableHint);
    EXPECT_EQ(d.Count.Tip, kCountUnavailable);
    Feed("8E 00 00 00 00");
    Status(0x40);
    d = Display();
    EXPECT_EQ(d.Mode.Look, TFieldLook::Information);
    EXPECT_EQ(d.Mode.Tip, kModeInactiveHint);
    EXPECT_EQ(d.Count.Tip, kCountHint);
    Status(0x41);
    d = Display();
    EXPECT_EQ(d.Mode.Look, TFieldLook::Ok);
    EXPECT_EQ(d.Mode.Tip, kModeActiveHint);
}

TEST_F(AutonomousTest, WhileRecordingTheCountIsAskedEverySecond) {
    Status(0x40);
    Feed("8E 02 00 00 00");
    Status(0x41);
    EXPECT_TRUE(Dev.OfflineModeActive());
    Written();
    for (uint32_t n = 3; n < 6; ++n) {
        Tick();
        EXPECT_TRUE(Queried());
        Feed("8E 0" + std::to_string(n) + " 00 00 00");
        EXPECT_EQ(Conn->Autonomous().Count(), n);
    }
    EXPECT_EQ(Display().Count.Shown(), "Auf dem Ger\xE4t gespeicherte Datens\xE4tze: 5");
    Status(0x40); // switched off: no more asking
    Written();
    Tick();
    EXPECT_FALSE(Queried());
}

TEST_F(AutonomousTest, OfflineTheBarIsDisabledAndNothingIsKnown) {
    Status(0x40);
    Feed("8E 07 00 00 00");
    EXPECT_GT(Changes, 0) << "the panel hears of the count";
    const int before = Changes;
    Conn->LinkLost();
    EXPECT_GT(Changes, before);
    EXPECT_FALSE(Conn->RecordCountQuery());
    EXPECT_EQ(Conn->Autonomous().Availability(), TAutonomousAvailability::Unknown);
    const TAutonomousDisplay d = Display();
    EXPECT_FALSE(d.PanelEnabled);
    EXPECT_FALSE(d.CanActivate || d.CanStop || d.CanTransfer || d.CanFormat || d.CanErase);
    EXPECT_EQ(d.Mode.Look, TFieldLook::Disabled);
    // the one-second check does not call an offline device unavailable
    Tick();
    EXPECT_EQ(Conn->Autonomous().Availability(), TAutonomousAvailability::Unknown);
}

TEST(AutonomousTexts, DialogTexts) {
    EXPECT_EQ(std::string(kActivated),
              "Der autonome Modus ist aktiviert.\r\nSie k\xF6nnen nun Ihren PC vom Tavrin trennen und "
              "den Tavrin,\r\nfalls noch nicht geschehen, in ein Fahrzeug einbauen. Die "
              "Aufzeichnung\r\nl\xE4uft automatisch, sobald der Tavrin Spannung \xFC"
              "ber den IBIS-Bus erh\xE4lt.");
    EXPECT_EQ(std::string(kStopped), "Der autonome Modus ist nun deaktiviert.\r\nM\xF6"
                                     "chten Sie nun die aufgezeichneten Daten vom Ger\xE4t "
                                     "herunterladen?");
}

} // namespace
} // namespace vaskel
