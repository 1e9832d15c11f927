// The table reader of the version-1 imports on any file: the check of the
// header and the block list, pxlib behind it, every value of every record
// read as text, number and boolean, and the three imports on top.

#include "import/ParadoxTable.h"
#include "import/V1Import.h"
#include "lists/ListFiles.h"
#include "recording/Recorder.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        TParadoxTable t(bytes);
        for (t.First(); !t.Eof(); t.Next())
            for (int f = 0; f < static_cast<int>(t.Fields().size()); ++f) {
                try {
                    (void)t.AsString(f);
                } catch (const ETableError&) {
                }
                try {
                    (void)t.AsInteger(f);
                } catch (const ETableError&) {
                }
                try {
                    (void)t.AsBoolean(f);
                } catch (const ETableError&) {
                }
            }
        TTable responses = MakeResponseListTable();
        try {
            ImportResponseList(t, responses);
        } catch (const ETableError&) {
        }
        TTable calls = MakeCallListTable();
        try {
            ImportCallList(t, calls);
        } catch (const ETableError&) {
        }
    } catch (const ETableError&) {
    }
    return 0;
}
