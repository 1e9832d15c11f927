#pragma once
// Where windows open. One rule for every window of the program, the main
// window, the windows in its area, the tool windows and the dialogs: a
// window lies wholly on the room it has (a screen's available area, frame
// and title bar included; the main window's area for the windows in it),
// no larger than that room and moved the least way to lie inside it. A
// window opened from another one (a dialog, a tool window, a message box)
// opens centred on that owner and on top of it; a remembered place that
// lies off every screen is dropped.
//
// The rule itself works on rectangles (FitFrame, CentreFrameOn,
// RestoredFrame), so it is tested without a screen; TWindowPlacement applies
// it to every window of the application as it is shown.

#include <QList>
#include <QMargins>
#include <QObject>
#include <QRect>

#include <optional>

class QWidget;

namespace vaskel {

// The frame made no larger than the room and moved the least way to lie
// inside it. An empty room leaves the frame as it is.
QRect FitFrame(const QRect& frame, const QRect& room);

// A window of that frame size opened from its owner: centred on the owner's
// frame, then fitted to the room.
QRect CentreFrameOn(const QSize& frameSize, const QRect& ownerFrame, const QRect& room);

// A remembered frame: fitted to the room it overlaps most among the rooms
// (the screens' available areas); none when it overlaps none of them.
std::optional<QRect> RestoredFrame(const QRect& frame, const QList<QRect>& rooms);

// The available area of the screen under the window's middle (off every
// screen: its owner's, else its own or the primary screen's).
QRect AvailableArea(const QWidget* window);
// The frame around a top-level window's client area: its own once the
// window system has told it, before that the frame of a shown window, else
// an estimate (a title bar and a thin border).
QMargins FrameMargins(const QWidget* window);
// The window's frame rectangle from its client geometry.
QRect FrameOf(const QWidget* window);
// Sets the window's client geometry so that its frame is the given one.
void SetFrame(QWidget* window, const QRect& frame);

// Fits a top-level window to the available area of its screen (not while it
// is maximised, full screen or minimised). Its minimum size gives way where
// the screen is smaller.
void FitOnScreen(QWidget* window);

// Places every top-level window of the application as it is shown: a
// window the program put somewhere (a restored main window) stays there,
// one with an owner opens centred on it (on the window in the main window's
// area it was opened from), the others in the middle of the screen; then it
// is fitted to the screen. A dialog without an owner gets the active window
// as its owner, so it cannot open behind it, and a modal dialog stays above
// a window that stays on top. Once the window system has given the window
// its frame, the window is fitted again with the real frame.
class TWindowPlacement : public QObject {
public:
    // Installs the one placement on the application (once).
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    explicit TWindowPlacement(QObject* parent);
    void Place(QWidget* window);
};

} // namespace vaskel
