// A start after the outputs guard stopped a frozen program: the guard's marker
// in the program folder is read, the operator told once in the message log, and
// the marker removed. The run is not resumed after a power cut either: a plant
// that froze once is started by hand.
#include <filesystem>
#include <system_error>

#include "app/guard/guard_link.h"
#include "app/program.h"
#include "base/files/file_io.h"
#include "core/log/message_log.h"

namespace flextor {
namespace {

constexpr size_t kMaxStampBytes = 32;

// The guard's time stamp, kept to the characters one is written with.
std::string StampOf(const std::string& text) {
    std::string stamp;
    for (const char c : text.substr(0, kMaxStampBytes)) {
        if ((c >= '0' && c <= '9') || c == '.' || c == ':' || c == ' ' || c == '-') {
            stamp += c;
        } else if (c == '\n') {
            break;
        }
    }
    return stamp.empty() ? "время неизвестно" : stamp;
}

}  // namespace

void Program::ReportFreezeStop() {
    const std::string path = program_folder_ + kFreezeMarkerName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return;
    }
    std::string text;
    if (!ReadWholeFile(path, text)) {
        text.clear();
    }
    stopped_as_frozen_ = true;
    AddLogMessage("Прошлый запуск остановлен сторожем выходов (" + StampOf(text) +
                      "): программа не отвечала, и все выходы были выключены. Запустите колонки "
                      "заново; если это повторится, проверьте нагрузку и питание компьютера.",
                  kLevelWarning);
    if (!std::filesystem::remove(path, error)) {
        AddLogMessage("Не удалось удалить файл " + path, kLevelWarning);
    }
}

}  // namespace flextor
