// The error report's message: the file named, its folder opened on request,
// and a report that cannot be written said so.

#include "ui/dialogs/ErrorReport.h"

#include "shell/SystemPlatform.h"
#include "ui/common/Texts.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vaskel {
namespace {

class ErrorReportTest : public ::testing::Test {
protected:
    ErrorReportTest() {
        Platform.Program = Dir / "prog/Vaskel";
        Platform.Documents = Dir / "docs";
    }
    ~ErrorReportTest() override { SetUiLanguage(1); }
    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
};

TEST_F(ErrorReportTest, TheButtonOpensTheDataFolder) {
    QString opened;
    QString text;
    QTimer click;
    click.setInterval(20);
    QObject::connect(&click, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        text = box->text();
        if (auto* b = box->findChild<QPushButton*>(QStringLiteral("btOpenFolder")))
            QTest::mouseClick(b, Qt::LeftButton);
    });
    click.start();
    const QString file = CreateErrorReport(Env, nullptr, [&](const QString& f) { opened = f; });
    const QString expected = QString::fromStdString(Env.DataDirectory() + "STATUS.LOG");
    EXPECT_EQ(file, expected);
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(expected))) << text.toStdString();
    EXPECT_EQ(QDir(opened), QDir(QString::fromStdString(Env.DataDirectory())));
}

TEST_F(ErrorReportTest, TheMessageSpeaksTheProgramsLanguage) {
    Env.SetLanguage(2);
    SetUiLanguage(2);
    TAutoAnswer answer(QMessageBox::Ok);
    EXPECT_FALSE(CreateErrorReport(Env, nullptr).isEmpty());
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.startsWith(QStringLiteral("The error report was written to:")))
        << answer.LastText.toStdString();
    EXPECT_NE(test::ReadFile(Env.DataDirectory() + "STATUS.LOG").find("BEGIN OF ERROR REPORT"),
              std::string::npos);
}

TEST_F(ErrorReportTest, AReportThatCannotBeWrittenIsAWarningNamingTheFile) {
    // a file where the data folder should be
    std::filesystem::create_directories(Dir / "docs");
    std::ofstream(Env.DataDirectory().substr(0, Env.DataDirectory().size() - 1)) << "x";
    TAutoAnswer answer(QMessageBox::Ok);
    EXPECT_TRUE(CreateErrorReport(Env, nullptr).isEmpty());
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("nicht geschrieben")))
        << answer.LastText.toStdString();
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("STATUS.LOG")));
}

} // namespace
} // namespace vaskel
