#include "ui/common/MainWindowLink.h"

#include <QApplication>
#include <QWidget>

namespace vaskel {

IMainWindow* MainWindowOf(const QObject* window) {
    for (const QObject* o = window; o; o = o->parent())
        if (auto* m = dynamic_cast<IMainWindow*>(const_cast<QObject*>(o))) return m;
    // a window not yet placed in the main window's area
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = dynamic_cast<IMainWindow*>(w)) return m;
    return nullptr;
}

const TActionTable* ActionsOf(const QObject* window) {
    const IMainWindow* main = MainWindowOf(window);
    return main ? &main->Actions() : nullptr;
}

} // namespace vaskel
