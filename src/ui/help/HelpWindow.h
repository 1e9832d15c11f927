#pragma once
// THelpWindow: the user manual of one language in a window of its own: the
// pages on the right; contents, index and full-text search on the left.
// Everything comes from the Qt Help collection built from docs/manual
// (tools/helpgen): the pages, the contents, the index words and the
// windows' identifiers (the manual's table of windows and pages).

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QTabWidget;
class QTextBrowser;
class QToolButton;

namespace vaskel {

class THelpWindow : public QWidget {
public:
    enum class TTab { Contents, Index, Search };

    // Opens the collection (a working copy the window may write its search
    // index beside); language 1 German, 2 English.
    THelpWindow(const QString& collectionFile, int language);
    ~THelpWindow() override;

    int Language() const { return FLanguage; }
    // Empty when the collection opened; else why not.
    QString Problem() const { return FProblem; }

    // The manual's first page (its contents).
    void ShowStart();
    // The page of a window's identifier (index.md's table); false when the
    // manual has none.
    bool ShowId(const QString& id);
    void ShowUrl(const QUrl& url);
    void ShowTab(TTab tab);
    // The page shown (with its anchor).
    QUrl Source() const;

    QHelpEngine& Engine() { return *FEngine; }
    QTabWidget* Tabs() const { return FTabs; }
    QLineEdit* IndexFilter() const { return FIndexFilter; }
    QTextBrowser* Browser() const { return FBrowser; }
    // The index and the search index are built on threads of their own.
    bool IndexReady() const { return FIndexReady; }
    bool SearchReady() const { return FSearchReady; }

private:
    void Retitle();

    int FLanguage = 1;
    QString FProblem;
    QHelpEngine* FEngine = nullptr;
    QTabWidget* FTabs = nullptr;
    QLineEdit* FIndexFilter = nullptr;
    QTextBrowser* FBrowser = nullptr;
    QToolButton* FBack = nullptr;
    QToolButton* FForward = nullptr;
    QToolButton* FHome = nullptr;
    bool FIndexReady = false;
    bool FSearchReady = false;
};

} // namespace vaskel
