#pragma once
// TBalloonHint: a hint or warning that points at a control: a box with an
// icon, a bold title, the text and a close button, with a tail towards the
// point it explains. It lies over its window (it moves with it and never
// covers other programs). One balloon at a time: showing one closes the one
// before.

#include <QFrame>
#include <QPointer>

#include <functional>

class QLabel;
class QTimer;
class QToolButton;

namespace vaskel {

class TBalloonHint : public QFrame {
public:
    enum class TIcon { Information, Warning };

    // Shows a balloon pointing at `at` (in `anchor`'s coordinates). It closes
    // after timeoutMs, or with a timeout of 0 only when closed or replaced.
    // With below, the box lies under the point when there is room (a tip
    // about a table row leaves the tool bar above the table free).
    static TBalloonHint* Show(QWidget* anchor, QPoint at, TIcon icon, const QString& title,
                              const QString& text, int timeoutMs, bool below = false);
    // The balloon that is up (null: none).
    static TBalloonHint* Current();
    // Closes the balloon that is up, if any.
    static void CloseCurrent();

    // A link under the text (the manual's page of what the balloon says);
    // clicking it does what it says and closes the balloon.
    QToolButton* AddLink(const QString& text, std::function<void()> onClick);

    QString Title() const;
    QString Text() const;
    TIcon Icon() const { return FIcon; }
    QWidget* Anchor() const { return FAnchor; }
    // The close timer's interval; 0: no time limit.
    int TimeoutMs() const { return FTimeoutMs; }
    // The close timer counts (it rests while the pointer is on the balloon).
    bool CloseTimerRunning() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    // The anchor or the window moved or changed size (maximised, a bar
    // shown): the balloon points at the same place of its anchor again.
    bool eventFilter(QObject* watched, QEvent* e) override;
    bool event(QEvent* e) override;

private:
    TBalloonHint(QWidget* window, QWidget* anchor, QPoint at, TIcon icon, const QString& title,
                 const QString& text, int timeoutMs, bool below);
    // Places the box beside the point, inside the window, where it covers
    // no control of the window when there is such a place.
    void Place(QPoint at, bool below);

    QPointer<QWidget> FAnchor;
    TIcon FIcon;
    QLabel* FTitle = nullptr;
    QLabel* FText = nullptr;
    QTimer* FTimer = nullptr;
    int FTimeoutMs = 0;
    QPoint FTip;        // the point, in this widget's coordinates
    QPoint FAt;         // the point, in the anchor's coordinates
    bool FBelow = false; // asked to lie below the point
    bool FAbove = true; // the box lies above the point
    static QPointer<TBalloonHint> GCurrent;
};

} // namespace vaskel
