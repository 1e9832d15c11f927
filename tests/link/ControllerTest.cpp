#include "link/Controller.h"

#include "FakeLink.h"
#include "RecordingSink.h"

#include <gtest/gtest.h>

#include <condition_variable>

namespace vaskel {
namespace {

using test::FakeLink;
using test::Hex;

class ControllerTest : public ::testing::Test {
protected:
    ControllerTest() {
        auto link = std::make_unique<FakeLink>();
        Link = link.get();
        TControllerHooks hooks;
        hooks.Trace = [this](const std::string& s) { Traces.push_back(s); };
        hooks.Beep = [this] { ++Beeps; };
        C = std::make_unique<TWBController>(
            std::move(link), HandOver,
            [this](const TControllerNotification& n) { Notes.push_back(n); }, hooks,
            TWBController::TOptions{false});
        C->OpenLink();
        HandOver.Pump();
        Notes.clear();
    }
    ~ControllerTest() override { C.reset(); }
    void Master() {
        ASSERT_TRUE(C->SetMode(1));
        C->ProcessThreadMessages();
        Link->Written.clear();
    }
    bool Traced(const std::string& s) const {
        for (const auto& t : Traces)
            if (t == s) return true;
        return false;
    }

    TManualHandOver HandOver;
    FakeLink* Link = nullptr;
    std::unique_ptr<TWBController> C;
    std::vector<TControllerNotification> Notes;
    std::vector<std::string> Traces;
    int Beeps = 0;
};

TEST_F(ControllerTest, TelegramRefusedInSlaveModeCommandAccepted) {
    EXPECT_EQ(C->Mode(), 0);
    EXPECT_FALSE(C->SendRequest("l001"));
    EXPECT_TRUE(C->SendRequest(Cmd::StatusRequest()));
    EXPECT_FALSE(C->SendRequest(""));
    EXPECT_TRUE(Traced("Send request rejected. Empty telegram."));
    C->ProcessThreadMessages();
    EXPECT_EQ(Link->Written, std::vector<std::string>{Cmd::StatusRequest()});
}

TEST_F(ControllerTest, OwnTelegramInMasterMode) {
    ASSERT_TRUE(C->SetMode(1));
    EXPECT_FALSE(C->SetMode(0)) << "a mode change is still pending";
    C->ProcessThreadMessages();
    EXPECT_EQ(Link->Written, std::vector<std::string>{Cmd::MasterMode()});
    EXPECT_EQ(C->Mode(), 1);
    EXPECT_TRUE(C->SetMode(1));
    C->ProcessThreadMessages();
    Link->Written.clear();

    ASSERT_TRUE(C->SendRequest("l001"));
    EXPECT_FALSE(C->SimulationBusy());
    C->ProcessThreadMessages();
    EXPECT_EQ(Link->Written, std::vector<std::string>{TelegramBytes("l001")});
    EXPECT_TRUE(C->SimulationBusy());
    EXPECT_EQ(C->MasterRecord(0).Text, "l001\r");
    EXPECT_EQ(C->MasterRecord(0).Check, '/');

    // the device reports start and end: the record completes as it was sent
    Link->Feed(Hex("82 10 00 00 00 83 20 00 00 00"));
    EXPECT_FALSE(C->SimulationBusy());
    HandOver.Pump();
    ASSERT_EQ(Notes.size(), 1u);
    EXPECT_EQ(Notes[0].Msg, TControllerMessage::FMsgMasterTelegramm);
    EXPECT_EQ(Notes[0].WParam, 0u);
    EXPECT_EQ(Notes[0].Record.Text, "l001\r");
    EXPECT_EQ(Notes[0].Record.StartTicks, 0x10u);
    EXPECT_TRUE(C->MasterRecord(0).Ready);
    C->ReleaseMasterRecord(0);
    EXPECT_FALSE(C->MasterRecord(0).Ready);
}

TEST_F(ControllerTest, FullSendRingRefusesAndAnnouncesAgain) {
    for (int k = 0; k < 256; ++k)
        ASSERT_TRUE(C->SendRequest(Cmd::StatusRequest())) << k;
    EXPECT_FALSE(C->SendRequest(Cmd::VersionRequest()));
    EXPECT_TRUE(Traced("Send request rejected. Buffer full. FSePuffer Index: 0"));
    EXPECT_TRUE(Traced("Send message again, because it's still \"unverarbeitet\". Postmessage - "
                       "FSePuffer Index: 0"));
    EXPECT_EQ(Beeps, 1);
    // the write index moved on: the next request finds entry 1 pending
    EXPECT_FALSE(C->SendRequest(Cmd::VersionRequest()));
    EXPECT_TRUE(Traced("Send request rejected. Buffer full. FSePuffer Index: 1"));
    C->ProcessThreadMessages();
    // every entry written once, the announcements again did not repeat one
    EXPECT_EQ(Link->Written.size(), 256u);
    for (const auto& w : Link->Written)
        EXPECT_EQ(w, Cmd::StatusRequest());
    EXPECT_TRUE(C->SendRequest(Cmd::VersionRequest()));
}

// An announcement made again for a full ring is stale once its entry has
// been written and filled anew: the new filling goes out in its turn, after
// everything asked for before it.
TEST_F(ControllerTest, AStaleAnnouncementDoesNotWriteANewEntryEarly) {
    for (int k = 0; k < 256; ++k)
        ASSERT_TRUE(C->SendRequest(Cmd::MasterTimeout(k))) << k;
    EXPECT_FALSE(C->SendRequest(Cmd::MasterTimeout(999))); // entry 0 announced again
    // the thread writes the 256 entries; the announcement again still waits
    for (int k = 0; k < 256; ++k)
        ASSERT_TRUE(C->ProcessNextThreadMessage());
    // entries 1..255 and then 0 are filled anew
    for (int k = 256; k < 512; ++k)
        ASSERT_TRUE(C->SendRequest(Cmd::MasterTimeout(k))) << k;
    C->ProcessThreadMessages();
    ASSERT_EQ(Link->Written.size(), 512u);
    for (int k = 0; k < 512; ++k)
        EXPECT_EQ(Link->Written[static_cast<std::size_t>(k)], Cmd::MasterTimeout(k)) << k;
}

TEST_F(ControllerTest, ResponseListDownload) {
    TAntwortListe list = {{"Aufruf", "Antwort", 0}, {"ab", "c", 10}, {"a1", "a10", 100}};
    ASSERT_TRUE(C->CopyResponseList(list));
    EXPECT_FALSE(C->CopyResponseList(list)) << "a copy is still pending";
    C->ProcessThreadMessages();
    ASSERT_EQ(Link->Written.size(), 3u);
    EXPECT_EQ(Link->Written[0], Cmd::ClearResponseList());
    EXPECT_EQ(Link->Written[1].substr(0, 7), Hex("D5 48 00 04 00 03 00"));
    EXPECT_EQ(Link->Written[1], Cmd::ResponseListElement("ab", "c", 10));
    EXPECT_EQ(Link->Written[2], Cmd::ResponseListElement("a1", "a10", 100));
    EXPECT_EQ(C->ActiveResponseList(), list);
    EXPECT_TRUE(C->CopyResponseList(list));
}

TEST_F(ControllerTest, LargeResponseListReachesDeviceWhole) {
    TAntwortListe list;
    for (int k = 0; k < 1000; ++k)
        list.push_back(
            {"a" + std::to_string(k), "b" + std::to_string(k), static_cast<uint16_t>(k)});
    // other traffic queued before and after stays in order around it
    ASSERT_TRUE(C->SendRequest(Cmd::StatusRequest()));
    ASSERT_TRUE(C->CopyResponseList(list));
    ASSERT_TRUE(C->SendRequest(Cmd::SlaveSimulation(true)));
    C->ProcessThreadMessages();
    ASSERT_EQ(Link->Written.size(), 1003u);
    EXPECT_EQ(Link->Written[0], Cmd::StatusRequest());
    EXPECT_EQ(Link->Written[1], Cmd::ClearResponseList());
    for (int k = 0; k < 1000; ++k)
        ASSERT_EQ(Link->Written[2 + k],
                  Cmd::ResponseListElement(list[k].Aufruf, list[k].Antwort, list[k].ReactionMs));
    EXPECT_EQ(Link->Written.back(), Cmd::SlaveSimulation(true));
}

TEST_F(ControllerTest, LinkLossStopsDecoding) {
    const std::string capture = Hex("82 01 00 00 00 80 61 0D 13 83 10 00 00 00");
    Link->Feed(capture);
    Link->Disconnect();
    EXPECT_EQ(C->DecoderState(), TDecoderState::Down);
    Link->Feed(capture);
    HandOver.Pump();
    ASSERT_EQ(Notes.size(), 2u);
    EXPECT_EQ(Notes[0].Msg, TControllerMessage::FMsgMasterTelegramm);
    EXPECT_EQ(Notes[1].Msg, TControllerMessage::FMsgLinkDown);
    EXPECT_EQ(Notes[1].WParam, 0u);

    Link->Connect();
    HandOver.Pump();
    EXPECT_EQ(Notes.back().Msg, TControllerMessage::FMsgLinkUp);
    EXPECT_EQ(Notes.back().WParam, 1u);
    EXPECT_EQ(C->DecoderState(), TDecoderState::Idle);
}

TEST_F(ControllerTest, NotificationsCarryTheirValues) {
    Link->Feed(Hex("88 A5 8E 10 27 00 00 89") + "V2.1" + Hex("0D 8A 02") + "ok" + Hex("8B 01"));
    Link->Feed(Hex("84 01 00 00 00 8D 61 31 0D 22 85 02 00 00 00"));
    HandOver.Pump();
    ASSERT_EQ(Notes.size(), 6u);
    EXPECT_EQ(Notes[0].Msg, TControllerMessage::FMsgStatus);
    EXPECT_EQ(Notes[0].WParam, 0xA5u);
    EXPECT_EQ(Notes[1].Msg, TControllerMessage::FMsgRecordCount);
    EXPECT_EQ(Notes[1].WParam, 10000u);
    EXPECT_EQ(Notes[2].Msg, TControllerMessage::FMsgVersion);
    EXPECT_EQ(Notes[2].Text, "V2.1");
    EXPECT_EQ(C->ControllerVersion(), "V2.1");
    EXPECT_EQ(Notes[3].Msg, TControllerMessage::FMsgDeviceText);
    EXPECT_EQ(Notes[3].Text, "ok");
    EXPECT_EQ(Notes[4].Msg, TControllerMessage::FMsgUploadReply);
    EXPECT_EQ(C->UploadGoAheadReply(), TUploadReplyStatus::urNotEnoughMenory);
    EXPECT_EQ(Notes[5].Msg, TControllerMessage::FMsgSlaveTelegramm);
    EXPECT_TRUE(Notes[5].Record.SentByDevice);
}

TEST_F(ControllerTest, WakeUpRevivesSilentLink) {
    Link->Disconnect(); // decoder Down, nothing reaches the device while down
    C->WakeUpTimeout();
    EXPECT_TRUE(Traced("WBController >> try to reanimate"));
    EXPECT_TRUE(Link->Written.empty());

    Link->Connect();
    Master();
    Traces.clear();
    C->WakeUpTimeout();
    EXPECT_TRUE(Traced("WaitRes = WAIT_TIMEOUT"));
    EXPECT_TRUE(Traced("WBController >> sending heartbeat"));
    EXPECT_TRUE(Link->Written.empty());
}

// The link traces and beeps where the controller does.
TEST_F(ControllerTest, LinkGetsTheControllersHooks) {
    ASSERT_TRUE(Link->Trace);
    ASSERT_TRUE(Link->Beep);
    Link->Trace("ERROR: during usb-read: Broken pipe");
    Link->Beep();
    EXPECT_TRUE(Traced("ERROR: during usb-read: Broken pipe"));
    EXPECT_EQ(Beeps, 1);
}

TEST_F(ControllerTest, WritesOnlyWhileConnected) {
    Link->Disconnect();
    EXPECT_TRUE(C->SendRequest(Cmd::StatusRequest()));
    C->ProcessThreadMessages();
    EXPECT_TRUE(Link->Written.empty());
    EXPECT_EQ(C->WriteDataSeriellOrUSB("\xA0"), 1);
}

TEST(ControllerThread, WritesFromItsOwnThreadAndDrainsAtTheEnd) {
    TManualHandOver handOver;
    auto link = std::make_unique<FakeLink>();
    FakeLink* l = link.get();
    TWBController c(std::move(link), handOver, nullptr);
    {
        // the thread opens the link at its start
        {
            std::unique_lock<std::mutex> lock(l->Lock);
            ASSERT_TRUE(
                l->Signal.wait_for(lock, std::chrono::seconds(10), [&] { return l->Connected(); }));
        }
        ASSERT_TRUE(c.SendRequest(Cmd::StatusRequest()));
        {
            std::unique_lock<std::mutex> lock(l->Lock);
            ASSERT_TRUE(l->Signal.wait_for(lock, std::chrono::seconds(10),
                                           [&] { return l->Written.size() == 1; }));
        }
        // queued just before the end, still written
        ASSERT_TRUE(c.SendRequest(Cmd::ClearResponseList()));
        ASSERT_TRUE(c.SetMode(0));
        c.Terminate();
    }
    EXPECT_EQ(l->Written, (std::vector<std::string>{Cmd::StatusRequest(), Cmd::ClearResponseList(),
                                                    Cmd::SlaveMode()}));
}

} // namespace
} // namespace vaskel
