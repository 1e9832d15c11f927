// Opened protocol files: showing, saving, the detail panel, playback.

#include "ui/protocol/MonitorFixture.h"

namespace vaskel {
namespace {

TEST_F(ProtocolWindowTest, ShowsTheSavedRowsAndSavesThemAgain) {
    TfProtocolForm w(S, QString::fromStdString(File));
    ASSERT_EQ(w.Model().rowCount(), Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(w.Model().data(w.Model().index(r, c), Qt::DisplayRole).toString(),
                      FromCp1252(Stored(Recorded.Cell(c, r))))
                << r << "/" << c;
    EXPECT_EQ(w.Caption(), QStringLiteral("Protokoll ") + QString::fromStdString(File));
    EXPECT_EQ(w.ProposedName(), QStringLiteral("rec.PRO.CSV"));
    EXPECT_TRUE(w.MayClose()) << "nothing changed: no question";
    EXPECT_TRUE(w.View()->isColumnHidden(pcHex));
    EXPECT_EQ(w.FilterState(), 0);
    EXPECT_TRUE(w.AutoWarnings());

    const std::string copy = Dir / "copy.PRO.CSV";
    ASSERT_TRUE(w.SaveTo(QString::fromStdString(copy)));
    EXPECT_EQ(w.FileName(), QString::fromStdString(copy));
    EXPECT_TRUE(w.Caption().endsWith(QStringLiteral("copy.PRO.CSV")));
    TTable back = MakeProtocolTable();
    ASSERT_EQ(LoadFromCSV(back, copy, '"', nullptr, std::nullopt, ';').Rows, Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(back.Cell(c, r), Stored(Recorded.Cell(c, r))) << r << "/" << c;
    EXPECT_EQ(Env.ProtokollDirectory(), Dir / "");
}

TEST_F(ProtocolWindowTest, DetailPanelOpensOncePerRow) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.show();
    EXPECT_EQ(w.DetailTag(), -1);
    EXPECT_FALSE(w.DetailPanel()->isVisible());

    int analysed = 0;
    w.Analyse = [&](TDetailKind, int, QVBoxLayout*) {
        ++analysed;
        return false;
    };
    // the unanswered a2 is an error row
    w.DetailAnalysis(3);
    EXPECT_EQ(w.DetailKind(), TDetailKind::Error);
    EXPECT_EQ(w.DetailTag(), 4) << "the tag is the row's Nr.";
    EXPECT_TRUE(w.DetailPanel()->isVisible());
    EXPECT_TRUE(Env.HintGiven(THint::GridErrorDblClickHintGiven));
    EXPECT_TRUE(Env.HintGiven(THint::GridDblClickHintGiven));
    EXPECT_GT(w.DetailPanel()->findChildren<QLabel*>().size(), 1) << "the row's facts";
    w.DetailAnalysis(3);
    EXPECT_EQ(analysed, 1) << "the row already shown: nothing happens";
    EXPECT_TRUE(w.DetailPanel()->isVisible());

    // Enter on the current row opens its analysis
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_EQ(w.DetailTag(), 1);
    EXPECT_EQ(w.DetailKind(), TDetailKind::General);
    EXPECT_EQ(analysed, 2);

    w.HideDetail();
    EXPECT_EQ(w.DetailTag(), -1);
    EXPECT_FALSE(w.DetailPanel()->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.DetailPanel()->findChildren<QLabel*>().isEmpty()) << "generic controls freed";
}

TEST_F(ProtocolWindowTest, FilterTipOnceAfterTheFilterWindowWasUsed) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.Activated();
    EXPECT_TRUE(w.LastTip().isEmpty()) << "the filter window was never opened";
    Env.SetFilterWindowWasOpened(true);
    w.SetFilterState(1);
    w.Activated();
    EXPECT_TRUE(w.LastTip().isEmpty()) << "the filter is on already";
    w.SetFilterState(0);
    w.Activated();
    EXPECT_TRUE(w.LastTip().startsWith(QStringLiteral("Sie müssen die Filterung erst aktivieren")));
    EXPECT_TRUE(Env.HintGiven(THint::FilterHint));
}

// A session that keeps the single calls of a playback instead of sending.
class TCallRecordingSession : public TSession {
public:
    using TSession::TSession;
    void RequestSingleCall(const std::string& text) override {
        // the scheduler takes the cell as recorded (CR and check byte are its business)
        Sent.push_back(text.substr(0, text.find('\r')));
    }
    std::vector<std::string> Sent;
};

TEST_F(ProtocolWindowTest, PlaybackSendsTheMasterRows) {
    TCallRecordingSession session(Env, Parser);
    TfMonitorForm monitor(session); // the recording runs: playback may send
    monitor.Recorder().SafetyCopy = false;
    session.Status().SetDeviceOnline(true);
    session.Status().SetMaster(true);
    TfProtocolForm w(session, QString::fromStdString(File));
    std::vector<std::string>& sent = session.Sent;
    QString active;
    QObject::connect(&session, &TSession::PlaybackChanged, [&](const QString& f) { active = f; });
    auto runOut = [&] {
        QElapsedTimer t;
        t.start();
        while (w.Sending() && t.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    // once, from the top: the master rows in order, the answer skipped
    Env.SetProtocolSendDelay(-5);
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    w.SendClicked();
    EXPECT_TRUE(w.Sending());
    EXPECT_EQ(active, QString::fromStdString(File));
    EXPECT_FALSE(w.AutoWarnings()) << "no warning marks while sending";
    EXPECT_EQ(w.SendButton()->text(), QStringLiteral("Anhalten"));
    runOut();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(sent, (std::vector<std::string>{"a1", "l001", "a2", "z034"}));
    EXPECT_TRUE(w.AutoWarnings());
    EXPECT_TRUE(active.isEmpty());
    EXPECT_TRUE(w.InfoPanel()->text().endsWith(QStringLiteral(": 4")));

    // single telegram: exactly the selected one
    sent.clear();
    w.SetSendMode(TProtocolPlayer::smSingle);
    w.View()->setCurrentIndex(w.Model().index(2, 0));
    w.SendClicked();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(sent, (std::vector<std::string>{"l001"}));
    EXPECT_EQ(w.View()->currentIndex().row(), 2) << "the selected row stays";

    // cyclic runs until the device stops being master
    sent.clear();
    w.SetSendMode(TProtocolPlayer::smCyclic);
    w.SendClicked();
    QElapsedTimer t;
    t.start();
    while (sent.size() < 6 && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(sent.size(), 6u) << "it started again from the top";
    session.Status().SetMaster(false);
    w.RefreshFromState();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(w.SendButton()->text(), QStringLiteral("Senden"));
}

TEST_F(ProtocolWindowTest, ABrokenRowsAnalysisIsRefusedInTheActiveLanguage) {
    TAutoAnswer answer(QMessageBox::Ok);
    const std::string broken =
        Dir.Write("broken.PRO.CSV",
                  "\"M\";\"1\";\"1000\";\"\";\"\";\"aAx2A5Hbf\";\"\";\"021\";\"\";\"\"\r\n");
    TfProtocolForm w(S, QString::fromStdString(broken));
    w.show();
    w.DetailAnalysis(0);
    EXPECT_EQ(answer.Count, 1);
    EXPECT_EQ(answer.LastText,
              QStringLiteral("Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines "
                             "DS 021).\nDas Telegramm kann nicht analysiert werden."));
    EXPECT_FALSE(w.DetailPanel()->isVisible());
    w.HideDetail();
    SetUiLanguage(2);
    w.DetailAnalysis(0);
    SetUiLanguage(1);
    EXPECT_EQ(answer.Count, 2);
    EXPECT_EQ(answer.LastText, QStringLiteral("This telegram is erroneous. (Please see VDV300, DS "
                                              "021)\nThis telegram cannot be analyzed."));
}

TEST_F(ProtocolWindowTest, OlderFormsAndTheCloseQuestion) {
    TAutoAnswer answer(QMessageBox::No);
    // the comma form is written back in the current form: nothing to ask
    const std::string comma =
        Dir.Write("old.PRO.CSV", "'M','1','1000','','','l001\r/',' 6C','001','x','',\r\n");
    TfProtocolForm a(S, QString::fromStdString(comma));
    EXPECT_TRUE(a.LoadInfo().WrittenBack);
    EXPECT_TRUE(std::filesystem::exists(Dir / "old.PRO.BAK"));
    EXPECT_TRUE(a.MayClose());
    EXPECT_EQ(answer.Count, 0);
    // an unquoted file is re-analysed only in memory: closing asks
    const std::string plain = Dir.Write("plain.PRO.CSV", "M;1;1000;;;l001;;;;\r\n");
    TfProtocolForm b(S, QString::fromStdString(plain));
    EXPECT_TRUE(b.MayClose()) << "No closes without saving";
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("importiert oder erneut analysiert")));
    // the re-analysis button marks the rows as changed too
    TfProtocolForm c(S, QString::fromStdString(File));
    c.ReanalyseRows();
    EXPECT_EQ(c.Model().rowCount(), Rows);
    EXPECT_TRUE(c.MayClose());
    EXPECT_EQ(answer.Count, 2);
}

TEST_F(ProtocolWindowTest, BrokenFilesAreRefused) {
    const std::string broken = Dir.Write("broken.PRO.CSV", "\"M\";\"1\"\r\nno separator here\r\n");
    EXPECT_THROW(TfProtocolForm(S, QString::fromStdString(broken)), EVaskelError);
    const QString text = ProtocolLoadErrorText(QStringLiteral("Ungültiges Protokollformat"));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Die ausgewählte Datei ist kein gültiges Protokoll")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nFalls Sie gleichzeitig")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Ungültiges Protokollformat")));
}

} // namespace
} // namespace vaskel
