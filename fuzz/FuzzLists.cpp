// The list readers on any file: the call-list loader of the master
// simulation, the response-list loader of the download, the editors'
// opening (comma form included) and the form test.

#include "FuzzSupport.h"

#include "lists/ListFiles.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view content = fuzz::Bytes(data, size);
    fuzz::LimitLines();
    const std::string file = fuzz::ScratchFile(content, "list.CSV");
    std::vector<tAufruf> calls;
    try {
        LoadCallList(file, calls);
    } catch (const EVaskelError&) {
    }
    try {
        (void)LoadResponseList(file);
    } catch (const EVaskelError&) {
    }
    try {
        (void)IsCommaForm(file);
    } catch (const EVaskelError&) {
    }
    // The editors write a comma-form file back at once: on a copy.
    for (const TListKind kind : {TListKind::Aufruf, TListKind::Antwort}) {
        const std::string copy = fuzz::ScratchFile(content, "open.AUF.CSV");
        TTable table = kind == TListKind::Aufruf ? MakeCallListTable() : MakeResponseListTable();
        try {
            (void)OpenListFile(table, copy, kind);
        } catch (const EVaskelError&) {
        }
        std::error_code ec;
        std::filesystem::remove(BackupFileName(copy), ec);
    }
    try {
        (void)IntervalSeconds(content);
    } catch (const EVaskelError&) {
    }
    return 0;
}
