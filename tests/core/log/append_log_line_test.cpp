#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/log/message_log.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

using test::ReadFile;

const std::string kBom = "\xEF\xBB\xBF";

TEST(AppendLogLine, MarkGoesOnlyAtTheStartOfAnEmptyFile) {
    test::TempDir dir;
    std::string path = (dir / "new.log").string();
    EXPECT_TRUE(AppendLogLine(path, "Первая"));
    EXPECT_TRUE(AppendLogLine(path, "second"));
    EXPECT_EQ(ReadFile(path), kBom + "Первая\nsecond\n");

    // A file that already holds text keeps it and gets no mark.
    test::WriteFile(dir / "old.log", "kept\n");
    EXPECT_TRUE(AppendLogLine((dir / "old.log").string(), "added"));
    EXPECT_EQ(ReadFile(dir / "old.log"), "kept\nadded\n");

    // An empty file left by an earlier run starts with the mark.
    test::WriteFile(dir / "empty.log", "");
    EXPECT_TRUE(AppendLogLine((dir / "empty.log").string(), "x"));
    EXPECT_EQ(ReadFile(dir / "empty.log"), kBom + "x\n");
}

TEST(AppendLogLine, MakesMissingFoldersSkippingEmptyFields) {
    test::TempDir dir;
    std::string path = dir.str() + "/a//b/x.log";
    ASSERT_TRUE(AppendLogLine(path, "line"));

    EXPECT_TRUE(std::filesystem::is_directory(dir / "a"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b"));
    EXPECT_EQ(ReadFile(dir / "a/b/x.log"), kBom + "line\n");
}

TEST(AppendLogLine, BackslashesSeparateFoldersToo) {
    test::TempDir dir;
    ASSERT_TRUE(AppendLogLine(dir.str() + "\\c\\d\\y.log", "line"));
    EXPECT_EQ(ReadFile(dir / "c/d/y.log"), kBom + "line\n");
}

TEST(AppendLogLine, FailsWithoutAPathOrAFolder) {
    test::TempDir dir;
    test::WriteFile(dir / "file", "x");
    EXPECT_FALSE(AppendLogLine("", "line"));
    EXPECT_FALSE(AppendLogLine((dir / "file/sub/x.log").string(), "line"));
    // A folder standing where the file should be.
    std::filesystem::create_directory(dir / "taken.log");
    EXPECT_FALSE(AppendLogLine((dir / "taken.log").string(), "line"));
}

TEST(AppendLogLine, FullDiskIsAFailure) {
    // Opening succeeds, the write does not.
    EXPECT_FALSE(AppendLogLine("/dev/full", "line"));
}

}  // namespace
}  // namespace flextor
