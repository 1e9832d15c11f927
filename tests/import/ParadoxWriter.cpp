#include "import/ParadoxWriter.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace vaskel::test {

namespace {

int FieldLength(const TPxColumn& c) {
    switch (c.Type) {
    case pxfShort:
        return 2;
    case pxfLong:
        return 4;
    case pxfNumber:
        return 8;
    case pxfLogical:
        return 1;
    default:
        return c.Length;
    }
}

void Put(pxdoc_t* doc, char* at, const TPxColumn& c, const TPxValue& v) {
    const int len = FieldLength(c);
    std::memset(at, 0, static_cast<std::size_t>(len));
    if (std::holds_alternative<std::monostate>(v)) return;
    switch (c.Type) {
    case pxfAlpha: {
        const std::string& s = std::get<std::string>(v);
        std::memcpy(at, s.data(), std::min<std::size_t>(s.size(), static_cast<std::size_t>(len)));
        break;
    }
    case pxfShort:
        PX_put_data_short(doc, at, 2, static_cast<short>(std::get<int32_t>(v)));
        break;
    case pxfLong:
        PX_put_data_long(doc, at, 4, std::get<int32_t>(v));
        break;
    case pxfNumber:
        PX_put_data_double(doc, at, 8,
                           std::holds_alternative<double>(v)
                               ? std::get<double>(v)
                               : static_cast<double>(std::get<int32_t>(v)));
        break;
    case pxfLogical:
        PX_put_data_byte(doc, at, 1, std::get<bool>(v) ? 1 : 0);
        break;
    default:
        throw std::logic_error("field type not written by the tests");
    }
}

} // namespace

void WriteParadoxTable(const std::filesystem::path& file, const std::vector<TPxColumn>& columns,
                       const std::vector<TPxRecord>& records, int codePage) {
    pxdoc_t* doc = PX_new();
    auto* fields = static_cast<pxfield_t*>(
        doc->malloc(doc, columns.size() * sizeof(pxfield_t), "test fields"));
    int recordSize = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        fields[i].px_fname = PX_strdup(doc, columns[i].Name.c_str());
        fields[i].px_ftype = static_cast<char>(columns[i].Type);
        fields[i].px_flen = FieldLength(columns[i]);
        fields[i].px_fdc = 0;
        recordSize += fields[i].px_flen;
    }
    FILE* fp = std::fopen(file.c_str(), "w+b");
    if (!fp) throw std::runtime_error("cannot write " + file.string());
    if (PX_create_fp(doc, fields, static_cast<int>(columns.size()), fp, pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("pxlib cannot create " + file.string());
    PX_set_tablename(doc, "TEST");
    doc->px_head->px_doscodepage = codePage;
    std::vector<char> data(static_cast<std::size_t>(recordSize));
    for (const TPxRecord& r : records) {
        int offset = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            Put(doc, data.data() + offset, columns[i], i < r.size() ? r[i] : TPxValue{});
            offset += FieldLength(columns[i]);
        }
        if (PX_put_record(doc, data.data()) < 0)
            throw std::runtime_error("pxlib cannot write a record");
    }
    PX_close(doc);
    PX_delete(doc);
    std::fclose(fp);
}

std::vector<TPxColumn> ResponseListColumns() {
    return {{"CHECKED", pxfLogical},
            {"AUFRUF", pxfAlpha, 120},
            {"ANTWORT", pxfAlpha, 200},
            {"REAKTIONSZ", pxfLong}};
}

std::vector<TPxColumn> CallListColumns() {
    return {{"Checked", pxfLogical},
            {"Aufruf", pxfAlpha, 120},
            {"Beschreibu", pxfAlpha, 80},
            {"Interval", pxfAlpha, 10}};
}

std::vector<TPxColumn> ProtocolColumns(bool analysed) {
    std::vector<TPxColumn> c = {{"Art", pxfAlpha, 2},     {"Nummer", pxfLong},
                                {"Startzeit", pxfLong},   {"Reaktionszeit", pxfLong},
                                {"Fehler", pxfAlpha, 10}, {"Telegramm", pxfAlpha, 120}};
    if (analysed) {
        c.push_back({"Telegramm(Hex)", pxfAlpha, 255});
        c.push_back({"DSNr", pxfAlpha, 10});
        c.push_back({"Beschreibung", pxfAlpha, 100});
    }
    return c;
}

TPxRecord ResponseRecord(TPxValue checked, std::string call, std::string answer,
                         TPxValue reaction) {
    return {checked, std::move(call), std::move(answer), reaction};
}

TPxRecord CallRecord(TPxValue checked, std::string call, std::string description,
                     std::string interval) {
    return {checked, std::move(call), std::move(description), std::move(interval)};
}

TPxRecord ProtocolRecord(std::string kind, int32_t number, int32_t start, int32_t reaction,
                         std::string errors, std::string telegram) {
    return {std::move(kind), number, start, reaction, std::move(errors), std::move(telegram)};
}

TPxRecord AnalysedRecord(std::string kind, int32_t number, int32_t start, int32_t reaction,
                         std::string errors, std::string telegram, std::string hex,
                         std::string recordNo, std::string description) {
    TPxRecord r = ProtocolRecord(std::move(kind), number, start, reaction, std::move(errors),
                                 std::move(telegram));
    r.push_back(std::move(hex));
    r.push_back(std::move(recordNo));
    r.push_back(std::move(description));
    return r;
}

void WriteSampleTables(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    WriteParadoxTable(folder / "ANTWORT.DB", ResponseListColumns(),
                      {ResponseRecord(true, "a1", "a10", 20),
                       ResponseRecord(false, "zM\xFCnchen\r", "", 0),
                       ResponseRecord(true, "l{|}~", "A\xC4\xD6\xDC\xDF", TPxValue{})});
    WriteParadoxTable(folder / "AUFRUF.DB", CallListColumns(),
                      {CallRecord(true, "l001", "Linie", "0:10"),
                       CallRecord(false, "", "leer", "1:00"),
                       CallRecord(true,
                                  "zA1 Stra\xDF"
                                  "e",
                                  "Ziel mit \xFC", "2:30")});
    WriteParadoxTable(folder / "PROTOKOLL.DB", ProtocolColumns(false),
                      {ProtocolRecord("M", 1, 100, 0, "", "a1\r"),
                       ProtocolRecord("S", 2, 120, 20, "", "a10\r"),
                       ProtocolRecord("M", 3, 300, 0, "", "l001\r")});
    WriteParadoxTable(
        folder / "ANALYSE.DB", ProtocolColumns(true),
        {AnalysedRecord("M", 1, 100, 0, "", "a1\r", "61 31 0D", "999", "gespeichert"),
         AnalysedRecord("S", 2, 120, 20, "", "a10\r", "61 31 30 0D", "998", "Antwort")});
    WriteParadoxTable(folder / "FALSCH.DB", {{"Checked", pxfLogical}, {"Aufruf", pxfAlpha, 20}},
                      {{true, std::string("a1")}});
    const std::filesystem::path full = folder / "KURZ.FULL";
    WriteParadoxTable(
        full, ResponseListColumns(),
        {ResponseRecord(true, "a1", "a10", 20), ResponseRecord(true, "a2", "a20", 20)});
    std::ifstream in(full, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(full);
    // cut in the middle of the second record
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                           << 8;
    };
    const std::size_t cut = static_cast<std::size_t>(u16(2) + 6 + u16(0) + u16(0) / 2);
    std::ofstream(folder / "KURZ.DB", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(cut));
}

} // namespace vaskel::test
