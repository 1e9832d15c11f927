#pragma once
// The list editors the main window opened, one per file: a new one, or the
// one that shows a file already brought to the front.

#include "ui/common/Session.h"
#include "ui/common/WindowArea.h"

#include <QFileInfo>
#include <QList>
#include <QPointer>
#include <QString>

namespace vaskel {

// Editor: a list editor window made as Editor(session, file), with
// Loaded() and RefreshFromState().
template <class Editor> class TListEditors {
public:
    TListEditors(TSession& session, TWindowArea& area) : FSession(session), FArea(area) {}

    // A new, unnamed editor.
    Editor* New() { return Show(new Editor(FSession, QString())); }

    // The editor of file: the one that shows it already, else a new one;
    // null when the file is not there or the editor could not load it.
    Editor* Open(const QString& file) {
        if (!QFileInfo::exists(file)) return nullptr;
        const QString wanted = QFileInfo(file).canonicalFilePath();
        FEditors.removeAll(nullptr);
        for (const QPointer<Editor>& w : FEditors)
            if (QFileInfo(w->FileName()).canonicalFilePath() == wanted) {
                FArea.Activate(w);
                return w;
            }
        auto* form = new Editor(FSession, file);
        if (!form->Loaded()) {
            // not a list of this kind: the editor closes itself
            delete form;
            return nullptr;
        }
        return Show(form);
    }

    // Puts an editor made elsewhere into the window area and the list.
    Editor* Show(Editor* form) {
        form->RefreshFromState();
        FArea.AddWindow(form);
        FEditors.removeAll(nullptr);
        FEditors << form;
        return form;
    }

private:
    TSession& FSession;
    TWindowArea& FArea;
    QList<QPointer<Editor>> FEditors;
};

} // namespace vaskel
