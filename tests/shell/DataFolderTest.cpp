#include "shell/DataFolder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() {
        fs::create_directories(Dir.Path() / "prog");
        fs::create_directories(Dir.Path() / "docs");
        fs::create_directories(Dir.Path() / "allusers");
    }
    std::vector<std::string> Prepare() {
        return PrepareDataFolder(Dir / "docs/Vaskel", Dir / "prog", Dir / "allusers/Vaskel");
    }
    test::TempDir Dir;
};

TEST_F(DataFolderTest, CopiesFromProgramFolderAndDeletesThere) {
    Dir.Write("prog/IBIS.CSV", "new catalogue");
    Dir.Write("prog/IBIS_Frame.CSV", "new frame");
    EXPECT_TRUE(Prepare().empty());
    EXPECT_EQ(test::ReadFile(Dir / "docs/Vaskel/IBIS.CSV"), "new catalogue");
    EXPECT_EQ(test::ReadFile(Dir / "docs/Vaskel/IBIS_Frame.CSV"), "new frame");
    EXPECT_FALSE(fs::exists(Dir / "prog/IBIS.CSV"));
    EXPECT_FALSE(fs::exists(Dir / "prog/IBIS_Frame.CSV"));
}

TEST_F(DataFolderTest, NeverReplacesAFileAlreadyInTheDataFolder) {
    Dir.Write("docs/Vaskel/IBIS.CSV", "user's catalogue");
    Dir.Write("prog/IBIS.CSV", "shipped catalogue");
    Dir.Write("allusers/Vaskel/IBIS.CSV", "old catalogue");
    Dir.Write("allusers/Vaskel/IBIS_Frame.CSV", "old frame");
    Dir.Write("allusers/Vaskel/other.txt", "left over");
    Prepare();
    EXPECT_EQ(test::ReadFile(Dir / "docs/Vaskel/IBIS.CSV"), "user's catalogue");
    EXPECT_EQ(test::ReadFile(Dir / "docs/Vaskel/IBIS_Frame.CSV"), "old frame");
    EXPECT_FALSE(fs::exists(Dir / "prog/IBIS.CSV")) << "deleted even though not copied";
    EXPECT_FALSE(fs::exists(Dir / "allusers/Vaskel")) << "older place removed with its content";
    EXPECT_TRUE(fs::exists(Dir / "allusers"));
}

TEST_F(DataFolderTest, ProgramFolderCopyWinsOverOlderPlace) {
    Dir.Write("prog/IBIS.CSV", "shipped");
    Dir.Write("allusers/Vaskel/IBIS.CSV", "old");
    Prepare();
    EXPECT_EQ(test::ReadFile(Dir / "docs/Vaskel/IBIS.CSV"), "shipped");
}

TEST_F(DataFolderTest, FolderCreatedOneLevelOnly) {
    Dir.Write("prog/IBIS.CSV", "x");
    const auto trace =
        PrepareDataFolder(Dir / "nodocs/Vaskel", Dir / "prog", Dir / "allusers/Vaskel");
    EXPECT_FALSE(trace.empty());
    EXPECT_FALSE(fs::exists(Dir / "nodocs"));
}

// The user's own data folder may not exist yet (a fresh home): asked to, the
// data folder is created with the folders above it.
TEST_F(DataFolderTest, UsersOwnDataFolderIsCreatedWithItsParents) {
    Dir.Write("prog/IBIS.CSV", "shipped");
    const auto trace = PrepareDataFolder(Dir / "home/.local/share/Vaskel", Dir / "prog",
                                         Dir / "allusers/Vaskel", true);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(test::ReadFile(Dir / "home/.local/share/Vaskel/IBIS.CSV"), "shipped");
}

TEST_F(DataFolderTest, FallbackToProgramFolderLosesNothing) {
    // Both folder lookups failed: data folder and older place are the same.
    Dir.Write("prog/IBIS.CSV", "shipped");
    Dir.Write("prog/Vaskel/WBTEMP.PRO.CSV", "safety copy");
    PrepareDataFolder(Dir / "prog/Vaskel", Dir / "prog", Dir / "prog/Vaskel");
    EXPECT_EQ(test::ReadFile(Dir / "prog/Vaskel/IBIS.CSV"), "shipped");
    EXPECT_EQ(test::ReadFile(Dir / "prog/Vaskel/WBTEMP.PRO.CSV"), "safety copy");
    // The data folder being the program folder itself keeps its catalogue.
    PrepareDataFolder(Dir / "prog/Vaskel", Dir / "prog/Vaskel", Dir / "allusers/Vaskel");
    EXPECT_TRUE(fs::exists(Dir / "prog/Vaskel/IBIS.CSV"));
}

} // namespace
} // namespace vaskel
