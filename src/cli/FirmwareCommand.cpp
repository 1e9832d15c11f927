#include "cli/FirmwareCommand.h"

#include "cli/CliFiles.h"
#include "cli/FirmwareUploadCommand.h"
#include "link/FirmwareImage.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"

#include <cstdio>
#include <ostream>

namespace vaskel {

namespace {

std::string Hex32(int64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%08llX", static_cast<unsigned long long>(v));
    return buf;
}

} // namespace

int RunFirmware(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto usage = [&](const std::string& problem) {
        return RefuseUsage(FirmwareCommand(), err, problem);
    };
    if (args.size() >= 2 && IsHelpArgument(args[1])) return ShowHelp(FirmwareCommand(), out);
    if (args.size() < 2) return usage("firmware needs a subcommand: check or upload");
    if (args[1] == "upload") return RunFirmwareUpload(args, out, err);
    if (args[1] != "check") return usage("unknown firmware subcommand " + args[1]);
    if (args.size() == 3 && IsHelpArgument(args[2])) return ShowHelp(FirmwareCommand(), out);
    if (args.size() != 3) return usage("firmware check needs one FILE");
    const std::string& file = args[2];
    if (!FilesUsable({{"firmware file", file}}, {}, err)) return kCliUsage;
    try {
        const TFirmwareImage image = ReadFirmwareFile(file);
        if (image.BlockCount() == 0) {
            err << "vaskel-cli: " << file << ": no data records\n";
            err << "vaskel-cli: " << Cp1252ToUtf8(kFirmwareNoIdentity) << "\n";
            return kCliFailure;
        }
        out << "addresses " << Hex32(image.Lowest) << "-" << Hex32(image.Highest - 2) << "\n";
        out << "blocks " << image.BlockCount() << " of 63 bytes\n";
        if (!image.HasIdentity()) {
            err << "vaskel-cli: " << Cp1252ToUtf8(kFirmwareNoIdentity) << "\n";
            return kCliFailure;
        }
        out << "identity " << kFirmwareIdentity << "\n";
        out << "version " << Cp1252ToUtf8(image.Version()) << "\n";
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
        return kCliFailure;
    }
    return kCliOk;
}

const TCliCommand& FirmwareCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "firmware";
        c.Summary = "check a firmware file for the Tavrin, or upload it";
        c.Synopsis = {"firmware check FILE", "firmware upload [--virtual-device] FILE"};
        c.Description =
            "Reads a firmware file for the Tavrin (Intel HEX, as the upload reads it) and\n"
            "prints its address range, the number of 63-byte blocks the upload sends and\n"
            "the version text around the identity \"Vaskel/AT91SAM7S256\". A record that\n"
            "is not valid ends with exit status 1 and \"Formatfehler in Zeile: N\" (with\n"
            "what is wrong: a record after the end-of-file record, an address record\n"
            "without its two bytes, data over data of another line); so does a file\n"
            "cut off before its end-of-file record, a file without the identity\n"
            "(\"Keine gueltige Programmversion!\"), and data spread over a wider address\n"
            "range than the device's 8193 blocks take (the message names the range).\n";
        TCliCommand check;
        check.Name = "check";
        check.Summary = "check a firmware file and print its range, blocks and version";
        check.Synopsis = {"firmware check FILE"};
        c.Subcommands = {check, FirmwareUploadCommand()};
        c.Run = [](const TCliCall& call) { return RunFirmware(call.Args, call.Out, call.Err); };
        return c;
    }();
    return command;
}

} // namespace vaskel
