// Every kind of file the desktop program reads, opened through the function
// behind its menu command while it is empty, binary junk, one 50 MB line or
// cut in the middle: a message comes, and the windows stay as they were (no
// new window, nothing loaded in part). The files are made here, at test
// time.

#include "ui/main/MainFormFixture.h"

#include "lists/ListFiles.h"
#include "telegram/TextConventions.h"
#include "ui/device/FirmwareUploadForm.h"
#include "ui/editors/AntwortListenForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/filter/Filter.h"
#include "ui/main/CallListCommands.h"
#include "ui/main/ResponseListCommands.h"
#include "ui/main/V1Imports.h"

#include "../../import/ParadoxWriter.h"
#include "../../link/FirmwareHex.h"

#include <algorithm>
#include <QListWidget>

#include <random>

namespace vaskel {
namespace {

namespace fs = std::filesystem;

enum class THostile { Empty, Junk, HugeLine, Cut };
const THostile kHostile[] = {THostile::Empty, THostile::Junk, THostile::HugeLine, THostile::Cut};

const char* HostileName(THostile h) {
    switch (h) {
    case THostile::Empty: return "empty";
    case THostile::Junk: return "binary junk";
    case THostile::HugeLine: return "50 MB on one line";
    case THostile::Cut: return "cut in the middle";
    }
    return "";
}

std::string Junk() {
    std::mt19937 gen(7);
    std::string bytes(64 * 1024, '\0');
    for (char& c : bytes) c = static_cast<char>(gen() & 0xFF);
    return bytes;
}

// A good file of a kind cut where it hurts: inside a quoted field of a row
// (or halfway for the binary kinds).
std::string CutInQuotes(const std::string& good) {
    const std::size_t middle = good.size() / 2;
    // the first opening quote of a field with text from the middle on (an
    // even number of quotes before it, no closing quote right after it)
    std::size_t quotes = static_cast<std::size_t>(
        std::count(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(middle), '"'));
    std::size_t quote = good.find('"', middle);
    while (quote != std::string::npos &&
           (quotes % 2 != 0 || (quote + 1 < good.size() && good[quote + 1] == '"'))) {
        ++quotes;
        quote = good.find('"', quote + 1);
    }
    return good.substr(0, quote == std::string::npos ? middle : quote + 2);
}

class HostileFilesTest : public MainWindowTest {
protected:
    void SetUp() override {
        Start(TScenario::Unpowered);
        // one 50 MB line, linked under each kind's name
        Huge = Dir / "huge.bin";
        std::ofstream f(Huge, std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int k = 0; k < 50; ++k) f << block;
    }
    // The file of the kind in the given hostile form.
    std::string Make(const std::string& name, THostile h, const std::string& good) {
        const std::string file = Dir / ("hostile/" + name);
        fs::create_directories(fs::path(file).parent_path());
        std::error_code ec;
        fs::remove(file, ec);
        switch (h) {
        case THostile::Empty: Dir.Write("hostile/" + name, ""); break;
        case THostile::Junk: Dir.Write("hostile/" + name, Junk()); break;
        case THostile::HugeLine: fs::create_hard_link(Huge, file); break;
        case THostile::Cut: Dir.Write("hostile/" + name, CutInQuotes(good)); break;
        }
        return file;
    }
    // What the main window's area shows: each window's caption, the active one first.
    QStringList AreaState() const {
        QStringList s;
        if (TfChildWindow* a = W->Area()->ActiveWindow()) s << a->Caption();
        for (TfChildWindow* w : W->Area()->Windows()) s << w->Caption();
        return s;
    }
    std::string Huge;
};

struct TReader {
    const char* Kind;
    const char* Name;
    std::string Good; // a whole file of the kind (cut for THostile::Cut)
    // Opens the file as the user does; returns what the window shows after
    // (compared with what it showed before).
    std::function<QStringList(const QString& file)> Open;
};

std::string ProtocolText() {
    std::string t;
    for (int k = 0; k < 20; ++k)
        t += "\"M\";\"" + std::to_string(k + 1) + "\";\"" + std::to_string(k * 100) +
             "\";\"\";\"\";\"l00" + std::to_string(k % 10) + "\r/\";\"\";\"\";\"\";\"\"\r\n";
    return t;
}

std::string ListText(const char* header, const char* row) {
    std::string t = std::string(header) + "\r\n";
    for (int k = 0; k < 20; ++k) t += std::string(row) + "\r\n";
    return t;
}

TEST_F(HostileFilesTest, EveryKindOfFileIsRefusedWithAMessageAndTheWindowsStay) {
    // a protocol window open already: it stays the active one
    const std::string good = Dir.Write("good.PRO.CSV", ProtocolText());
    {
        TAutoAnswer ok(QMessageBox::Ok);
        ASSERT_NE(W->OpenProtocol(FromFileName(good)), nullptr);
    }
    std::string paradox;
    {
        const fs::path table = Dir.Path() / "good.DB";
        test::WriteParadoxTable(table, test::ResponseListColumns(),
                                {test::ResponseRecord(true, "a1", "a17", 30),
                                 test::ResponseRecord(false, "a2", "a27", 40)});
        paradox = test::ReadFile(table.string());
    }
    QString chosen;
    W->V1Imports()->SetAskFile([&](const TFileDialogSpec&) { return chosen; });
    const TReader readers[] = {
        {"protocol", "p.PRO.CSV", ProtocolText(),
         [&](const QString& f) {
             W->OpenProtocol(f);
             return AreaState();
         }},
        {"call list", "l.AUF.CSV", ListText(kAufrufHeader, "-1;\"l001\";\"Linie\";\"0:05\""),
         [&](const QString& f) {
             W->CallLists()->Open(f);
             return AreaState();
         }},
        {"response list", "l.ANT.CSV", ListText(kAntwortHeader, "-1;\"a1\";\"a17\";30"),
         [&](const QString& f) {
             W->ResponseLists()->Open(f);
             return AreaState();
         }},
        {"Paradox table", "ANTWORT.DB", paradox,
         [&](const QString& f) {
             chosen = f;
             W->V1Imports()->ImportResponseList();
             return AreaState();
         }},
        {"filter templates", "../Vaskel.INI",
         "[Datensatzfilter]\r\nLinie=1\r\n[Linie]\r\n001=1\r\n003=1\r\n021=1\r\n",
         [&](const QString&) {
             TfFilter w(*S);
             QApplication::processEvents();
             return QStringList() << QString::number(w.TemplateBox()->count());
         }},
    };
    for (const TReader& r : readers)
        for (const THostile h : kHostile) {
            SCOPED_TRACE(std::string(r.Kind) + ", " + HostileName(h));
            const std::string file = Make(r.Name, h, r.Good);
            const std::string bytes = h == THostile::HugeLine ? std::string() : test::ReadFile(file);
            const QStringList before = AreaState();
            TAutoAnswer ok(QMessageBox::Ok);
            const QStringList after = r.Open(FromFileName(file));
            QApplication::processEvents();
            if (std::string(r.Kind) == "filter templates" && h == THostile::Empty) {
                // an empty INI file is one without templates
                EXPECT_EQ(ok.Count, 0);
            } else {
                EXPECT_GE(ok.Count, 1) << "no message";
                EXPECT_FALSE(ok.LastText.isEmpty());
            }
            if (std::string(r.Kind) == "protocol" && h == THostile::Cut) {
                // a recording that broke off (the safety copy after a crash)
                // opens with its whole rows, the warning said at once
                ASSERT_EQ(after.size(), before.size() + 1);
                auto* opened = dynamic_cast<TfProtocolForm*>(W->Area()->ActiveWindow());
                ASSERT_NE(opened, nullptr);
                EXPECT_EQ(ok.LastText, opened->LoadWarning());
                opened->parentWidget()->close();
                ASSERT_TRUE(WaitFor([&] { return AreaState() == before; }));
            } else if (std::string(r.Kind) != "filter templates") {
                EXPECT_EQ(after, before);
            } else {
                EXPECT_EQ(after, QStringList() << QStringLiteral("0")) << "no template read";
            }
            if (h != THostile::HugeLine) {
                EXPECT_EQ(test::ReadFile(file), bytes) << "only read";
            }
        }
}

// IBIS_Frame.CSV beside the catalogue: the filter window says it is broken
// and keeps the record types of the catalogue.
TEST_F(HostileFilesTest, TheFilterWindowSaysABrokenFrameFileAndKeepsTheRecordTypes) {
    const std::string catalogue = Dir.Write("data/IBIS.CSV", test::ReadFile(kCatalogue));
    const std::string frame = test::ReadFile(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS_Frame.CSV");
    TIBISTelegramParser parser(catalogue);
    TSession session(Env, parser);
    for (const THostile h : kHostile) {
        SCOPED_TRACE(HostileName(h));
        const std::string file = Dir / "data/IBIS_Frame.CSV";
        std::error_code ec;
        fs::remove(file, ec);
        if (h == THostile::HugeLine)
            fs::create_hard_link(Huge, file);
        else
            Dir.Write("data/IBIS_Frame.CSV", h == THostile::Empty  ? std::string()
                                             : h == THostile::Junk ? Junk()
                                                                   : CutInQuotes(frame));
        TAutoAnswer ok(QMessageBox::Ok);
        TfFilter w(session);
        ASSERT_TRUE(WaitFor([&] { return ok.Count == 1; }));
        EXPECT_TRUE(ok.LastText.contains(QStringLiteral("IBIS_Frame.CSV"))) << ok.LastText.toStdString();
        EXPECT_GT(w.RecordTypeList()->count(), 30);
    }
}

// A firmware file read at "Start": the message, and the window ready again.
TEST_F(HostileFilesTest, TheUploadWindowRefusesABrokenFirmwareFile) {
    const std::string good = test::FirmwareHex(test::FirmwareBytes(200 * 63, "Tavrin V2.15"));
    TManualTime time;
    for (const THostile h : kHostile) {
        SCOPED_TRACE(HostileName(h));
        const std::string file = Make("fw.a79", h, good);
        TfUploadProgramForm f(*S, FromFileName(file), true, nullptr, &time);
        f.show();
        TAutoAnswer answer({QMessageBox::Yes, QMessageBox::Ok});
        f.StartButton()->click();
        ASSERT_TRUE(WaitFor([&] { return answer.Count == 2; }));
        EXPECT_FALSE(f.Upload().WaitingForReply()) << "nothing asked of the device";
        EXPECT_FALSE(answer.LastText.isEmpty());
        EXPECT_TRUE(f.CloseButton()->isEnabled());
    }
}

} // namespace
} // namespace vaskel
