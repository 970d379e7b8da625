// A port or pin the user may not open. On Raspberry Pi OS the serial ports
// belong to the group dialout and the GPIO files to the group gpio; a user in
// neither gets one line that says what to do.
#pragma once

#include <string>

namespace flextor {

inline constexpr char kAccessGroupsAdvice[] =
    "добавьте пользователя в группы dialout (последовательный порт) и gpio (выводы GPIO): "
    "sudo usermod -aG dialout,gpio $USER, затем войдите в систему заново";

// True when the file at path exists but this process may not open it for
// writing (and reading, with read_too): permission, not absence.
[[nodiscard]] bool AccessDenied(const std::string& path, bool read_too);

// "Нет прав на порт ttyUSB0: добавьте ..." when /dev/<port> is refused, else "".
std::string PortAccessAdvice(const std::string& port);

// "Нет прав на выводы GPIO (<root>/export): добавьте ..." when export is
// refused, else "".
std::string GpioAccessAdvice(const std::string& gpio_root);

}  // namespace flextor
