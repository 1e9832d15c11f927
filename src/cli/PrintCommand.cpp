#include "cli/PrintCommand.h"

#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "platform/QtText.h"
#include "print/ProtocolPrint.h"
#include "recording/OpenedProtocol.h"
#include "recording/PrintLayout.h"
#include "recording/Recorder.h"
#include "shell/Version.h"
#include "telegram/Errors.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>

namespace vaskel {

namespace {

int Usage(std::ostream& err, const std::string& problem) {
    err << "vaskel-cli print: " << problem << "\n" << CommandHelp(PrintCommand());
    return kCliUsage;
}

// QtGui needs an application object; without a display it draws offscreen.
std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
    if (QGuiApplication::instance()) return nullptr;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!platform || !*platform) && (!display || !*display) && (!wayland || !*wayland))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vaskel-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int RunPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::string& defaultCatalogue) {
    std::string catalogue = defaultCatalogue;
    std::string note;
    std::string rowsText;
    bool landscape = false;
    bool hex = false;
    TBusType bus = TBusType::bsVehicleBus;
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        auto value = [&](std::string& into) {
            if (k + 1 >= args.size()) return false;
            into = args[++k];
            return true;
        };
        if (onlyOperands || a.empty() || a[0] != '-') {
            operands.push_back(a);
        } else if (a == "--") {
            onlyOperands = true;
        } else if (IsHelpArgument(a)) {
            return ShowHelp(PrintCommand(), out);
        } else if (a == "--note") {
            if (!value(note)) return Usage(err, "--note needs a text");
        } else if (a == "--rows") {
            if (!value(rowsText)) return Usage(err, "--rows needs FIRST-LAST");
        } else if (a == "--catalogue") {
            if (!value(catalogue)) return Usage(err, "--catalogue needs a file");
        } else if (a == "--landscape") {
            landscape = true;
        } else if (a == "--hex") {
            hex = true;
        } else if (a == "--train-bus") {
            bus = TBusType::bsTrainBus;
        } else {
            return Usage(err, "unknown option " + a);
        }
    }
    if (operands.size() != 2) return Usage(err, "IN and OUT are needed");
    const QString noteText = QString::fromUtf8(note.c_str()).trimmed();
    if (noteText.size() > kPrintNoteMax) return Usage(err, "the note has more than 55 characters");
    int64_t first = 0;
    int64_t last = 0;
    if (!rowsText.empty()) {
        const auto dash = rowsText.find('-');
        if (dash == std::string::npos || !TryStrToInt64(rowsText.substr(0, dash), first) ||
            !TryStrToInt64(rowsText.substr(dash + 1), last) || first < 1 || last < first)
            return Usage(err, "not a row range: " + rowsText);
    }
    if (!FilesUsable({{"protocol", operands[0]}}, {operands[1]}, err)) return kCliUsage;
    auto parser = OpenCatalogue(catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc = LoadProtocolForCli("print", operands[0], *parser, bus, table, info, err);
        rc != kCliOk)
        return rc;
    std::vector<int> selected;
    if (!rowsText.empty()) {
        if (first > table.RowCount()) {
            err << "vaskel-cli: row " << first << " is not in the protocol (" << table.RowCount()
                << " rows)\n";
            return kCliUsage;
        }
        if (last > table.RowCount()) {
            // the range stops at the last row, and says so
            err << "vaskel-cli: note: --rows " << rowsText << ": the protocol has "
                << table.RowCount() << " rows; rows " << first << "-" << table.RowCount()
                << " are printed\n";
            last = table.RowCount();
        }
        for (int64_t r = first; r <= last; ++r)
            selected.push_back(static_cast<int>(r - 1));
    }
    const auto app = EnsureGuiApplication();
    TPrintJob job;
    job.Table = &table;
    job.Parser = parser.get();
    job.Bus = bus;
    job.Heading = QFileInfo(FromFileName(operands[0])).fileName();
    job.Note = noteText;
    // a range of one row is that row, not the whole protocol
    job.Rows = selected.size() == 1 ? selected : PrintRows(table.RowCount(), selected);
    job.Titles = GermanProtocolColumnTitles();
    job.ColumnShown.assign(kProtocolColumns, true);
    job.ColumnShown[pcHex] = hex;
    job.Landscape = landscape;
    job.Version = QString::fromLatin1(kVaskelVersion);
    job.PrintedAt = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    // the period's dates: when the protocol was written
    job.Reference = ProtocolFileTime(FromFileName(operands[0]));
    const TProtocolPrint print(std::move(job));
    const QString outName = FromFileName(operands[1]);
    if (outName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        // drawn in memory, then written as every file is: the previous file
        // stays until the new one is whole (the PNG writer never meets a
        // full disk, where it would give up halfway)
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!print.RenderPage(0, 150).save(&buffer, "PNG")) {
            err << "vaskel-cli: cannot draw the page for " << operands[1] << "\n";
            return kCliUsage;
        }
        try {
            WriteFileSafely(operands[1], std::string_view(png.constData(),
                                                          static_cast<std::size_t>(png.size())));
        } catch (const EFileError& e) {
            err << "vaskel-cli: " << e.what() << "\n";
            return kCliUsage;
        }
        out << operands[1] << ": page 1 of " << print.PageCount() << "\n";
        return kCliOk;
    }
    QString error;
    if (!WriteProtocolPdf(print, FromFileName(operands[1]), &error)) {
        err << "vaskel-cli: " << error.toStdString() << "\n";
        return kCliUsage;
    }
    out << operands[1] << ": " << print.PageCount()
        << (print.PageCount() == 1 ? " page, " : " pages, ") << print.Job().Rows.size()
        << " rows\n";
    return kCliOk;
}

const TCliCommand& PrintCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "print";
        c.Summary = "write the printout of a protocol as a PDF";
        c.Synopsis = {"print [OPTIONS] IN.PRO.CSV OUT.pdf"};
        c.Description = "Writes the printout of a protocol (header, column header, rows, footer;\n"
                        "A4) as a PDF, the same pages the program's print preview shows. With\n"
                        "OUT ending in .png, the first page as a picture (150 dpi) instead.\n";
        c.Options = {
            {"--note", "TEXT", "the note line under the title (at most 55 characters)"},
            {"--rows", "FIRST-LAST", "print only these rows (1-based, inclusive)"},
            {"--landscape", "", "A4 landscape (default: portrait)"},
            {"--hex", "", "print the hex column too (hidden, as in the protocol window)"},
            {"--train-bus", "", "classify as train bus (default: vehicle bus)"},
            kCatalogueOption,
        };
        c.Run = [](const TCliCall& call) {
            return RunPrint(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
