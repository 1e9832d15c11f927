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

// Opened beside a monitor that is not maximised, in a main window of a
// 1024 x 768 screen: the window lies whole inside the area, its bottom row
// (the box, "Alle", "Keine") within reach.
TEST_F(FilterActionTest, OpensWholeInsideTheArea) {
    Start(TScenario::Idle);
    W->resize(1024, 730);
    QApplication::processEvents();
    W->OpenMonitor();
    if (QMdiSubWindow* sub = W->Area()->activeSubWindow()) sub->showNormal();
    W->Action(TAct::acFilterWindow)->trigger();
    QApplication::processEvents();
    auto* filter = dynamic_cast<TfFilter*>(W->Area()->ActiveWindow());
    ASSERT_TRUE(filter);
    auto* sub = qobject_cast<QMdiSubWindow*>(filter->parentWidget());
    ASSERT_TRUE(sub);
    ASSERT_FALSE(sub->isMaximized());
    const QRect area = W->Area()->viewport()->rect();
    EXPECT_TRUE(area.contains(sub->geometry()))
        << "window " << sub->geometry().y() << "+" << sub->geometry().height() << " in "
        << area.height();
    for (QWidget* w : {static_cast<QWidget*>(filter->NeverFilterErrorsBox()),
                       static_cast<QWidget*>(filter->AllButton()),
                       static_cast<QWidget*>(filter->NoneButton())}) {
        const QRect r(w->mapTo(W->Area()->viewport(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(area.contains(r)) << w->objectName().toStdString();
        EXPECT_TRUE(filter->rect().contains(QRect(w->mapTo(filter, QPoint(0, 0)), w->size())))
            << w->objectName().toStdString();
    }
}

} // namespace
} // namespace vaskel
