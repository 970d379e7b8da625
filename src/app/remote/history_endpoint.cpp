#include "app/remote/history_endpoint.h"

#include <libsoup/soup.h>

#include <charconv>
#include <cstring>

#include "app/remote/gzip_body.h"
#include "core/chart/chart_model.h"
#include "core/log/message_log.h"
#include "core/remote/history_encoding.h"

namespace flextor {
namespace {

constexpr const char kType[] = "application/octet-stream";

// A whole decimal number from the query; nullopt when absent or not one.
template <typename Number>
std::optional<Number> QueryNumber(GHashTable* query, const char* name) {
    const auto* text =
        query != nullptr ? static_cast<const char*>(g_hash_table_lookup(query, name)) : nullptr;
    if (text == nullptr) {
        return std::nullopt;
    }
    Number value{};
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string EncodeDay(size_t start) {
    return EncodeHistory(Chart.history, start, Chart.history.size(), Chart.look.colours);
}

}  // namespace

HistoryEndpoint::HistoryEndpoint() {
    compressed_.Bind([this] { OnCompressed(); });
}

HistoryEndpoint::~HistoryEndpoint() {
    compressed_.Unbind();
    JoinWorker();
    for (SoupServerMessage* msg : waiting_) {
        g_object_unref(msg);
    }
}

void HistoryEndpoint::Answer(SoupServerMessage* msg, GHashTable* query) {
    const ChartHistory& history = Chart.history;
    const int32_t mark = HistoryMark(history);
    size_t since = QueryNumber<size_t>(query, "since").value_or(0);
    if (QueryNumber<int32_t>(query, "first") != mark || since > history.size()) {
        since = 0;  // another day, or none asked for: the whole of this one
    }
    const bool gzip = AcceptsGzip(msg);
    if (since > 0 || !gzip) {
        // A few samples, or a client without gzip: made here, in a millisecond at most.
        const std::string body = EncodeDay(since);
        const std::optional<std::string> zipped = gzip ? Gzip(body) : std::nullopt;
        SetBody(msg, kType, zipped ? *zipped : body, zipped.has_value());
        return;
    }
    if (kept_ && kept_->mark == mark && kept_->end <= history.size()) {
        SetBody(msg, kType, kept_->gzip, true);
        if (history.size() - kept_->end > kHistoryRenewSamples && !working_) {
            StartCompressing();
        }
        return;
    }
    waiting_.push_back(SOUP_SERVER_MESSAGE(g_object_ref(msg)));
    soup_server_message_pause(msg);
    if (!working_) {
        StartCompressing();
    }
}

// The samples are read here on the GUI thread (about a millisecond for a day);
// only the compression goes to the worker.
void HistoryEndpoint::StartCompressing() {
    JoinWorker();
    working_ = true;
    making_ = DayCopy{HistoryMark(Chart.history), Chart.history.size(), {}};
    worker_ = std::thread([this, body = EncodeDay(0), wake = compressed_.Waker()] {
        std::optional<std::string> gzip = Gzip(body);
        {
            std::lock_guard lock(made_mutex_);
            made_ = std::move(gzip);
        }
        wake();
    });
}

void HistoryEndpoint::OnCompressed() {
    std::optional<std::string> gzip;
    {
        std::lock_guard lock(made_mutex_);
        gzip = std::move(made_);
    }
    JoinWorker();
    working_ = false;
    const bool compressed = gzip.has_value();
    std::vector<SoupServerMessage*> waiting;
    waiting.swap(waiting_);
    if (compressed) {
        making_.gzip = std::move(*gzip);
        kept_ = std::move(making_);
    } else {
        AddLogMessage("Страница состояния: не удалось сжать график за день, отправлен несжатым",
                      kLevelWarning);
    }
    for (SoupServerMessage* msg : waiting) {
        if (compressed) {
            SetBody(msg, kType, kept_->gzip, true);
        } else {
            SetBody(msg, kType, EncodeDay(0), false);
        }
        soup_server_message_unpause(msg);
        g_object_unref(msg);
    }
}

void HistoryEndpoint::JoinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

}  // namespace flextor
