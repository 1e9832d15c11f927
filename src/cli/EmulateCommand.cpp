#include "cli/EmulateCommand.h"

#include "cli/CliCommands.h"
#include "emulator/VirtualTavrin.h"
#include "link/DeviceProtocol.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <thread>

namespace vaskel {

namespace {

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    // "nan" and "inf" are no values of any option
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

int RunEmulate(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const TCliCommand& command = EmulateCommand();
    TEmulatorOptions options;
    options.FaultRate = 0.01;
    double seconds = 10, speed = 0;
    bool withStatus = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (IsHelpArgument(a)) return ShowHelp(command, out);
        if (a == "--with-status") {
            withStatus = true;
            continue;
        }
        std::string name = a, value;
        if (const auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else if (a.rfind("--", 0) == 0) {
            if (k + 1 >= args.size()) return RefuseUsage(command, err, a + " needs a value");
            value = args[++k];
        } else {
            return RefuseUsage(command, err, "unexpected argument " + a);
        }
        double number = 0;
        if (name == "--scenario") {
            if (!ParseScenario(value, options.Scenario))
                return RefuseUsage(command, err, "unknown scenario " + value);
        } else if (name == "--seconds") {
            if (!ParseNumber(value, seconds) || seconds < 0)
                return RefuseUsage(command, err, "--seconds needs a number >= 0, not " + value);
        } else if (name == "--seed") {
            if (!ParseNumber(value, number) || number < 0 || number > 4294967295.0)
                return RefuseUsage(command, err, "--seed needs a number, not " + value);
            options.Seed = static_cast<uint32_t>(number);
        } else if (name == "--fault-rate") {
            if (!ParseNumber(value, number) || number < 0 || number > 1)
                return RefuseUsage(command, err,
                                   "--fault-rate needs a number from 0 to 1, not " + value);
            options.FaultRate = number;
        } else if (name == "--speed") {
            if (!ParseNumber(value, speed) || speed <= 0)
                return RefuseUsage(command, err, "--speed needs a number > 0, not " + value);
        } else {
            return RefuseUsage(command, err, "unknown option " + name);
        }
    }
    TVirtualTavrin device(options);
    const double stepMs = 100;
    const auto begin = std::chrono::steady_clock::now();
    double done = 0, sinceStatus = 1000;
    while (done < seconds * 1000) {
        const double step = std::min(stepMs, seconds * 1000 - done);
        if (withStatus && sinceStatus >= 1000) {
            device.FromPC(Cmd::StatusRequest());
            sinceStatus = 0;
        }
        device.AdvanceMs(step);
        done += step;
        sinceStatus += step;
        const std::string bytes = device.TakeOutput();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (speed > 0) {
            const auto due = begin + std::chrono::duration<double, std::milli>(done / speed);
            std::this_thread::sleep_until(due);
            out.flush();
        }
    }
    out.flush();
    return kCliOk;
}

} // namespace

const TCliCommand& EmulateCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "emulate";
        c.Summary = "run the virtual Tavrin and write its byte stream";
        c.Synopsis = {"emulate [--scenario NAME] [--seconds N] [--seed S] [--fault-rate R] "
                      "[--speed X] [--with-status]"};
        c.Description = "Runs the virtual Tavrin on its simulated vehicle bus and writes the raw\n"
                        "device-to-PC byte stream to standard output, for example into\n"
                        "'vaskel-cli decode -'.\n";
        c.Options = {
            {"--scenario", "NAME",
             "vehicle (default: a bus with its on-board computer), idle (powered bus without a "
             "master), unpowered"},
            {"--seconds", "N", "simulated bus time in seconds (default 10)"},
            {"--seed", "S",
             "seed of the simulation (default 1): the same seed gives the same traffic"},
            {"--fault-rate", "R", "share of telegrams with a fault, 0 to 1 (default 0.01)"},
            {"--speed", "X", "X times real time (default: as fast as possible)"},
            {"--with-status", "",
             "poll the device status every second (0xA0) and include its replies"},
        };
        c.Run = RunEmulate;
        return c;
    }();
    return command;
}

} // namespace vaskel
