#include "core/startup/command_line.h"

#include <gtest/gtest.h>

namespace flextor {
namespace {

TEST(CommandLine, CrashFileNeedsItsPathAndOnlyCountsFirst) {
    EXPECT_EQ(ParseCommandLine({"/CrashFile", "/tmp/Crash.json"}).crash_file, "/tmp/Crash.json");
    EXPECT_EQ(ParseCommandLine({"/CrashFile"}).crash_file, "");
    EXPECT_EQ(ParseCommandLine({"x", "/CrashFile", "/tmp/c"}).crash_file, "");
    CommandLine other = ParseCommandLine({"-foo", "bar"});
    EXPECT_FALSE(other.show_help);
    EXPECT_FALSE(other.show_version);
    EXPECT_EQ(other.crash_file, "");
}

}  // namespace
}  // namespace flextor
