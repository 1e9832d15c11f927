#pragma once
// Shared by the window tests.

#include <QApplication>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QTest>
#include <QWidget>

#include <string>

namespace vaskel {

// The shipped record-type catalogue.
inline const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

// Runs the event loop until pred holds (false after 20 s).
template <typename P> bool WaitFor(P pred) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (pred()) return true;
    }
    return false;
}

// Presses a standard key (Ctrl+A, Ctrl+C, Ctrl+S ...) on w as the user
// does: the focus there, the key through the shortcuts of the actions.
inline void PressStandardKey(QWidget* w, QKeySequence::StandardKey k) {
    w->setFocus();
    QApplication::processEvents();
    const QKeyCombination c = QKeySequence(k)[0];
    QTest::keyClick(w, c.key(), c.keyboardModifiers());
    QApplication::processEvents();
}

} // namespace vaskel
