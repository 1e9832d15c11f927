#include "cli/FilterCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "telegram/Catalogue.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"
#include "telegram/Filter.h"
#include "telegram/FilterLists.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

namespace vaskel {

namespace {

std::vector<std::string> SplitList(const std::string& s) {
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        const std::string_view t = TrimBlanks(part);
        if (!t.empty()) parts.emplace_back(t);
        part.clear();
    };
    for (char c : s) {
        if (c == ',' || c == ';')
            flush();
        else
            part += c;
    }
    flush();
    return parts;
}

int FindKey(const TFilterList& list, const std::string& key) {
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k].Rec.Key == key) return static_cast<int>(k);
    return -1;
}

// IBIS_Frame.CSV beside the catalogue, else beside the shipped catalogue.
std::optional<std::string> FrameFileFor(const std::string& catalogue, const std::string& shipped) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const std::string& c : {catalogue, shipped}) {
        if (c.empty()) continue;
        const fs::path f = fs::path(c).parent_path() / "IBIS_Frame.CSV";
        if (fs::is_regular_file(f, ec)) return f.string();
    }
    return std::nullopt;
}

} // namespace

int RunFilter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    auto usage = [&](const std::string& problem) {
        return RefuseUsage(FilterCommand(), err, problem);
    };
    const std::string problem =
        ParseClassifyOptions(args, {"--groups", "--types"}, {"--hide-errors"}, o);
    if (problem == "help") return ShowHelp(FilterCommand(), out);
    if (!problem.empty()) return usage(problem);
    if (o.Operands.size() != 2) return usage("IN and OUT are needed");
    std::vector<std::string> groupKeys, typeKeys;
    for (const auto& [name, value] : o.Valued) {
        const std::vector<std::string> parts = SplitList(value);
        if (parts.empty()) return usage(name + " needs at least one entry");
        auto& into = name == "--groups" ? groupKeys : typeKeys;
        into.insert(into.end(), parts.begin(), parts.end());
    }
    const bool neverFilterErrors = o.Flags.empty();
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;

    // the window's lists and its choice
    TFilterList groups;
    if (!groupKeys.empty() || !typeKeys.empty()) {
        const auto frameFile = FrameFileFor(parser->FileName(), defaultCatalogue);
        if (!frameFile) {
            err << "vaskel-cli: IBIS_Frame.CSV (the initial-letter groups) is missing beside "
                << o.Catalogue << "\n";
            return kCliUsage;
        }
        try {
            const TFrameFile frame = LoadFrameFile(*frameFile);
            // a group missing from the list would filter out every row of
            // its record types: a broken file is refused, not half used
            if (frame.Damaged) {
                err << "vaskel-cli: " << *frameFile << " (the initial-letter groups) is damaged: "
                    << (frame.Entries.empty() ? "it holds no group"
                                              : "some of its lines cannot be read")
                    << "\n";
                return kCliUsage;
            }
            groups = BuildGroupList(frame);
        } catch (const EVaskelError& e) {
            err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
            return kCliUsage;
        }
    }
    TFilterList types = BuildRecordTypeList(*parser->ProfileArray(), o.Bus);
    for (const std::string& key : groupKeys) {
        const int g = FindKey(groups, key);
        if (g < 0) {
            std::string known;
            for (const TFilterEntry& e : groups)
                known += (known.empty() ? "" : " ") + e.Rec.Key;
            return usage("unknown group " + key + " (known: " + Cp1252ToUtf8(known) + ")");
        }
        SetGroupChecked(groups, types, g, true);
    }
    for (const std::string& key : typeKeys) {
        const int t = FindKey(types, key);
        if (t < 0)
            return usage("record type " + key + " is not offered by the filter for the " +
                         (o.Bus == TBusType::bsTrainBus ? "train" : "vehicle") +
                         " bus (unknown, or without the filter flag in the catalogue)");
        types[static_cast<std::size_t>(t)].Checked = true;
    }
    if (!typeKeys.empty()) RecomputeGroupChecks(groups, types);
    for (const TFilterEntry& t : types)
        if (t.Checked && GroupOf(groups, t) < 0) {
            err << "vaskel-cli: record type " << Cp1252ToUtf8(t.Rec.Key)
                << " has no initial-letter group in IBIS_Frame.CSV: its rows would all be "
                   "filtered out\n";
            return kCliUsage;
        }
    const std::string satzArten = ChoiceString(types);
    const std::string kuerzel = ChoiceString(groups);

    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc =
            LoadProtocolForCli("filter", o.Operands[0], *parser, o.Bus, table, info, err);
        rc != kCliOk)
        return rc;
    // a table always has a row: an empty file has none
    const int rows = table.RowCount() == 1 && table.RowEmpty(0) ? 0 : table.RowCount();
    TTable kept = MakeProtocolTable();
    kept.Reserve(static_cast<std::size_t>(rows));
    int keptRows = 0;
    std::vector<std::string> cells(static_cast<std::size_t>(table.ColCount()));
    for (int r = 0; r < rows; ++r) {
        if (!FilterShowsRow(table.Cell(pcTelegram, r), table.Cell(pcRecordNo, r),
                            table.Cell(pcErrors, r), satzArten, kuerzel, neverFilterErrors))
            continue;
        table.ForEachCell(r, [&](int col, std::string_view cell) {
            cells[static_cast<std::size_t>(col)].assign(cell);
        });
        kept.SetRow(keptRows++ == 0 ? 0 : kept.AppendRow(), cells);
    }
    try {
        if (keptRows > 0) {
            SaveToCSV(kept, o.Operands[1], '"', 0, std::nullopt, ';');
        } else {
            WriteFileSafely(o.Operands[1], std::string_view());
        }
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << e.what() << "\n";
        return kCliUsage;
    }
    out << "written " << keptRows << " of " << rows << " rows\n";
    return kCliOk;
}

const TCliCommand& FilterCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "filter";
        c.Summary = "write the rows of a protocol that a filter choice shows";
        c.Synopsis = {"filter [--groups KEYS] [--types NUMBERS] [--hide-errors] [--catalogue FILE] "
                      "[--train-bus] IN.PRO.CSV OUT.PRO.CSV"};
        c.Description =
            "Writes the rows of a protocol that a protocol window shows with its filter\n"
            "on, for the choice made in the filter window: the initial-letter groups\n"
            "(\"Kuerzel\" of IBIS_Frame.CSV) and the record types (\"DS-Nr.\") named.\n"
            "As in the window, a group brings all its record types with it, and a\n"
            "record type its group. Without --groups and --types every row passes.\n"
            "Rows with error letters are kept whatever the choice, unless --hide-errors\n"
            "is given. IN is read, never written; the rows are written as they stand.\n"
            "A summary line goes to the standard output.\n";
        c.Options = {
            {"--groups", "KEYS", "initial letters, separated by ',' or ';' (e.g. a,z)"},
            {"--types", "NUMBERS", "record-type numbers, separated by ',' or ';' (e.g. 021,020)"},
            {"--hide-errors", "", "faulty telegrams are filtered like the others"},
            {"--catalogue", "FILE",
             "record-type catalogue (default: the shipped IBIS.CSV); IBIS_Frame.CSV is read "
             "beside it, else beside the shipped one (with --groups or --types; a damaged one "
             "is refused)"},
            {"--train-bus", "", "the record types of the train bus"},
        };
        c.Run = [](const TCliCall& call) {
            return RunFilter(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
