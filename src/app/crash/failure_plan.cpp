#include "app/crash/failure_plan.h"

#include <unistd.h>

#include <cstring>
#include <ctime>

#include "core/settings/settings_file.h"

namespace flextor {
namespace {

FailurePlan plan;
char crash_file_flag[] = "/CrashFile";

bool CopyPath(char (&target)[kPlanPathSize], const std::string& text) {
    if (text.size() >= kPlanPathSize) {
        target[0] = '\0';
        return false;
    }
    std::memcpy(target, text.c_str(), text.size() + 1);
    return true;
}

std::string OwnExecutable() {
    char path[kPlanPathSize];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    return size > 0 ? std::string(path, static_cast<size_t>(size)) : std::string("/proc/self/exe");
}

}  // namespace

FailurePlan& Plan() {
    return plan;
}

bool PrepareFailurePlan(const std::string& folder, const std::string& log_file) {
    plan.ready.store(false);
    RefreshUtcOffset();
    bool fits = CopyPath(plan.folder, folder) && CopyPath(plan.log_file, log_file) &&
                CopyPath(plan.crash_file, folder + "Crash.json") &&
                CopyPath(plan.crash_temporary, folder + "Crash.json.tmp") &&
                CopyPath(plan.settings_file, folder + kSettingsFileName) &&
                CopyPath(plan.settings_temporary, folder + kSettingsFileName + ".crash.tmp") &&
                CopyPath(plan.executable, OwnExecutable());
    plan.restart_argv[0] = plan.executable;
    plan.restart_argv[1] = crash_file_flag;
    plan.restart_argv[2] = plan.crash_file;
    plan.restart_argv[3] = nullptr;
    plan.ready.store(fits);
    return fits;
}

bool PreparePinReleasePlan() {
    plan.pins_ready.store(false);
    const bool made = MakePinReleasePlan(plan.pins);
    plan.pins_ready.store(made);
    return made;
}

void RefreshUtcOffset() {
    const time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        plan.utc_offset.store(local.tm_gmtoff);
    }
}

}  // namespace flextor
