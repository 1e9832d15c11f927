// The detail panel: an analysis's content shown in the active language.

#include "ui/protocol/DetailPanel.h"

#include "recording/Recorder.h"
#include "ui/common/Texts.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class DetailPanelTest : public ::testing::Test {
protected:
    void TearDown() override { SetUiLanguage(1); }
    int Row(const std::string& kind, const std::string& telegram, const std::string& recordNo,
            const std::string& errors = " ", const std::string& status = "") {
        const int r = T.RowCount() - 1;
        T.SetRow(r, {kind, "1", "29730250", "", errors, telegram, "", recordNo, "", status});
        return r;
    }
    TDetailContent Build(int row, TDetailOptions o) {
        return BuildDetailAnalysis(DetailKindOf(T, row), T, row, Parser, o);
    }
    // The panel's field after the label with the text.
    static QLineEdit* FieldAfter(QFrame& panel, const QString& label) {
        const auto widgets = panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype k = 0; k + 1 < widgets.size(); ++k)
            if (auto* l = qobject_cast<QLabel*>(widgets[k]); l && l->text() == label)
                return qobject_cast<QLineEdit*>(widgets[k + 1]);
        return nullptr;
    }
    static QStringList LabelTexts(QFrame& panel) {
        QStringList out;
        for (QLabel* l : panel.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            out << l->text();
        return out;
    }

    TIBISTelegramParser Parser{kCatalogue};
    TTable T = MakeProtocolTable();
};

TEST_F(DetailPanelTest, GermanAndEnglishTextsAndTheSeparator) {
    const int r = Row("M", "aA12A5Hbf\r", "021");
    QFrame german;
    FillDetailPanel(Build(r, ShownDetailOptions()), &german, new QVBoxLayout(&german));
    ASSERT_NE(FieldAfter(german, QStringLiteral("Taktzeit:")), nullptr);
    EXPECT_EQ(FieldAfter(german, QStringLiteral("Taktzeit:"))->text(), QStringLiteral("3,5s (5)"));
    EXPECT_EQ(FieldAfter(german, QStringLiteral("Länge (Byte):"))->toolTip(),
              QStringLiteral("Telegrammlänge inkl. abschließendem Zeilenumbruch und Prüfsumme"));
    EXPECT_TRUE(LabelTexts(german).contains(QStringLiteral("Takt 1")));

    SetUiLanguage(2);
    QFrame english;
    FillDetailPanel(Build(r, ShownDetailOptions()), &english, new QVBoxLayout(&english));
    ASSERT_NE(FieldAfter(english, QStringLiteral("Phase time:")), nullptr);
    EXPECT_EQ(FieldAfter(english, QStringLiteral("Phase time:"))->text(),
              QStringLiteral("3.5s (5)"));
    EXPECT_EQ(FieldAfter(english, QStringLiteral("Address:"))->text(), QStringLiteral("1"));
    EXPECT_EQ(FieldAfter(english, QStringLiteral("Address:"))->toolTip(),
              QStringLiteral("Address of the display"));
    EXPECT_TRUE(LabelTexts(english).contains(QStringLiteral("Phase 1")))
        << "the phase number follows the translated word";
}

TEST_F(DetailPanelTest, MessagesAreTranslatedBeforeTheirPlacesAreFilled) {
    // a wrong check byte "%": an argument that looks like a place stays
    const int r = Row("S", std::string("a1\r") + '%', "[020]", "ST", "2");
    SetUiLanguage(2);
    QFrame panel;
    FillDetailPanel(Build(r, ShownDetailOptions()), &panel, new QVBoxLayout(&panel));
    const QStringList labels = LabelTexts(panel);
    EXPECT_TRUE(labels.contains(QStringLiteral("The checksum is \"%\" (hex 0x25). This is not "
                                               "correct.")))
        << labels.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(labels.contains(
        QStringLiteral("Data set 020 is a master data set, but a slave seems to have sent it.")));
    EXPECT_EQ(FieldAfter(panel, QStringLiteral("Checksum error"))->toolTip(),
              QStringLiteral("A checksum error occurred."));
}

TEST_F(DetailPanelTest, PanelControlsAreNamedForRemoval) {
    const int r = Row("M", "aA12A5Linie 12\nHbf\r", "021");
    QFrame panel;
    auto* layout = new QVBoxLayout(&panel);
    FillDetailPanel(Build(r, ShownDetailOptions()), &panel, layout);
    const auto children = panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(children.isEmpty());
    for (QWidget* w : children)
        EXPECT_TRUE(w->objectName().startsWith(QStringLiteral("Generic")))
            << w->objectName().toStdString();
    EXPECT_NE(panel.findChild<QWidget*>(QStringLiteral("Genericlbl0")), nullptr);
}

} // namespace
} // namespace vaskel
