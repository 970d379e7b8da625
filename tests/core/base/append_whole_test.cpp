// A log line on a full disk: appended whole or not at all, never cut in the middle
// of a character with the next line glued to the piece.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "base/files/file_io.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

using test::ReadFile;
using test::RunInChild;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kFirst = "[06/12/2026 18:24:07]  Первая строка\n";
const std::string kCut = "[06/12/2026 18:24:08]  Начата работа колонки 1 (Ректификация)\n";
const std::string kAfter = "[06/12/2026 18:24:09]  Третья строка\n";

// In the child: the file may grow only a few bytes past the first line, so the
// second line is cut by the limit within its Cyrillic text; then the space comes
// back. Exit codes tell which step went wrong.
int AppendAcrossAFullDisk(const std::string& path) {
    if (!AppendToFile(path, kFirst, kBom)) {
        return 1;
    }
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    rlimit full = limit;
    full.rlim_cur = kBom.size() + kFirst.size() + 30;
    setrlimit(RLIMIT_FSIZE, &full);
    if (AppendToFile(path, kCut, kBom)) {
        return 2;
    }
    setrlimit(RLIMIT_FSIZE, &limit);
    return AppendToFile(path, kAfter, kBom) ? 0 : 3;
}

TEST(AppendToFile, ALineCutByAFullDiskIsTakenBackWhole) {
    test::TempDir dir;
    const std::string path = (dir / "run.log").string();
    ASSERT_EQ(RunInChild([&] { return AppendAcrossAFullDisk(path); }), 0);
    EXPECT_EQ(ReadFile(path), kBom + kFirst + kAfter);
}

}  // namespace
}  // namespace flextor
