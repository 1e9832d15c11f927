// The session's device link: where the controller's and the link's trace
// lines and information sound go.

#include "ui/common/Session.h"

#include "TestSupport.h"
#include "link/FakeLink.h"
#include "ui/UiTestSupport.h"

#include <QLoggingCategory>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace vaskel {
namespace {

class SessionDeviceTest : public ::testing::Test {
protected:
    SessionDeviceTest() { Platform.Program = Dir / "Vaskel"; }

    TSession::TOptions Options() {
        TSession::TOptions o;
        o.CreateLink = [this](IMainThreadHandOver&) -> std::unique_ptr<IDeviceLink> {
            auto l = std::make_unique<test::FakeLink>();
            Link = l.get();
            return l;
        };
        return o;
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    test::FakeLink* Link = nullptr;
};

TEST_F(SessionDeviceTest, TracesAndBeepsOfControllerAndLinkAreConnected) {
    std::mutex lock;
    std::vector<std::string> traces;
    int beeps = 0;
    TSession::TOptions o = Options();
    o.Trace = [&](const std::string& s) {
        std::lock_guard<std::mutex> l(lock);
        traces.push_back(s);
    };
    o.Beep = [&] { ++beeps; };
    TSession s(Env, Parser, o);
    s.StartDevice();
    ASSERT_NE(Link, nullptr);
    ASSERT_TRUE(Link->Trace && Link->Beep) << "the link got the session's hooks";

    Link->Trace("ERROR: during usb-read: Broken pipe");
    EXPECT_FALSE(s.Controller()->SendRequest("")); // the controller's own trace
    // a worker thread beeps: the sound is made on the main thread
    std::thread([&] { Link->Beep(); }).join();
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(WaitFor([&] { return beeps == 1; }));
    s.EndDevice();
    std::lock_guard<std::mutex> l(lock);
    EXPECT_NE(std::find(traces.begin(), traces.end(), "ERROR: during usb-read: Broken pipe"),
              traces.end());
    EXPECT_NE(std::find(traces.begin(), traces.end(), "Send request rejected. Empty telegram."),
              traces.end());
}

// Without a sink of its own the session traces to the platform's debug output.
std::mutex gMessagesLock;
std::vector<std::pair<std::string, std::string>> gMessages; // category, text

void Collect(QtMsgType, const QMessageLogContext& context, const QString& text) {
    std::lock_guard<std::mutex> l(gMessagesLock);
    gMessages.emplace_back(context.category ? context.category : "", text.toStdString());
}

TEST_F(SessionDeviceTest, TracesGoToTheDebugOutputByDefault) {
    QLoggingCategory::setFilterRules(QStringLiteral("vaskel.link.debug=true"));
    const QtMessageHandler before = qInstallMessageHandler(Collect);
    {
        TSession s(Env, Parser, Options());
        s.StartDevice();
        ASSERT_NE(Link, nullptr);
        Link->Trace("ERROR usb-read: \xDC"
                    "berlauf"); // Windows-1252
        s.EndDevice();
    }
    qInstallMessageHandler(before);
    QLoggingCategory::setFilterRules(QStringLiteral("vaskel.link.debug=false"));
    std::lock_guard<std::mutex> l(gMessagesLock);
    EXPECT_NE(
        std::find(gMessages.begin(), gMessages.end(),
                  std::pair<std::string, std::string>("vaskel.link", "ERROR usb-read: \xC3\x9C"
                                                                     "berlauf")),
        gMessages.end());
}

} // namespace
} // namespace vaskel
