// The catalogue and initial-letter readers against files no editor wrote:
// other and mixed line ends, files without record types, flags that are no
// flags, endless lines and columns.

#include "telegram/Catalogue.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include <gtest/gtest.h>

#include <optional>

namespace vaskel {
namespace {

const std::string k001 = "\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"Linie\"";
const std::string k001b = "\"001b\";\"lF 5Z\";\"lF12345\";-1;\"\";0;-1;\"Funk\"";
const std::string k021 = "\"021\";\"aA 1H, 2Z\";\"aA105\";-1;\"\";0;-1;\"Ziel\"";

std::string Columns(int n) {
    std::string s = k001;
    for (int k = 8; k < n; ++k)
        s += ";\"x\"";
    return s;
}

TEST(HostileCatalogue, LineEndsKeepLinesApartAndJunkIsRefusedNamingTheLine) {
    struct TCase {
        const char* Name;
        std::string Content;
        std::vector<std::string> RecordNos; // sorted as loaded, when it loads
        const char* Error;                  // else: part of the message
    };
    const TCase cases[] = {
        {"CR LF", k001 + "\r\n" + k001b + "\r\n" + k021 + "\r\n", {"021", "001", "001b"}, nullptr},
        {"LF", k001 + "\n" + k001b + "\n" + k021 + "\n", {"021", "001", "001b"}, nullptr},
        {"CR", k001 + "\r" + k001b + "\r" + k021 + "\r", {"021", "001", "001b"}, nullptr},
        {"mixed",
         "// head\r" + k001 + "\n" + k001b + "\r" + k021 + "\r\n",
         {"021", "001", "001b"},
         nullptr},
        {"64 columns", Columns(64), {"001"}, nullptr},
        {"empty", "", {}, "holds no record types"},
        {"NUL bytes", std::string(100, '\0'), {}, "holds no record types"},
        {"CR only", std::string(100, '\r'), {}, "holds no record types"},
        {"comments only", "// a\r\n// b\r\n", {}, "holds no record types"},
        {"flag word",
         k001 + "\r\n\"002\";\"k 2Z\";\"k07\";ja;\"\";0;-1;\"Kurs\"\r\n",
         {},
         "line 2: field 4 is no flag"},
        {"flag number",
         k001 + "\r\n\"002\";\"k 2Z\";\"k07\";-1;\"\";0;99999999999999;\"Kurs\"\r\n",
         {},
         "line 2: field 7 is no flag"},
        {"flag after CR",
         k001 + "\r\"002\";\"k 2Z\";\"k07\";-1;\"\";TRUE;-1;\"Kurs\"",
         {},
         "line 2: field 6 is no flag"},
        {"100,000 columns",
         k001 + "\r\n" + Columns(100000) + "\r\n",
         {},
         "line 2: invalid amount of tokens"},
        {"7 columns",
         "\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1",
         {},
         "line 1: invalid amount of tokens"},
        {"line too long", k001 + "\n\n" + std::string(MaxLineBytes() + 1, 'x'), {}, "Zeile 3 "},
    };
    for (const TCase& c : cases) {
        std::optional<TProfileArray> a;
        std::string error;
        try {
            a = ParseCatalogue(c.Content, "IBIS.CSV");
        } catch (const EFileError& e) {
            error = e.what();
        }
        if (!c.Error) {
            ASSERT_TRUE(a) << c.Name << ": " << error;
            std::vector<std::string> numbers;
            for (const auto& r : *a)
                numbers.push_back(r.RecordNo);
            EXPECT_EQ(numbers, c.RecordNos) << c.Name;
            continue;
        }
        EXPECT_FALSE(a) << c.Name << " loads " << a->size() << " record types";
        EXPECT_NE(error.find(c.Error), std::string::npos) << c.Name << ": " << error;
    }
}

TEST(HostileFrameFile, LineEndsAndFilesWithoutGroups) {
    struct TCase {
        const char* Name;
        std::string Content;
        std::vector<std::string> Keys;
        bool Damaged;
    };
    const TCase cases[] = {
        {"CR LF", "\"l\";\"Linie\"\r\n\"a\";\"Anzeigen\"\r\n", {"l", "a"}, false},
        {"LF", "\"l\";\"Linie\"\n\"a\";\"Anzeigen\"\n", {"l", "a"}, false},
        {"CR", "\"l\";\"Linie\"\r\"a\";\"Anzeigen\"\r", {"l", "a"}, false},
        {"mixed",
         "\"l\";\"Linie\"\r\"a\";\"Anzeigen\"\n\"z\";\"Ziel\"\r\n\"k\";\"Kurs\"",
         {"l", "a", "z", "k"},
         false},
        {"empty", "", {}, true},
        {"CR only", std::string(50, '\r'), {}, true},
        {"NUL bytes", std::string(50, '\0'), {}, true},
        {"blanks", "   \r\n  \r\n", {}, true},
        {"one field each", "\"l\"\r\n\"a\"\r\n", {}, true},
        {"a line without second field", "\"l\";\"Linie\"\r\n\"a\"\r\n", {"l"}, true},
        {"cut inside a quoted field", "\"l\";\"Linie\"\r\n\"a\";\"Anz", {"l", "a"}, true},
    };
    for (const TCase& c : cases) {
        const TFrameFile f = ParseFrameFile(c.Content);
        std::vector<std::string> keys;
        for (const TFrameEntry& e : f.Entries)
            keys.push_back(e.Kuerzel);
        EXPECT_EQ(keys, c.Keys) << c.Name;
        EXPECT_EQ(f.Damaged, c.Damaged) << c.Name;
    }
    try {
        ParseFrameFile("\"l\";\"Linie\"\r\n" + std::string(MaxLineBytes() + 1, 'x'));
        ADD_FAILURE() << "a line over the limit is read";
    } catch (const ELineTooLong& e) {
        EXPECT_EQ(e.Line, 2);
    }
}

} // namespace
} // namespace vaskel
