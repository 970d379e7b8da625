// What watching the plant from elsewhere costs the GUI thread: the JSON of one
// status request, the chart image (drawn once per new sample), the day's
// samples for the page's own chart (whole and the newest few), one request
// through the server on the main loop, and the lateness of the 100 ms timers
// while a burst of 1000 requests comes in.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <glib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/remote/gzip_body.h"
#include "app/remote/status_server.h"
#include "core/chart/chart_model.h"
#include "core/remote/history_encoding.h"
#include "core/remote/status_json.h"
#include "core/remote/status_mirror.h"
#include "core/remote/status_snapshot.h"
#include "core/state/program_state.h"
#include "ui/chart/chart_image.h"

namespace flextor {
namespace {

using Clock = std::chrono::steady_clock;

// Six working sensors, a full log and a status line, as on a running plant.
StatusMirror& RunningPlant() {
    static StatusMirror mirror(nullptr, nullptr);
    static bool made = false;
    if (!made) {
        made = true;
        ProgVar.Sensors.PortID = 1;
        for (uint8_t role = 1; role <= 6; ++role) {
            SensorParam row;
            row.SN.Type = kFamilyDS18B20;
            row.SN.Number[0] = role;
            row.Use = role;
            row.Termo = static_cast<int16_t>(200 + 100 * role);
            row.UpdateCount = 4;
            row.Flag = kFlagTemperatureSensor;
            ProgVar.Sensors.Sensor.push_back(row);
            mirror.SetTemperatureText(role, "78.5 °C");
        }
        for (size_t i = 0; i < kMirrorLogRows; ++i) {
            mirror.AppendRow("[12:00:00]  Режим работы колонки 1 (Ректификация) изменен", 0);
        }
        mirror.SetStatusText("Колонка 1: 'Работа клапана 2 (Спирт)'. Отобрано 1.500 л");
    }
    return mirror;
}

void BM_StatusJson(benchmark::State& state) {
    const StatusMirror& mirror = RunningPlant();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string json = StatusJson(TakeStatusSnapshot(mirror, LocalTime{}));
        bytes = json.size();
        benchmark::DoNotOptimize(json.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_StatusJson)->Unit(benchmark::kMicrosecond);

// A whole day in history, slow waves per trace; the picture shows its newest samples.
const ChartHistory& WholeDay() {
    static const ChartHistory day = [] {
        ChartHistory samples(86400);
        for (size_t i = 0; i < samples.size(); ++i) {
            for (int trace = 0; trace < kChartTraces; ++trace) {
                samples[i].temperatures[trace] =
                    static_cast<int16_t>(250 + 120 * trace + 150 * std::sin(i / 40.0 + trace));
            }
            samples[i].time = static_cast<int32_t>(i);
        }
        return samples;
    }();
    return day;
}

ChartLook Look() {
    ChartLook look;
    look.colours = {0xFFFFFF, 0xC0C0C0, 0x008000, 0x6900D2, 0x0000FF,
                    0x408000, 0xFF8000, 0xC08000, -15540206};
    return look;
}

// Drawn and encoded: what one picture costs in all.
void BM_ChartPng(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = ChartPngBytes(Look(), WholeDay(), 86399, 960, 400).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ChartPng)->Unit(benchmark::kMillisecond);

// The part of it on the GUI thread: the drawing alone.
void BM_ChartDrawing(benchmark::State& state) {
    for (auto _ : state) {
        const ChartImage image = DrawChartImage(Look(), WholeDay(), 86399, 960, 400);
        benchmark::DoNotOptimize(image.get());
    }
}
BENCHMARK(BM_ChartDrawing)->Unit(benchmark::kMillisecond);

// A day as the plant records it: each trace warms up to its own level over hours,
// with the sensors' jitter of a tenth and a sensor missing for ten minutes.
const ChartHistory& RecordedDay() {
    static const ChartHistory day = [] {
        ChartHistory samples(86400);
        uint32_t noise = 12345;
        for (size_t i = 0; i < samples.size(); ++i) {
            const double hours = static_cast<double>(i) / 3600.0;
            for (int trace = 0; trace < kChartTraces; ++trace) {
                noise = noise * 1103515245u + 12345u;
                const double level = 200 + 130 * trace * (1 - std::exp(-hours / (1.5 + trace)));
                const int jitter = static_cast<int>((noise >> 16) % 3) - 1;
                samples[i].temperatures[trace] = static_cast<int16_t>(level + jitter);
            }
            if (i >= 30000 && i < 30600) {
                samples[i].temperatures[4] = kNoValue;
            }
            samples[i].time = static_cast<int32_t>(1780000000 + i);
        }
        return samples;
    }();
    return day;
}

// The page's first load of a full day: the samples read (on the GUI thread) and
// compressed (in the worker), with the bytes sent either way.
void BM_HistoryWholeDay(benchmark::State& state) {
    const ChartHistory& day = RecordedDay();
    size_t bytes = 0;
    size_t gzip_bytes = 0;
    for (auto _ : state) {
        const std::string body = EncodeHistory(day, 0, day.size(), Look().colours);
        const std::optional<std::string> gzip = Gzip(body);
        bytes = body.size();
        gzip_bytes = gzip ? gzip->size() : 0;
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["gzip_bytes"] = static_cast<double>(gzip_bytes);
}
BENCHMARK(BM_HistoryWholeDay)->Unit(benchmark::kMillisecond);

// The GUI thread's part of it.
void BM_HistoryWholeDayEncoding(benchmark::State& state) {
    const ChartHistory& day = RecordedDay();
    for (auto _ : state) {
        const std::string body = EncodeHistory(day, 0, day.size(), Look().colours);
        benchmark::DoNotOptimize(body.data());
    }
}
BENCHMARK(BM_HistoryWholeDayEncoding)->Unit(benchmark::kMillisecond);

// A page's refresh late in the day: the two samples since its last request, gzipped.
void BM_HistoryNewest(benchmark::State& state) {
    const ChartHistory& day = RecordedDay();
    size_t gzip_bytes = 0;
    for (auto _ : state) {
        const std::optional<std::string> gzip =
            Gzip(EncodeHistory(day, day.size() - 2, day.size(), Look().colours));
        gzip_bytes = gzip ? gzip->size() : 0;
    }
    state.counters["gzip_bytes"] = static_cast<double>(gzip_bytes);
}
BENCHMARK(BM_HistoryNewest)->Unit(benchmark::kMicrosecond);

// One GET on a new connection, read until the server closes it; false when no
// answer came.
bool Request(uint16_t port, const char* path) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    bool answered = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = std::string("GET ") + path + " HTTP/1.1\r\nHost: x\r\n\r\n";
        static_cast<void>(send(fd, request.data(), request.size(), MSG_NOSIGNAL));
        char buffer[8192];
        for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            answered = true;
        }
    }
    close(fd);
    return answered;
}

// The GUI thread's side: the main loop with the server, timed per dispatch, and
// a 100 ms timer (the period of the output refresh and the chart tick) whose
// lateness is the jitter the plant's timers see.
struct GuiLoop {
    GMainContext* context = g_main_context_default();
    std::vector<double> lateness_ms;
    double longest_dispatch_ms = 0;
    Clock::time_point next_tick;

    static gboolean OnTick(gpointer data) {
        auto* loop = static_cast<GuiLoop*>(data);
        const auto now = Clock::now();
        loop->lateness_ms.push_back(
            std::chrono::duration<double, std::milli>(now - loop->next_tick).count());
        loop->next_tick += std::chrono::milliseconds(100);
        return G_SOURCE_CONTINUE;
    }

    // Runs until done is set, timing every iteration that did work.
    void Run(const std::atomic<bool>& done) {
        next_tick = Clock::now() + std::chrono::milliseconds(100);
        const guint timer = g_timeout_add(100, OnTick, this);
        while (!done) {
            const auto start = Clock::now();
            if (g_main_context_iteration(context, FALSE)) {
                longest_dispatch_ms = std::max(
                    longest_dispatch_ms,
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            } else {
                g_main_context_iteration(context, TRUE);
            }
        }
        g_source_remove(timer);
    }
};

StatusSources Sources() {
    StatusSources sources;
    sources.json = [] { return StatusJson(TakeStatusSnapshot(RunningPlant(), LocalTime{})); };
    sources.chart = [](std::string& png) {
        png.clear();
        return true;
    };
    return sources;
}

// A server on any free port of the loopback; nullptr (the benchmark skipped)
// when it cannot listen.
std::unique_ptr<StatusServer> ListeningServer(benchmark::State& state) {
    StatusServerOptions options;
    options.port = 0;
    auto server = std::make_unique<StatusServer>(options, Sources());
    std::string error;
    if (!server->Start(error)) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    return server;
}

// Requests one after the other: the time of one answered request.
void BM_StatusRequest(benchmark::State& state) {
    const std::unique_ptr<StatusServer> server = ListeningServer(state);
    if (!server) {
        return;
    }
    std::atomic<bool> done{false};
    std::atomic<int> failed{0};
    std::thread client;
    GuiLoop loop;
    int64_t requests = 0;
    for (auto _ : state) {
        done = false;
        client = std::thread([&] {
            failed += Request(server->Port(), "/api/status") ? 0 : 1;
            done = true;
            g_main_context_wakeup(loop.context);
        });
        loop.Run(done);
        client.join();
        ++requests;
    }
    state.counters["failed"] = failed.load();
    state.counters["longest_dispatch_ms"] = loop.longest_dispatch_ms;
}
BENCHMARK(BM_StatusRequest)->Unit(benchmark::kMicrosecond)->UseRealTime();

// 1000 requests from 8 clients at once: how late the 100 ms timer comes, and
// the longest the GUI thread was held by one dispatch.
void BM_BurstJitter(benchmark::State& state) {
    const std::unique_ptr<StatusServer> server = ListeningServer(state);
    if (!server) {
        return;
    }
    GuiLoop loop;
    std::atomic<int> answered{0};
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::vector<std::thread> clients;
        std::atomic<int> left{8};
        for (int c = 0; c < 8; ++c) {
            clients.emplace_back([&] {
                for (int i = 0; i < 125; ++i) {
                    answered += Request(server->Port(), "/api/status") ? 1 : 0;
                }
                if (--left == 0) {
                    done = true;
                    g_main_context_wakeup(loop.context);
                }
            });
        }
        loop.Run(done);
        for (std::thread& client : clients) {
            client.join();
        }
    }
    std::vector<double> late = loop.lateness_ms;
    std::sort(late.begin(), late.end());
    state.counters["answered"] = answered.load();
    state.counters["timer_ticks"] = static_cast<double>(late.size());
    state.counters["late_max_ms"] = late.empty() ? 0 : late.back();
    state.counters["late_p50_ms"] = late.empty() ? 0 : late[late.size() / 2];
    state.counters["longest_dispatch_ms"] = loop.longest_dispatch_ms;
}
BENCHMARK(BM_BurstJitter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace flextor
