#include "core/sensors/sensor_texts.h"

#include <array>

#include "core/logic/number_text.h"

namespace flextor {
namespace {

void AppendHex(std::string& text, uint8_t byte) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

}  // namespace

std::string SensorIdText(const SensorParam& row) {
    std::string text;
    AppendHex(text, row.SN.Type);
    text += '-';
    for (int i = 5; i >= 0; --i) {
        AppendHex(text, row.SN.Number[i]);
    }
    text += '-';
    AppendHex(text, row.SN.CRC);
    return text;
}

std::string RoleName(int role) {
    static const std::array<const char*, 7> kNames = {"Не используется",
                                                      "Датчик 1 (ав. ТСА)",
                                                      "Датчик 2 (ав. Конденсатор)",
                                                      "Датчик 3 (д. Колонна)",
                                                      "Датчик 4 (д. Куб)",
                                                      "Датчик 5 (д. Брага)",
                                                      "Датчик 6"};
    return role >= 1 && role <= 6 ? kNames[role] : kNames[0];
}

std::string TemperatureColumnText(const SensorParam& row, int32_t port_id) {
    if (port_id == 0 || (row.Flag & kFlagNotFound) != 0) {
        return "Датчик не найден";
    }
    if ((row.Flag & kFlagTemperatureSensor) == 0) {
        return "Не является датчиком температуры или несовместим с DS18B20";
    }
    if ((row.Flag & kFlagError) != 0) {
        return "Ошибка чтения данных";
    }
    return TenthsText(row.Termo) + " °C";
}

}  // namespace flextor
