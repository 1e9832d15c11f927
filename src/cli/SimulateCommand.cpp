// vaskel-cli simulate: the master simulation on the virtual Tavrin, headless.

#include "cli/SimulateCommand.h"
#include "cli/ScratchFile.h"

#include "session/BusTimeSession.h"
#include "cli/CliFiles.h"
#include "recording/OpenedProtocol.h"
#include "shell/SystemPlatform.h"
#include "simulation/AddressTranslation.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace vaskel {

namespace {

int Usage(std::ostream& err, const std::string& problem) {
    return RefuseUsage(SimulateCommand(), err, problem);
}

bool Number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    // "nan" and "inf" are no values of any option
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

} // namespace

int RunSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& defaultCatalogue) {
    TEmulatorOptions device;
    bool scenarioGiven = false;
    double seconds = 60;
    std::string catalogue = defaultCatalogue, callList, responseList, protocol, translate, outFile;
    TProtocolPlayer::TMode mode = TProtocolPlayer::smOnce;
    bool modeGiven = false, factorGiven = false;
    int factor = 1;
    TBusType bus = TBusType::bsVehicleBus;
    bool onlyOperands = false;
    std::vector<std::string> operands;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (onlyOperands || a.rfind("-", 0) != 0 || a == "-") {
            operands.push_back(a);
            continue;
        }
        if (a == "-h" || a == "--help") return ShowHelp(SimulateCommand(), out);
        if (a == "--") {
            onlyOperands = true;
            continue;
        }
        if (a == "--train-bus") {
            bus = TBusType::bsTrainBus;
            continue;
        }
        std::string name = a, value;
        if (const auto eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else {
            static const char* const valued[] = {"--scenario",   "--seconds",      "--seed",
                                                 "--fault-rate", "--call-list",    "--protocol",
                                                 "--send-mode",  "--factor",       "--translate",
                                                 "--catalogue",  "--response-list"};
            bool known = false;
            for (const char* v : valued)
                known |= name == v;
            if (!known) return Usage(err, "unknown option " + a);
            if (k + 1 >= args.size()) return Usage(err, a + " needs a value");
            value = args[++k];
        }
        double number = 0;
        if (name == "--scenario") {
            if (!ParseScenario(value, device.Scenario))
                return Usage(err, "unknown scenario " + value);
            scenarioGiven = true;
        } else if (name == "--seconds") {
            if (!Number(value, seconds) || seconds < 0 || seconds > 7 * 24 * 3600.0)
                return Usage(err, "--seconds needs a number from 0 to 604800, not " + value);
        } else if (name == "--seed") {
            if (!Number(value, number) || number < 0 || number > 4294967295.0)
                return Usage(err, "--seed needs a number, not " + value);
            device.Seed = static_cast<uint32_t>(number);
        } else if (name == "--fault-rate") {
            if (!Number(value, number) || number < 0 || number > 1)
                return Usage(err, "--fault-rate needs a number from 0 to 1");
            device.FaultRate = number;
        } else if (name == "--call-list") {
            callList = value;
        } else if (name == "--response-list") {
            responseList = value;
        } else if (name == "--protocol") {
            protocol = value;
        } else if (name == "--send-mode") {
            if (value == "once")
                mode = TProtocolPlayer::smOnce;
            else if (value == "cyclic")
                mode = TProtocolPlayer::smCyclic;
            else
                return Usage(err, "--send-mode is once or cyclic, not " + value);
            modeGiven = true;
        } else if (name == "--factor") {
            if (!Number(value, number) || number != static_cast<int>(number) || number < -5 ||
                number > 10)
                return Usage(err, "--factor needs a whole number from -5 to 10, not " + value);
            factor = number == 0 ? 1 : static_cast<int>(number);
            factorGiven = true;
        } else if (name == "--translate") {
            translate = value;
        } else if (name == "--catalogue") {
            catalogue = value;
        } else {
            return Usage(err, "unknown option " + name);
        }
    }
    if (operands.size() != 1) return Usage(err, "exactly one OUT.PRO.CSV is needed");
    outFile = operands[0];
    if ((modeGiven || factorGiven) && protocol.empty())
        return Usage(err, "--send-mode and --factor need --protocol");
    std::array<int, kAddressCount> table{};
    if (!translate.empty()) {
        std::string problem;
        if (!ParseAddressTranslation(translate, table, problem))
            return Usage(err, "--translate: " + problem);
    }
    if (!responseList.empty() && (!callList.empty() || !protocol.empty()))
        return Usage(err, "--response-list needs the device as a slave; --call-list and "
                          "--protocol need it as bus master: give one or the other");
    const bool simulating = !callList.empty() || !protocol.empty();
    if (!scenarioGiven && simulating) device.Scenario = TScenario::Idle;

    if (!FilesUsable(
            {{"call list", callList}, {"response list", responseList}, {"protocol", protocol}},
            {outFile}, err))
        return kCliUsage;
    const std::unique_ptr<TIBISTelegramParser> parser = OpenCatalogue(catalogue, err);
    if (!parser) return kCliUsage;
    TFixedSystemPlatform platform = ToolPlatform();
    TEnvironment env(nullptr, platform);
    env.SetBusType(bus);
    if (!translate.empty()) {
        SetAddressTranslationTable(env, table);
        env.SetIBISAddressTranslationMode(1);
    }

    // the protocol to play, loaded from a copy: the older forms are
    // converted on loading, the file itself stays as it is
    TTable played = MakeProtocolTable();
    if (!protocol.empty()) {
        namespace fs = std::filesystem;
        std::error_code ec;
        const TScratchFile scratch(ScratchProtocolName("simulate"));
        const fs::path work = scratch.Name();
        std::string reason;
        try {
            // no form fits: refused from the first row, before the copy
            (void)ProtocolFormOfFile(protocol);
        } catch (const EVaskelError& e) {
            reason = e.what();
        }
        bool loaded = reason.empty() && fs::is_regular_file(protocol, ec) &&
                      fs::copy_file(protocol, work, fs::copy_options::overwrite_existing, ec);
        TProtocolLoad info;
        if (loaded) {
            try {
                info = LoadProtocolFile(played, work.string(), *parser, bus);
            } catch (const EVaskelError& e) {
                loaded = false;
                reason = e.what();
            }
        }
        if (loaded && info.Incomplete) {
            // only the rows before the quote could be played: none is
            err << "vaskel-cli: " << protocol << ": the row in line " << info.UnreadFromLine
                << " has a quote that is never closed, so nothing from there on can be read ("
                << info.RowsRead << " rows before it could); nothing was played or written\n";
            return kCliUsage;
        }
        if (!loaded || played.RowCount() == 0 || (played.RowCount() == 1 && played.RowEmpty(0))) {
            err << "vaskel-cli: " << Cp1252ToUtf8(kProtocolLoadError);
            if (!reason.empty()) err << " (" << Cp1252ToUtf8(reason) << ")";
            err << "\n";
            return kCliUsage;
        }
    }

    TBusTimeSession sim(*parser, env, device, TSystemClock().Now());
    if (simulating && !sim.SwitchToMaster()) {
        err << "vaskel-cli: the virtual Tavrin could not become bus master (scenario "
            << ScenarioName(device.Scenario) << ")\n";
        return kCliFailure;
    }
    if (!callList.empty()) {
        const TCallListActivation a = sim.ActivateCallList(callList);
        if (a == TCallListActivation::Missing || a == TCallListActivation::Broken) {
            std::string text = kCallListNotLoaded;
            for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;)
                text.replace(p, 2, " ");
            err << "vaskel-cli: " << callList << ": " << Cp1252ToUtf8(text);
            if (a == TCallListActivation::Broken)
                err << ": " << Cp1252ToUtf8(CallListProblemText(sim.Scheduler().LastProblem(), 2));
            err << "\n";
            return kCliUsage;
        }
        if (a == TCallListActivation::Empty)
            err << "vaskel-cli: every row of " << callList << " is inactive: nothing is sent\n";
    }
    if (!responseList.empty()) {
        const TResponseActivation a = sim.ActivateResponseList(responseList);
        if (a == TResponseActivation::Missing) {
            err << "vaskel-cli: " << responseList << ": no such file\n";
            return kCliUsage;
        }
        if (a == TResponseActivation::Failed && !sim.Slave().LastCheck().Ok()) {
            err << "vaskel-cli: " << responseList << ": "
                << ResponseRowProblemText(sim.Slave().LastCheck()) << "; nothing was downloaded\n";
            return kCliUsage;
        }
        if (a == TResponseActivation::Failed) {
            err << "vaskel-cli: the virtual Tavrin is not online as a slave (scenario "
                << ScenarioName(device.Scenario) << ")\n";
            return kCliFailure;
        }
        for (const TReactionNote& n : sim.Slave().LastCheck().Notes)
            err << "vaskel-cli: " << responseList << ": " << ReactionNoteText(n) << "\n";
        if (sim.Slave().AntwortBuffer().empty())
            err << "vaskel-cli: every row of " << responseList
                << " is inactive: the device answers nothing\n";
    }
    if (!protocol.empty()) sim.PlayProtocol(played, mode, factor);
    sim.Run(static_cast<int64_t>(seconds * 1000 + 0.5));
    if (!sim.Recorder().SaveActiveProtocol(outFile, 0)) {
        err << "vaskel-cli: cannot write " << outFile << "\n";
        return kCliUsage;
    }
    if (!responseList.empty()) {
        int own = 0;
        for (int r = 0; r < sim.Recorder().RowCounter(); ++r)
            own += sim.Recorder().Table().Cell(pcKind, r) == "T";
        out << own << " answers of the device's own, ";
    } else {
        out << sim.SendRequests() << " telegrams sent, ";
    }
    out << sim.Recorder().RowCounter() << " rows recorded in " << seconds << " s of bus time\n";
    return kCliOk;
}

const TCliCommand& SimulateCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "simulate";
        c.Summary = "run a call list or a protocol on the virtual Tavrin as bus master";
        c.Synopsis = {"simulate [--scenario NAME] [--seconds N] [--seed S] [--fault-rate R] "
                      "[--call-list FILE | --response-list FILE] [--protocol FILE [--send-mode "
                      "once|cyclic] [--factor F]] [--translate A=B,...] [--catalogue FILE] "
                      "[--train-bus] OUT.PRO.CSV"};
        c.Description =
            "Runs the master simulation on the virtual Tavrin on bus time, as fast as\n"
            "the machine allows, and writes what the monitor records into the protocol\n"
            "OUT.PRO.CSV. The device is switched to bus master as the desktop program's\n"
            "switch does; then the call list is activated and the protocol played back.\n"
            "With --response-list the device stays a slave and answers the master's\n"
            "calls itself (the slave simulation); its answers are recorded as its own.\n"
            "A list that is missing or broken ends the run before anything is written\n"
            "(exit status 2).\n";
        c.Options = {
            {"--scenario", "NAME",
             "idle (powered bus without a master; the default when a call list or protocol is "
             "given), vehicle (a bus with its on-board computer: the device only listens), "
             "unpowered"},
            {"--seconds", "N",
             "bus time the simulation runs once the device is bus master, in seconds (default "
             "60)"},
            {"--seed", "S",
             "seed of the virtual bus (default 1): the same seed gives the same traffic"},
            {"--fault-rate", "R", "share of telegrams with a fault, 0 to 1 (default 0)"},
            {"--call-list", "FILE", "the call list (.AUF.CSV) to activate"},
            {"--response-list", "FILE",
             "the response list (.ANT.CSV) to activate: the device stays a slave (scenario "
             "vehicle by default); not together with --call-list or --protocol, which need the "
             "device as bus master"},
            {"--protocol", "FILE", "a recorded protocol (.PRO.CSV) to play back"},
            {"--send-mode", "MODE",
             "once (default) or cyclic: the protocol once, or again and again"},
            {"--factor", "F",
             "send-delay factor of the playback, -5 to 10 (default 1; negative: that many times "
             "faster)"},
            {"--translate", "A=B,...",
             "switch the address translation on with these pairs of addresses 1 to 15 "
             "(decimal); it applies to the telegrams of a played protocol, not to those of a "
             "call list"},
            kCatalogueOption,
            {"--train-bus", "", "use the train-bus record types"},
        };
        c.Run = [](const TCliCall& call) {
            return RunSimulate(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
