#include "core/notify/previous_run.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace flextor {
namespace {

namespace fs = std::filesystem;

constexpr std::streamoff kTail = 4096;
// The outputs guard's line and the failure path's, as they write them.
constexpr const char kGuardLine[] = "Программа завершилась аварийно: ";
constexpr const char kLimitLine[] = "Превышено число перезапусков";
// The guard's line after it killed a program whose control loop fell silent.
constexpr const char kFrozenLine[] = " и остановлена сторожем выходов: ";

// The text after the line's "[stamp]  ".
std::string MessageOf(const std::string& line) {
    const size_t stamp_end = line.find("]  ");
    return stamp_end == std::string::npos ? line : line.substr(stamp_end + 3);
}

}  // namespace

std::vector<std::string> PreviousRunEndings(const std::string& tail) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < tail.size()) {
        const size_t eol = std::min(tail.find('\n', from), tail.size());
        std::string line = tail.substr(from, eol - from);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
        from = eol + 1;
    }
    std::vector<std::string> endings;
    if (lines.empty()) {
        return endings;
    }
    if (lines.back().find(kFrozenLine) != std::string::npos) {
        endings.push_back(MessageOf(lines.back()));  // it says itself what happened
        return endings;
    }
    if (lines.back().find(kGuardLine) == std::string::npos) {
        return endings;
    }
    for (size_t i = lines.size() - 1; i-- > 0 && lines.size() - i <= 4;) {
        if (lines[i].find(kLimitLine) != std::string::npos) {
            endings.push_back(MessageOf(lines[i]));
        }
    }
    endings.push_back("Программа зависла или была остановлена, сторож выключил выходы: " +
                      MessageOf(lines.back()));
    return endings;
}

std::string PreviousMessageLog(const std::string& log_folder, const std::string& current) {
    std::error_code error;
    std::string newest;
    fs::file_time_type newest_time{};
    for (const auto& entry : fs::directory_iterator(log_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(error) || !name.ends_with(".log") ||
            name.starts_with("Termo_") || entry.path().string() == current) {
            continue;
        }
        const fs::file_time_type time = entry.last_write_time(error);
        if (!error && (newest.empty() || time > newest_time)) {
            newest = entry.path().string();
            newest_time = time;
        }
    }
    return newest;
}

std::vector<std::string> PreviousRunEndingsOf(const std::string& log_file) {
    std::ifstream file(log_file, std::ios::binary);
    if (!file) {
        return {};
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(std::max<std::streamoff>(0, size - kTail));
    std::string tail(static_cast<size_t>(std::min(size, kTail)), '\0');
    file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return PreviousRunEndings(tail);
}

}  // namespace flextor
