#include "app/crash/test_faults.h"

#include <glib-unix.h>
#include <glib.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "base/diagnostics/source_position.h"
#include "base/files/file_io.h"

namespace flextor {
namespace {

int HangForEver(void* /*unused*/) {
    FLEXTOR_PROCEDURE();
    for (volatile bool forever = true; forever;) {
    }
    return G_SOURCE_CONTINUE;
}

int FreeTwice(void* /*unused*/) {
    FLEXTOR_PROCEDURE();
    // volatile: the compiler must neither see through the pointer nor drop the calls.
    void* volatile block = std::malloc(24);
    std::free(block);
    std::free(block);
    return G_SOURCE_CONTINUE;
}

// As a request handler of the status page would: no step of its own is marked,
// so the report must say that the place is unknown, with the exception's text.
int ThrowUncaught(void* /*unused*/) {
    throw std::runtime_error("test fault: an exception nothing catches");
}

bool TestFaultsEnabled() {
    const char* enabled = std::getenv("FLEXTOR_TEST_FAULTS");
    return enabled != nullptr && std::strcmp(enabled, "1") == 0;
}

std::string disk_full_file;

bool FailWhenDiskFull(const std::string& /*temporary_path*/) {
    return access(disk_full_file.c_str(), F_OK) != 0;
}

}  // namespace

void FailAtStartWhenAsked(const std::string& folder) {
    if (TestFaultsEnabled()) {
        disk_full_file = folder + kDiskFullFile;
        SetBeforeRenameHook(FailWhenDiskFull);
    }
    if (TestFaultsEnabled() && std::remove((folder + kFailAtStartFile).c_str()) == 0) {
        FLEXTOR_PROCEDURE();
        raise(SIGSEGV);
    }
}

void InstallTestFaults() {
    if (!TestFaultsEnabled()) {
        return;
    }
    g_unix_signal_add(SIGUSR1, HangForEver, nullptr);
    g_unix_signal_add(SIGUSR2, FreeTwice, nullptr);
    g_unix_signal_add(SIGWINCH, ThrowUncaught, nullptr);
}

}  // namespace flextor
