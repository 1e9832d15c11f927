// The IBIS-hex converter on Qt's offscreen platform: typing in each field,
// the key filters, the focused field left alone, empty fields, Escape.

#include "ui/compose/HexConverterForm.h"

#include "ui/main/MainFormFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

class HexConverterTest : public ::testing::Test {
protected:
    HexConverterTest() {
        W = TfHexConverterForm::Open();
        W->Beep = [this] { ++Beeps; };
        QApplication::setActiveWindow(W);
    }
    ~HexConverterTest() override {
        if (TfHexConverterForm* w = TfHexConverterForm::Current()) delete w;
    }
    // Types into a field as the user would: focus, clear, keys.
    void Type(QLineEdit* field, const QString& keys) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, keys);
    }
    QString Texts() const {
        return W->Decimal()->text() + QLatin1Char('|') + W->Hex()->text() + QLatin1Char('|') +
               W->IbisHex()->text();
    }

    TfHexConverterForm* W = nullptr;
    int Beeps = 0;
};

TEST_F(HexConverterTest, EachFieldUpdatesTheOtherTwo) {
    EXPECT_EQ(W->windowTitle(), QStringLiteral("HEX zu IBIS-HEX Konverter"));
    EXPECT_TRUE(W->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Texts(), QStringLiteral("0|0|0"));
    EXPECT_EQ(W->Decimal()->maxLength(), 9);
    EXPECT_EQ(W->Hex()->maxLength(), 7);
    EXPECT_EQ(W->IbisHex()->maxLength(), 7);
    struct Case {
        QLineEdit* field;
        const char* keys;
        const char* shown;
    };
    const Case cases[] = {
        {W->Decimal(), "255", "255|FF|??"},
        {W->IbisHex(), "1:;", "427|1AB|1:;"},
        {W->Hex(), "ff", "255|FF|??"},      // upper-cased as typed
        {W->Hex(), "FFFFFFF", "268435455|FFFFFFF|???????"},
    };
    for (const Case& c : cases) {
        Type(c.field, QString::fromLatin1(c.keys));
        EXPECT_EQ(Texts(), QString::fromLatin1(c.shown)) << c.keys;
    }
    EXPECT_EQ(Beeps, 0);

    // the decimal field takes no number beyond what seven hex places show
    Type(W->Decimal(), QStringLiteral("268435456"));
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(Texts(), QStringLiteral("26843545|1999999|1999999"));
}

TEST_F(HexConverterTest, RefusedKeysBeepAndPastedTextIsCleaned) {
    const std::pair<QLineEdit*, const char*> refused[] = {
        {W->Decimal(), "a"}, {W->Decimal(), "-"}, {W->Hex(), "g"}, {W->Hex(), "x"},
        {W->IbisHex(), "A"}, {W->IbisHex(), "@"}};
    for (const auto& [field, key] : refused) {
        Type(field, QStringLiteral("1"));
        const int before = Beeps;
        QTest::keyClicks(field, QString::fromLatin1(key));
        EXPECT_EQ(Beeps, before + 1) << key;
        EXPECT_EQ(field->text(), QStringLiteral("1")) << key;
    }
    // pasting is no key: the hex field drops the X after upper-casing
    Type(W->Hex(), QString());
    QApplication::clipboard()->setText(QStringLiteral("0x1f"));
    W->Hex()->paste();
    EXPECT_EQ(Texts(), QStringLiteral("31|01F|01?"));
    QApplication::clipboard()->setText(QStringLiteral("1A:"));
    Type(W->IbisHex(), QString());
    W->IbisHex()->paste();
    EXPECT_EQ(Texts(), QStringLiteral("26|1A|1:"));
}

TEST_F(HexConverterTest, TheFocusedFieldKeepsWhatIsTypedAndEmptyBecomesZero) {
    Type(W->Hex(), QStringLiteral("1F"));
    // an update from another field never writes into the field with the focus
    W->Decimal()->setText(QStringLiteral("16"));
    EXPECT_EQ(W->Hex()->text(), QStringLiteral("1F"));
    EXPECT_EQ(W->IbisHex()->text(), QStringLiteral("10"));

    Type(W->Decimal(), QString());
    EXPECT_EQ(Texts(), QStringLiteral("|0|0"));
    W->Hex()->setFocus(); // leaving the empty field
    EXPECT_EQ(W->Decimal()->text(), QStringLiteral("0"));

    // one window at a time; Escape closes it
    EXPECT_EQ(TfHexConverterForm::Open(), W);
    QTest::keyClick(W->Hex(), Qt::Key_Escape);
    EXPECT_FALSE(W->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TfHexConverterForm::Current(), nullptr);
}

// The main window's help menu opens it, once.
class ConverterActionTest : public MainWindowTest {};

TEST_F(ConverterActionTest, TheActionOpensOneConverter) {
    Start(TScenario::Unpowered);
    QAction* a = W->Action(TAct::acHexConverter);
    EXPECT_TRUE(a->isEnabled()) << "with or without a device";
    a->trigger();
    TfHexConverterForm* first = TfHexConverterForm::Current();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    a->trigger();
    EXPECT_EQ(TfHexConverterForm::Current(), first);
    delete first;
}

// Opened beside another window, the converter takes the keyboard: typing
// goes into the decimal field (replacing its "0") and Escape closes it,
// without a click into a field first.
TEST(HexConverterOpenTest, TakesTheKeyboardWhenOpened) {
    if (TfHexConverterForm* w = TfHexConverterForm::Current()) delete w;
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QPointer<TfHexConverterForm> w = TfHexConverterForm::Open(&other);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->focusWidget(), w->Decimal());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.data()));
    QWidget* typing = QApplication::focusWidget();
    ASSERT_EQ(typing, w->Decimal());
    QTest::keyClicks(typing, QStringLiteral("255"));
    EXPECT_EQ(w->Decimal()->text(), "255");
    EXPECT_EQ(w->Hex()->text(), "FF");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(!w || !w->isVisible());
    if (w) delete w.data();
}

} // namespace
} // namespace vaskel
