#pragma once
// Window tests: message boxes are answered by a timer.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include <initializer_list>
#include <vector>

namespace vaskel {

// Answers every message box that comes up with the given button and
// counts them (the windows' own questions, shown modally).
class TAutoAnswer {
public:
    explicit TAutoAnswer(QMessageBox::StandardButton button) : TAutoAnswer({button}) {}
    // The buttons in turn, the last one for every further box.
    TAutoAnswer(std::initializer_list<QMessageBox::StandardButton> buttons) : FButtons(buttons) {
        FTimer.setInterval(20);
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            // a box opened while the application was not active (a loaded
            // machine) is not always the active modal one yet
            if (!box)
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
            if (!box) return;
            const auto button = FButtons[std::min<std::size_t>(Count, FButtons.size() - 1)];
            ++Count;
            LastText = box->text();
            LastTitle = box->windowTitle();
            QAbstractButton* b = box->button(button);
            if (!b && button == QMessageBox::No) b = box->button(QMessageBox::Discard);
            if (!b) b = box->button(QMessageBox::Ok);
            if (b)
                b->click();
            else
                box->reject();
        });
        FTimer.start();
    }
    int Count = 0;
    QString LastText;
    QString LastTitle;

private:
    std::vector<QMessageBox::StandardButton> FButtons;
    QTimer FTimer;
};

} // namespace vaskel
