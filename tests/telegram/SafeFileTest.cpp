// The one way files are written: whole or not at all.

#include "telegram/Errors.h"
#include "telegram/SafeFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace vaskel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A writer that stops halfway (an error of its own) leaves the previous file
// and no temporary one; a writer that finishes replaces it.
TEST(SafeFile, AWriteThatStopsHalfwayLeavesThePreviousFile) {
    test::TempDir dir;
    const std::string file = dir.Write("f.txt", "previous");
    EXPECT_THROW(WriteFileSafely(file,
                                 [](TFileSink& out) {
                                     out.Write("half of the new");
                                     throw EFileError("stopped");
                                 }),
                 EFileError);
    EXPECT_EQ(test::ReadFile(file), "previous");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f.txt"});

    WriteFileSafely(file, [](TFileSink& out) {
        out.Write("new ");
        out.Write("version");
    });
    EXPECT_EQ(test::ReadFile(file), "new version");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f.txt"});
}

// A place that cannot be written: the message names the file, nothing is made.
TEST(SafeFile, AFailureNamesTheFileAndMakesNothing) {
    test::TempDir dir;
    const std::string blocker = dir.Write("plain", "a file, no folder");
    for (const std::string& file : {dir / "plain/f.txt", dir / "missing/f.txt"}) {
        try {
            WriteFileSafely(file, "x");
            ADD_FAILURE() << file << " written";
        } catch (const EFileError& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
        }
        EXPECT_THROW(AppendToFileSafely(file, "x"), EFileError);
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"plain"});
    EXPECT_EQ(test::ReadFile(blocker), "a file, no folder");
}

TEST(SafeFile, AppendsAddWholeTextsAndMakeTheFile) {
    test::TempDir dir;
    const std::string file = dir / "log.txt";
    AppendToFileSafely(file, "one\r\n");
    AppendToFileSafely(file, "two\r\n");
    EXPECT_EQ(test::ReadFile(file), "one\r\ntwo\r\n");
    CopyFileSafely(file, dir / "log.bak");
    EXPECT_EQ(test::ReadFile(dir / "log.bak"), "one\r\ntwo\r\n");
}

// The bytes from a place on are replaced: the file is cut there and the new
// ones follow (a longer or shorter tail, or an append at the end). A file
// shorter than the place was cut behind the writer's back: refused as it is.
TEST(SafeFile, ATailIsReplacedAndAFileShorterThanItsPlaceRefused) {
    test::TempDir dir;
    const std::string file = dir / "copy.csv";
    ReplaceFileTailSafely(file, 0, "one\r\ntwo\r\n");
    EXPECT_EQ(test::ReadFile(file), "one\r\ntwo\r\n") << "made";
    ReplaceFileTailSafely(file, 5, "TWO!\r\nthree\r\n");
    EXPECT_EQ(test::ReadFile(file), "one\r\nTWO!\r\nthree\r\n");
    ReplaceFileTailSafely(file, 18, "four\r\n");
    EXPECT_EQ(test::ReadFile(file), "one\r\nTWO!\r\nthree\r\nfour\r\n") << "appended";
    ReplaceFileTailSafely(file, 5, "2\r\n");
    EXPECT_EQ(test::ReadFile(file), "one\r\n2\r\n") << "shorter";
    try {
        ReplaceFileTailSafely(file, 100, "x");
        ADD_FAILURE() << "written after a gap";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::ReadFile(file), "one\r\n2\r\n");
    EXPECT_THROW(ReplaceFileTailSafely(dir / "gone.csv", 3, "x"), EFileError);
    EXPECT_THROW(ReplaceFileTailSafely(dir / "missing/f.csv", 0, "x"), EFileError);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"copy.csv"}) << "nothing else made";
}

} // namespace
} // namespace vaskel
