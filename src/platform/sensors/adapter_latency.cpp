#include "platform/sensors/adapter_latency.h"

#include "core/log/message_log.h"
#include "platform/serial/usb_latency.h"

namespace flextor {

std::string LatencyAdviceText(const std::string& tty, int found_ms, const std::string& root) {
    return "Адаптер 1-Wire " + tty + ": таймер задержки USB " + std::to_string(found_ms) +
           " мс замедляет опрос датчиков, а изменить его программе не разрешено. Установите 1 мс "
           "командой: echo 1 | sudo tee " +
           LatencyTimerPath(root, tty) +
           "; чтобы так было всегда, добавьте правило udev в "
           "/etc/udev/rules.d/99-usb-serial-latency.rules: ACTION==\"add\", "
           "SUBSYSTEM==\"usb-serial\", TEST==\"latency_timer\", ATTR{latency_timer}=\"1\"";
}

void TuneAdapterLatency(const std::string& port_name, const std::string& root,
                        std::set<std::string>& advised) {
    const std::string tty = KernelTtyName("/dev/" + port_name);
    const LatencyResult result = LowerLatencyTimer(root, tty);
    if (result.outcome == LatencyOutcome::kLowered) {
        PostLogMessage("Таймер задержки адаптера 1-Wire " + tty + " установлен на 1 мс (был " +
                           std::to_string(result.found_ms) + " мс)",
                       kLevelInfo);
    } else if (result.outcome == LatencyOutcome::kRefused && advised.insert(tty).second) {
        PostLogMessage(LatencyAdviceText(tty, result.found_ms, root), kLevelWarning);
    }
}

}  // namespace flextor
