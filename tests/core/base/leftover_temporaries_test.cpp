#include "base/files/leftover_temporaries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/files/file_io.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

using test::WriteFile;
namespace fs = std::filesystem;

std::string temporary_seen;
bool NoteTemporaryAndInterrupt(const std::string& temporary_path) {
    temporary_seen = fs::path(temporary_path).filename().string();
    return false;
}

// The pattern removed at start-up is the one the saves really make.
TEST(LeftoverTemporaries, ThePatternIsTheOneReplacementsMake) {
    test::TempDir dir;
    SetBeforeRenameHook(NoteTemporaryAndInterrupt);
    EXPECT_FALSE(ReplaceFileAtomically((dir / "Setting.ini").string(), "x"));
    SetBeforeRenameHook(nullptr);
    EXPECT_TRUE(IsTemporaryName(temporary_seen, "Setting.ini")) << temporary_seen;
}

TEST(LeftoverTemporaries, OnlyTheSavesOwnRegularFilesBesideThePathGo) {
    test::TempDir dir;
    const char* removed[] = {"Setting.ini.tmp-AbC123", "Setting.ini.tmp-000000"};
    const char* kept[] = {
        "Setting.ini",
        "Setting.ini.bad",
        "Setting.ini.tmp-abc",
        "Setting.ini.tmp-ab_c12",
        "Setting.ini.tmp-abcdefg",
        "Other.ini.tmp-abcdef",
        "setting.ini.tmp-abcdef",
    };
    for (const char* name : removed) {
        WriteFile(dir / name, "left behind");
    }
    for (const char* name : kept) {
        WriteFile(dir / name, "keep");
    }
    fs::create_directory(dir / "Setting.ini.tmp-folder");
    fs::create_symlink(dir / "Setting.ini", dir / "Setting.ini.tmp-link00");
    fs::create_directory(dir / "sub");
    WriteFile(dir / "sub" / "Setting.ini.tmp-Zz9999", "elsewhere");

    EXPECT_EQ(RemoveLeftoverTemporaries((dir / "Setting.ini").string()), 2);
    for (const char* name : removed) {
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    }
    for (const char* name : kept) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    EXPECT_TRUE(fs::is_directory(dir / "Setting.ini.tmp-folder"));
    EXPECT_TRUE(fs::is_symlink(dir / "Setting.ini.tmp-link00"));
    EXPECT_TRUE(fs::exists(dir / "sub" / "Setting.ini.tmp-Zz9999"));
}

}  // namespace
}  // namespace flextor
