#include "simulation/SlaveSimulation.h"

#include "lists/ListFiles.h"
#include "recording/TableFile.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <filesystem>

namespace vaskel {

namespace {

// The download sends each text with its CR and check byte behind a 16-bit
// length.
constexpr std::size_t kLongestText = 0xFFFF - 2;

TResponseRowProblem ProblemOf(const TAntwortListeElement& el) {
    if (el.Aufruf.empty()) return TResponseRowProblem::EmptyCall;
    if (el.Aufruf.find('\r') != std::string::npos || el.Antwort.find('\r') != std::string::npos)
        return TResponseRowProblem::CarriageReturn;
    if (el.Aufruf.size() > kLongestText || el.Antwort.size() > kLongestText)
        return TResponseRowProblem::TooLong;
    return TResponseRowProblem::None;
}

bool Exists(const std::string& file) {
    std::error_code ec;
    return !file.empty() && std::filesystem::is_regular_file(file, ec);
}

} // namespace

TResponseListCheck CheckResponseList(const std::string& fileName) {
    TResponseListCheck check;
    bool comma = false;
    int row = -1; // the header is row 0
    int rows = 0; // rows of four fields, active or not
    TTableLines lines;
    try {
        comma = IsCommaForm(fileName);
        lines = ForEachTableLine(
            fileName, comma ? '\'' : '"', comma ? ',' : ';', [&](std::vector<std::string>& f, int) {
                ++row;
                if (!check.Ok()) return;
                if (IsResponseListRow(f, comma)) {
                    ++rows;
                    if (!IsListBoolean(f[0])) {
                        check.Problem = TResponseRowProblem::NoBoolean;
                        check.Row = row;
                        return;
                    }
                }
                TReactionRead how = TReactionRead::Plain;
                std::optional<TAntwortListeElement> el = ResponseListElement(f, comma, &how);
                if (!el) return;
                check.Problem = ProblemOf(*el);
                if (!check.Ok()) {
                    check.Row = row;
                    return;
                }
                if (how != TReactionRead::Plain)
                    check.Notes.push_back(
                        {row, f[3], el->ReactionMs, how == TReactionRead::Clamped});
                check.List.push_back(std::move(*el));
            });
    } catch (const ELineTooLong& e) {
        check = TResponseListCheck{};
        check.Problem = TResponseRowProblem::LineTooLong;
        check.Row = e.Line;
        return check;
    }
    if (check.Ok() && !lines.Complete) {
        check.Problem = TResponseRowProblem::Unterminated;
        check.Row = row + 1;
    }
    if (check.Ok() && rows == 0) check.Problem = TResponseRowProblem::NoRows;
    if (!check.Ok()) {
        check.List.clear();
        check.Notes.clear();
    }
    return check;
}

std::string ReactionNoteText(const TReactionNote& note) {
    return "row " + std::to_string(note.Row) + ": reaction time \"" + note.Text + "\" " +
           (note.Clamped ? "is outside 0 to 1000 ms" : "is no number") +
           ": the device answers after " + std::to_string(note.Ms) + " ms";
}

std::string ResponseRowProblemText(const TResponseListCheck& check) {
    const std::string row = "row " + std::to_string(check.Row);
    switch (check.Problem) {
    case TResponseRowProblem::None:
        return {};
    case TResponseRowProblem::Unreadable:
        return "the file cannot be read";
    case TResponseRowProblem::CarriageReturn:
        return row + ": a carriage return inside the call or the answer would end the telegram";
    case TResponseRowProblem::EmptyCall:
        return row + ": the call is empty";
    case TResponseRowProblem::TooLong:
        return row + ": the call or the answer is too long for the download";
    case TResponseRowProblem::Unterminated:
        return row + ": a quoted field is not closed before the end of the file";
    case TResponseRowProblem::LineTooLong:
        return "line " + std::to_string(check.Row) + " is longer than " +
               std::to_string(MaxLineBytes()) + " bytes: the file is no response list";
    case TResponseRowProblem::NoBoolean:
        return row + ": \"Ok\" is neither -1 nor 0";
    case TResponseRowProblem::NoRows:
        return "the file holds no row of a response list (four fields below the header)";
    }
    return {};
}

std::string ClampedReactionTime(const std::string& text, bool& beep) {
    beep = false;
    std::size_t k = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) k = 1;
    if (k == text.size()) return text;
    uint64_t value = 0;
    for (std::size_t p = k; p < text.size(); ++p) {
        if (text[p] < '0' || text[p] > '9') return text;
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(text[p] - '0'), 1000000);
    }
    if (negative && value > 0) {
        beep = true;
        return "0";
    }
    if (value > 1000) {
        beep = true;
        return "1000";
    }
    return text;
}

void TSlaveSimulation::Hand(const TAntwortListe& list) {
    if (!FHooks.Download) return;
    if (FHooks.Download(list)) {
        FWaiting = false;
        FWaitingList.clear();
    } else {
        // an earlier download is still being written: this one follows it
        FWaiting = true;
        FWaitingList = list;
    }
}

bool TSlaveSimulation::RetryDownload() {
    if (FWaiting && FHooks.Download && FHooks.Download(FWaitingList)) {
        FWaiting = false;
        FWaitingList.clear();
    }
    return FWaiting;
}

void TSlaveSimulation::Drop() {
    FFile.clear();
    FList.clear();
}

TResponseActivation TSlaveSimulation::Activate(const std::string& fileName) {
    if (!Exists(fileName)) return TResponseActivation::Missing;
    FEnv.RememberDirectory(TFileFolder::Antwort,
                           std::filesystem::path(fileName).parent_path().string());
    try {
        FCheck = CheckResponseList(fileName);
    } catch (const std::exception&) {
        FCheck = TResponseListCheck{};
        FCheck.Problem = TResponseRowProblem::Unreadable;
        Drop();
        Hand(TAntwortListe{});
        return TResponseActivation::Failed;
    }
    if (!FCheck.Ok()) {
        // nothing of the broken list reaches the device; the one before is
        // gone from it as well
        Drop();
        Hand(TAntwortListe{});
        return TResponseActivation::Failed;
    }
    FFile = fileName;
    FList = FCheck.List;
    Hand(FList);
    if (FHooks.SwitchDevice) FHooks.SwitchDevice(true);
    return TResponseActivation::Active;
}

TResponseActivation TSlaveSimulation::Reload() {
    if (!Active()) return TResponseActivation::Missing;
    return Activate(FFile);
}

void TSlaveSimulation::Unload() {
    if (!Active()) return;
    Hand(TAntwortListe{});
    FEnv.SetLastLoadedResponseList(FEnv.ReloadResponseList() && Exists(FFile) ? FFile : "");
    Drop();
}

void TSlaveSimulation::Deactivate() {
    if (!Active()) return;
    Unload();
    FEnv.SetLastLoadedResponseList("");
    if (FHooks.SwitchDevice) FHooks.SwitchDevice(false);
}

TResponseActivation TSlaveSimulation::DeviceRestarted() {
    // the device forgot its list with the restart: an active one goes down
    // again
    if (Active()) return Activate(FFile);
    const std::string last = FEnv.LastLoadedResponseList();
    if (!FEnv.ReloadResponseList() || last.empty()) return TResponseActivation::Missing;
    return Activate(last);
}

std::string TSlaveSimulation::AnswerOf(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= FList.size()) return {};
    return FList[static_cast<std::size_t>(index)].Antwort;
}

} // namespace vaskel
