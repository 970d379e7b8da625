// The plant's state in a file, kept while it runs so that a power cut (the
// plant killed with the program) can be staged: the next plant starts from it.
#pragma once

#include <string>

#include "plant/plant_model.h"

namespace flextor::plant {

// JSON, numbers with "." in every locale.
std::string PlantStateText(const PlantState& state);
[[nodiscard]] bool ParsePlantState(const std::string& text, PlantState* state);

// Through a temporary file and a rename: a kill leaves the old file or the new.
[[nodiscard]] bool SavePlantState(const std::string& path, const PlantState& state);
[[nodiscard]] bool LoadPlantState(const std::string& path, PlantState* state, std::string* error);

}  // namespace flextor::plant
