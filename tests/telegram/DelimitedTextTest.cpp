#include "telegram/DelimitedText.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

using Fields = std::vector<std::string>;

TEST(DelimitedText, SplitsLikeTheFileReaders) {
    const std::pair<std::string, Fields> cases[] = {
        {"a;b;c", {"a", "b", "c"}},
        {"\"a b\";c", {"a b", "c"}},
        {"a b;c", {"a", "b", "c"}}, // blanks separate unquoted fields
        {"a;;b", {"a", "", "b"}},
        {"a;", {"a", ""}}, // a final delimiter adds one empty field
        {"a; ", {"a"}},    // ...only at the very end
        {";", {"", ""}},
        {"a;  b", {"a", "b"}}, // blanks after the delimiter are skipped
        {"  a", {"a"}},
        {"\"say \"\"hi\"\"\";x", {"say \"hi\"", "x"}},
        {"\"ab\"cd;e", {"ab", "cd", "e"}}, // text after a closing quote is a new field
        {"\"open;x", {"open;x"}},          // missing closing quote takes the rest
        {"a\"b;c", {"a\"b", "c"}},
        {"a\tb", {"a", "b"}},
        {"", {}},
        {"   ", {}},
        {"\"\";\"\"", {"", ""}},
        {"\xE4\xF6;\xFC", {"\xE4\xF6", "\xFC"}},
    };
    for (const auto& [line, fields] : cases)
        EXPECT_EQ(SplitDelimited(line, ';'), fields) << line;
}

TEST(DelimitedText, OtherDelimiter) {
    EXPECT_EQ(SplitDelimited("l001,\"zA2 x\", u1200", ','), (Fields{"l001", "zA2 x", "u1200"}));
}

} // namespace
} // namespace vaskel
