// The program's own icons: every icon in the resource renders (which needs
// the SVG icon engine at run time), every action that shows one has one, and
// an unknown name gives no icon.

#include "ui/common/Icons.h"

#include "ui/common/ActionTable.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

// Some pixel of the icon, drawn at toolbar size, is not fully transparent.
bool Draws(const QIcon& icon) {
    const QImage image = icon.pixmap(20, 20).toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) return true;
    return false;
}

TEST(IconsTest, EveryIconInTheResourceDraws) {
    const QStringList files =
        QDir(QStringLiteral(":/icons")).entryList(QDir::Files | QDir::NoDotAndDotDot);
    ASSERT_FALSE(files.isEmpty()) << "icon resource not linked in";
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(file.endsWith(QLatin1String(".svg")));
        const QIcon icon = ProgramIcon(file.chopped(4));
        ASSERT_FALSE(icon.isNull());
        EXPECT_TRUE(Draws(icon)) << "blank at 20x20: broken SVG or no SVG icon engine";
    }
}

// The actions and buttons that show one of the program's icons, menu by menu.
const QStringList kShown =
    QString::fromLatin1("acAufzeichnen acOeffnen mmSpeichern mmSpeichernUnter actFirmwareUpdate "
                        "acPrintProtokoll FileExit1 acSearch "
                        "acMasterOnOff acAufrufOnOff acAntwortOnOff actResetOverloaded "
                        "acAntwortNew acAntwortlisteOeffnen acAufruflisteNew acAufruflisteOeffnen "
                        "acFilterWindow actOpenAddressForm acDatensatz acEinstellungen "
                        "acShowHardwarerevision acHexConverter acAbout "
                        "tbRowInsert tbRowDelete tbRowAppend tbFixedWidths tbVariableWidths tbHelp "
                        "closePanel vaskel")
        .split(QLatin1Char(' '));

TEST(IconsTest, ActionsAndButtonsHaveTheirIcons) {
    for (const QString& name : kShown) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(Draws(ProgramIcon(name)));
    }
}

TEST(IconsTest, UnknownNamesGiveANullIcon) {
    const char* const unknown[] = {"",          "acNichtDa",          "acOeffnen.svg",
                                   "ACOEFFNEN", "../icons/acOeffnen", "/acOeffnen"};
    for (const char* name : unknown) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ProgramIcon(QLatin1String(name)).isNull());
    }
}

TEST(IconsTest, EveryIconOfTheActionTableIsThere) {
    for (const TActionSpec& spec : ActionSpecs())
        if (spec.Icon)
            EXPECT_FALSE(ProgramIcon(QString::fromLatin1(spec.Icon)).isNull()) << spec.Name;
}

} // namespace
} // namespace vaskel
