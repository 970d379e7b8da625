#include "plant/plant_state.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace flextor::plant {

std::string PlantStateText(const PlantState& state) {
    const nlohmann::json json = {
        {"temperatures", state.temperatures}, {"boiler", state.boiler},
        {"boiler_ml", state.boiler_ml},       {"alcohol_ml", state.alcohol_ml},
        {"overheat", state.overheat},         {"drawn_ml", state.drawn_ml},
        {"boiling1", state.boiling1},         {"boiling2", state.boiling2}};
    return json.dump();
}

bool ParsePlantState(const std::string& text, PlantState* state) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    try {
        PlantState read;
        read.temperatures = json.at("temperatures").get<decltype(read.temperatures)>();
        read.boiler = json.at("boiler").get<double>();
        read.boiler_ml = json.at("boiler_ml").get<double>();
        read.alcohol_ml = json.at("alcohol_ml").get<double>();
        read.overheat = json.at("overheat").get<double>();
        read.drawn_ml = json.at("drawn_ml").get<double>();
        read.boiling1 = json.at("boiling1").get<bool>();
        read.boiling2 = json.at("boiling2").get<bool>();
        *state = read;
        return true;
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}

bool SavePlantState(const std::string& path, const PlantState& state) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << PlantStateText(state);
        if (!out.flush()) {
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool LoadPlantState(const std::string& path, PlantState* state, std::string* error) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || !ParsePlantState(text.str(), state)) {
        *error = "cannot read a plant state from " + path;
        return false;
    }
    return true;
}

}  // namespace flextor::plant
