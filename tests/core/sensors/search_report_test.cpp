#include "core/sensors/search_report.h"

#include <gtest/gtest.h>

namespace flextor {
namespace {

TEST(SearchReport, NounFollowsTheCountsLastDigitsAndTheTeens) {
    const std::pair<size_t, const char*> cases[] = {
        {1, "устройство"},  {2, "устройства"},  {5, "устройств"},  {11, "устройств"},
        {21, "устройство"}, {22, "устройства"}, {25, "устройств"}, {111, "устройств"},
        {112, "устройств"}, {0, "устройств"}};
    for (const auto& [count, noun] : cases) {
        EXPECT_EQ(DeviceCountNoun(count), noun) << count;
    }
}

TEST(SearchReport, TextHasTwoSpacesBeforeTheBusName) {
    EXPECT_EQ(SearchReportText(3), "Найдено 3  '1-Wire' устройства");
    EXPECT_EQ(SearchReportText(0), "Найдено 0  '1-Wire' устройств");
}

}  // namespace
}  // namespace flextor
