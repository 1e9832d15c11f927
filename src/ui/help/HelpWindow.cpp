#include "ui/help/HelpWindow.h"

#include "ui/common/Icons.h"
#include "ui/common/Texts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace vaskel {

namespace {

// The pages, their pictures and the links between them come out of the
// collection.
class THelpBrowser : public QTextBrowser {
public:
    explicit THelpBrowser(QHelpEngine& engine) : FEngine(engine) {
        setOpenExternalLinks(true);
    }
    QVariant loadResource(int type, const QUrl& name) override {
        if (name.scheme() == QLatin1String("qthelp")) {
            QUrl file = name;
            file.setFragment(QString());
            const QByteArray data = FEngine.fileData(file);
            if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
                return QString::fromUtf8(data);
            return data;
        }
        return QTextBrowser::loadResource(type, name);
    }

private:
    QHelpEngine& FEngine;
};

// The index list follows the word typed; Return or a double click opens it.
class TIndexFilter : public QLineEdit {
public:
    explicit TIndexFilter(QHelpIndexWidget* index) : FIndex(index) {
        connect(this, &QLineEdit::textChanged, this,
                [this](const QString& text) { FIndex->filterIndices(text); });
        connect(this, &QLineEdit::returnPressed, this, [this] { FIndex->activateCurrentItem(); });
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        // up and down walk the list below while the word is typed
        if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_PageUp ||
            e->key() == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(FIndex, e);
            return;
        }
        QLineEdit::keyPressEvent(e);
    }

private:
    QHelpIndexWidget* FIndex;
};

} // namespace

THelpWindow::THelpWindow(const QString& collectionFile, int language) : FLanguage(language) {
    setObjectName(QStringLiteral("HelpWindow"));
    // the help never keeps the program running
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(ProgramIcon(QStringLiteral("vaskel")));
    FEngine = new QHelpEngine(collectionFile, this);
    FEngine->setReadOnly(false);
    connect(FEngine->indexModel(), &QHelpIndexModel::indexCreated, this,
            [this] { FIndexReady = true; });
    connect(FEngine->searchEngine(), &QHelpSearchEngine::indexingFinished, this,
            [this] { FSearchReady = true; });
    if (!FEngine->setupData())
        FProblem = FEngine->error().isEmpty() ? collectionFile : FEngine->error();
    else if (FEngine->registeredDocumentations().isEmpty())
        FProblem = collectionFile + QStringLiteral(": ") + Tr("keine Seiten");

    FBrowser = new THelpBrowser(*FEngine);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));

    FTabs = new QTabWidget;
    FTabs->setObjectName(QStringLiteral("HelpTabs"));
    QHelpContentWidget* contents = FEngine->contentWidget();
    contents->setObjectName(QStringLiteral("HelpContents"));
    connect(contents, &QHelpContentWidget::linkActivated, this, &THelpWindow::ShowUrl);
    FTabs->addTab(contents, Tr("Inhalt"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    auto* look = new QLabel(Tr("Gesuchtes Stichwort:"));
    QHelpIndexWidget* index = FEngine->indexWidget();
    index->setObjectName(QStringLiteral("HelpIndex"));
    FIndexFilter = new TIndexFilter(index);
    FIndexFilter->setObjectName(QStringLiteral("HelpIndexFilter"));
    look->setBuddy(FIndexFilter);
    indexLayout->addWidget(look);
    indexLayout->addWidget(FIndexFilter);
    indexLayout->addWidget(index);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& link, const QString&) { ShowUrl(link.url); });
    // a word on several pages: the first; the others stay in the search
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty()) ShowUrl(links.front().url);
            });
    FTabs->addTab(indexPage, Tr("Index"));

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(4, 4, 4, 4);
    QHelpSearchEngine* search = FEngine->searchEngine();
    QHelpSearchQueryWidget* query = search->queryWidget();
    query->setObjectName(QStringLiteral("HelpSearchQuery"));
    QHelpSearchResultWidget* results = search->resultWidget();
    results->setObjectName(QStringLiteral("HelpSearchResults"));
    searchLayout->addWidget(query);
    searchLayout->addWidget(results, 1);
    connect(query, &QHelpSearchQueryWidget::search, this,
            [search, query] { search->search(query->searchInput()); });
    connect(results, &QHelpSearchResultWidget::requestShowLink, this, &THelpWindow::ShowUrl);
    FTabs->addTab(searchPage, Tr("Suche"));
    // a tab chosen: typing goes to its field
    connect(FTabs, &QTabWidget::currentChanged, this, [this, query](int tab) {
        if (tab == static_cast<int>(TTab::Index)) FIndexFilter->setFocus();
        if (tab == static_cast<int>(TTab::Search)) query->setFocus();
    });

    auto* bar = new QHBoxLayout;
    auto button = [bar](QStyle::StandardPixmap icon) {
        auto* b = new QToolButton;
        b->setIcon(b->style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    FBack = button(QStyle::SP_ArrowBack);
    FBack->setObjectName(QStringLiteral("HelpBack"));
    SetDe(FBack, "Zurück");
    FForward = button(QStyle::SP_ArrowForward);
    FForward->setObjectName(QStringLiteral("HelpForward"));
    SetDe(FForward, "Vorwärts");
    FHome = button(QStyle::SP_DirHomeIcon);
    FHome->setObjectName(QStringLiteral("HelpHome"));
    SetDe(FHome, "Startseite");
    bar->addStretch();
    FBack->setEnabled(false);
    FForward->setEnabled(false);
    connect(FBack, &QToolButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(FForward, &QToolButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FHome, &QToolButton::clicked, this, &THelpWindow::ShowStart);
    connect(FBrowser, &QTextBrowser::backwardAvailable, FBack, &QToolButton::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, FForward, &QToolButton::setEnabled);
    // the contents follow the page shown; they are read on a thread of
    // their own and may come after the first page
    auto follow = [this, contents] {
        const QModelIndex i = contents->indexOf(FBrowser->source());
        if (i.isValid()) contents->setCurrentIndex(i);
    };
    connect(FBrowser, &QTextBrowser::sourceChanged, this, [this, follow] {
        follow();
        Retitle();
    });
    connect(FEngine->contentModel(), &QHelpContentModel::contentsCreated, this,
            [contents, follow] {
                contents->expandToDepth(0);
                follow();
            });

    auto* split = new QSplitter;
    split->addWidget(FTabs);
    split->addWidget(FBrowser);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    resize(960, 680);
    Retitle();
    // (the full-text search indexes the pages by itself once the collection
    // is set up: beside the working copy, once per copy)
}

THelpWindow::~THelpWindow() {
    // the search index may still be written on its thread
    if (FEngine) FEngine->searchEngine()->cancelIndexing();
}

void THelpWindow::Retitle() {
    const QString page = FBrowser ? FBrowser->documentTitle() : QString();
    setWindowTitle(page.isEmpty() ? Tr("Vaskel Hilfe")
                                  : Tr("Vaskel Hilfe") + QStringLiteral(" - ") + page);
}

void THelpWindow::ShowStart() {
    const QStringList docs = FEngine->registeredDocumentations();
    if (docs.isEmpty()) return;
    ShowUrl(QUrl(QStringLiteral("qthelp://%1/manual/index.html").arg(docs.front())));
}

bool THelpWindow::ShowId(const QString& id) {
    const QList<QHelpLink> links = FEngine->documentsForIdentifier(id);
    if (links.isEmpty()) return false;
    ShowUrl(links.front().url);
    return true;
}

void THelpWindow::ShowUrl(const QUrl& url) {
    FBrowser->setSource(url);
}

void THelpWindow::ShowTab(TTab tab) {
    FTabs->setCurrentIndex(static_cast<int>(tab));
    if (tab == TTab::Index) FIndexFilter->setFocus();
}

QUrl THelpWindow::Source() const {
    return FBrowser->source();
}

} // namespace vaskel
