// manual-to-help: turns the Markdown user manual of one language into the
// HTML pages and the Qt Help project (.qhp) and collection project (.qhcp)
// that qhelpgenerator compiles into the program's help.
//
//   manual-to-help LANG SOURCE_FOLDER OUTPUT_FOLDER
//
// SOURCE_FOLDER is docs/manual/LANG; the pages and the .qhp go to
// OUTPUT_FOLDER/LANG, the .qhcp (vaskel-LANG.qhcp) to OUTPUT_FOLDER. The
// pages are read with Qt's own Markdown reader (QTextDocument::setMarkdown) and written with toHtml;
// every heading gets its GitHub-style slug as anchor, links to NAME.md
// become NAME.html. index.md gives the order of the pages (its numbered
// list of contents) and the windows' context identifiers (its table of
// `Class` -> page#anchor). The index of the help collects every heading,
// the names of the context table and the words of comments
// "<!-- index: word; word -->", each with the place of the heading above it.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <map>
#include <set>
#include <vector>

namespace {

struct THeading {
    int Level = 0;
    QString Text;
    QString Slug;
};

struct TKeyword {
    QString Name;
    QString Id; // a window's context identifier, or empty
    QString Ref;
};

struct TPage {
    QString Name; // without .md
    QString Title;
    std::vector<THeading> Headings;
};

[[noreturn]] void Fail(const QString& message) {
    std::fprintf(stderr, "manual-to-help: %s\n", qPrintable(message));
    std::exit(1);
}

QString ReadText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) Fail(path + QStringLiteral(": ") + f.errorString());
    return QString::fromUtf8(f.readAll());
}

void WriteText(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fail(path + QStringLiteral(": ") + f.errorString());
    const QByteArray bytes = text.toUtf8();
    if (f.write(bytes) != bytes.size() || !f.flush())
        Fail(path + QStringLiteral(": ") + f.errorString());
}

// The text a heading shows: without code marks, emphasis and link targets.
QString PlainHeading(QString t) {
    static const QRegularExpression link(QStringLiteral("\\[([^\\]]*)\\]\\([^)]*\\)"));
    t.replace(link, QStringLiteral("\\1"));
    t.remove(QLatin1Char('`'));
    t.remove(QLatin1Char('*'));
    return t.trimmed();
}

// GitHub's anchor of a heading: lower case, only letters, digits, spaces,
// hyphens and underscores kept, spaces made hyphens.
QString Slug(const QString& heading) {
    QString s;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            s += c;
        else if (c == QLatin1Char(' '))
            s += QLatin1Char('-');
    }
    return s;
}

QString HtmlName(const QString& mdName) {
    return mdName.left(mdName.size() - 3) + QStringLiteral(".html");
}

// NAME.md#anchor -> NAME.html#anchor; other links stay as they are.
QString HtmlLink(const QString& href) {
    static const QRegularExpression md(QStringLiteral("^([A-Za-z0-9_-]+)\\.md(#.*)?$"));
    const auto m = md.match(href);
    if (!m.hasMatch()) return href;
    return m.captured(1) + QStringLiteral(".html") + m.captured(2);
}

QString Escape(const QString& s) { return s.toHtmlEscaped(); }

// Reads the headings and index comments of a page from its Markdown text
// (outside fenced code), and the keywords they give.
TPage ReadPage(const QString& name, const QString& text, std::vector<TKeyword>& keywords) {
    TPage page;
    page.Name = name;
    static const QRegularExpression heading(QStringLiteral("^(#{1,6})\\s+(.*?)\\s*#*\\s*$"));
    static const QRegularExpression index(QStringLiteral("<!--\\s*index:\\s*(.*?)\\s*-->"));
    std::map<QString, int> used;
    bool fenced = false;
    QString current = name + QStringLiteral(".html");
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.startsWith(QStringLiteral("```")) || t.startsWith(QStringLiteral("~~~"))) {
            fenced = !fenced;
            continue;
        }
        if (fenced) continue;
        if (const auto m = heading.match(line); m.hasMatch() && !line.startsWith(QLatin1Char(' '))) {
            THeading h;
            h.Level = m.captured(1).size();
            h.Text = PlainHeading(m.captured(2));
            QString slug = Slug(h.Text);
            const int n = used[slug]++;
            if (n > 0) slug += QStringLiteral("-%1").arg(n);
            h.Slug = slug;
            if (page.Title.isEmpty() && h.Level == 1) page.Title = h.Text;
            current = name + QStringLiteral(".html") +
                      (h.Level == 1 ? QString() : QLatin1Char('#') + slug);
            keywords.push_back({h.Text, {}, current});
            page.Headings.push_back(h);
            continue;
        }
        auto it = index.globalMatch(line);
        while (it.hasNext()) {
            const auto m = it.next();
            for (const QString& word : m.captured(1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!word.trimmed().isEmpty()) keywords.push_back({word.trimmed(), {}, current});
        }
    }
    if (page.Title.isEmpty()) page.Title = name;
    return page;
}

// The page as HTML: Qt's Markdown reader, the headings' anchors, links to
// the other pages as .html.
QString PageHtml(const QString& text, const TPage& page) {
    QTextDocument doc;
    doc.setMarkdown(text, QTextDocument::MarkdownDialectGitHub);
    doc.setMetaInformation(QTextDocument::DocumentTitle, page.Title);
    size_t next = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0) continue;
        if (next >= page.Headings.size())
            Fail(page.Name + QStringLiteral(".md: more headings than the reader found"));
        QTextCursor c(b);
        c.movePosition(QTextCursor::StartOfBlock);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorNames({page.Headings[next].Slug});
        c.mergeCharFormat(f);
        ++next;
    }
    if (next != page.Headings.size())
        Fail(page.Name + QStringLiteral(".md: %1 headings read, %2 in the document")
                             .arg(page.Headings.size())
                             .arg(next));
    // links between the pages
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            QTextCharFormat f = frag.charFormat();
            if (!f.isAnchor() || f.anchorHref().isEmpty()) continue;
            const QString to = HtmlLink(f.anchorHref());
            if (to == f.anchorHref()) continue;
            f.setAnchorHref(to);
            QTextCursor c(&doc);
            c.setPosition(frag.position());
            c.setPosition(frag.position() + frag.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(f);
        }
    }
    QString html = doc.toHtml();
    // the pages' own look: tables with lines, code set apart
    html.replace(QStringLiteral("</head>"),
                 QStringLiteral("<style type=\"text/css\">"
                                "table { border-collapse: collapse; } "
                                "td, th { padding: 3px; } "
                                "pre { background-color: #f2f2f2; }"
                                "</style></head>"));
    return html;
}

} // namespace

int main(int argc, char** argv) {
    // Qt's text document needs a GUI application (its fonts), never a screen
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) Fail(QStringLiteral("usage: manual-to-help LANG SOURCE_FOLDER OUTPUT_FOLDER"));
    const QString lang = args[1];
    const QDir source(args[2]);
    // the pages in OUTPUT_FOLDER/LANG, the collection project beside that
    const QDir top(args[3]);
    const QDir out(top.filePath(lang));
    if (!QDir().mkpath(out.path()) || !QDir().mkpath(out.filePath(QStringLiteral("images"))))
        Fail(out.path() + QStringLiteral(": cannot be made"));

    // index.md: the pages in the order of its contents, the windows' pages
    const QString indexText = ReadText(source.filePath(QStringLiteral("index.md")));
    QStringList order{QStringLiteral("index")};
    static const QRegularExpression contentsLine(
        QStringLiteral("^\\s*\\d+\\.\\s+\\[[^\\]]*\\]\\(([A-Za-z0-9_-]+)\\.md\\)"));
    static const QRegularExpression contextRow(
        QStringLiteral("^\\|\\s*`(\\w+)`\\s*\\(([^)]*)\\)\\s*\\|\\s*\\[[^\\]]*\\]\\(([^)]*)\\)"));
    std::vector<TKeyword> keywords;
    for (const QString& line : indexText.split(QLatin1Char('\n'))) {
        if (const auto m = contentsLine.match(line); m.hasMatch() && !order.contains(m.captured(1)))
            order << m.captured(1);
        if (const auto m = contextRow.match(line); m.hasMatch())
            keywords.push_back({m.captured(2).trimmed(), m.captured(1), HtmlLink(m.captured(3))});
    }
    // pages the contents do not name still belong to the help
    for (const QFileInfo& fi : source.entryInfoList({QStringLiteral("*.md")}, QDir::Files, QDir::Name))
        if (!order.contains(fi.completeBaseName())) order << fi.completeBaseName();

    std::vector<TPage> pages;
    std::set<QString> anchors; // page.html#slug and page.html
    for (const QString& name : order) {
        const QString mdPath = source.filePath(name + QStringLiteral(".md"));
        if (!QFileInfo::exists(mdPath)) Fail(mdPath + QStringLiteral(": named in index.md, not there"));
        const QString text = ReadText(mdPath);
        TPage page = ReadPage(name, text, keywords);
        WriteText(out.filePath(name + QStringLiteral(".html")), PageHtml(text, page));
        anchors.insert(name + QStringLiteral(".html"));
        for (const THeading& h : page.Headings)
            anchors.insert(name + QStringLiteral(".html#") + h.Slug);
        pages.push_back(std::move(page));
    }
    // a window's page that is not there would open nothing
    for (const TKeyword& k : keywords)
        if (!k.Id.isEmpty() && !anchors.count(k.Ref))
            Fail(QStringLiteral("index.md: %1 points to %2, which no heading gives")
                     .arg(k.Id, k.Ref));

    // the pictures
    QStringList files;
    for (const TPage& p : pages) files << p.Name + QStringLiteral(".html");
    const QDir images(source.filePath(QStringLiteral("images")));
    for (const QFileInfo& fi : images.entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        const QString target = out.filePath(QStringLiteral("images/") + fi.fileName());
        QFile::remove(target);
        if (!QFile::copy(fi.filePath(), target)) Fail(target + QStringLiteral(": cannot be written"));
        files << QStringLiteral("images/") + fi.fileName();
    }

    // the help project
    const QString ns = QStringLiteral("org.vaskel.manual.") + lang;
    QString qhp;
    qhp += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<QtHelpProject version=\"1.0\">\n");
    qhp += QStringLiteral("  <namespace>%1</namespace>\n").arg(ns);
    qhp += QStringLiteral("  <virtualFolder>manual</virtualFolder>\n  <filterSection>\n    <toc>\n");
    const TPage& start = pages.front();
    qhp += QStringLiteral("      <section title=\"%1\" ref=\"index.html\">\n").arg(Escape(start.Title));
    for (size_t k = 1; k < pages.size(); ++k) {
        const TPage& p = pages[k];
        const QString file = p.Name + QStringLiteral(".html");
        qhp += QStringLiteral("        <section title=\"%1\" ref=\"%2\">\n").arg(Escape(p.Title), file);
        bool inSub = false;
        for (const THeading& h : p.Headings) {
            if (h.Level == 1 || h.Level > 3) continue;
            if (h.Level == 2 && inSub) {
                qhp += QStringLiteral("          </section>\n");
                inSub = false;
            }
            const QString tag = QStringLiteral("<section title=\"%1\" ref=\"%2#%3\"")
                                    .arg(Escape(h.Text), file, h.Slug);
            if (h.Level == 2) {
                qhp += QStringLiteral("          ") + tag + QStringLiteral(">\n");
                inSub = true;
            } else {
                qhp += QStringLiteral("            ") + tag + QStringLiteral("/>\n");
            }
        }
        if (inSub) qhp += QStringLiteral("          </section>\n");
        qhp += QStringLiteral("        </section>\n");
    }
    qhp += QStringLiteral("      </section>\n    </toc>\n    <keywords>\n");
    std::set<std::pair<QString, QString>> seen;
    for (const TKeyword& k : keywords) {
        if (k.Id.isEmpty() && !seen.insert({k.Name, k.Ref}).second) continue;
        if (k.Id.isEmpty())
            qhp += QStringLiteral("      <keyword name=\"%1\" ref=\"%2\"/>\n").arg(Escape(k.Name), k.Ref);
        else
            qhp += QStringLiteral("      <keyword name=\"%1\" id=\"%2\" ref=\"%3\"/>\n")
                       .arg(Escape(k.Name), k.Id, k.Ref);
    }
    qhp += QStringLiteral("    </keywords>\n    <files>\n");
    for (const QString& f : files) qhp += QStringLiteral("      <file>%1</file>\n").arg(f);
    qhp += QStringLiteral("    </files>\n  </filterSection>\n</QtHelpProject>\n");
    const QString base = QStringLiteral("vaskel-") + lang;
    WriteText(out.filePath(base + QStringLiteral(".qhp")), qhp);

    WriteText(top.filePath(base + QStringLiteral(".qhcp")),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<QHelpCollectionProject version=\"1.0\">\n"
                             "  <docFiles>\n"
                             "    <generate>\n"
                             "      <file>\n"
                             "        <input>%2/%1.qhp</input>\n"
                             "        <output>%1.qch</output>\n"
                             "      </file>\n"
                             "    </generate>\n"
                             "    <register>\n"
                             "      <file>%1.qch</file>\n"
                             "    </register>\n"
                             "  </docFiles>\n"
                             "</QHelpCollectionProject>\n")
                  .arg(base, lang));
    return 0;
}
