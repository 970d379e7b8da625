// The commands of each column, behind ColumnCommand. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "core/logic/commands/column_command.h"

namespace flextor {

void Col1Command(uint8_t command);
void Col2Command(uint8_t command);
void Col3Command(uint8_t command);

// A refused start: logs the reason as a warning, then shows it in a modal box.
void RefuseCommand(const std::string& reason);

inline bool IsStopOrBlock(uint8_t command) {
    return command == kCommandStop || command >= kCommandBlock;
}

}  // namespace flextor
