// The temporary-folder helpers the file tests stand on.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace flextor::test {
namespace {

TEST(TempDir, IsAFreshFolderRemovedWithItsContents) {
    std::filesystem::path kept;
    {
        TempDir first;
        TempDir second;
        EXPECT_NE(first.path(), second.path());
        EXPECT_TRUE(std::filesystem::is_directory(first.path()));
        EXPECT_TRUE(std::filesystem::is_empty(first.path()));
        std::filesystem::create_directories(first / "a" / "b");
        WriteFile(first / "a" / "b" / "x.txt", "x");
        std::filesystem::permissions(
            first / "a", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        kept = first.path();
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(TempDir, FilesAreWrittenAndReadByteForByte) {
    TempDir folder;
    using namespace std::string_literals;
    const std::string bytes = "\xEF\xBB\xBF\nline\r\nnul\0end"s;
    ASSERT_EQ(bytes.size(), 17u);
    WriteFile(folder / "f", bytes);
    EXPECT_EQ(ReadFile(folder / "f"), bytes);
    WriteFile(folder / "f", "short");
    EXPECT_EQ(ReadFile(folder / "f"), "short");
    EXPECT_EQ(ReadFile(folder / "missing"), "");
}

}  // namespace
}  // namespace flextor::test
