#pragma once
// Shared by the window tests.

#include <QApplication>
#include <QElapsedTimer>

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

} // namespace vaskel
