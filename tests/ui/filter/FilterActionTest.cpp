// "Filter definieren ..." in the main window: one filter window, brought to
// the front when asked for again.

#include "ui/filter/Filter.h"
#include "ui/main/MainFormFixture.h"

namespace vaskel {
namespace {

class FilterActionTest : public MainWindowTest {};

TEST_F(FilterActionTest, OpensOneWindow) {
    Start(TScenario::Idle);
    QAction* action = W->Action(TAct::acFilterWindow);
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    auto filters = [this] {
        int n = 0;
        for (TfChildWindow* w : W->Area()->Windows())
            n += dynamic_cast<TfFilter*>(w) != nullptr ? 1 : 0;
        return n;
    };
    ASSERT_EQ(filters(), 1);
    TfFilter* filter = dynamic_cast<TfFilter*>(W->Area()->ActiveWindow());
    ASSERT_TRUE(filter);
    W->OpenMonitor();
    EXPECT_NE(W->Area()->ActiveWindow(), filter);
    action->trigger();
    EXPECT_EQ(filters(), 1);
    EXPECT_EQ(W->Area()->ActiveWindow(), filter) << "the open one comes to the front";
}

} // namespace
} // namespace vaskel
