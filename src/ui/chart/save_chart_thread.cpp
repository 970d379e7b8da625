// One save: the folder, the pages one by one, the messages, then the chart is
// handed back by clearing its saving marker.
#include "ui/chart/save_chart_thread.h"

#include <cairo.h>

#include <memory>
#include <utility>

#include "core/log/message_log.h"
#include "ui/chart/chart_folder.h"
#include "ui/chart/chart_pages.h"
#include "ui/chart/chart_picture.h"
#include "ui/chart/png_file.h"

namespace flextor {
namespace {

struct SurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDestroy {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDestroy>;
using Context = std::unique_ptr<cairo_t, ContextDestroy>;

enum class PageResult { kNext, kStop };

// Draws the page on an image; false when the image has no drawing context.
[[nodiscard]] bool DrawPage(cairo_surface_t* image, const ChartSaveJob& job,
                            const ChartPage& page) {
    Context cr(cairo_create(image));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    ChartLook look = job.look;
    look.visible = page.visible;
    look.scrollPos = page.scrollPos;
    const ChartContent content{look, job.day, page.count, WallSeconds(job.startedAt)};
    DrawChart(cr.get(), cairo_image_surface_get_width(image), cairo_image_surface_get_height(image),
              content, ChartTarget::kPage);
    cairo_surface_flush(image);
    return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}

PageResult SavePage(const ChartSaveJob& job, const ChartPage& page, const std::string& folder) {
    Surface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.width, job.pageHeight));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
        PostLogMessage("Не удалось создать изображения для сохранения графика", kLevelWarning);
        return PageResult::kStop;
    }
    if (!DrawPage(image.get(), job, page)) {
        PostLogMessage("Ошибка функции StartDrawing при сохранении графика", kLevelWarning);
        return PageResult::kStop;
    }
    const std::string name = std::to_string(page.number) + ".png";
    if (WritePng(image.get(), folder + name)) {
        PostLogMessage("График успешно сохранен в файле " + name, kLevelInfo);
    } else {
        PostLogMessage("Не удалось сохранить график в файле " + name, kLevelError);
    }
    return PageResult::kNext;
}

void SavePages(const std::stop_token& stop, const ChartSaveJob& job) {
    const std::string folder = ChartSaveFolder(job.programFolder, job.startedAt);
    if (!MakeFolderTree(folder)) {
        PostLogMessage("Не удалось создать папку для сохранения графика", kLevelWarning);
        return;
    }
    PostLogMessage("Начато сохранение графика", kLevelInfo);
    for (const ChartPage& page : PlanChartPages(job.day.size())) {
        if (stop.stop_requested()) {
            return;  // the program is ending: no "завершено" for a cut-short save
        }
        if (SavePage(job, page, folder) == PageResult::kStop) {
            break;
        }
    }
    PostLogMessage("Сохранение графика завершено", kLevelInfo);
}

}  // namespace

void SaveChartThread(std::stop_token stop, ChartSaveJob job) {
    SavePages(stop, job);
    ChartHistory().swap(job.day);
    Chart.saving.store(false);
}

}  // namespace flextor
