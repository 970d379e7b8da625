#include "core/chart/chart_marks.h"

#include <algorithm>

#include "core/chart/chart_model.h"

namespace flextor {

void AddChartMark(const LocalTime& t, const std::string& text) {
    ChartMarks& marks = Chart.marks;
    if (!Chart.history.empty()) {
        const int32_t first = Chart.history.front().time;
        std::erase_if(marks, [first](const ChartMark& mark) { return mark.time < first; });
    }
    marks.push_back(ChartMark{WallSeconds(t), text});
}

}  // namespace flextor
