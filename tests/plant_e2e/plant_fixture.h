// The real program on the simulated plant, as a person runs it: flextor-plant on
// a scenario of the test's, the program on a private X server with its GPIO
// folder, its buttons pressed through the X server. What the tests look at: the
// message log, the temperature log, the plant's history of the outputs and the
// chart folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/running_program.h"
#include "e2e/x_display.h"
#include "support/fake_gpio_folder.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor::test {

inline constexpr std::chrono::seconds kPlantStartLimit{60};
inline constexpr std::chrono::seconds kPlantRunLimit{90};

// The output pins by BCM number.
inline constexpr uint16_t kPinColumn1 = 17, kPinValve1 = 22, kPinValve2 = 10, kPinValve3 = 9,
                          kPinColumn2 = 11, kPinMashUpper = 25, kPinMashLower = 8, kPinSensor6 = 24,
                          kPinAlarm = 23;

// One line of the plant's history: a pin reaching a level at a plant time.
struct PinChange {
    double time = 0;
    int pin = 0;
    int level = 0;
};

class PlantRunFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the plant on the test scenario with these faults (JSON objects,
    // comma-separated) and writes Setting.ini for its port and sensors, with the
    // demo's short times and semi_automatic as Col1_Auto. The plant keeps its
    // state; with cooled >= 0 it starts from the state the last one kept, cooled
    // for that many seconds of plant time (after a power cut).
    void StartPlant(const std::string& faults, bool semi_automatic = false, double cooled = -1);
    // A power cut: the program and the plant killed together.
    void CutPower();
    // Starts the program and waits for its window and its first readings of the plant.
    void StartProgram(const std::vector<std::string>& env = {});
    // Presses "Пуск" of column 1, 2 or 3 until the message log has one more
    // answer (a click that comes while the window is busy may be lost).
    void PressStart(int column, const std::string& answer);

    bool LogHas(const std::string& text) const;
    int LogCount(const std::string& text) const;
    // Waits for the text in the message log; a failure shows the log.
    void WaitForLog(const std::string& text);
    std::string MessageLog() const;      // every message log of the folder
    std::string TemperatureLog() const;  // every temperature log of the folder
    // The values of a role's field ("d5 26.3 °C") in the temperature log, in order.
    std::vector<double> Readings(int role) const;
    std::vector<PinChange> History() const;
    // The plant time of the first change of pin to level after time; -1 if none.
    double FirstChange(int pin, int level, double after = 0) const;
    // Whether the pin is at level, and the plant has seen it, within a few seconds
    // (the program writes its outputs every 100 ms, the plant reads them as often).
    bool Settles(uint16_t bcm, int level) const;

    PrivateXServer server;
    TempDir dir;
    FakeGpioFolder gpio;
    std::filesystem::path program;
    std::unique_ptr<RunningProgram> plant;
    std::unique_ptr<RunningProgram> run;
    std::unique_ptr<XDisplay> x;
    unsigned long window = 0;
};

}  // namespace flextor::test
