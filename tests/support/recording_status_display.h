// A status display that remembers what the logic showed, for headless tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/display/status_display.h"

namespace flextor::test {

class RecordingStatusDisplay final : public StatusDisplay {
  public:
    // Lamp states as shown (0 until the first change), and every change in order.
    std::map<int, int> lamps;
    std::vector<std::pair<int, int>> lampChanges;
    // The last controls state per column, and every call in order.
    std::map<int, int> controls;
    std::vector<std::pair<int, int>> controlsCalls;
    // The texts as shown, and every write of the status line and PWM field.
    std::string statusText;
    std::vector<std::string> statusWrites;
    std::string pwmText = "100";
    std::vector<std::string> pwmWrites;
    std::string headsVolume;
    std::string spiritVolume;
    std::map<int, std::string> temperatures;
    // Modal boxes in order; every question is answered with answer.
    std::vector<std::string> refusals;
    std::vector<std::string> questions;
    bool answer = true;

    int Lamp(int kind) const {
        auto it = lamps.find(kind);
        return it == lamps.end() ? 0 : it->second;
    }

    void SetIndicator(int kind, int state) override {
        if (kind < 0 || kind > 7)
            kind = 8;
        if (Lamp(kind) == state)
            return;
        lamps[kind] = state;
        lampChanges.emplace_back(kind, state);
    }
    void SetColumnControls(int column, int state) override {
        controls[column] = state;
        controlsCalls.emplace_back(column, state);
    }
    void SetStatusText(const std::string& text) override {
        statusText = text;
        statusWrites.push_back(text);
    }
    void SetPwmText(const std::string& text) override {
        pwmText = text;
        pwmWrites.push_back(text);
    }
    void SetHeadsVolumeText(const std::string& text) override { headsVolume = text; }
    void SetSpiritVolumeText(const std::string& text) override { spiritVolume = text; }
    void SetTemperatureText(int role, const std::string& text) override {
        temperatures[role] = text;
    }
    void ShowRefusal(const std::string& text) override { refusals.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
};

}  // namespace flextor::test
