#pragma once
// vaskel-cli usb: the USB devices the system's libusb finds -- whether the
// Tavrin and its driver are there, without the desktop program.

#include "cli/CliCommand.h"
#include "cli/CliCommands.h"
#include "link/UsbApi.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& UsbCommand();

// args[0] is "usb". api: the library to ask (the system's in the program).
int RunUsb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           UsbApi& api);

} // namespace vaskel
