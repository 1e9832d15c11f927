// The file dialogs: filters, default extension, and the dialog as shown.

#include "ui/common/FileDialogs.h"

#include "TestSupport.h"
#include "ui/common/Texts.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(FileDialogs, FiltersNameTheirPatternOnceInBothCases) {
    struct TCase {
        TFileDialogSpec Spec;
        QStringList Shown;
        QString Suffix;
    };
    const TCase cases[] = {
        {ProtocolOpenDialog(QStringLiteral("/p")),
         {QStringLiteral("Protokolldatei (*.PRO.CSV *.pro.csv)"),
          QStringLiteral("Alle Dateien (*.*)")},
         QStringLiteral("PRO.CSV")},
        {ProtocolSaveDialog(QStringLiteral("/p"), QStringLiteral("x.PRO.CSV")),
         {QStringLiteral("Protokolldatei (*.PRO.CSV *.pro.csv)")},
         QStringLiteral("PRO.CSV")},
        {CallListOpenDialog(QStringLiteral("/p")),
         {QStringLiteral("Aufrufliste (*.AUF.CSV *.auf.csv)"),
          QStringLiteral("Alle Dateien (*.*)")},
         QStringLiteral("AUF.CSV")},
        {CallListSaveDialog(QStringLiteral("/p"), QString()),
         {QStringLiteral("Aufrufliste (*.AUF.CSV *.auf.csv)")},
         QStringLiteral("AUF.CSV")},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(DialogFilters(c.Spec), c.Shown) << c.Spec.Title.toStdString();
        EXPECT_EQ(c.Spec.DefaultSuffix, c.Suffix);
    }
    EXPECT_EQ(ProtocolSaveDialog(QStringLiteral("/p"), QStringLiteral("x.PRO.CSV")).File,
              QStringLiteral("/p/x.PRO.CSV"));
    EXPECT_TRUE(ProtocolSaveDialog(QStringLiteral("/p"), QString()).File.isEmpty())
        << "nothing proposed";
    SetUiLanguage(2);
    EXPECT_EQ(DialogFilters(ProtocolOpenDialog({})),
              (QStringList{QStringLiteral("Protocol file (*.PRO.CSV *.pro.csv)"),
                           QStringLiteral("All files (*.*)")}));
    EXPECT_EQ(DialogFilters(CallListSaveDialog({}, {})),
              QStringList{QStringLiteral("Call list (*.AUF.CSV *.auf.csv)")});
    SetUiLanguage(1);
}

TEST(FileDialogs, DefaultSuffixOnlyWhereTheNameHasNone) {
    const std::pair<const char*, const char*> cases[] = {
        {"/d/abc", "/d/abc.PRO.CSV"},         {"/d/abc.PRO.CSV", "/d/abc.PRO.CSV"},
        {"/d/abc.pro.csv", "/d/abc.pro.csv"}, {"/d/abc.txt", "/d/abc.txt"},
        {"/d.x/abc", "/d.x/abc.PRO.CSV"},     {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(WithDefaultSuffix(QString::fromUtf8(in), QStringLiteral("PRO.CSV")),
                  QString::fromUtf8(out))
            << in;
}

TEST(FileDialogs, ANameTypedWithoutExtensionGetsTheDefaultOne) {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.Path().string());
    QStringList seenFilters;
    QString seenSuffix;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* d = qobject_cast<QFileDialog*>(modal);
        if (!d) {
            if (modal) {
                ADD_FAILURE() << "unexpected: " << modal->metaObject()->className() << " "
                              << modal->windowTitle().toStdString();
                modal->close();
            }
            return;
        }
        seenFilters = d->nameFilters();
        seenSuffix = d->defaultSuffix();
        // typed into the name field, as a user does
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) return;
        name->setText(QStringLiteral("abc"));
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    });
    answer.start();
    const QString chosen = AskFile(nullptr, ProtocolSaveDialog(folder, QString()));
    EXPECT_EQ(chosen, folder + QStringLiteral("/abc.PRO.CSV"));
    EXPECT_EQ(seenFilters, QStringList{QStringLiteral("Protokolldatei (*.PRO.CSV *.pro.csv)")});
    EXPECT_EQ(seenSuffix, QStringLiteral("PRO.CSV"));
}

} // namespace
} // namespace vaskel
