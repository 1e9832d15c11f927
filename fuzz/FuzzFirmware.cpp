// The Intel-HEX reader of the firmware upload on any text: an image or a
// format error, never a crash, a hang or an image beyond the block table.

#include "FuzzSupport.h"

#include "link/FirmwareImage.h"
#include "telegram/Errors.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    try {
        const TFirmwareImage image = ReadFirmwareHex(fuzz::Bytes(data, size));
        if (image.BlockCount() > kMaxFirmwareBlocks) std::abort();
        for (const auto& b : image.Blocks)
            if (b.size() != kFirmwareBlockBytes) std::abort();
        (void)image.Version();
    } catch (const EVaskelError&) {
    }
    return 0;
}
