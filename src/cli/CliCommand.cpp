#include "cli/CliCommand.h"

#include "cli/CliCommands.h"

#include <algorithm>
#include <cstddef>
#include <ostream>

namespace vaskel {

const TCliOption kHelpOption{"--help", "", "show this help", false, {}, "-h"};
const TCliOption kCatalogueOption{"--catalogue", "FILE",
                                  "record-type catalogue (default: the shipped IBIS.CSV)"};
const TCliOption kTrainBusOption{"--train-bus", "",
                                 "use the train-bus record types (default: vehicle bus)"};

namespace {

constexpr std::size_t kWidth = 80;    // the help's lines, where a word allows
constexpr std::size_t kLabelMax = 20; // a longer label has its text below it

// text broken into lines of at most kWidth columns, the first starting at
// firstColumn, the others indented by indent spaces; a usage line
// (keepBrackets) breaks only outside brackets, so "[--name VALUE]" stays
// together. Each line ends with \n.
std::string Wrap(const std::string& text, std::size_t firstColumn, std::size_t indent,
                 bool keepBrackets) {
    std::vector<std::string> words;
    std::string word;
    int depth = 0;
    for (const char c : text) {
        if (keepBrackets && (c == '[' || c == '(')) ++depth;
        if (keepBrackets && (c == ']' || c == ')') && depth > 0) --depth;
        if (c == ' ' && depth == 0) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    // a bracket too wide for a line of its own opens before the brackets
    // inside it ("[--protocol FILE" "[--send-mode MODE]" "[--factor F]]")
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string w = words[k];
        if (!keepBrackets || indent + w.size() <= kWidth || w.find(' ') == std::string::npos)
            continue;
        std::vector<std::string> parts;
        std::string part;
        int inner = 0;
        for (std::size_t p = 0; p < w.size(); ++p) {
            const char c = w[p];
            if (c == '[' || c == '(') ++inner;
            if ((c == ']' || c == ')') && inner > 0) --inner;
            if (c == ' ' && inner == 1 && p + 1 < w.size() && w[p + 1] == '[') {
                parts.push_back(part);
                part.clear();
            } else {
                part += c;
            }
        }
        parts.push_back(part);
        words.erase(words.begin() + static_cast<std::ptrdiff_t>(k));
        words.insert(words.begin() + static_cast<std::ptrdiff_t>(k), parts.begin(), parts.end());
        k += parts.size() - 1;
    }
    std::string out;
    std::size_t column = firstColumn;
    bool lineEmpty = true;
    for (const std::string& w : words) {
        if (!lineEmpty && column + 1 + w.size() > kWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += w;
        column += w.size();
        lineEmpty = false;
    }
    return out + "\n";
}

// "Usage: vaskel-cli autonomous read [--catalogue FILE] ...": a line too
// long goes on under its first argument, after the words that name the
// command.
std::string UsageLine(const std::string& lead, const std::string& synopsis) {
    std::size_t words = 0; // the lower-case words that name the command
    for (std::size_t p = 0; p <= synopsis.size();) {
        std::size_t e = synopsis.find(' ', p);
        if (e == std::string::npos) e = synopsis.size();
        const std::string w = synopsis.substr(p, e - p);
        if (w.empty() ||
            !std::all_of(w.begin(), w.end(),
                         [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; }) ||
            w[0] == '-')
            break;
        words = e + 1;
        p = e + 1;
    }
    const std::string prefix = lead + "vaskel-cli ";
    return prefix +
           Wrap(synopsis, prefix.size(), prefix.size() + std::min(words, synopsis.size()), true);
}

} // namespace

std::string OptionLabel(const TCliOption& o) {
    std::string label = o.Short.empty() ? o.Name : o.Short + ", " + o.Name;
    if (!o.Argument.empty())
        label += o.ArgumentOptional ? "[=" + o.Argument + "]" : " " + o.Argument;
    return label;
}

namespace {

using TRows = std::vector<std::pair<std::string, std::string>>;

std::size_t LabelWidth(const TRows& rows) {
    std::size_t width = 0;
    for (const auto& [label, text] : rows)
        if (label.size() <= kLabelMax) width = std::max(width, label.size());
    return width;
}

std::string Rows(const TRows& rows, std::size_t width) {
    const std::size_t column = 2 + width + 2;
    std::string out;
    for (const auto& [label, text] : rows) {
        out += "  " + label;
        if (label.size() > width)
            out += "\n" + std::string(column, ' ');
        else
            out += std::string(column - 2 - label.size(), ' ');
        out += Wrap(text, column, column, false);
    }
    return out;
}

} // namespace

std::string TwoColumns(const std::vector<std::pair<std::string, std::string>>& rows) {
    return Rows(rows, LabelWidth(rows));
}

std::string CommandHelp(const TCliCommand& c) {
    std::string s;
    if (!c.Unavailable.empty()) {
        return "vaskel-cli " + c.Name + ": " + c.Summary + "\n\nThis build has no " + c.Name +
               " command: " + c.Unavailable + ".\n";
    }
    for (std::size_t k = 0; k < c.Synopsis.size(); ++k)
        s += UsageLine(k == 0 ? "Usage: " : "       ", c.Synopsis[k]);
    if (!c.Description.empty()) s += "\n" + c.Description;
    if (!c.Subcommands.empty()) {
        std::vector<std::pair<std::string, std::string>> rows;
        for (const TCliCommand& sub : c.Subcommands)
            rows.push_back({sub.Name, sub.Summary});
        s += "\nSubcommands:\n" + TwoColumns(rows);
        for (const TCliCommand& sub : c.Subcommands)
            if (!sub.Description.empty())
                s += "Run 'vaskel-cli " + c.Name + " " + sub.Name + " --help' for more on " +
                     sub.Name + ".\n";
    }
    if (!c.Operands.empty()) {
        std::vector<std::pair<std::string, std::string>> rows;
        for (const TCliOperand& o : c.Operands)
            rows.push_back({o.Name, o.Description});
        s += "\nArguments:\n" + TwoColumns(rows);
    }
    // the groups in the order of their first option; the help option last
    // in "Options"
    std::vector<std::string> groups;
    for (const TCliOption& o : c.Options)
        if (std::find(groups.begin(), groups.end(), o.Group) == groups.end())
            groups.push_back(o.Group);
    if (std::find(groups.begin(), groups.end(), "") == groups.end()) groups.push_back("");
    // one column for all groups, as if they were one table
    std::vector<std::pair<std::string, TRows>> tables; // heading, rows
    TRows all;
    for (const std::string& g : groups) {
        TRows rows;
        for (const TCliOption& o : c.Options)
            if (o.Group == g) rows.push_back({OptionLabel(o), o.Description});
        if (g.empty()) rows.push_back({OptionLabel(kHelpOption), kHelpOption.Description});
        all.insert(all.end(), rows.begin(), rows.end());
        tables.push_back({g.empty() ? std::string("Options") : g, rows});
    }
    // then the options of each subcommand
    for (const TCliCommand& sub : c.Subcommands) {
        TRows rows;
        for (const TCliOption& o : sub.Options)
            rows.push_back({OptionLabel(o), o.Description});
        if (rows.empty()) continue;
        all.insert(all.end(), rows.begin(), rows.end());
        tables.push_back({"Options of " + sub.Name, rows});
    }
    const std::size_t width = LabelWidth(all);
    for (const auto& [heading, rows] : tables)
        s += "\n" + heading + ":\n" + Rows(rows, width);
    if (!c.Notes.empty()) s += "\n" + c.Notes;
    return s;
}

int ShowHelp(const TCliCommand& command, std::ostream& out) {
    out << CommandHelp(command);
    return kCliOk;
}

int RefuseUsage(const TCliCommand& command, std::ostream& err, const std::string& problem) {
    err << "vaskel-cli: " << problem << "\n\n" << CommandHelp(command);
    return kCliUsage;
}

} // namespace vaskel
