// The balloon of the one-time hints: it lies where it covers no button or
// field of its window when there is such a place (a click beside its close
// button must not land on a control hidden under it), its tail still at the
// point it explains; and it stays while the pointer rests on it.

#include "ui/widgets/BalloonHint.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vaskel {
namespace {

struct Layout {
    QWidget Window;
    QLabel* Line = nullptr;
    std::vector<QWidget*> Controls;

    // A line near the bottom, as the main window's active-list line, with a
    // row of buttons above it (a list editor's Deaktivieren, Speichern,
    // Schließen) and a field and a button beside and below it.
    Layout() {
        Window.resize(1000, 700);
        int x = 0;
        for (const char* caption : {"Deaktivieren", "Speichern", "Schlie\u00DFen", "DS 021 ...",
                                    "Aktivieren", "Weiter", "L\u00F6schen"}) {
            auto* b = new QPushButton(QString::fromUtf8(caption), &Window);
            b->setGeometry(x, 520, 140, 24);
            x += 143;
            Controls.push_back(b);
        }
        Line = new QLabel(QStringLiteral("/tmp/disp1.ANT.CSV"), &Window);
        Line->setGeometry(590, 580, 280, 20);
        auto* reload = new QPushButton(QStringLiteral("R"), &Window);
        reload->setGeometry(875, 578, 24, 24);
        Controls.push_back(reload);
        auto* bus = new QPushButton(QStringLiteral("Wagenbus"), &Window);
        bus->setGeometry(910, 650, 80, 22);
        Controls.push_back(bus);
        auto* field = new QLineEdit(&Window);
        field->setGeometry(20, 690, 200, 8);
        Controls.push_back(field);
        Window.show();
    }
};

TEST(BalloonHint, CoversNoControlOfItsWindowAndPointsAtItsSubject) {
    Layout l;
    const QString text = QStringLiteral("Durch einen Doppelklick auf diesen Eintrag im "
                                        "Statusbereich\nk\u00F6nnen Sie die gerade aktive "
                                        "Antwortliste \u00F6ffnen.");
    for (const bool below : {false, true}) {
        TBalloonHint* b =
            TBalloonHint::Show(l.Line, l.Line->rect().center(), TBalloonHint::TIcon::Information,
                               QStringLiteral("Tipp"), text, 7000, below);
        ASSERT_NE(b, nullptr);
        const QRect box = b->geometry();
        for (QWidget* c : l.Controls)
            EXPECT_FALSE(box.intersects(c->geometry()))
                << c->objectName().toStdString() << " " << qPrintable(
                       c->property("text").toString())
                << " under the balloon (below asked: " << below << ")";
        // the tail reaches the line's middle: the point lies on the box's
        // top or bottom edge, inside its width
        const QPoint at = l.Line->geometry().center();
        EXPECT_TRUE(at.y() == box.top() || at.y() == box.bottom() + 1) << at.y();
        EXPECT_GT(at.x(), box.left() + 10);
        EXPECT_LT(at.x(), box.right() - 10);
        EXPECT_TRUE(box.intersects(l.Window.rect()) && l.Window.rect().contains(box));
    }
    TBalloonHint::CloseCurrent();
}

TEST(BalloonHint, StaysWhileThePointerIsOnIt) {
    Layout l;
    TBalloonHint* b =
        TBalloonHint::Show(l.Line, l.Line->rect().center(), TBalloonHint::TIcon::Information,
                           QStringLiteral("Tipp"), QStringLiteral("Text"), 7000);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->CloseTimerRunning());
    QEnterEvent enter(QPointF(5, 20), QPointF(5, 20), b->mapToGlobal(QPointF(5, 20)));
    QCoreApplication::sendEvent(b, &enter);
    EXPECT_FALSE(b->CloseTimerRunning()) << "on the way to its close button";
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(b, &leave);
    EXPECT_TRUE(b->CloseTimerRunning()) << "the full time again";
    TBalloonHint::CloseCurrent();
}

} // namespace
} // namespace vaskel
