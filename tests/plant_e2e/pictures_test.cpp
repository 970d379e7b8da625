// The README's pictures, taken from the real program on the simulated plant:
//   scripts/pictures.sh   (FLEXTOR_PICTURES=FOLDER build/tests/tests_plant_e2e
//   --gtest_filter=Pictures.*)
// The three columns run; the main window is taken during the spirit, then the
// settings and sensors windows; the wall clock, four times as fast, passes
// midnight, and the first page of the day's chart is copied beside them.
// Without the variable the test is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "core/version.h"
#include "plant_e2e/plant_fixture.h"
#include "plant_e2e/window_picture.h"
#include "support/program_runner.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;

using Pictures = PlantRunFixture;

TEST_F(Pictures, OfTheThreeWindowsAndTheChart) {
    const char* folder = std::getenv("FLEXTOR_PICTURES");
    if (folder == nullptr) {
        GTEST_SKIP() << "set FLEXTOR_PICTURES to the folder of the pictures";
    }
    const fs::path out = fs::absolute(folder);
    const std::string faketime = FakeTimeLibrary();
    ASSERT_FALSE(faketime.empty()) << "libfaketime is needed for the chart";
    ASSERT_NO_FATAL_FAILURE(StartPlant(""));
    ASSERT_NO_FATAL_FAILURE(StartProgram(
        {"LD_PRELOAD=" + faketime, "FAKETIME=@2026-12-07 23:57:40 x4", "DONT_FAKE_MONOTONIC=1"}));
    ASSERT_NO_FATAL_FAILURE(PressStart(3, "Начата работа колонки 3 (Брага)"));
    ASSERT_NO_FATAL_FAILURE(PressStart(1, "Начата работа колонки 1 (Ректификация)"));
    ASSERT_NO_FATAL_FAILURE(PressStart(2, "Начата работа колонки 2 (Дистилляция)"));
    ASSERT_NO_FATAL_FAILURE(WaitForLog("изменен на 'Работа клапана 2 (Спирт)'"));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(SaveWindowPicture(server.Display(), window, out / "plant-main-window.png"));

    // "Настройки", then its first item (the settings) or its second (the sensors).
    const struct {
        int downs;
        const char* title;
        int width;
        const char* file;
    } windows[] = {{1, "Основные настройки программы", 516, "settings-window.png"},
                   {2, "Настройки датчиков температуры", 560, "sensors-window.png"}};
    for (const auto& w : windows) {
        ASSERT_TRUE(x->Click(window, 30, 10));
        for (int i = 0; i < w.downs; ++i) {
            ASSERT_TRUE(x->PressKey("Down"));
        }
        ASSERT_TRUE(x->PressKey("Return"));
        unsigned long opened = 0;
        ASSERT_TRUE(WaitUntil([&] { return (opened = x->FindWindow(w.title, w.width)) != 0; },
                              kPlantStartLimit))
            << w.title;
        std::this_thread::sleep_for(std::chrono::seconds(2));
        ASSERT_TRUE(SaveWindowPicture(server.Display(), opened, out / w.file));
        ASSERT_TRUE(x->RequestClose(opened));
        ASSERT_TRUE(
            WaitUntil([&] { return x->FindWindow(w.title, w.width) == 0; }, kPlantStartLimit));
    }

    ASSERT_NO_FATAL_FAILURE(WaitForLog("Сохранение графика завершено"));
    for (const auto& saved : fs::directory_iterator(dir / "График")) {
        fs::copy_file(saved.path() / "1.png", out / "chart.png",
                      fs::copy_options::overwrite_existing);
    }
}

}  // namespace
}  // namespace flextor::test
