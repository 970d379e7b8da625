// What goes to the phone and when: the repeats of an urgent message under a
// fake clock, the queue's pace and retry times, a trouble logged once, the
// queue kept across a restart, the Bot API's answers read back, secrets masked
// and the previous run's end found in its log.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/log/message_log.h"
#include "core/notify/notifier.h"
#include "core/notify/previous_run.h"
#include "core/state/program_state.h"
#include "support/fake_clock.h"
#include "support/recording_log_view.h"

namespace flextor::test {
namespace {

constexpr int64_t kMinute = 60000;

class PhoneNotify : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetMessageLog();
        SetLogView(&log);
        ProgVar.Logic.Alarm = 0;
    }
    void TearDown() override {
        SetLogView(nullptr);
        ProgVar.Logic.Alarm = 0;
    }

    static NotifierOptions Both(NotifyLevel least = NotifyLevel::kHigh) {
        NotifierOptions options;
        options.channels = {true, true};
        options.least = least;
        options.name = "Гараж";
        options.first_id = 7;
        return options;
    }

    // Sends everything due on channel at now; the titles sent.
    std::vector<std::string> Drain(Notifier& notifier, int channel, int64_t& now) {
        std::vector<std::string> titles;
        for (int i = 0; i < 100; ++i, now += 1000) {
            const PhoneMessage* message = notifier.Next(channel, now);
            if (message == nullptr) {
                break;
            }
            titles.push_back(message->title);
            notifier.Sent(channel, now);
        }
        return titles;
    }

    size_t Logged(const std::string& part) const {
        size_t n = 0;
        for (const std::string& row : log.Texts()) {
            n += row.find(part) != std::string::npos;
        }
        return n;
    }

    RecordingLogView log;
    FakeClock clock{LocalTime{2026, 12, 8, 21, 0, 0}};
    ScopedClock scoped{clock};
};

// An urgent message comes again after 5, 15 and 30 minutes, then every 30,
// while its cause lasts; a press of "Принято" ends Telegram's and ntfy's
// repeats; ntfy alone stops when the cause ends.
TEST_F(PhoneNotify, UrgentRepeatsOnScheduleUntilAnsweredOrOver) {
    Notifier notifier(Both());
    ProgVar.Logic.Alarm = 1;
    int64_t now = 0;
    notifier.Raise({NotifyLevel::kUrgent, "Авария: Превышение порога датчика 2", kCauseAlarm},
                   clock.Now(), now, "ав. Конденсатор 91.2 °C");
    notifier.Raise({NotifyLevel::kUrgent, "Авария: Превышение порога датчика 2", kCauseAlarm},
                   clock.Now(), now, "");  // the same: kept once
    std::vector<int64_t> repeats;          // minutes at which a repeat was queued
    for (int64_t t = 0; t <= 125 * kMinute; t += 1000) {
        notifier.Tick(t, CauseLasts);
        int64_t at = t;
        const auto sent = Drain(notifier, kTelegramChannel, at);
        for (const std::string& title : sent) {
            if (title.starts_with("Повтор")) {
                repeats.push_back(t / kMinute);
            }
        }
        at = t;
        Drain(notifier, kNtfyChannel, at);
    }
    EXPECT_EQ(repeats, (std::vector<int64_t>{5, 15, 30, 60, 90, 120}));
    EXPECT_TRUE(notifier.Acknowledge(7, "Иван (@ivan)", LocalTime{2026, 12, 8, 23, 5, 0}));
    EXPECT_FALSE(notifier.Acknowledge(7, "Иван (@ivan)", LocalTime{}));
    EXPECT_EQ(Logged("Сообщение «Гараж: Авария» принято в Telegram: Иван (@ivan), 23:05:00"), 1u);
    notifier.Tick(200 * kMinute, CauseLasts);
    EXPECT_EQ(notifier.Waiting(kTelegramChannel) + notifier.Waiting(kNtfyChannel), 0u);

    // ntfy, which cannot answer, repeats while the cause lasts, then stops.
    NotifierOptions ntfy_only = Both();
    ntfy_only.channels = {false, true};
    Notifier ntfy(ntfy_only);
    ntfy.Raise({NotifyLevel::kUrgent, "Авария: x", kCauseAlarm}, clock.Now(), 0, "");
    ntfy.Tick(5 * kMinute, CauseLasts);
    EXPECT_EQ(ntfy.Waiting(kNtfyChannel), 2u);
    ProgVar.Logic.Alarm = 0;
    ntfy.Tick(15 * kMinute, CauseLasts);
    EXPECT_EQ(ntfy.Waiting(kNtfyChannel), 2u);
    EXPECT_EQ(ntfy.Alerts(), 0u);

    // Something over (the guard's line at a start) repeats in Telegram only.
    Notifier past(Both());
    past.Raise({NotifyLevel::kUrgent, "Программа зависла", ""}, clock.Now(), 0, "");
    past.Tick(5 * kMinute, CauseLasts);
    EXPECT_EQ(past.Waiting(kTelegramChannel), 2u);
    EXPECT_EQ(past.Waiting(kNtfyChannel), 1u);
}

// One message a second, a 429's retry time honoured, a channel's trouble
// logged once when it starts and once when it ends, a refused message dropped;
// the levels below the least one are not sent.
TEST_F(PhoneNotify, QueuePaceRetryTimesAndTroubleLoggedOnce) {
    Notifier notifier(Both(NotifyLevel::kNormal));
    for (const char* what : {"Программа запущена", "Колонна 2 (Дистилляция): работа завершена"}) {
        notifier.Raise({NotifyLevel::kNormal, what, ""}, clock.Now(), 0, "");
    }
    ASSERT_NE(notifier.Next(kTelegramChannel, 0), nullptr);
    EXPECT_EQ(notifier.Next(kTelegramChannel, 0), nullptr);  // one at a time
    notifier.Failed(kTelegramChannel, 0, "HTTP 429: Too Many Requests", 3, false);
    EXPECT_EQ(notifier.Next(kTelegramChannel, 2999), nullptr);
    ASSERT_NE(notifier.Next(kTelegramChannel, 3000), nullptr);
    notifier.Failed(kTelegramChannel, 3000, "Connection refused", 0, false);
    EXPECT_EQ(notifier.Next(kTelegramChannel, 7999), nullptr);  // a pause of 5 s
    const PhoneMessage* again = notifier.Next(kTelegramChannel, 8000);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->title, "Гараж: Программа запущена");
    notifier.Sent(kTelegramChannel, 8000);
    EXPECT_EQ(Logged("Telegram: сообщение не отправлено ("), 1u);
    EXPECT_EQ(Logged("(HTTP 429: Too Many Requests)"), 1u);
    EXPECT_EQ(Logged("Telegram: сообщения снова отправляются"), 1u);
    EXPECT_EQ(notifier.Next(kTelegramChannel, 8999), nullptr);  // one a second
    ASSERT_NE(notifier.Next(kTelegramChannel, 9000), nullptr);
    notifier.Failed(kTelegramChannel, 9000, "HTTP 400: Bad Request: chat not found", 0, true);
    EXPECT_EQ(notifier.Waiting(kTelegramChannel), 0u);
    notifier.Raise({NotifyLevel::kHigh, "Обнаружен скачок", ""}, clock.Now(), 0, "");
    ASSERT_NE(notifier.Next(kTelegramChannel, 20000), nullptr);
    notifier.Sent(kTelegramChannel, 20000);
    EXPECT_EQ(Logged("Telegram: сообщение не отправлено ("), 2u);
    EXPECT_EQ(Logged("Telegram: сообщения снова отправляются"), 2u);
    EXPECT_EQ(notifier.Waiting(kNtfyChannel), 3u);  // ntfy's queue is its own

    Notifier high(Both());
    high.Raise({NotifyLevel::kNormal, "Программа запущена", ""}, clock.Now(), 0, "");
    EXPECT_EQ(high.Waiting(kTelegramChannel), 0u);
}

// The queue and the alerts are kept in a file: a restart sends what was left
// and goes on with the repeats; a damaged file is refused whole.
TEST_F(PhoneNotify, QueueAndRepeatsSurviveARestart) {
    Notifier before(Both());
    ProgVar.Logic.Alarm = 1;
    before.Raise({NotifyLevel::kUrgent, "Авария: датчик 1", kCauseAlarm}, clock.Now(), 0, "");
    before.Raise({NotifyLevel::kHigh, "Программа была перезапущена", ""}, clock.Now(), 0, "");
    ASSERT_TRUE(before.TakeChanged());
    const std::string saved = before.SavedText(2 * kMinute);

    Notifier after(Both());
    ASSERT_TRUE(after.Restore(saved, 100 * kMinute));
    EXPECT_EQ(after.Waiting(kTelegramChannel), 2u);
    EXPECT_EQ(after.Waiting(kNtfyChannel), 2u);
    after.Tick(102 * kMinute, CauseLasts);
    EXPECT_EQ(after.Waiting(kTelegramChannel), 2u);
    after.Tick(103 * kMinute, CauseLasts);  // 5 minutes after the first sending
    EXPECT_EQ(after.Waiting(kTelegramChannel), 3u);
    const PhoneMessage* first = after.Next(kTelegramChannel, 103 * kMinute);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->id, 7u);
    EXPECT_TRUE(after.Acknowledge(7, "Иван", clock.Now()));

    for (const char* damaged : {"", "{", "[]", R"({"queues":[[{"id":1}]],"alerts":[]})",
                                R"({"queues":[],"alerts":[{"cause":1}]})"}) {
        Notifier fresh(Both());
        EXPECT_FALSE(fresh.Restore(damaged, 0)) << damaged;
        EXPECT_EQ(fresh.Waiting(kTelegramChannel), 0u);
    }
}

TEST_F(PhoneNotify, MessagesAsSentAndTheBotApisAnswersReadBack) {
    const NotifyEvent alarm{NotifyLevel::kUrgent,
                            "Авария: Превышение порога датчика 2 (ав. Конденсатор)! Температура "
                            "91.2  Порог 90.0",
                            kCauseAlarm};
    PhoneMessage message = ComposePhoneMessage("Гараж", alarm, LocalTime{2026, 12, 8, 21, 4, 5},
                                               "ав. Конденсатор 91.2 °C");
    message.id = 42;
    EXPECT_EQ(message.title, "Гараж: Авария");
    EXPECT_EQ(message.text,
              "Гараж, 08/12/2026 21:04:05\nАвария: Превышение порога датчика 2 (ав. Конденсатор)! "
              "Температура 91.2  Порог 90.0\nав. Конденсатор 91.2 °C");
    const auto telegram = nlohmann::json::parse(TelegramMessageJson("-100200", message));
    EXPECT_EQ(telegram["chat_id"], "-100200");
    EXPECT_EQ(telegram["reply_markup"]["inline_keyboard"][0][0]["text"], "Принято");
    EXPECT_EQ(telegram["reply_markup"]["inline_keyboard"][0][0]["callback_data"], "ack:42");
    const auto ntfy = nlohmann::json::parse(NtfyMessageJson("still", message));
    EXPECT_EQ(ntfy["priority"], 5);
    EXPECT_EQ(ntfy["title"], "Гараж: Авария");
    message.level = NotifyLevel::kHigh;
    message.id = 0;
    EXPECT_EQ(nlohmann::json::parse(NtfyMessageJson("still", message))["priority"], 4);
    EXPECT_FALSE(nlohmann::json::parse(TelegramMessageJson("1", message)).contains("reply_markup"));
    EXPECT_EQ(RepeatedMessage(message, 2).title, "Повтор 2: Гараж: Авария");

    const TelegramAnswer busy = ReadTelegramAnswer(
        R"({"ok":false,"error_code":429,"description":"Too Many Requests","parameters":{"retry_after":7}})");
    EXPECT_FALSE(busy.ok);
    EXPECT_EQ(busy.retry_after, 7);
    EXPECT_FALSE(ReadTelegramAnswer("<html>").ok);
    const TelegramUpdates updates = ReadTelegramUpdates(
        R"({"ok":true,"result":[{"update_id":5,"callback_query":{"id":"q1","from":{"id":9,"first_name":"Иван","username":"ivan"},"message":{"chat":{"id":-100200}},"data":"ack:42"}},)"
        R"({"update_id":6,"callback_query":{"id":"q2","from":{"id":3},"message":{"chat":{"id":1}},"data":"ack:x"}},{"update_id":"bad"}]})");
    ASSERT_TRUE(updates.ok);
    EXPECT_EQ(updates.next_offset, 7);
    ASSERT_EQ(updates.presses.size(), 2u);
    EXPECT_EQ(updates.presses[0].chat_id, "-100200");
    EXPECT_EQ(updates.presses[0].who, "Иван (@ivan)");
    EXPECT_EQ(updates.presses[0].alert, 42u);
    EXPECT_EQ(updates.presses[1].who, "3");
    EXPECT_EQ(updates.presses[1].alert, 0u);
    EXPECT_FALSE(ReadTelegramUpdates(R"({"ok":false})").ok);
}

TEST_F(PhoneNotify, SecretsAreMaskedAndThePreviousRunsEndIsFound) {
    EXPECT_EQ(
        MaskSecrets("POST https://api.example/bot12:AB/sendMessage failed, 12:AB", {"12:AB", ""}),
        "POST https://api.example/bot***/sendMessage failed, ***");
    EXPECT_EQ(MaskedUrl("https://hc.example:8443/ping/uuid?x=1"), "https://hc.example:8443/***");
    EXPECT_EQ(MaskedUrl("http://user:pw@host/x"), "http://host/***");
    EXPECT_EQ(MaskedUrl("http://host"), "http://host");

    const std::string guard =
        "[08/12/2026 21:00:01]  Программа завершилась аварийно: все выходы выключены.\n";
    const std::string limit =
        "[08/12/2026 21:00:00]  Превышено число перезапусков. Программа не была перезапущена!\n";
    EXPECT_EQ(PreviousRunEndings("[x]  Колонна запущена\n" + guard),
              (std::vector<std::string>{"Программа зависла или была остановлена, сторож выключил "
                                        "выходы: Программа завершилась аварийно: все выходы "
                                        "выключены."}));
    EXPECT_EQ(PreviousRunEndings(limit + guard).size(), 2u);
    EXPECT_EQ(PreviousRunEndings(limit + guard)[0],
              "Превышено число перезапусков. Программа не была перезапущена!");
    EXPECT_TRUE(PreviousRunEndings(guard + "[x]  Программа закрыта\n").empty());
    EXPECT_TRUE(PreviousRunEndings("").empty());
    EXPECT_EQ(PreviousRunEndings("[08/12/2026 21:00:02]  Программа не отвечала 15 с и остановлена "
                                 "сторожем выходов: все выходы выключены.\n"),
              (std::vector<std::string>{"Программа не отвечала 15 с и остановлена сторожем "
                                        "выходов: все выходы выключены."}));
}

}  // namespace
}  // namespace flextor::test
