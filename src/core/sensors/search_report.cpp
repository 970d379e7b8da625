#include "core/sensors/search_report.h"

namespace flextor {

std::string DeviceCountNoun(size_t count) {
    const size_t last_two = count % 100;
    if (last_two >= 11 && last_two <= 19) {
        return "устройств";
    }
    const size_t last = last_two % 10;
    if (last == 1) {
        return "устройство";
    }
    if (last >= 2 && last <= 4) {
        return "устройства";
    }
    return "устройств";
}

std::string SearchReportText(size_t count) {
    return "Найдено " + std::to_string(count) + "  '1-Wire' " + DeviceCountNoun(count);
}

}  // namespace flextor
