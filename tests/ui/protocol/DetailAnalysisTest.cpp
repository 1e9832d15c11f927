// The detail analyses of protocol rows: content by record type, errors and
// answer status, and what the panel shows.

#include "ui/protocol/DetailAnalysis.h"

#include "link/DeviceProtocol.h"
#include "recording/Recorder.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class DetailAnalysisTest : public ::testing::Test {
protected:
    // One protocol row; the telegram as bytes.
    int Row(const std::string& kind, const std::string& telegram, const std::string& recordNo,
            const std::string& errors = " ", const std::string& status = "") {
        int r = T.RowCount() - 1;
        if (!T.Cell(pcKind, r).empty()) r = T.AppendRow();
        T.SetCell(pcKind, r, kind);
        T.SetCell(pcNr, r, std::to_string(r + 1));
        T.SetCell(pcStart, r, "29730250"); // 08:15:30,250
        T.SetCell(pcErrors, r, errors);
        T.SetCell(pcTelegram, r, telegram);
        T.SetCell(pcRecordNo, r, recordNo);
        T.SetCell(pcAnswer, r, status);
        return r;
    }
    TDetailContent Build(int row, TDetailOptions o = {}) {
        return BuildDetailAnalysis(DetailKindOf(T, row), T, row, Parser, o);
    }
    static QString FieldText(const TDetailContent& c, const char* label) {
        const TDetailItem* i = c.FieldAfter(QString::fromUtf8(label));
        return i ? i->Text : QStringLiteral("<none>");
    }

    TIBISTelegramParser Parser{kCatalogue};
    TTable T = MakeProtocolTable();
};

TEST_F(DetailAnalysisTest, DestinationTextsByPhase) {
    // phase time "5", three texts: two phases, the second line of the second empty
    const int r = Row("M", "aA12A5Linie 12\nHbf\nZoo\r", "021");
    const TDetailContent c = Build(r);
    EXPECT_FALSE(c.ErrorLook);
    EXPECT_EQ(FieldText(c, "DS-Nr.:"), QStringLiteral("021"));
    EXPECT_EQ(FieldText(c, "Adresse:"), QStringLiteral("1"));
    EXPECT_EQ(FieldText(c, "Taktzeit:"), QStringLiteral("3,5s (5)"));
    EXPECT_EQ(FieldText(c, "Länge (Byte):"), QStringLiteral("23"));
    QStringList lines;
    int phases = 0;
    for (const auto& line : c.Lines)
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (line[k].Text.startsWith(QStringLiteral("Takt "))) ++phases;
            if (line[k].Text.startsWith(QStringLiteral("Zeile ")) && k + 1 < line.size())
                lines << line[k + 1].Text;
        }
    EXPECT_EQ(phases, 2);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Linie.12"), QStringLiteral("Hbf"),
                                  QStringLiteral("Zoo"), QString()}));
    EXPECT_EQ(FieldText(c, "Lfd-Nr.:"), QStringLiteral("1"));
    EXPECT_EQ(FieldText(c, "Startzeit:"), QStringLiteral("08:15:30,250"));

    // no "A" at the 5th character: no phase time, texts from the 5th character on
    const int r2 = Row("M", "aA12Linie 12\nHbf\r", "021");
    const TDetailContent c2 = Build(r2);
    EXPECT_EQ(c2.FieldAfter(QStringLiteral("Taktzeit:")), nullptr);
    EXPECT_EQ(FieldText(c2, "Zeile 1:"), QStringLiteral("Linie.12"));

    struct TPhase {
        char Digit;
        const char* Shown;
    };
    for (const TPhase& p : {TPhase{'0', "1,0s (0)"}, TPhase{'?', "8,5s (?)"}}) {
        const int rp = Row("M", std::string("aA12A") + p.Digit + "Hbf\r", "021");
        EXPECT_EQ(FieldText(Build(rp), "Taktzeit:"), QString::fromUtf8(p.Shown)) << p.Digit;
    }
}

TEST_F(DetailAnalysisTest, EnglishTextsAndSeparator) {
    const int r = Row("M", "aA12A5Hbf\r", "021");
    SetUiLanguage(2);
    const TDetailContent c = Build(r);
    SetUiLanguage(1);
    EXPECT_EQ(FieldText(c, "Pulse time:"), QStringLiteral("3.5s (5)"));
    EXPECT_EQ(FieldText(c, "Address:"), QStringLiteral("1"));
    EXPECT_EQ(c.FieldAfter(QStringLiteral("Address:"))->Hint,
              QStringLiteral("Address of the display"));
}

TEST_F(DetailAnalysisTest, MalformedTelegramsRaiseTheirFamilysText) {
    struct TCase {
        const char* Telegram;
        const char* RecordNo;
        const char* Text;
    };
    const TCase cases[] = {
        {"aAx2A5Hbf\r", "021", "(Siehe VDV-300 bzgl. Aufbau eines DS 021)."},
        {"zAxHauptbahnhof....\r", "003a", "(Siehe VDV-300 bzgl. Aufbau eines DS 003a)."},
        {"zIx1234\r", "003c", "(Siehe VDV-300 bzgl. Aufbau eines DS 003c)."},
    };
    for (const TCase& c : cases) {
        const int r = Row("M", c.Telegram, c.RecordNo);
        try {
            Build(r);
            ADD_FAILURE() << c.Telegram << " was analysed";
        } catch (const EVaskelError& e) {
            const QString text = QString::fromStdString(e.what());
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.Text))) << text.toStdString();
            EXPECT_TRUE(
                text.endsWith(QStringLiteral("Das Telegramm kann nicht analysiert werden.")));
        }
    }
}

TEST_F(DetailAnalysisTest, DisplayTextBlocks) {
    const int r = Row("M", "zA2Hauptbahnhof....Messe<cr>Stadt..\r", "003a");
    const TDetailContent c = Build(r);
    EXPECT_EQ(FieldText(c, "Blöcke:"), QStringLiteral("2"));
    EXPECT_EQ(FieldText(c, "Anzeigetext:"), QStringLiteral("Hauptbahnhof....Messe\r\nStadt.."));
    const int r2 = Row("M", "zI1Zoo.\r", "003c");
    const TDetailContent c2 = Build(r2);
    EXPECT_EQ(FieldText(c2, "Anzeige"), QStringLiteral("Zoo."));
    EXPECT_EQ(FieldText(c2, "Satznr.:"), QStringLiteral("2"));
}

TEST_F(DetailAnalysisTest, GeneralOrErrorAnalysisByErrorsAndStatus) {
    const int plain = Row("M", "u0730\r", "005");
    const TDetailContent general = Build(plain);
    EXPECT_EQ(DetailKindOf(T, plain), TDetailKind::General);
    EXPECT_EQ(FieldText(general, "Länge (Byte):"), QStringLiteral("6"));
    EXPECT_EQ(FieldText(general, "Telegramm:"), QStringLiteral("u0730<CR>"));

    const int missing = Row("M", "u0730\r", "005", "S");
    EXPECT_EQ(DetailKindOf(T, missing), TDetailKind::Error);
    const TDetailContent e = Build(missing);
    EXPECT_TRUE(e.ErrorLook);
    EXPECT_EQ(e.Messages().first(), QStringLiteral("Die Prüfsumme fehlt!"));
    EXPECT_EQ(FieldText(e, "Prüfsummenfehler"), QStringLiteral("X"));
    EXPECT_EQ(FieldText(e, "Datensatz-Nr.:"), QStringLiteral("005"));
    EXPECT_TRUE(e.Messages().contains(QStringLiteral("OK: Datensatz 005 erwartet keine Antwort.")));

    // a wrong check byte: with a device link the expected one is named, and it
    // is the one the device link appends when it sends the same text
    const int wrong = Row("M", std::string("u0730\r") + 'Z', "005", "S");
    TDetailOptions link;
    link.LinkOpen = true;
    const char expected = TelegramBytes("u0730").back();
    const QString shouldBe =
        QStringLiteral("Die Prüfsumme müsste \"%1\" (Hex: 0x%2) sein, ist aber "
                       "\"Z\" (Hex: 0x5a).")
            .arg(QChar::fromLatin1(expected))
            .arg(static_cast<unsigned char>(expected), 2, 16, QLatin1Char('0'));
    EXPECT_EQ(Build(wrong, link).Messages().first(), shouldBe);
    EXPECT_EQ(Build(wrong).Messages().first(),
              QStringLiteral("Die Prüfsumme ist \"Z\" (Hex: 0x5a). Dies ist nicht korrekt."));
}

TEST_F(DetailAnalysisTest, ErrorMarksTypesSyntaxAndSequence) {
    // an unanswered status request, with a framing error
    const int master = Row("M", "a1\r", "020", "F", "-1");
    const TDetailContent c = Build(master);
    EXPECT_EQ(FieldText(c, "Framing-Fehler"), QStringLiteral("X"));
    EXPECT_EQ(FieldText(c, "Parity-Fehler"), QString());
    EXPECT_EQ(FieldText(c, "Prüfsummenfehler"), QString()) << "no S: an empty mark";
    EXPECT_EQ(FieldText(c, "Syntaxfehler"), QString());
    EXPECT_TRUE(c.Messages().contains(
        QStringLiteral("Fehler: Datensatz 020 erwartet Datensatz/Datensätze 120 als Antwort. Kein "
                       "Slave hat passend darauf geantwortet.")));

    // a master telegram sent by a slave, answered late with a partner row
    const int late = Row("S", "a1\r", "[020]", "T", "1");
    TTelegramData data;
    data.PartnerRow = 7;
    T.SetObject(late, data);
    const TDetailContent l = Build(late);
    EXPECT_EQ(FieldText(l, "Typfehler"), QStringLiteral("X"));
    const QStringList m = l.Messages();
    EXPECT_TRUE(m.contains(QStringLiteral("Datensatz 020 ist ein Masterdatensatz. Er scheint "
                                          "jedoch von einem Slave verschickt worden zu sein.")));
    EXPECT_TRUE(m.contains(QStringLiteral(
        "Die Antwort, auf die sich diese Analyse bezieht, ging in Protokollzeile 7 ein.")));

    // nothing fits: the syntax message says so
    const int unknown = Row("M", "#\r", "", "X", "");
    const TDetailContent u = Build(unknown);
    EXPECT_EQ(FieldText(u, "Syntaxfehler"), QStringLiteral("X"));
    EXPECT_TRUE(u.Messages().contains(
        QStringLiteral("Es gibt keinen Datensatz mit dem das Telegramm übereinstimmen würde.")));
}

TEST_F(DetailAnalysisTest, TelegramMemoFollowsTheConversionSetting) {
    const int r = Row("M", std::string("u0730\r") + '\x13', "005");
    TDetailOptions o;
    EXPECT_TRUE(FieldText(Build(r, o), "Telegramm:").endsWith(QStringLiteral("<CR><$13>")));
    o.ConvertIBIS = false;
    EXPECT_EQ(FieldText(Build(r, o), "Telegramm:"), QStringLiteral("u0730\r\x13"));
}

TEST_F(DetailAnalysisTest, PanelControlsAreNamedForRemoval) {
    const int r = Row("M", "aA12A5Linie 12\nHbf\r", "021");
    QFrame panel;
    auto* layout = new QVBoxLayout(&panel);
    FillDetailPanel(Build(r), &panel, layout);
    const auto children = panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(children.isEmpty());
    for (QWidget* w : children)
        EXPECT_TRUE(w->objectName().startsWith(QStringLiteral("Generic")))
            << w->objectName().toStdString();
    EXPECT_NE(panel.findChild<QWidget*>(QStringLiteral("Genericlbl0")), nullptr);
}

} // namespace
} // namespace vaskel
