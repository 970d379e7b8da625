#include "app/crash/crash_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/text/text_buffer.h"
#include "core/settings/settings.h"

namespace flextor {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

template <size_t N>
void AppendDate(TextBuffer<N>& text, const CivilTime& time, const char* between) {
    text.AppendTwoDigits(time.day);
    text.Append(between);
    text.AppendTwoDigits(time.month);
    text.Append(between);
    text.AppendNumber(time.year);
}

template <size_t N>
void AppendTime(TextBuffer<N>& text, const CivilTime& time, const char* between) {
    text.AppendTwoDigits(time.hour);
    text.Append(between);
    text.AppendTwoDigits(time.minute);
    text.Append(between);
    text.AppendTwoDigits(time.second);
}

// The report's name for attempt n (0: without a number).
TextBuffer<64> ReportName(const CivilTime& time, int n) {
    TextBuffer<64> name;
    name.Append("Crash_");
    if (n > 0) {
        name.AppendNumber(n);
        name.Append("_");
    }
    name.Append("_");
    AppendDate(name, time, "_");
    name.Append("__");
    AppendTime(name, time, "_");
    name.Append(".txt");
    return name;
}

// Creates the report file: the first name not taken, the tenth in any case.
int CreateReport(const FailurePlan& plan, const CivilTime& time, char (&name)[64]) {
    for (int n = 0; n <= 10; ++n) {
        const TextBuffer<64> candidate = ReportName(time, n);
        std::memcpy(name, candidate.c_str(), candidate.size() + 1);
        TextBuffer<kPlanPathSize> path;
        path.Append(plan.folder);
        path.Append(candidate.c_str());
        const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (n < 10 ? O_EXCL : O_TRUNC);
        const int fd = open(path.c_str(), flags, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

CivilTime LocalNow(const FailurePlan& plan) {
    return CivilFromSeconds(static_cast<int64_t>(time(nullptr)) + plan.utc_offset.load());
}

void LogFailureMessage(const FailurePlan& plan, const char* text) {
    if (plan.log_file[0] == '\0' || Settings.Log.ErrFile != 1) {
        return;
    }
    const CivilTime now = LocalNow(plan);
    TextBuffer<4096> line;
    line.Append("[");
    AppendDate(line, now, "/");
    line.Append(" ");
    AppendTime(line, now, ":");
    line.Append("]  ");
    line.Append(text);
    line.Append("\n");
    const int fd = open(plan.log_file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    if (fstat(fd, &status) == 0 && status.st_size == 0) {
        static_cast<void>(WriteAll(fd, kByteOrderMark, sizeof kByteOrderMark - 1));
    }
    static_cast<void>(WriteAll(fd, line.data(), line.size()));
    close(fd);
}

bool ReplaceFile(const char* path, const char* temporary, const char* text, size_t size) {
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, text, size);
    // The data must be on the disk before the name points at it: a power cut
    // while the new instance starts must not leave an empty state file.
    const bool synced = written && fdatasync(fd) == 0;
    close(fd);
    if (!synced || rename(temporary, path) != 0) {
        unlink(temporary);
        return false;
    }
    return true;
}

bool WriteCrashReport(const FailurePlan& plan, const CivilTime& time, const char* err,
                      const char* json, size_t json_size, char (&name)[64]) {
    const int fd = CreateReport(plan, time, name);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, kByteOrderMark, sizeof kByteOrderMark - 1) &&
                         WriteAll(fd, err, std::strlen(err)) && WriteAll(fd, "\n\r\n\r\n", 5) &&
                         WriteAll(fd, json, json_size);
    close(fd);
    return written;
}

}  // namespace flextor
