#pragma once
// Window tests: message boxes are answered by a timer.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace vaskel {

// Answers every message box that comes up with the given button and
// counts them (the windows' own questions, shown modally).
class TAutoAnswer {
public:
    explicit TAutoAnswer(QMessageBox::StandardButton button) : FButton(button) {
        FTimer.setInterval(20);
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            ++Count;
            LastText = box->text();
            QAbstractButton* b = box->button(FButton);
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

private:
    QMessageBox::StandardButton FButton;
    QTimer FTimer;
};

} // namespace vaskel
