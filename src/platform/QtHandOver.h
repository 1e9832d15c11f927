#pragma once
// The Qt side of the seams: hand-over to the main thread through queued
// calls, and timers on QTimer.

#include "shell/HandOver.h"
#include "shell/Timers.h"

#include <QObject>

namespace vaskel {

class TQtHandOver : public IMainThreadHandOver {
public:
    explicit TQtHandOver(QObject* context) : FContext(context) {}
    void Post(std::function<void()> task) override;

private:
    QObject* FContext;
};

class TQtTimerFactory : public ITimerFactory {
public:
    std::unique_ptr<ITimer> CreateTimer() override;
};

} // namespace vaskel
