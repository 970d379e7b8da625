#include "app/remote/http_worker.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <charconv>

namespace flextor {

struct HttpWorker::Call {
    HttpWorker* worker = nullptr;
    uint64_t id = 0;
    bool drop_at_stop = false;
    SoupMessage* message = nullptr;
    GCancellable* cancellable = nullptr;
    GSource* timeout = nullptr;
};

HttpWorker::HttpWorker(std::function<void()> wake) : wake_(std::move(wake)) {}

HttpWorker::~HttpWorker() {
    Stop(0);
}

bool HttpWorker::Start() {
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        g_main_loop_unref(loop_);
        g_main_context_unref(context_);
        loop_ = nullptr;
        context_ = nullptr;
        return false;
    }
    return true;
}

void HttpWorker::Run() {
    g_main_context_push_thread_default(context_);
    SoupSession* session = soup_session_new_with_options("user-agent", "flextor", nullptr);
    session_ = session;
    g_main_loop_run(loop_);
    // Every call has ended: cut short ones report back before the loop quits.
    g_object_unref(session);
    session_ = nullptr;
    g_main_context_pop_thread_default(context_);
}

uint64_t HttpWorker::Submit(HttpRequest request) {
    uint64_t id = 0;
    {
        std::lock_guard lock(mutex_);
        if (stopped_ || context_ == nullptr) {
            return 0;
        }
        id = request.id = next_id_++;
        pending_.push_back(std::move(request));
    }
    g_main_context_invoke(context_, &HttpWorker::StartPending, this);
    return id;
}

std::vector<HttpResult> HttpWorker::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(results_, {});
}

gboolean HttpWorker::StartPending(gpointer self) {
    auto* worker = static_cast<HttpWorker*>(self);
    std::vector<HttpRequest> pending;
    {
        std::lock_guard lock(worker->mutex_);
        pending.swap(worker->pending_);
    }
    for (HttpRequest& request : pending) {
        worker->Begin(std::move(request));
    }
    return G_SOURCE_REMOVE;
}

void HttpWorker::Begin(HttpRequest request) {
    SoupMessage* message = soup_message_new(request.method.c_str(), request.url.c_str());
    if (message == nullptr) {
        Done(nullptr, HttpResult{request.id, 0, "", "адрес не годится", 0});
        return;
    }
    SoupMessageHeaders* headers = soup_message_get_request_headers(message);
    for (const auto& [name, value] : request.headers) {
        soup_message_headers_append(headers, name.c_str(), value.c_str());
    }
    if (!request.content_type.empty()) {
        GBytes* body = g_bytes_new(request.body.data(), request.body.size());
        soup_message_set_request_body_from_bytes(message, request.content_type.c_str(), body);
        g_bytes_unref(body);
    }
    auto* call = new Call{this,
                          request.id,
                          request.drop_at_stop,
                          message,
                          g_cancellable_new(),
                          g_timeout_source_new_seconds(static_cast<guint>(request.timeout_s))};
    g_source_set_callback(
        call->timeout,
        [](gpointer cancellable) {
            g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
            return G_SOURCE_REMOVE;
        },
        call->cancellable, nullptr);
    g_source_attach(call->timeout, context_);
    calls_.push_back(call);
    if (stopping_ && call->drop_at_stop) {
        g_cancellable_cancel(call->cancellable);
    }
    soup_session_send_and_read_async(static_cast<SoupSession*>(session_), message,
                                     G_PRIORITY_DEFAULT, call->cancellable, &HttpWorker::Finished,
                                     call);
}

void HttpWorker::Finished(GObject* source, GAsyncResult* result, gpointer data) {
    auto* call = static_cast<Call*>(data);
    GError* error = nullptr;
    GBytes* body = soup_session_send_and_read_finish(SOUP_SESSION(source), result, &error);
    HttpResult answer;
    answer.id = call->id;
    if (error != nullptr) {
        answer.error =
            g_cancellable_is_cancelled(call->cancellable) ? "нет ответа вовремя" : error->message;
        g_error_free(error);
    } else {
        answer.status = static_cast<int>(soup_message_get_status(call->message));
        gsize size = 0;
        const auto* bytes = static_cast<const char*>(g_bytes_get_data(body, &size));
        answer.body.assign(bytes == nullptr ? "" : bytes, size);
        const char* retry = soup_message_headers_get_one(
            soup_message_get_response_headers(call->message), "Retry-After");
        if (retry != nullptr) {
            const std::string_view text(retry);
            std::from_chars(text.data(), text.data() + text.size(), answer.retry_after);
        }
    }
    if (body != nullptr) {
        g_bytes_unref(body);
    }
    call->worker->Done(call, std::move(answer));
}

void HttpWorker::Done(Call* call, HttpResult result) {
    if (call != nullptr) {
        g_source_destroy(call->timeout);
        g_source_unref(call->timeout);
        g_object_unref(call->cancellable);
        g_object_unref(call->message);
        calls_.erase(std::ranges::find(calls_, call));
        delete call;
    }
    {
        std::lock_guard lock(mutex_);
        results_.push_back(std::move(result));
    }
    wake_();
    QuitWhenIdle();
}

void HttpWorker::QuitWhenIdle() {
    if (stopping_ && calls_.empty()) {
        g_main_loop_quit(loop_);
    }
}

gboolean HttpWorker::BeginStop(gpointer self) {
    auto* worker = static_cast<HttpWorker*>(self);
    worker->stopping_ = true;
    StartPending(self);
    for (Call* call : worker->calls_) {
        if (call->drop_at_stop) {
            g_cancellable_cancel(call->cancellable);
        }
    }
    worker->QuitWhenIdle();
    return G_SOURCE_REMOVE;
}

gboolean HttpWorker::Cut(gpointer self) {
    auto* worker = static_cast<HttpWorker*>(self);
    for (Call* call : worker->calls_) {
        g_cancellable_cancel(call->cancellable);
    }
    worker->QuitWhenIdle();
    return G_SOURCE_REMOVE;
}

void HttpWorker::Stop(int flush_ms) {
    {
        std::lock_guard lock(mutex_);
        if (stopped_ || context_ == nullptr) {
            return;
        }
        stopped_ = true;
    }
    g_main_context_invoke(context_, &HttpWorker::BeginStop, this);
    GSource* cut = g_timeout_source_new(static_cast<guint>(std::max(flush_ms, 0)));
    g_source_set_callback(cut, &HttpWorker::Cut, this, nullptr);
    g_source_attach(cut, context_);
    g_source_unref(cut);
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
    loop_ = nullptr;
}

}  // namespace flextor
