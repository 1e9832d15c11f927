#pragma once
// TSyncListbox: a list that keeps in step with the other TSyncListbox
// controls of the same parent. A key, a scroll or a turn of the wheel on one
// of them is done on the others too, so lists whose rows line up stay
// lined up while the user moves through them.

#include <QListView>

namespace vaskel {

// What is mirrored: vertical scrolling for skBoth and skVScroll,
// horizontal for skBoth and skHScroll, keys and the wheel for every kind
// but skNone.
enum class TSyncKind { skBoth, skVScroll, skHScroll, skNone };

class TSyncListbox : public QListView {
public:
    explicit TSyncListbox(QWidget* parent = nullptr);

    TSyncKind SyncKind() const { return FSyncKind; }
    void SetSyncKind(TSyncKind kind) { FSyncKind = kind; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QList<TSyncListbox*> Siblings() const;
    void Mirror(Qt::Orientation orientation, int value);

    TSyncKind FSyncKind = TSyncKind::skBoth;
    // set while this list does what a sibling did, so it is not sent back
    bool FReentry = false;
};

} // namespace vaskel
