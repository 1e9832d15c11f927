#pragma once
// TWindowArea: the main window's area of child windows. It adds windows
// (each in a frame that deletes it on close), lists them, knows the active
// one, closes all, shows or hides their tool bars and refreshes them from
// the session's state, all through the child-window base.

#include <QList>
#include <QMdiArea>

class QMenu;
class QMdiSubWindow;

namespace vaskel {

class TfChildWindow;

class TWindowArea : public QMdiArea {
public:
    explicit TWindowArea(QWidget* parent = nullptr);

    // Shows the window in a frame of its own, inside the area, and makes it
    // the active one.
    void AddWindow(TfChildWindow* window);
    QList<TfChildWindow*> Windows() const;
    TfChildWindow* ActiveWindow() const;
    // A window shows this file (the same file, however its name is spelt).
    bool ShowsFile(const QString& file) const;
    // Makes the window the active one.
    void Activate(TfChildWindow* window);
    // Closes every window; one that stays open is asked again.
    void CloseAll();
    // The windows' own tool bars, as the view menu says.
    void SetToolBarsShown(bool shown);
    bool ToolBarsShown() const { return FToolBarsShown; }
    void RefreshAll();
    // "Horizontal anordnen": the windows one above the other, each the full
    // width; "Vertikal anordnen": side by side, each the full height.
    void TileHorizontally() { Tile(Qt::Vertical); }
    void TileVertically() { Tile(Qt::Horizontal); }
    // "Anordnen": the minimised windows in rows along the bottom edge.
    void ArrangeIcons();
    // The window menu lists the open windows below its own entries (filled
    // each time it opens); choosing one makes it the active window.
    void ListWindowsIn(QMenu* menu);

    // Every window that is neither maximised nor minimised made to lie whole
    // inside the area (moved, and made smaller where the area is smaller).
    void KeepAllInside();

protected:
    bool viewportEvent(QEvent* e) override;

private:
    // Tiles the windows that are not minimised along the orientation.
    void Tile(Qt::Orientation along);
    void ApplyToolBars(TfChildWindow* window) const;
    // A window placed partly outside the area is moved (and made smaller)
    // to lie inside it.
    void KeepInside(QMdiSubWindow* sub) const;

    bool FToolBarsShown = true;
};

} // namespace vaskel
