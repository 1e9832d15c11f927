#pragma once
// An unattended run of the desktop program (`--quit-after`, `--save-on-exit`,
// `--activate`): nobody is at the bench to click a message box away, so no
// box may wait. Every message box that comes up is written to the standard
// error stream and to the error report, answered at once (as its escape
// button would), and the run ends with a non-zero exit status. The same goes
// for the problems the run itself meets (a list that cannot be activated,
// a recording that cannot be written where it was asked to go).

#include <QObject>
#include <QString>

#include <functional>

class QMessageBox;

namespace vaskel {

class TEnvironment;

class TUnattendedRun : public QObject {
public:
    // Watches the application's message boxes from now on, until destroyed.
    explicit TUnattendedRun(TEnvironment& env);
    ~TUnattendedRun() override;

    // The run cannot go on as asked: the message goes to stderr and the
    // error report, the exit status becomes 1 and End is called (once).
    void Fail(const QString& message);
    // A problem that does not end the run (the recording was kept elsewhere):
    // stderr, the error report, exit status 1.
    void Report(const QString& message);
    bool Failed() const { return FFailed; }
    int ExitStatus(int status) const { return status != 0 ? status : (FFailed ? 1 : 0); }

    // Ends the run (the main window closes); absent: nothing more happens.
    std::function<void()> End;
    // Where the lines go (stderr when absent), for the tests.
    std::function<void(const QString& line)> Write;

    // Why a recording cannot be written to file (a folder, a folder that
    // is not there, a place that cannot be written), in English for the
    // command line; empty when it can. Leaves no file behind.
    static QString SaveTargetProblem(const QString& file);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BoxShown(QMessageBox* box);
    void Note(const QString& message);

    TEnvironment& FEnv;
    bool FFailed = false;
    bool FEnding = false;
};

} // namespace vaskel
