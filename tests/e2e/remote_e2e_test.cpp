// Watching the running program from elsewhere: the real program on the
// simulated plant under the test's own Xvfb, with Remote.ini switching on the
// status page and MQTT on free ports of 127.0.0.1; asked through curl, a
// headless chromium and Debian's mosquitto broker and mosquitto_sub.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <thread>

#include "e2e/fake_phone_server.h"
#include "e2e/headless_browser.h"
#include "e2e/running_program.h"
#include "owsim/sim_bus.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr seconds kStartLimit{60};
constexpr int kRoles = 6;
// The plant's six role temperatures in tenths; the column's (role 3) is 78.5.
constexpr int kTenths[kRoles] = {245, 312, 785, 924, 287, 620};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A TCP socket from the loopback address from to to:port (-1 when refused);
// listening instead when to is empty.
int Socket(const char* from, const char* to, uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, from, &address.sin_addr);
    address.sin_port = htons(*to == '\0' ? port : 0);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (*to == '\0' && listen(fd, 16) != 0)) {
        close(fd);
        return -1;
    }
    if (*to != '\0') {
        inet_pton(AF_INET, to, &address.sin_addr);
        address.sin_port = htons(port);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            return -1;
        }
    }
    return fd;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

struct Answer {
    int status = 0;  // 0: no answer
    std::string body;
};

// One request through curl.
Answer Get(const std::string& url, const std::vector<std::string>& options = {}) {
    std::vector<std::string> args = {"-s", "--max-time", "10", "-o", "-", "-w", "\n%{http_code}"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(url);
    const RunResult run = RunProgram("/usr/bin/curl", args);
    const size_t last = run.output.rfind('\n');
    Answer answer;
    if (last != std::string::npos) {
        answer.status = std::atoi(run.output.c_str() + last + 1);
        answer.body = run.output.substr(0, last);
    }
    return answer;
}

// Sends bytes on a new connection to the port and reads until the server closes
// it (or limit passes); what came back.
std::string RawExchange(uint16_t port, const std::string& bytes, milliseconds limit) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    timeval timeout{static_cast<time_t>(limit.count() / 1000),
                    static_cast<suseconds_t>(limit.count() % 1000 * 1000)};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        static_cast<void>(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
        char buffer[4096];
        for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            reply.append(buffer, static_cast<size_t>(n));
        }
    }
    close(fd);
    return reply;
}

class RemoteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Running()) {
            GTEST_SKIP() << "Xvfb could not be started: there is no display for the program";
        }
        program = InstallProgram("flextor", dir.path());
        ASSERT_TRUE(bus.Start());
        std::string sensors;
        for (int role = 1; role <= kRoles; ++role) {
            const owsim::RomCode rom = bus.AddSensor(0x28, 0xC0DE00 + role, kTenths[role - 1]);
            roles.push_back(rom);
            int64_t id = 0;
            std::memcpy(&id, rom.data(), sizeof id);
            const std::string n = std::to_string(role);
            sensors += "ID_" + n + " = " + std::to_string(id) + "\nUse_" + n + " = " + n + "\n";
        }
        settings_text = "\xEF\xBB\xBF\n[Sensor]\nPortName = " + bus.PortName() +
                        "\nSerial = 0\nSensorsCount = 6\n" + sensors;
        WriteFile(dir / "Setting.ini", settings_text);
        http_port = FreePort();
    }

    // The page on address, MQTT on mqtt_port when not 0.
    void WriteRemote(const std::string& address, uint16_t mqtt_port = 0) {
        std::string text = "[Http]\nEnabled = 1\nAddress = " + address +
                           "\nPort = " + std::to_string(http_port) + "\n";
        if (mqtt_port != 0) {
            text += "[Mqtt]\nEnabled = 1\nPort = " + std::to_string(mqtt_port) +
                    "\nPrefix = test/still\nKeepAlive = 5\n";
        }
        WriteFile(dir / "Remote.ini", text);
    }

    // Starts the program and waits until its log says awaited (it has begun to serve).
    void Start(std::vector<std::string> env = {},
               const std::string& awaited = "Страница состояния") {
        env.push_back("DISPLAY=" + server.Display());
        env.push_back(gpio.EnvironmentEntry());
        run = std::make_unique<RunningProgram>(program, std::vector<std::string>{}, env,
                                               dir / "output.txt");
        ASSERT_TRUE(run->Started());
        ASSERT_TRUE(WaitUntil(
            [&] { return Contains(MessageLog(), awaited) || run->WaitForExit(milliseconds(0)); },
            kStartLimit))
            << run->Output();
    }

    std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const {
        return "http://" + host + ":" + std::to_string(http_port) + path;
    }

    // Waits until role 3 reads tenths through /api/status.
    bool ColumnReads(double degrees, const std::string& query = "") {
        return WaitUntil(
            [&] {
                const Answer answer = Get(Url("/api/status" + query));
                const auto json = nlohmann::json::parse(answer.body, nullptr, false);
                // The window's text comes with the next logic cycle after the value.
                return answer.status == 200 && json.is_object() &&
                       json["temperatures"][2]["value"] == degrees &&
                       json["temperatures"][2]["text"] != "Нет данных";
            },
            kStartLimit);
    }

    // The newest run's message log.
    std::string MessageLog() const {
        std::error_code error;
        std::filesystem::path newest;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "Log", error)) {
            if (!entry.path().filename().string().starts_with("Termo_") &&
                (newest.empty() || entry.last_write_time() > last_write_time(newest))) {
                newest = entry.path();
            }
        }
        return newest.empty() ? "" : ReadFile(newest);
    }

    PrivateXServer server;
    TempDir dir;
    FakeGpioFolder gpio;
    owsim::SimBus bus;
    std::vector<owsim::RomCode> roles;
    std::filesystem::path program;
    std::string settings_text;
    uint16_t http_port = 0;
    std::unique_ptr<RunningProgram> run;
};

TEST_F(RemoteTest, LoopbackPageJsonAndChartWithoutAToken) {
    WriteRemote("127.0.0.1");
    Start();
    ASSERT_TRUE(ColumnReads(78.5)) << MessageLog();
    const auto status = nlohmann::json::parse(Get(Url("/api/status")).body);
    EXPECT_EQ(status["temperatures"][2]["name"], "д. Колонна");
    EXPECT_EQ(status["temperatures"][2]["text"], "78.5 °C");
    EXPECT_EQ(status["temperatures"][3]["value"], 92.4);
    EXPECT_EQ(status["columns"].size(), 3u);
    EXPECT_TRUE(status["port_open"].get<bool>());
    EXPECT_TRUE(Contains(status["log"].dump(), "Страница состояния: http://127.0.0.1:"));

    const Answer page = Get(Url("/"));
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(Contains(page.body, "<title>Флекстор: состояние</title>"));
    // The chart as the window draws it, 960 x 400 (PNG's IHDR: width, height).
    const Answer chart = Get(Url("/chart.png"));
    EXPECT_EQ(chart.status, 200);
    ASSERT_GE(chart.body.size(), 24u);
    EXPECT_TRUE(chart.body.starts_with("\x89PNG\r\n"));
    EXPECT_EQ(chart.body.substr(16, 8), std::string("\0\0\x03\xC0\0\0\x01\x90", 8));
    EXPECT_EQ(Get(Url("/api/other")).status, 404);

    // The token is made on the first enable, for the owner's eyes only; Setting.ini
    // keeps its bytes.
    EXPECT_TRUE(Contains(ReadFile(dir / "Remote.ini"), "\nToken = "))
        << ReadFile(dir / "Remote.ini");
    struct stat info {};
    ASSERT_EQ(stat((dir / "Remote.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_TRUE(run->Signal(SIGTERM));
    ASSERT_TRUE(run->WaitForExit(seconds(15)));
    EXPECT_EQ(ReadFile(dir / "Setting.ini"), settings_text);
}

TEST_F(RemoteTest, AnotherAddressWantsTheTokenAndLogsRefusalsOnceAMinute) {
    WriteRemote("127.0.0.2");
    Start();
    const std::string remote = ReadFile(dir / "Remote.ini");
    const size_t at = remote.find("Token = ");
    ASSERT_NE(at, std::string::npos);
    const std::string token = remote.substr(at + 8, 64);
    const std::string host = "127.0.0.2";
    struct Case {
        std::string query;
        std::vector<std::string> options;
        int status;
    };
    const Case cases[] = {
        {"", {}, 401},
        {"?token=" + token.substr(0, 63), {}, 401},
        {"?token=" + token + "0", {}, 401},
        {"?token=" + std::string(64, '0'), {}, 401},
        {"", {"-H", "Authorization: Bearer wrong"}, 401},
        {"?token=" + token, {}, 200},
        {"", {"-H", "Authorization: Bearer " + token}, 200},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Get(Url("/api/status" + c.query, host), c.options).status, c.status) << c.query;
    }
    EXPECT_EQ(Get(Url("/", host)).status, 401);
    EXPECT_EQ(Get(Url("/chart.png", host)).status, 401);
    const std::string log = MessageLog();
    const std::string refusal = "Страница состояния: отказано в доступе с адреса 127.0.0.1";
    EXPECT_TRUE(Contains(log, refusal)) << log;
    EXPECT_EQ(log.find(refusal), log.rfind(refusal)) << log;
}

TEST_F(RemoteTest, BadRequestsGetClearErrorsAndTheProgramGoesOn) {
    WriteRemote("127.0.0.1");
    Start();
    struct Case {
        const char* what;
        std::string request;
        const char* reply;  // how the answer begins; "" for a closed connection
    };
    const Case cases[] = {
        {"garbage", "GARBAGE\r\n\r\n", "HTTP/1.0 400"},
        {"binary", std::string("\x00\xff\r\n\r\n", 6), "HTTP/1.0 400"},
        {"post", "POST /api/status HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\nab",
         "HTTP/1.1 405"},
        {"body", "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 4\r\n\r\nabcd", "HTTP/1.1 413"},
        {"unknown path",
         "GET /../etc/passwd HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(http_port) + "\r\n\r\n",
         "HTTP/1.1 40"},
        {"huge headers",
         "GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(200000, 'a') + "\r\n\r\n", ""},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(RawExchange(http_port, c.request, seconds(8)).starts_with(c.reply)) << c.what;
    }
    // A client that connects and says nothing is cut off after its 5 s, and
    // others are answered meanwhile.
    const auto silent_start = std::chrono::steady_clock::now();
    std::thread silent([&] { EXPECT_EQ(RawExchange(http_port, "", seconds(20)), ""); });
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(Get(Url("/api/status")).status, 200);
    silent.join();
    EXPECT_LT(std::chrono::steady_clock::now() - silent_start, seconds(8));

    // A thousand requests, fifty at a time: each answered, some with "busy".
    std::string list;
    for (int i = 0; i < 1000; ++i) {
        list += "url = \"" + Url("/api/status") + "\"\noutput = /dev/null\n";
    }
    WriteFile(dir / "burst.txt", list);
    const RunResult burst = RunProgram("/usr/bin/curl",
                                       {"-s", "--parallel", "--parallel-max", "50", "-K",
                                        (dir / "burst.txt").string(), "-w", "%{http_code}\n"},
                                       {}, 60000);
    int ok = 0;
    int busy = 0;
    std::string line;
    for (char c : burst.output + "\n") {
        if (c != '\n' && c != '\r') {
            line += c;
            continue;
        }
        ok += line == "200";
        busy += line == "503";
        line.clear();
    }
    EXPECT_EQ(ok + busy, 1000) << burst.output.substr(0, 400);
    EXPECT_GT(ok, 0);
    EXPECT_FALSE(run->WaitForExit(milliseconds(0))) << run->Output();
    ASSERT_TRUE(ColumnReads(78.5));
}

// What was tried from outside, a row each: the program started on the row's
// Remote.ini ($HTTP, $MQTT: the ports; $SILENT: a listener that never answers),
// up once its log says awaited. Strangers come from 127.0.0.3, the token
// holder from 127.0.0.4, to a page on 127.0.0.2.
TEST_F(RemoteTest, WhatStrangersTriedIsClosed) {
    const std::string token = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    const std::string page2 =
        "[Http]\nEnabled = 1\nAddress = 127.0.0.2\nPort = $HTTP\nToken = " + token + "\n";
    const uint16_t mqtt_port = FreePort();
    const uint16_t silent_port = FreePort();
    const int silent = Socket("127.0.0.1", "", silent_port);
    ASSERT_GE(silent, 0);
    std::unique_ptr<RunningProgram> broker;
    if (access("/usr/sbin/mosquitto", X_OK) == 0 && access("/usr/bin/mosquitto_sub", X_OK) == 0) {
        broker = std::make_unique<RunningProgram>(
            "/usr/sbin/mosquitto", std::vector<std::string>{"-p", std::to_string(mqtt_port)},
            std::vector<std::string>{}, dir / "broker.txt");
    }
    std::atomic<int> turned_away{0};  // the stranger's connections answered at once
    const auto stranger_flood = [&](std::atomic<bool>& stop) {
        std::vector<int> fds(20, -1);  // each opened again once the page lets it go
        for (char byte; !stop; std::this_thread::sleep_for(milliseconds(5))) {
            for (int& fd : fds) {
                const ssize_t got = fd < 0 ? 0 : recv(fd, &byte, 1, MSG_DONTWAIT);
                turned_away += got > 0;
                if (fd < 0 || got >= 0 || errno != EAGAIN) {
                    close(fd);
                    fd = Socket("127.0.0.3", "127.0.0.2", http_port);
                }
            }
        }
        std::for_each(fds.begin(), fds.end(), close);
    };
    struct Row {
        const char* finding;
        std::string remote;
        std::string awaited;
        bool broker;
        std::function<void()> check;
    };
    const Row rows[] = {
        {"20 idle sockets of a stranger, the favicon, a NUL after the token", page2,
         "Страница состояния: http", false,
         [&] {
             std::atomic<bool> stop{false};
             std::thread stranger(stranger_flood, std::ref(stop));
             // Once the page has the stranger's sockets in hand, more than it will hold.
             EXPECT_TRUE(WaitUntil([&] { return turned_away > 0; }, seconds(10)));
             int answered = 0;
             for (int i = 0; i < 10; ++i) {
                 answered += Get(Url("/api/status?token=" + token, "127.0.0.2"),
                                 {"--interface", "127.0.0.4"})
                                 .status == 200;
             }
             stop = true;
             stranger.join();
             EXPECT_EQ(answered, 10);
             EXPECT_EQ(Get(Url("/favicon.ico", "127.0.0.2")).status, 204);
             EXPECT_FALSE(Contains(MessageLog(), "отказано")) << MessageLog();
             EXPECT_EQ(Get(Url("/api/status?token=" + token + "%00", "127.0.0.2")).status, 401);
         }},
        {"another name for 127.0.0.1 in Host", "[Http]\nEnabled = 1\nPort = $HTTP\n",
         "Страница состояния: http", false,
         [&] {
             const std::string port = std::to_string(http_port);
             EXPECT_EQ(Get(Url("/"), {"-H", "Host: rebound.example:" + port}).status, 421);
             EXPECT_EQ(Get(Url("/"), {"-H", "Host: 127.0.0.1:1"}).status, 421);
             EXPECT_EQ(Get(Url("/"), {"-H", "Host: LocalHost:" + port}).status, 200);
         }},
        {"a one-character token", "[Http]\nEnabled = 1\nAddress = 127.0.0.2\nToken = x\n",
         "Token короче 32 знаков", false,
         [&] {
             EXPECT_EQ(Get(Url("/api/status?token=x", "127.0.0.2")).status, 0);
             EXPECT_TRUE(Contains(ReadFile(dir / "Remote.ini"), "Token = x\n"));
         }},
        {"ports 70000 and 0", "[Http]\nEnabled = 1\nPort = 70000\n[Mqtt]\nEnabled = 1\nPort = 0\n",
         "[Mqtt] Port = 0 не номер порта 1..65535, MQTT не запускается", false,
         [&] {
             const std::string log = MessageLog();
             EXPECT_TRUE(Contains(log,
                                  "[Http] Port = 70000 не номер порта 1..65535, "
                                  "страница состояния не запускается"))
                 << log;
             EXPECT_FALSE(Contains(log, "Страница состояния: http") ||
                          Contains(log, "MQTT: подключение"));
         }},
        {"a Cyrillic prefix", "[Mqtt]\nEnabled = 1\nPort = $MQTT\nPrefix = Моя\n",
         "MQTT: связь с брокером", true,
         [&] {
             EXPECT_TRUE(WaitUntil(
                 [&] {
                     return RunProgram("/usr/bin/mosquitto_sub", {"-p", std::to_string(mqtt_port),
                                                                  "-t", "Моя/status", "-W", "2"})
                         .output.starts_with("online");
                 },
                 seconds(20)));
         }},
        // A label over 63 characters fails in the C library before any query is sent.
        {"a broker name that does not resolve",
         "[Mqtt]\nEnabled = 1\nHost = " + std::string(70, 'x') + ".invalid\n",
         "MQTT: не найден адрес брокера", false,
         [&] {
             std::this_thread::sleep_for(seconds(8));  // looked up again at 1, 3 and 7 s
             EXPECT_EQ(Count(MessageLog(), "не найден адрес брокера"), 1u) << MessageLog();
         }},
        {"a broker that takes the connection and never answers",
         "[Mqtt]\nEnabled = 1\nPort = $SILENT\nKeepAlive = 5\n",
         "MQTT: брокер 127.0.0.1:$SILENT не ответил на подключение за 5 с", false,
         [&] {
             std::this_thread::sleep_for(seconds(8));  // tried again at 6 s, given up at 11 s
             EXPECT_EQ(Count(MessageLog(), "не ответил"), 1u) << MessageLog();
             int attempts = 0;
             for (int fd; (fd = accept4(silent, nullptr, nullptr, SOCK_NONBLOCK)) >= 0;) {
                 ++attempts;
                 close(fd);
             }
             EXPECT_GE(attempts, 2);
         }},
    };
    ASSERT_EQ(fcntl(silent, F_SETFL, O_NONBLOCK), 0);
    const auto ports = [&](std::string text) {
        for (const auto& [name, port] :
             {std::pair{"$HTTP", http_port}, {"$MQTT", mqtt_port}, {"$SILENT", silent_port}}) {
            for (size_t at; (at = text.find(name)) != std::string::npos;) {
                text.replace(at, std::strlen(name), std::to_string(port));
            }
        }
        return text;
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.finding);
        if (row.broker && broker == nullptr) {
            continue;  // mosquitto is not installed
        }
        std::filesystem::remove_all(dir / "Log");
        WriteFile(dir / "Remote.ini", ports(row.remote));
        Start({}, ports(row.awaited));
        ASSERT_TRUE(Contains(MessageLog(), ports(row.awaited))) << MessageLog();
        row.check();
        ASSERT_TRUE(run->Signal(SIGTERM));
        ASSERT_TRUE(run->WaitForExit(seconds(15)));
    }
    close(silent);
}

TEST_F(RemoteTest, BrowserShowsTheTemperaturesFollowsTheBusAndSeesTheProgramStop) {
    if (!HeadlessBrowser::Installed()) {
        GTEST_SKIP() << "chromium is not installed";
    }
    WriteRemote("127.0.0.1");
    Start();
    ASSERT_TRUE(ColumnReads(78.5));
    TempDir profile;
    HeadlessBrowser browser(Url("/"), profile.path());
    ASSERT_TRUE(browser.Ready());
    const std::string column =
        "document.querySelector('#temperatures tr[data-role=\"3\"] .v')"
        "?.textContent";
    ASSERT_TRUE(WaitUntil([&] { return browser.Evaluate(column) == "78.5 °C"; }, seconds(20)))
        << browser.Evaluate("document.body.innerText");
    EXPECT_EQ(browser.Evaluate("document.querySelector('#temperatures tr[data-role=\"4\"] "
                               ".v').textContent"),
              "92.4 °C");
    EXPECT_EQ(browser.Evaluate("document.getElementById('stale').style.display"), "none");

    ASSERT_TRUE(bus.SetTemperature(roles[2], 801));
    EXPECT_TRUE(WaitUntil([&] { return browser.Evaluate(column) == "80.1 °C"; }, seconds(20)))
        << browser.Evaluate(column);

    ASSERT_TRUE(run->Signal(SIGKILL));
    ASSERT_TRUE(run->WaitForExit(seconds(5)));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return browser.Evaluate("document.getElementById('stale').style.display") == "block";
        },
        seconds(20)));
    EXPECT_TRUE(Contains(browser.Evaluate("document.getElementById('stale').textContent"),
                         "Программа не отвечает"));
}

// The program's wall clock starts late in the day and runs ten times as fast, so
// the day soon has hundreds of samples. The page draws them with Debian's chart
// library in the settings' colours, takes the whole day once and then only the
// newer samples, without reloading.
TEST_F(RemoteTest, BrowserDrawsTheDaysChartAndAddsNewSamplesWithoutReloading) {
    const std::string faketime = FakeTimeLibrary();
    if (!HeadlessBrowser::Installed() || faketime.empty() ||
        access("/usr/share/javascript/dygraphs/dygraph.min.js", R_OK) != 0) {
        GTEST_SKIP() << "chromium, libfaketime or libjs-dygraphs is not installed";
    }
    WriteRemote("127.0.0.1");
    Start({"LD_PRELOAD=" + faketime, "FAKETIME=@2026-12-07 22:00:00 x10", "DONT_FAKE_MONOTONIC=1"});
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto json = nlohmann::json::parse(Get(Url("/api/status")).body, nullptr, false);
            return json.is_object() && json["chart_samples"].get<int>() >= 300;
        },
        kStartLimit));
    // Asked with another day's mark, the endpoint gives the whole day from index 0.
    const Answer plain = Get(Url("/api/history?since=5&first=1"));
    const Answer zipped = Get(Url("/api/history"), {"-H", "Accept-Encoding: gzip"});
    ASSERT_EQ(plain.status, 200);
    ASSERT_GE(plain.body.size(), 48u);
    EXPECT_EQ(plain.body.substr(4, 4), std::string(4, '\0'));
    EXPECT_TRUE(zipped.body.starts_with("\x1f\x8b")) << zipped.body.size();

    TempDir profile;
    HeadlessBrowser browser(Url("/"), profile.path());
    ASSERT_TRUE(browser.Ready());
    const auto rows = [&] {
        return std::atoi(browser.Evaluate("graph ? graph.numRows() : 0").c_str());
    };
    ASSERT_TRUE(WaitUntil([&] { return rows() >= 300; }, seconds(20)))
        << browser.Evaluate("document.body.innerText");
    EXPECT_EQ(browser.Evaluate("document.querySelectorAll('#graph canvas').length > 0"), "true");
    EXPECT_EQ(browser.Evaluate("graph.getColors()[0]"), "#d20069");  // the settings' first trace
    EXPECT_EQ(browser.Evaluate("graph.getValue(graph.numRows() - 1, 3)"), "78.5");
    browser.Evaluate("window.sameLoad = 1");
    const int loaded = rows();
    EXPECT_TRUE(WaitUntil([&] { return rows() >= loaded + 20; }, seconds(20))) << rows();
    EXPECT_EQ(browser.Evaluate("window.sameLoad"), "1");
    const std::string whole_day =
        "performance.getEntriesByType('resource').filter(e => "
        "e.name.includes('api/history?since=0'))";
    EXPECT_EQ(browser.Evaluate(whole_day + ".length"), "1");
    const int bytes = std::atoi(browser.Evaluate(whole_day + "[0].encodedBodySize").c_str());
    EXPECT_GT(bytes, 0);
    EXPECT_LT(bytes, 1 << 20);
    std::cout << "first load of " << loaded << " samples: " << bytes << " bytes as sent, "
              << plain.body.size() << " without gzip\n";
}

// The broker is down when the program starts: the page answers all the same,
// and once the broker is up the program connects, says "online", announces its
// sensors and publishes its state; killed, it turns "offline" by its last will.
TEST_F(RemoteTest, MqttReconnectsPublishesDiscoveryAndTurnsOfflineWhenKilled) {
    if (access("/usr/sbin/mosquitto", X_OK) != 0 || access("/usr/bin/mosquitto_sub", X_OK) != 0) {
        GTEST_SKIP() << "mosquitto or mosquitto_sub is not installed";
    }
    const uint16_t mqtt_port = FreePort();
    WriteRemote("127.0.0.1", mqtt_port);
    Start();
    ASSERT_TRUE(ColumnReads(78.5));
    RunningProgram broker("/usr/sbin/mosquitto", {"-p", std::to_string(mqtt_port)}, {},
                          dir / "broker.txt");
    ASSERT_TRUE(broker.Started());
    const auto retained = [&](const std::string& topic) {
        return RunProgram("/usr/bin/mosquitto_sub",
                          {"-p", std::to_string(mqtt_port), "-t", topic, "-v", "-W", "2"})
            .output;
    };
    ASSERT_TRUE(
        WaitUntil([&] { return Contains(retained("test/still/status"), "online"); }, seconds(40)))
        << MessageLog();
    const std::string state = retained("test/still/#");
    EXPECT_TRUE(Contains(state, "test/still/temperature/3 78.5\n")) << state;
    EXPECT_TRUE(Contains(state, "test/still/temperature/4 92.4\n")) << state;
    EXPECT_TRUE(Contains(state, "test/still/column/1/state stopped\n")) << state;
    EXPECT_TRUE(Contains(state, "test/still/alarm OFF\n")) << state;
    const std::string config = retained("homeassistant/sensor/test_still/temperature_3/config");
    const size_t json = config.find('{');
    ASSERT_NE(json, std::string::npos) << config;
    const auto discovery = nlohmann::json::parse(config.substr(json, config.rfind('}') + 1 - json));
    EXPECT_EQ(discovery["state_topic"], "test/still/temperature/3");
    EXPECT_EQ(discovery["availability_topic"], "test/still/status");

    ASSERT_TRUE(bus.SetTemperature(roles[2], 802));
    EXPECT_TRUE(WaitUntil([&] { return Contains(retained("test/still/temperature/3"), " 80.2\n"); },
                          seconds(20)));

    ASSERT_TRUE(run->Signal(SIGKILL));
    ASSERT_TRUE(run->WaitForExit(seconds(5)));
    EXPECT_TRUE(
        WaitUntil([&] { return Contains(retained("test/still/status"), "offline"); }, seconds(20)));
    EXPECT_TRUE(Contains(MessageLog(), "MQTT: связь с брокером 127.0.0.1:" +
                                           std::to_string(mqtt_port) + " установлена"));
}

// Every instance of the program in folder, restarted ones too.
std::vector<pid_t> InstancesOf(const std::filesystem::path& program) {
    std::vector<pid_t> pids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::error_code unreadable;
        const auto exe = std::filesystem::read_symlink(entry.path() / "exe", unreadable);
        if (!unreadable && exe == program) {
            pids.push_back(std::stoi(entry.path().filename().string()));
        }
    }
    return pids;
}

// A failure on the GUI thread restarts the program, and the new instance serves
// the page and says "online" again.
TEST_F(RemoteTest, AfterACrashRestartThePageAndMqttComeBack) {
    if (access("/usr/sbin/mosquitto", X_OK) != 0 || access("/usr/bin/mosquitto_sub", X_OK) != 0) {
        GTEST_SKIP() << "mosquitto or mosquitto_sub is not installed";
    }
    const uint16_t mqtt_port = FreePort();
    RunningProgram broker("/usr/sbin/mosquitto", {"-p", std::to_string(mqtt_port)}, {},
                          dir / "broker.txt");
    ASSERT_TRUE(broker.Started());
    WriteRemote("127.0.0.1", mqtt_port);
    Start({"FLEXTOR_TEST_FAULTS=1"});
    ASSERT_TRUE(ColumnReads(78.5));
    const pid_t first = run->Pid();
    ASSERT_TRUE(run->Signal(SIGSEGV));
    ASSERT_TRUE(run->WaitForExit(seconds(20)));
    const auto others = [&] {
        std::vector<pid_t> pids = InstancesOf(program);
        std::erase(pids, first);
        return pids;
    };
    ASSERT_TRUE(WaitUntil([&] { return !others().empty(); }, kStartLimit)) << run->Output();
    EXPECT_TRUE(ColumnReads(78.5));
    const std::string status = "test/still/status";
    EXPECT_TRUE(WaitUntil(
        [&] {
            return RunProgram("/usr/bin/mosquitto_sub",
                              {"-p", std::to_string(mqtt_port), "-t", status, "-W", "2"})
                .output.starts_with("online");
        },
        seconds(30)));
    for (pid_t pid : others()) {
        kill(pid, SIGKILL);
    }
}

// The broker's name resolves to ::1 first and the broker listens on IPv4 only:
// every address of the name is tried, and the program connects. The name comes
// from a hosts file of the test's own (nss_wrapper).
TEST_F(RemoteTest, MqttTriesEveryAddressOfTheBrokersName) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a preloaded library cannot come before the sanitizer's";
#endif
    std::string wrapper;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib", error)) {
        if (std::filesystem::exists(entry.path() / "libnss_wrapper.so")) {
            wrapper = (entry.path() / "libnss_wrapper.so").string();
        }
    }
    if (wrapper.empty() || access("/usr/sbin/mosquitto", X_OK) != 0) {
        GTEST_SKIP() << "libnss-wrapper or mosquitto is not installed";
    }
    const uint16_t mqtt_port = FreePort();
    WriteFile(dir / "broker.conf",
              "listener " + std::to_string(mqtt_port) + " 127.0.0.1\nallow_anonymous true\n");
    RunningProgram broker("/usr/sbin/mosquitto", {"-c", (dir / "broker.conf").string()}, {},
                          dir / "broker.txt");
    ASSERT_TRUE(broker.Started());
    WriteFile(dir / "hosts", "::1 broker.test\n127.0.0.1 broker.test\n");
    WriteRemote("127.0.0.1", mqtt_port);
    std::string remote = ReadFile(dir / "Remote.ini");
    remote.replace(remote.find("[Mqtt]\n"), 7, "[Mqtt]\nHost = broker.test\n");
    WriteFile(dir / "Remote.ini", remote);
    Start({"LD_PRELOAD=" + wrapper, "NSS_WRAPPER_HOSTS=" + (dir / "hosts").string()});
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Contains(MessageLog(), "MQTT: связь с брокером broker.test:" +
                                              std::to_string(mqtt_port) + " установлена");
        },
        seconds(20)))
        << MessageLog();
}

// The phone's channels and the heartbeat on one fake server, with the secrets
// the log must never show.
constexpr const char kBotToken[] = "123456:SECRET-bot-token";
constexpr const char kNtfyToken[] = "tk_secretntfytoken";
constexpr const char kBeatPath[] = "/ping/secret-beat-uuid";

std::string PhoneRemote(const std::string& url, const char* level, int beat_seconds) {
    return "[Telegram]\nEnabled = 1\nBotToken = " + std::string(kBotToken) +
           "\nChatId = 4242\nApiUrl = " + url + "\n[Ntfy]\nEnabled = 1\nServer = " + url +
           "\nTopic = still\nToken = " + kNtfyToken + "\n[Heartbeat]\nUrl = " + url + kBeatPath +
           "\nSeconds = " + std::to_string(beat_seconds) + "\n[Notify]\nLevel = " + level +
           "\nName = Гараж\n";
}

std::vector<FakeRequest> NtfyPosts(const FakePhoneServer& fake) {
    std::vector<FakeRequest> posts;
    for (const FakeRequest& request : fake.Requests()) {
        if (request.method == "POST" && request.path == "/") {
            posts.push_back(request);
        }
    }
    return posts;
}

std::string Press(const std::string& chat, uint64_t alert) {
    return R"("callback_query":{"id":"q)" + chat +
           R"(","from":{"id":7,"first_name":"Иван","username":"ivan"},"message":{"message_id":1,"chat":{"id":)" +
           chat + R"(}},"data":"ack:)" + std::to_string(alert) + "\"}";
}

// The condenser's alarm reaches Telegram with the "Принято" button and ntfy at
// priority 5 within 15 s; a 429 is waited out; a press from another chat is
// ignored and the configured chat's ends the repeats; the heartbeat is asked at
// start and every 2 s, and not while the GUI thread hangs. No secret reaches
// the log, standard error or the status page.
TEST_F(RemoteTest, AlarmReachesThePhoneAndTheHeartbeatFollowsTheControlLoop) {
    FakePhoneServer fake;
    ASSERT_TRUE(fake.Start());
    WriteRemote("127.0.0.1");
    WriteFile(dir / "Remote.ini",
              ReadFile(dir / "Remote.ini") + PhoneRemote(fake.Url(), "normal", 2));
    fake.RefuseMessages(1, 2);
    Start({"FLEXTOR_TEST_FAULTS=1"});
    ASSERT_TRUE(ColumnReads(78.5));
    // The condenser warms 10 °C a second, below the jump the checks catch.
    for (int tenths = 412; tenths <= 912; tenths += 100) {
        ASSERT_TRUE(bus.SetTemperature(roles[1], tenths));
        std::this_thread::sleep_for(milliseconds(1100));
    }
    ASSERT_TRUE(bus.SetTemperature(roles[1], 950));
    const auto hot = std::chrono::steady_clock::now();
    const auto alarm_sent = [&] {
        for (const FakeRequest& r : fake.Requests("/sendMessage")) {
            if (Contains(r.body, "Авария")) {
                return nlohmann::json::parse(r.body);
            }
        }
        return nlohmann::json();
    };
    ASSERT_TRUE(WaitUntil([&] { return !alarm_sent().is_null(); }, seconds(15))) << MessageLog();
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const FakeRequest& r : NtfyPosts(fake)) {
                if (Contains(r.body, "Авария")) {
                    return true;
                }
            }
            return false;
        },
        seconds(15)));
    EXPECT_LT(std::chrono::steady_clock::now() - hot, seconds(15));
    const nlohmann::json message = alarm_sent();
    EXPECT_EQ(message["chat_id"], "4242");
    EXPECT_TRUE(Contains(message["text"], "Гараж, ")) << message.dump();
    EXPECT_TRUE(Contains(message["text"], "Авария: Превышение порога датчика 2 (ав. Конденсатор)"))
        << message.dump();
    EXPECT_TRUE(Contains(message["text"], "ав. Конденсатор 9"));  // 91.2 or more
    const auto& button = message["reply_markup"]["inline_keyboard"][0][0];
    EXPECT_EQ(button["text"], "Принято");
    const std::string data = button["callback_data"];
    ASSERT_TRUE(data.starts_with("ack:"));
    for (const FakeRequest& r : NtfyPosts(fake)) {
        const auto ntfy = nlohmann::json::parse(r.body);
        EXPECT_EQ(r.authorization, std::string("Bearer ") + kNtfyToken);
        EXPECT_EQ(ntfy["topic"], "still");
        if (Contains(ntfy["title"], "Авария")) {
            EXPECT_EQ(ntfy["priority"], 5);
            EXPECT_EQ(ntfy["title"], "Гараж: Авария");
        }
    }
    // The first message ("Программа запущена") got a 429: sent again 2 s later.
    const std::vector<FakeRequest> sends = fake.Requests("/sendMessage");
    ASSERT_GE(sends.size(), 2u);
    EXPECT_EQ(sends[0].body, sends[1].body);
    EXPECT_GE(sends[1].at - sends[0].at, milliseconds(1900));
    EXPECT_EQ(Count(MessageLog(), "Telegram: сообщение не отправлено (HTTP 429"), 1u)
        << MessageLog();

    const uint64_t alert = std::stoull(data.substr(4));
    fake.AddUpdate(Press("999", alert));
    ASSERT_TRUE(
        WaitUntil([&] { return fake.Requests("/answerCallbackQuery").size() == 1; }, seconds(10)));
    fake.AddUpdate(Press("4242", alert));
    EXPECT_TRUE(WaitUntil(
        [&] { return Contains(MessageLog(), "Гараж: Авария» принято в Telegram: Иван (@ivan), "); },
        seconds(10)))
        << MessageLog();
    EXPECT_EQ(Count(MessageLog(), "принято в Telegram"), 1u);

    // The heartbeat: at start, then every 2 s; none while the GUI thread hangs.
    std::vector<FakeRequest> beats = fake.Requests(kBeatPath);
    ASSERT_GE(beats.size(), 3u);
    for (size_t i = 1; i < beats.size(); ++i) {
        EXPECT_GE(beats[i].at - beats[i - 1].at, milliseconds(1500));
        EXPECT_LE(beats[i].at - beats[i - 1].at, milliseconds(3500));
    }
    ASSERT_TRUE(run->Signal(SIGUSR1));
    std::this_thread::sleep_for(seconds(1));
    const size_t before = fake.Requests(kBeatPath).size();
    std::this_thread::sleep_for(seconds(6));
    EXPECT_EQ(fake.Requests(kBeatPath).size(), before);

    const std::string status = Get(Url("/api/status")).body;
    for (const std::string& told : {MessageLog(), run->Output(), status}) {
        for (const char* secret : {kBotToken, kNtfyToken, "secret-beat-uuid"}) {
            EXPECT_FALSE(Contains(told, secret)) << told;
        }
    }
}

// A server that is down: the failure is logged once, the messages wait in the
// queue's file across a restart and go, in order, once it answers. A start after
// the program was killed sends the outputs guard's line.
TEST_F(RemoteTest, MessagesWaitForAServerThatIsDownAcrossARestart) {
    const uint16_t port = FreePort();
    WriteRemote("127.0.0.1");
    const std::string url = "http://127.0.0.1:" + std::to_string(port);
    WriteFile(dir / "Remote.ini", ReadFile(dir / "Remote.ini") + PhoneRemote(url, "normal", 2));
    Start();
    ASSERT_TRUE(WaitUntil([&] { return Contains(MessageLog(), "Сигнал «жив» не отправлен"); },
                          seconds(20)));
    std::this_thread::sleep_for(seconds(6));  // tries go on, logged once
    ASSERT_TRUE(run->Signal(SIGTERM));
    ASSERT_TRUE(run->WaitForExit(seconds(15)));
    const std::string first_log = MessageLog();
    EXPECT_EQ(Count(first_log, "Telegram: сообщение не отправлено ("), 1u) << first_log;
    EXPECT_EQ(Count(first_log, "ntfy: сообщение не отправлено ("), 1u) << first_log;
    EXPECT_EQ(Count(first_log, "Сигнал «жив» не отправлен ("), 1u) << first_log;
    EXPECT_TRUE(Contains(first_log, "http://127.0.0.1:" + std::to_string(port) + "/***"));
    const std::string queue = ReadFile(dir / "Notify.json");
    EXPECT_EQ(Count(queue, "Гараж: Программа запущена"), 2u) << queue;  // one per channel
    EXPECT_EQ(Count(queue, "Гараж: Программа закрыта"), 2u) << queue;

    FakePhoneServer fake;
    ASSERT_TRUE(fake.Start(port));
    std::filesystem::remove_all(dir / "Log");
    Start();
    ASSERT_TRUE(WaitUntil([&] { return fake.Requests("/sendMessage").size() >= 3; }, seconds(20)));
    const std::vector<FakeRequest> sends = fake.Requests("/sendMessage");
    EXPECT_TRUE(Contains(sends[0].body, "Программа запущена"));
    EXPECT_TRUE(Contains(sends[1].body, "Программа закрыта"));
    EXPECT_TRUE(Contains(sends[2].body, "Программа запущена"));
    EXPECT_GE(sends[1].at - sends[0].at, milliseconds(900));  // one a second at most
    EXPECT_TRUE(WaitUntil([&] { return NtfyPosts(fake).size() >= 3; }, seconds(10)));
    EXPECT_FALSE(fake.Requests(kBeatPath).empty());

    // Killed: the next start finds the outputs guard's line and sends it as urgent.
    ASSERT_TRUE(run->Signal(SIGKILL));
    ASSERT_TRUE(run->WaitForExit(seconds(5)));
    ASSERT_TRUE(WaitUntil([&] { return Contains(MessageLog(), "Программа завершилась аварийно"); },
                          seconds(10)));
    Start();
    const auto guard_sent = [&] {
        for (const FakeRequest& r : fake.Requests("/sendMessage")) {
            if (Contains(r.body, "сторож выключил выходы: Программа завершилась аварийно") &&
                Contains(r.body, "\"Принято\"")) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(WaitUntil(guard_sent, seconds(20)));
}

}  // namespace
}  // namespace flextor::test
