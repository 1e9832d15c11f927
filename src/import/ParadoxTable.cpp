#include "import/ParadoxTable.h"

#include "telegram/Cp1252.h"

// pxlib's header declares C functions without saying so
extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <limits>
#include <set>

namespace vaskel {

namespace {

// The fixed header, the data header of the later versions (code page,
// second encryption word), and what follows them.
constexpr std::size_t kHeaderSize = 0x58;
constexpr std::size_t kDataHeaderEnd = 0x78;
constexpr std::size_t kBlockHeader = 6; // next block, previous block, last record's offset
// pxlib reads a field name into a buffer of this size and cuts it there.
constexpr std::size_t kFieldNameRoom = 299;

unsigned U8(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]);
}
unsigned U16(std::string_view b, std::size_t at) {
    return U8(b, at) | (U8(b, at + 1) << 8);
}
uint32_t U32(std::string_view b, std::size_t at) {
    return U16(b, at) | (static_cast<uint32_t>(U16(b, at + 2)) << 16);
}

bool KnownFieldType(unsigned t) {
    switch (t) {
    case pxfAlpha:
    case pxfDate:
    case pxfShort:
    case pxfLong:
    case pxfCurrency:
    case pxfNumber:
    case pxfLogical:
    case pxfMemoBLOb:
    case pxfBLOb:
    case pxfFmtMemoBLOb:
    case pxfOLE:
    case pxfGraphic:
    case pxfTime:
    case pxfTimestamp:
    case pxfAutoInc:
    case pxfBCD:
    case pxfBytes:
        return true;
    default:
        return false;
    }
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Collects what pxlib reports; nothing goes to the terminal.
struct TPxErrors {
    std::string Last;
    bool Failed = false;
};

void OnPxError(pxdoc_t*, int type, const char* msg, void* data) {
    auto* e = static_cast<TPxErrors*>(data);
    if (!e) return;
    if (type != PX_Warning) e->Failed = true;
    e->Last = msg ? msg : "";
}

void* PxMalloc(pxdoc_t*, size_t size, const char*) {
    return std::malloc(size);
}
void* PxRealloc(pxdoc_t*, void* mem, size_t size, const char*) {
    return std::realloc(mem, size);
}
void PxFree(pxdoc_t*, void* mem) {
    std::free(mem);
}

// The bytes of codePage as Windows-1252 ('?' where it has none); 0 and
// 1252 are taken as they are.
void MakeRecodeTable(int codePage, char (&table)[256]) {
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<char>(i);
    if (codePage == 0 || codePage == 1252) return;
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return; // unknown code page: as stored
    for (int i = 0x80; i < 256; ++i) {
        char in[1] = {static_cast<char>(i)};
        char out[8] = {};
        char* ip = in;
        char* op = out;
        std::size_t il = 1;
        std::size_t ol = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0) {
            table[i] = '?';
            continue;
        }
        const std::string cp = Utf8ToCp1252(std::string_view(out, sizeof out - ol));
        table[i] = cp.size() == 1 ? cp[0] : '?';
    }
    iconv_close(cd);
}

// 4-byte integers are decoded here: pxlib's PX_get_data_long reads a
// "long" (eight bytes here) from its four-byte buffer.
bool DecodeLong(std::string_view b, int32_t& value) {
    uint32_t raw = U8(b, 0) << 24 | U8(b, 1) << 16 | U8(b, 2) << 8 | U8(b, 3);
    if (raw == 0) {
        value = 0;
        return false; // empty
    }
    raw ^= 0x80000000u;
    value = static_cast<int32_t>(raw);
    return true;
}

std::string Decimal(long long v) {
    return std::to_string(v);
}

std::string FloatText(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return Decimal(static_cast<long long>(v));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

// Where the records of a checked table lie: the offset of each, in the
// order of the block list.
struct TLayout {
    std::size_t RecordSize = 0;
    std::vector<std::size_t> Records;
};

std::string CheckTable(std::string_view b, TLayout* layout) {
    const std::size_t size = b.size();
    if (size < kHeaderSize) return "Die Datei ist zu kurz f\xFCr eine Paradox-Tabelle.";
    const unsigned recordSize = U16(b, 0x00);
    const unsigned headerSize = U16(b, 0x02);
    const unsigned fileType = U8(b, 0x04);
    const unsigned maxTableSize = U8(b, 0x05);
    const int64_t numRecords = static_cast<int32_t>(U32(b, 0x06));
    const unsigned fileBlocks = U16(b, 0x0C);
    const unsigned firstBlock = U16(b, 0x0E);
    const unsigned numFields = U16(b, 0x21);
    const uint32_t encryption1 = U32(b, 0x25);
    const unsigned version = U8(b, 0x39);

    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        return "Die Datei ist keine Paradox-Tabelle (Dateiart " + std::to_string(fileType) + ").";
    static const unsigned kBlockSizes[] = {1, 2, 3, 4, 8, 16, 32};
    if (std::find(std::begin(kBlockSizes), std::end(kBlockSizes), maxTableSize) ==
        std::end(kBlockSizes))
        return "Unbekannte Blockgr\xF6\xDF"
               "e " +
               std::to_string(maxTableSize) + ".";
    if (version < 3 || version > 12)
        return "Unbekannte Tabellenversion " + std::to_string(version) + ".";
    if (recordSize == 0) return "Die Satzl\xE4nge ist 0.";
    if (numFields == 0 || numFields > 255)
        return "Die Zahl der Felder (" + std::to_string(numFields) + ") ist ung\xFCltig.";
    if (numRecords < 0) return "Die Zahl der Datens\xE4tze ist negativ.";
    const std::size_t blockSize = maxTableSize * 0x400u;
    const std::size_t perBlock = (blockSize - kBlockHeader) / recordSize;
    if (perBlock == 0)
        return "Ein Datensatz ist gr\xF6\xDF"
               "er als ein Block.";

    std::size_t pos = kHeaderSize;
    if (version >= 5) {
        if (size < kDataHeaderEnd) return "Der Kopf der Tabelle ist abgeschnitten.";
        const uint32_t encryption2 = U32(b, 0x5C);
        if (encryption1 != 0 && (encryption1 != 0xFF00FF00u || encryption2 != 0))
            return "Die Tabelle ist verschl\xFCsselt.";
        pos = kDataHeaderEnd;
    } else if (encryption1 != 0) {
        return "Die Tabelle ist verschl\xFCsselt.";
    }

    // field descriptions: type and size
    if (pos + 2 * numFields > size) return "Der Kopf der Tabelle ist abgeschnitten.";
    std::size_t sum = 0;
    for (unsigned i = 0; i < numFields; ++i) {
        const unsigned type = U8(b, pos + 2 * i);
        const unsigned len = U8(b, pos + 2 * i + 1);
        if (!KnownFieldType(type))
            return "Feld " + std::to_string(i + 1) + " hat die unbekannte Art " +
                   std::to_string(type) + ".";
        if (type == pxfBCD) {
            sum += 17;
        } else {
            if (len == 0) return "Feld " + std::to_string(i + 1) + " hat die L\xE4nge 0.";
            sum += len;
        }
    }
    if (sum != recordSize)
        return "Die Felder (" + std::to_string(sum) + " Bytes) passen nicht zur Satzl\xE4nge (" +
               std::to_string(recordSize) + " Bytes).";
    pos += 2 * numFields;
    pos += 4 + 4 * static_cast<std::size_t>(numFields); // table name and field name pointers
    const std::size_t tableNameLength = version == 12 ? 261 : 79;
    if (pos + tableNameLength > size) return "Der Kopf der Tabelle ist abgeschnitten.";
    if (b.substr(pos, tableNameLength).find('\0') == std::string_view::npos)
        return "Der Tabellenname endet nicht.";
    pos += tableNameLength;
    for (unsigned i = 0; i < numFields; ++i) {
        const std::string_view rest = b.substr(pos, std::min(kFieldNameRoom + 1, size - pos));
        const std::size_t end = rest.find('\0');
        if (end == std::string_view::npos)
            return "Der Name von Feld " + std::to_string(i + 1) + " endet nicht.";
        pos += end + 1;
    }
    if (headerSize < pos || headerSize > size)
        return "Die Kopfgr\xF6\xDF"
               "e (" +
               std::to_string(headerSize) + ") ist ung\xFCltig.";

    // the block list, as pxlib walks it: from the first block, at most as
    // many steps as the header counts blocks
    int64_t records = 0;
    std::set<unsigned> seen;
    unsigned block = firstBlock;
    for (unsigned steps = 0; steps < fileBlocks && block > 0; ++steps) {
        if (block > fileBlocks)
            return "Block " + std::to_string(block) + " liegt hinter dem letzten Block.";
        if (!seen.insert(block).second)
            return "Die Blockliste kehrt zu Block " + std::to_string(block) +
                   " zur\xFC"
                   "ck.";
        const std::size_t at = headerSize + (static_cast<std::size_t>(block) - 1) * blockSize;
        if (at + kBlockHeader > size)
            return "Block " + std::to_string(block) + " liegt hinter dem Ende der Datei.";
        const int lastOffset = static_cast<int16_t>(U16(b, at + 4));
        if (lastOffset < 0 || lastOffset % static_cast<int>(recordSize) != 0 ||
            static_cast<std::size_t>(lastOffset) / recordSize + 1 > perBlock)
            return "Block " + std::to_string(block) + " hat eine ung\xFCltige Satzzahl.";
        const std::size_t inBlock = static_cast<std::size_t>(lastOffset) / recordSize + 1;
        if (at + kBlockHeader + inBlock * recordSize > size)
            return "Die Datens\xE4tze von Block " + std::to_string(block) +
                   " reichen \xFC"
                   "ber das Ende der Datei.";
        records += static_cast<int64_t>(inBlock);
        if (layout)
            for (std::size_t k = 0; k < inBlock; ++k)
                layout->Records.push_back(at + kBlockHeader + k * recordSize);
        block = U16(b, at);
    }
    // pxlib follows the list to its end, however many blocks the header
    // counts: the last block must end it
    if (block != 0)
        return "Die Blockliste endet nicht (Block " + std::to_string(block) + " folgt).";
    if (records != numRecords)
        return "Die Bl\xF6"
               "cke enthalten " +
               std::to_string(records) + " Datens\xE4tze, der Kopf nennt " +
               std::to_string(numRecords) + ".";
    // a table is written in whole blocks: a file that ends before its last
    // block does was cut short (its records may still look whole)
    const std::size_t whole = headerSize + static_cast<std::size_t>(fileBlocks) * blockSize;
    if (size < whole)
        return "Die Datei ist abgeschnitten: " + std::to_string(size) + " von " +
               std::to_string(whole) + " Bytes.";
    if (layout) layout->RecordSize = recordSize;
    return {};
}

} // namespace

std::string CheckParadoxTable(std::string_view b) {
    return CheckTable(b, nullptr);
}

TParadoxTable::TParadoxTable(std::string bytes) : FBytes(std::move(bytes)) {
    TLayout layout;
    const std::string problem = CheckTable(FBytes, &layout);
    if (!problem.empty()) throw ETableError(problem);

    TPxErrors errors;
    pxdoc_t* doc = PX_new3(OnPxError, PxMalloc, PxRealloc, PxFree, &errors);
    if (!doc) throw ETableError("Die Tabelle kann nicht gelesen werden.");
    FILE* fp = fmemopen(FBytes.data(), FBytes.size(), "rb");
    if (!fp) {
        PX_delete(doc);
        throw ETableError("Die Tabelle kann nicht gelesen werden.");
    }
    auto done = [&] {
        // the stream is ours (PX_open_fp): pxlib neither closes nor frees it
        if (doc->px_stream) {
            doc->free(doc, doc->px_stream);
            doc->px_stream = nullptr;
        }
        PX_delete(doc);
        std::fclose(fp);
    };
    auto fail = [&](const std::string& what) {
        const std::string detail = errors.Last;
        done();
        throw ETableError(detail.empty() ? what : what + " (" + detail + ")");
    };
    if (PX_open_fp(doc, fp) < 0) {
        // a failed open has freed its block index without forgetting it
        doc->px_indexdata = nullptr;
        doc->px_indexdatalen = 0;
        fail("Die Tabelle kann nicht ge\xF6"
             "ffnet werden.");
    }
    const int numFields = PX_get_num_fields(doc);
    const int recordSize = PX_get_recordsize(doc);
    const int count = PX_get_num_records(doc);
    pxfield_t* fields = PX_get_fields(doc);
    if (numFields <= 0 || recordSize <= 0 || count < 0 || !fields)
        fail("Die Tabelle kann nicht gelesen werden.");
    FCodePage = doc->px_head->px_doscodepage;
    int offset = 0;
    for (int i = 0; i < numFields; ++i) {
        TParadoxField f;
        f.Name = fields[i].px_fname ? fields[i].px_fname : "";
        f.Type = static_cast<unsigned char>(fields[i].px_ftype);
        f.Offset = offset;
        f.Length = fields[i].px_flen;
        offset += f.Length;
        FFields.push_back(std::move(f));
    }
    if (offset != recordSize || static_cast<std::size_t>(recordSize) != layout.RecordSize ||
        static_cast<std::size_t>(count) != layout.Records.size())
        fail("Die Felder passen nicht zur Satzl\xE4nge.");
    // The first record through pxlib, as a check of the layout; pxlib looks
    // every record up from the first block on, so a large table is read
    // from the checked block list.
    if (count > 0) {
        std::string record(static_cast<std::size_t>(recordSize), '\0');
        if (!PX_get_record(doc, 0, record.data()) || errors.Failed ||
            record != std::string_view(FBytes).substr(layout.Records[0], layout.RecordSize))
            fail("Datensatz 1 kann nicht gelesen werden.");
    }
    FRecords = std::move(layout.Records);
    done();
    MakeRecodeTable(FCodePage, FRecode);
}

TParadoxTable::~TParadoxTable() = default;

int TParadoxTable::Find(std::string_view name) const {
    for (std::size_t i = 0; i < FFields.size(); ++i)
        if (SameName(FFields[i].Name, name)) return static_cast<int>(i);
    return -1;
}

bool TParadoxTable::HasField(std::string_view name) const {
    return Find(name) >= 0;
}

int TParadoxTable::FieldByName(std::string_view name) const {
    const int i = Find(name);
    if (i < 0) throw ETableError("Das Feld \"" + std::string(name) + "\" fehlt.");
    return i;
}

const TParadoxField& TParadoxTable::Field(int field) const {
    if (field < 0 || field >= static_cast<int>(FFields.size()))
        throw ETableError("Kein solches Feld.");
    return FFields[static_cast<std::size_t>(field)];
}

std::string_view TParadoxTable::Bytes(int field) const {
    const TParadoxField& f = Field(field);
    if (Eof()) throw ETableError("Kein Datensatz (Ende der Tabelle).");
    return std::string_view(FBytes).substr(FRecords[static_cast<std::size_t>(FCurrent)] +
                                               static_cast<std::size_t>(f.Offset),
                                           static_cast<std::size_t>(f.Length));
}

namespace {

std::string CannotRead(const TParadoxField& f, const char* as) {
    return "Das Feld \"" + f.Name + "\" kann nicht als " + as + " gelesen werden.";
}

// pxlib's decoders take a writable pointer; they only read.
char* Writable(std::string_view b, std::string& buf) {
    buf.assign(b.data(), b.size());
    return buf.data();
}

} // namespace

std::string TParadoxTable::AsString(int field) const {
    const TParadoxField& f = Field(field);
    const std::string_view b = Bytes(field);
    std::string buf;
    switch (f.Type) {
    case pxfAlpha: {
        // a text field ends at its first zero byte
        std::string text(b.substr(0, b.find('\0')));
        for (char& c : text)
            c = FRecode[static_cast<unsigned char>(c)];
        return text;
    }
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb: {
        // the start of a memo is kept in the record itself; a longer one
        // lives in a memo file, which is not read
        if (b.size() < 10) throw ETableError(CannotRead(f, "Text"));
        const std::size_t leader = b.size() - 10;
        const uint32_t length = U32(b, leader + 4);
        if (length == 0) return {};
        if (length > leader) throw ETableError(CannotRead(f, "Text"));
        std::string text(b.substr(0, length));
        text = text.substr(0, text.find('\0'));
        for (char& c : text)
            c = FRecode[static_cast<unsigned char>(c)];
        return text;
    }
    case pxfShort: {
        short v = 0;
        if (PX_get_data_short(nullptr, Writable(b, buf), 2, &v) == 0) return {};
        return Decimal(v);
    }
    case pxfLong:
    case pxfAutoInc: {
        int32_t v = 0;
        if (!DecodeLong(b, v)) return {};
        return Decimal(v);
    }
    case pxfNumber:
    case pxfCurrency: {
        double v = 0;
        if (PX_get_data_double(nullptr, Writable(b, buf), 8, &v) == 0) return {};
        return FloatText(v);
    }
    case pxfLogical: {
        char v = 0;
        if (PX_get_data_byte(nullptr, Writable(b, buf), 1, &v) == 0) return {};
        return v ? "True" : "False";
    }
    default:
        throw ETableError(CannotRead(f, "Text"));
    }
}

bool TParadoxTable::AsBoolean(int field) const {
    const TParadoxField& f = Field(field);
    const std::string_view b = Bytes(field);
    std::string buf;
    switch (f.Type) {
    case pxfLogical: {
        char v = 0;
        PX_get_data_byte(nullptr, Writable(b, buf), 1, &v);
        return v != 0;
    }
    case pxfAlpha: {
        // "True", "Yes", "Ja" and their first letters
        const std::string t = AsString(field);
        return !t.empty() && std::strchr("TtYyJj", t[0]) != nullptr;
    }
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
    case pxfNumber:
    case pxfCurrency:
        return AsInteger(field) != 0;
    default:
        throw ETableError(CannotRead(f, "Wahrheitswert"));
    }
}

int32_t TParadoxTable::AsInteger(int field) const {
    const TParadoxField& f = Field(field);
    const std::string_view b = Bytes(field);
    std::string buf;
    switch (f.Type) {
    case pxfShort: {
        short v = 0;
        PX_get_data_short(nullptr, Writable(b, buf), 2, &v);
        return v;
    }
    case pxfLong:
    case pxfAutoInc: {
        int32_t v = 0;
        DecodeLong(b, v);
        return v;
    }
    case pxfNumber:
    case pxfCurrency: {
        double v = 0;
        PX_get_data_double(nullptr, Writable(b, buf), 8, &v);
        const double r = std::round(v);
        if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
            r > std::numeric_limits<int32_t>::max())
            throw ETableError(CannotRead(f, "Zahl"));
        return static_cast<int32_t>(r);
    }
    case pxfAlpha:
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb: {
        std::string t = AsString(field);
        const auto first = t.find_first_not_of(' ');
        if (first == std::string::npos) return 0;
        t = t.substr(first, t.find_last_not_of(' ') - first + 1);
        std::string_view digits = t;
        if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
        int32_t v = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
            throw ETableError(CannotRead(f, "Zahl"));
        return v;
    }
    default:
        throw ETableError(CannotRead(f, "Zahl"));
    }
}

std::string ReadTableFile(const std::string& folder, const std::string& fileName) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += fileName;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ETableError("Die Datei " + path + " kann nicht gelesen werden.");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ETableError("Die Datei " + path + " kann nicht gelesen werden.");
    return bytes;
}

std::unique_ptr<ITableReader> OpenTable(const std::string& folder, const std::string& fileName) {
    return std::make_unique<TParadoxTable>(ReadTableFile(folder, fileName));
}

} // namespace vaskel
