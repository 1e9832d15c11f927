#include "ui/common/WindowPlacement.h"

#include "ui/UiTestSupport.h"

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

namespace vaskel {
namespace {

// A small screen of 1024 x 768 with a panel of 30 pixels at the bottom.
const QRect kScreen(0, 0, 1024, 738);

struct TFitCase {
    const char* What;
    QRect Frame;
    QRect Expected;
};

TEST(WindowPlacement, AFrameIsMadeToFitItsRoom) {
    const TFitCase cases[] = {
        {"inside stays where it is", {100, 50, 600, 400}, {100, 50, 600, 400}},
        {"the main window's default size: shrunk to the room", {0, 0, 1024, 868}, {0, 0, 1024, 738}},
        {"below the bottom edge: moved up", {300, 500, 500, 400}, {300, 338, 500, 400}},
        {"beyond the right edge: moved left", {800, 100, 500, 300}, {524, 100, 500, 300}},
        {"above and left of the room: moved in", {-40, -25, 300, 200}, {0, 0, 300, 200}},
        {"too large and off the screen: shrunk and moved", {500, 400, 1400, 900}, {0, 0, 1024, 738}},
        {"wider only: shrunk in width, the height kept", {200, 100, 1300, 300}, {0, 100, 1024, 300}},
    };
    for (const TFitCase& c : cases) {
        const QRect fitted = FitFrame(c.Frame, kScreen);
        EXPECT_EQ(fitted, c.Expected) << c.What;
        EXPECT_TRUE(kScreen.contains(fitted)) << c.What;
    }
    // a second screen to the left of the first has negative coordinates
    const QRect left(-1280, 0, 1280, 1024);
    EXPECT_EQ(FitFrame({-100, 900, 400, 300}, left), QRect(-400, 724, 400, 300));
}

TEST(WindowPlacement, AWindowOpensCentredOnItsOwnerAndOnTheScreen) {
    const QRect owner(100, 100, 800, 600);
    EXPECT_EQ(CentreFrameOn({400, 200}, owner, kScreen).center(), owner.center());
    // an owner near the edge: centred as far as the screen allows
    const QRect nearEdge(700, 500, 300, 200);
    const QRect placed = CentreFrameOn({500, 400}, nearEdge, kScreen);
    EXPECT_TRUE(kScreen.contains(placed));
    EXPECT_EQ(placed, QRect(524, 338, 500, 400));
    // larger than the screen: the screen
    EXPECT_EQ(CentreFrameOn({2000, 1000}, owner, kScreen), kScreen);
}

TEST(WindowPlacement, ARememberedPlaceIsKeptOnAScreenAndDroppedOffEveryScreen) {
    // two screens side by side, the second one larger
    const QList<QRect> screens{{0, 0, 1024, 738}, {1024, 0, 1920, 1050}};
    // on the second screen
    EXPECT_EQ(RestoredFrame({1200, 100, 1000, 700}, screens), QRect(1200, 100, 1000, 700));
    // across both: on the one holding most of it, wholly
    EXPECT_EQ(RestoredFrame({900, 100, 800, 600}, screens), QRect(1024, 100, 800, 600));
    // partly on the first screen when the second was unplugged: pulled onto it
    EXPECT_EQ(RestoredFrame({900, 100, 1000, 700}, {screens[0]}), QRect(24, 38, 1000, 700));
    // off every screen (all on the unplugged second one)
    EXPECT_FALSE(RestoredFrame({1200, 100, 1000, 700}, {screens[0]}));
    EXPECT_FALSE(RestoredFrame({4000, 3000, 800, 600}, screens));
    EXPECT_FALSE(RestoredFrame({-900, 100, 800, 600}, screens));
    EXPECT_FALSE(RestoredFrame({100, 100, 800, 600}, {}));
}

// The placement as the program installs it, on the offscreen screen.
class WindowPlacementShown : public ::testing::Test {
protected:
    WindowPlacementShown() { TWindowPlacement::Install(); }
    static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(WindowPlacementShown, AWindowLargerThanTheScreenIsShownWholeOnIt) {
    QWidget w;
    w.setMinimumSize(Screen().width() + 200, 300);
    w.resize(Screen().width() + 300, Screen().height() + 300);
    w.move(Screen().x() + 50, Screen().y() + 40);
    w.show();
    ASSERT_TRUE(WaitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); }));
    EXPECT_TRUE(Screen().contains(w.frameGeometry()))
        << w.frameGeometry().x() << "," << w.frameGeometry().y() << " "
        << w.frameGeometry().width() << "x" << w.frameGeometry().height();
    EXPECT_LE(w.minimumWidth(), Screen().width()) << "its minimum gave way";
}

TEST_F(WindowPlacementShown, ADialogOpensCentredOnItsOwner) {
    QWidget owner;
    owner.setGeometry(Screen().x() + 40, Screen().y() + 30, 500, 400);
    owner.show();
    ASSERT_TRUE(WaitFor([&] { return owner.windowHandle()->isExposed(); }));
    QDialog dialog(&owner);
    dialog.resize(200, 120);
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.windowHandle()->isExposed(); }));
    EXPECT_LE((dialog.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
              2);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
}

TEST_F(WindowPlacementShown, AMessageBoxWithoutAParentBelongsToTheActiveWindow) {
    QWidget owner;
    owner.setGeometry(Screen().x() + 60, Screen().y() + 50, 500, 400);
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &owner; }));
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vaskel"), QStringLiteral("Hinweis"));
    box.show();
    ASSERT_TRUE(WaitFor([&] { return box.windowHandle()->isExposed(); }));
    EXPECT_EQ(box.windowHandle()->transientParent(), owner.windowHandle())
        << "it stays on top of the window it opened from";
    EXPECT_TRUE(owner.frameGeometry().contains(box.frameGeometry().center()));
    box.close();
}

TEST_F(WindowPlacementShown, AModalDialogIsNotHiddenBehindAWindowThatStaysOnTop) {
    QWidget owner;
    owner.setGeometry(Screen().x() + 10, Screen().y() + 10, 500, 400);
    owner.show();
    for (const bool converterOpen : {false, true}) {
        std::unique_ptr<QWidget> converter;
        if (converterOpen) {
            // the IBIS-hex converter: a tool window on top, over the owner's middle
            converter = std::make_unique<QWidget>(&owner, Qt::Tool | Qt::WindowStaysOnTopHint);
            converter->resize(300, 100);
            converter->show();
        }
        QDialog question(&owner);
        question.setModal(true);
        question.show();
        ASSERT_TRUE(WaitFor([&] { return question.windowHandle()->isExposed(); }));
        EXPECT_EQ(bool(question.windowHandle()->flags() & Qt::WindowStaysOnTopHint),
                  converterOpen);
        question.close();
    }
}

} // namespace
} // namespace vaskel
