#include "core/startup/command_line.h"

#include "core/version.h"

namespace flextor {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    for (const std::string& arg : args) {
        if (arg == "--version") {
            result.show_version = true;
        } else if (arg == "--help") {
            result.show_help = true;
        }
    }
    // Only the first two parameters name a crash resume.
    if (args.size() >= 2 && args[0] == "/CrashFile") {
        result.crash_file = args[1];
    }
    return result;
}

std::string VersionText() {
    return std::string(kProgramName) + " " + kVersion + " (сборка " + std::to_string(kBuild) +
           ")\n";
}

std::string HelpText() {
    return std::string("Использование: ") + kProgramName +
           " [/CrashFile ФАЙЛ]\n"
           "Программа управления установкой: колонны, датчики DS18B20 на шине 1-Wire, "
           "выходы GPIO.\n\n"
           "  /CrashFile ФАЙЛ  продолжить работу с состояния, сохранённого при сбое\n"
           "  --version        показать версию и выйти\n"
           "  --help           показать эту справку и выйти\n\n"
           "Переменная окружения FLEXTOR_GPIO_ROOT задаёт папку sysfs GPIO\n"
           "(по умолчанию /sys/class/gpio), FLEXTOR_HOME — папку программы вместо\n"
           "папки исполняемого файла, FLEXTOR_DISPLAY_WAIT — сколько секунд ждать\n"
           "дисплей при запуске (по умолчанию 0).\n";
}

}  // namespace flextor
