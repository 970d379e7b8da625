#include "app/remote/status_server.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <set>
#include <string_view>
#include <vector>

#include "app/remote/status_page.h"
#include "base/text/utf8.h"
#include "core/remote/access_token.h"
#include "core/remote/remote_settings.h"

namespace flextor {
namespace {

constexpr int64_t kRefusalLogPeriodMs = 60000;

// One accepted connection, watched until it is gone: its time limits and its
// place in the count.
struct Watched {
    StatusServer::Impl* impl;
    GSocketConnection* connection;  // not owned: libsoup holds it
    std::string peer;               // counted under this address
    int64_t accepted_ms = 0;
    guint timer = 0;  // the request head's deadline, then the connection's
};

int64_t NowMs() {
    return g_get_monotonic_time() / 1000;
}

// The remote address of a connection as text; empty when there is none.
std::string PeerOf(GSocketConnection* connection) {
    GSocketAddress* remote = g_socket_connection_get_remote_address(connection, nullptr);
    std::string peer;
    if (remote != nullptr && G_IS_INET_SOCKET_ADDRESS(remote)) {
        gchar* text = g_inet_address_to_string(
            g_inet_socket_address_get_address(G_INET_SOCKET_ADDRESS(remote)));
        peer = PeerAddress(text);
        g_free(text);
    }
    g_clear_object(&remote);
    return peer;
}

// The token of the query as its exact bytes, a NUL or any other byte kept
// (libsoup's decoded query ends a value at a NUL). The first "token" counts;
// false when there is none or it is not decodable.
bool QueryToken(SoupServerMessage* msg, std::string& token) {
    const char* query = g_uri_get_query(soup_server_message_get_uri(msg));
    if (query == nullptr) {
        return false;
    }
    static constexpr std::string_view kKey = "token=";
    for (std::string_view rest = query; !rest.empty();) {
        const size_t end = std::min(rest.find('&'), rest.size());
        const std::string_view param = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!param.starts_with(kKey)) {
            continue;
        }
        const std::string_view value = param.substr(kKey.size());
        GBytes* bytes =
            g_uri_unescape_bytes(value.data(), static_cast<gssize>(value.size()), nullptr, nullptr);
        if (bytes == nullptr) {
            return false;
        }
        gsize size = 0;
        const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
        token.assign(data != nullptr ? data : "", size);
        g_bytes_unref(bytes);
        return true;
    }
    return false;
}

void SetText(SoupServerMessage* msg, guint status, const char* type, const std::string& body) {
    soup_server_message_set_status(msg, status, nullptr);
    soup_server_message_set_response(msg, type, SOUP_MEMORY_COPY, body.data(), body.size());
}

void SetChart(SoupServerMessage* msg, const std::string& png) {
    if (png.empty()) {
        SetText(msg, SOUP_STATUS_SERVICE_UNAVAILABLE, "text/plain; charset=utf-8",
                "График недоступен\n");
    } else {
        SetText(msg, SOUP_STATUS_OK, "image/png", png);
    }
}

// One connection too many: a short answer written without waiting (it fits any
// socket buffer), then the connection is closed.
void Refuse(GSocketConnection* connection) {
    static constexpr char kBusy[] =
        "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\nRetry-After: 2\r\n"
        "Content-Length: 0\r\n\r\n";
    GSocket* socket = g_socket_connection_get_socket(connection);
    g_socket_set_blocking(socket, FALSE);
    static_cast<void>(g_socket_send(socket, kBusy, sizeof kBusy - 1, nullptr, nullptr));
    static_cast<void>(g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr));
}

}  // namespace

struct StatusServer::Impl {
    StatusServerOptions options;
    StatusSources sources;
    SoupServer* server = nullptr;
    GSocketService* service = nullptr;
    uint16_t port = 0;
    std::set<Watched*> open;
    ConnectionQuota quota{ConnectionLimits{}};
    std::vector<SoupServerMessage*> waiting_chart;  // paused, one reference each
    RateLimit refusals{kRefusalLogPeriodMs};
    bool failure_logged = false;

    ~Impl() {
        for (SoupServerMessage* msg : waiting_chart) {
            g_object_unref(msg);
        }
        for (Watched* watched : open) {
            g_object_weak_unref(G_OBJECT(watched->connection), OnGone, watched);
            if (watched->timer != 0) {
                g_source_remove(watched->timer);
            }
            delete watched;
        }
        if (service != nullptr) {
            g_socket_service_stop(service);
            g_socket_listener_close(G_SOCKET_LISTENER(service));
            g_object_unref(service);
        }
        if (server != nullptr) {
            soup_server_disconnect(server);
            g_object_unref(server);
        }
    }

    static void OnGone(gpointer data, GObject* /*connection*/) {
        auto* watched = static_cast<Watched*>(data);
        if (watched->timer != 0) {
            g_source_remove(watched->timer);
        }
        watched->impl->quota.Release(watched->peer);
        watched->impl->open.erase(watched);
        delete watched;
    }

    // A client that has not been answered in time loses its connection; libsoup
    // then sees the end of the stream and lets it go.
    static gboolean OnTimeLimit(gpointer data) {
        auto* watched = static_cast<Watched*>(data);
        watched->timer = 0;
        GSocket* socket = g_socket_connection_get_socket(watched->connection);
        static_cast<void>(g_socket_shutdown(socket, TRUE, TRUE, nullptr));
        return G_SOURCE_REMOVE;
    }

    static gboolean OnIncoming(GSocketService* /*service*/, GSocketConnection* connection,
                               GObject* /*source*/, gpointer data) {
        auto* impl = static_cast<Impl*>(data);
        std::string peer = PeerOf(connection);
        if (peer.empty() || !impl->quota.Take(peer)) {
            Refuse(connection);
            return TRUE;
        }
        GSocketAddress* local = g_socket_connection_get_local_address(connection, nullptr);
        GSocketAddress* remote = g_socket_connection_get_remote_address(connection, nullptr);
        if (local == nullptr || remote == nullptr ||
            !soup_server_accept_iostream(impl->server, G_IO_STREAM(connection), local, remote,
                                         nullptr)) {
            static_cast<void>(g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr));
            impl->quota.Release(peer);
        } else {
            auto* watched = new Watched{impl, connection, std::move(peer), NowMs()};
            watched->timer = g_timeout_add(static_cast<guint>(impl->options.head_limit_ms),
                                           OnTimeLimit, watched);
            g_object_weak_ref(G_OBJECT(connection), OnGone, watched);
            impl->open.insert(watched);
        }
        g_clear_object(&local);
        g_clear_object(&remote);
        return TRUE;
    }

    // After the headers, before any body: only GET and HEAD, without a body. A body
    // is still read by libsoup, but dropped chunk by chunk instead of kept, and
    // the connection's time limit ends a long one.
    // The request head is in: the rest of the connection's time applies now.
    void HeadArrived(GSocket* socket) {
        for (Watched* watched : open) {
            if (g_socket_connection_get_socket(watched->connection) != socket) {
                continue;
            }
            if (watched->timer != 0) {
                g_source_remove(watched->timer);
            }
            const int64_t left = options.connection_limit_ms - (NowMs() - watched->accepted_ms);
            watched->timer =
                g_timeout_add(static_cast<guint>(std::max<int64_t>(left, 0)), OnTimeLimit, watched);
            return;
        }
    }

    // A handler that fails answers 500 and the program goes on: nothing a
    // request brings (or a file it makes the server read) may end it. Logged
    // once a run, so that a page asking every 30 s does not fill the log.
    void Failed(SoupServerMessage* msg, const char* path, const char* what) {
        SetText(msg, SOUP_STATUS_INTERNAL_SERVER_ERROR, "text/plain; charset=utf-8",
                "Внутренняя ошибка при ответе на запрос\n");
        if (!failure_logged && sources.failed) {
            failure_logged = true;
            sources.failed(ValidUtf8(path != nullptr ? path : "?"), ValidUtf8(what));
        }
    }

    template <typename Handler>
    static void Guarded(gpointer data, SoupServerMessage* msg, const char* path, Handler handler) {
        try {
            handler();
        } catch (const std::exception& e) {
            static_cast<Impl*>(data)->Failed(msg, path, e.what());
        } catch (...) {
            static_cast<Impl*>(data)->Failed(msg, path, "исключение неизвестного типа");
        }
    }

    static void OnHeaders(SoupServer* /*server*/, SoupServerMessage* msg, const char* path,
                          GHashTable* /*query*/, gpointer data) {
        Guarded(data, msg, path, [&] { static_cast<Impl*>(data)->AnswerHeaders(msg); });
    }

    static void OnRequest(SoupServer* /*server*/, SoupServerMessage* msg, const char* path,
                          GHashTable* query, gpointer data) {
        Guarded(data, msg, path, [&] { static_cast<Impl*>(data)->Answer(msg, path, query); });
    }

    void AnswerHeaders(SoupServerMessage* msg) {
        HeadArrived(soup_server_message_get_socket(msg));
        SoupMessageHeaders* request = soup_server_message_get_request_headers(msg);
        const SoupEncoding encoding = soup_message_headers_get_encoding(request);
        const bool body = (encoding == SOUP_ENCODING_CONTENT_LENGTH &&
                           soup_message_headers_get_content_length(request) > 0) ||
                          encoding == SOUP_ENCODING_CHUNKED || encoding == SOUP_ENCODING_EOF;
        SoupMessageHeaders* response = soup_server_message_get_response_headers(msg);
        soup_message_headers_replace(response, "Connection", "close");
        const char* method = soup_server_message_get_method(msg);
        if (std::strcmp(method, "GET") != 0 && std::strcmp(method, "HEAD") != 0) {
            soup_message_headers_replace(response, "Allow", "GET, HEAD");
            SetText(msg, SOUP_STATUS_METHOD_NOT_ALLOWED, "text/plain; charset=utf-8",
                    "Только чтение: разрешены GET и HEAD\n");
        } else if (body) {
            SetText(msg, SOUP_STATUS_REQUEST_ENTITY_TOO_LARGE, "text/plain; charset=utf-8",
                    "Запрос с телом не принимается\n");
        }
        if (body) {
            soup_message_body_set_accumulate(soup_server_message_get_request_body(msg), FALSE);
        }
    }

    // Headers hold no NUL (libsoup refuses such a request), so the Bearer value
    // is whole; the query's token is decoded here to its exact bytes.
    bool TokenGiven(SoupServerMessage* msg) const {
        std::string given;
        if (const char* bearer = soup_message_headers_get_one(
                soup_server_message_get_request_headers(msg), "Authorization");
            bearer != nullptr && std::strncmp(bearer, "Bearer ", 7) == 0) {
            given = bearer + 7;
        } else if (!QueryToken(msg, given)) {
            return false;
        }
        return TokenMatches(given, options.token);
    }

    // Sets the refusal's answer and logs it, once a minute at most; false then.
    bool Authorised(SoupServerMessage* msg) {
        const char* why = nullptr;
        if (IsLoopbackAddress(options.address)) {
            const char* host =
                soup_message_headers_get_one(soup_server_message_get_request_headers(msg), "Host");
            if (host != nullptr && IsLoopbackHost(host, port)) {
                return true;
            }
            why = "заголовок Host не называет этот компьютер";
            SetText(msg, SOUP_STATUS_MISDIRECTED_REQUEST, "text/plain; charset=utf-8",
                    "Страница отвечает только по адресу http://127.0.0.1:" + std::to_string(port) +
                        "/\n");
        } else if (TokenGiven(msg)) {
            return true;
        } else {
            why = "неверный ключ доступа";
            SetText(msg, SOUP_STATUS_UNAUTHORIZED, "text/plain; charset=utf-8",
                    "Нужен ключ доступа: добавьте ?token=... из файла Remote.ini\n");
        }
        if (refusals.Allow(NowMs()) && sources.refused) {
            const char* address = soup_server_message_get_remote_host(msg);
            sources.refused(address != nullptr ? address : "?", why);
        }
        return false;
    }

    void Answer(SoupServerMessage* msg, const char* path, GHashTable* query) {
        soup_message_headers_replace(soup_server_message_get_response_headers(msg), "Cache-Control",
                                     "no-store");
        const std::string where = path;
        if (where == "/favicon.ico") {
            // Every browser asks for it on its own, token or not: not a refusal.
            soup_server_message_set_status(msg, SOUP_STATUS_NO_CONTENT, nullptr);
            return;
        }
        if (!Authorised(msg)) {
            return;
        }
        if (where == "/") {
            SetText(msg, SOUP_STATUS_OK, "text/html; charset=utf-8", StatusPageHtml());
        } else if (where == "/api/status") {
            SetText(msg, SOUP_STATUS_OK, "application/json", sources.json());
        } else if (where == "/chart.png") {
            std::string png;
            if (sources.chart(png)) {
                SetChart(msg, png);
            } else {
                // Answered by ChartReady; the message is kept until then.
                waiting_chart.push_back(SOUP_SERVER_MESSAGE(g_object_ref(msg)));
                soup_server_message_pause(msg);
            }
        } else if (IsJournalPath(where) && sources.journal) {
            const JournalAnswer answer = sources.journal(where);
            SetText(msg, answer.status, "application/json", answer.body);
        } else if (sources.more && sources.more(msg, where, query)) {
            // answered there
        } else {
            SetText(msg, SOUP_STATUS_NOT_FOUND, "text/plain; charset=utf-8", "Не найдено\n");
        }
    }
};

StatusServer::StatusServer(StatusServerOptions options, StatusSources sources)
    : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->sources = std::move(sources);
    impl_->quota = ConnectionQuota(impl_->options.limits);
}

StatusServer::~StatusServer() = default;

bool StatusServer::Start(std::string& error) {
    Impl& impl = *impl_;
    impl.server = soup_server_new("server-header", "flextor", nullptr);
    soup_server_add_early_handler(impl.server, nullptr, Impl::OnHeaders, &impl, nullptr);
    soup_server_add_handler(impl.server, nullptr, Impl::OnRequest, &impl, nullptr);
    GSocketAddress* address =
        g_inet_socket_address_new_from_string(impl.options.address.c_str(), impl.options.port);
    if (address == nullptr) {
        error = "адрес " + impl.options.address + " не понят";
        return false;
    }
    impl.service = g_socket_service_new();
    GSocketAddress* effective = nullptr;
    GError* failure = nullptr;
    const bool listening = g_socket_listener_add_address(
        G_SOCKET_LISTENER(impl.service), address, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP,
        nullptr, &effective, &failure);
    g_object_unref(address);
    if (!listening) {
        error = failure != nullptr ? failure->message : "?";
        g_clear_error(&failure);
        return false;
    }
    impl.port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(effective));
    g_object_unref(effective);
    g_signal_connect(impl.service, "incoming", G_CALLBACK(Impl::OnIncoming), &impl);
    g_socket_service_start(impl.service);
    return true;
}

uint16_t StatusServer::Port() const {
    return impl_->port;
}

void StatusServer::ChartReady(const std::string& png) {
    std::vector<SoupServerMessage*> waiting;
    waiting.swap(impl_->waiting_chart);
    for (SoupServerMessage* msg : waiting) {
        SetChart(msg, png);
        soup_server_message_unpause(msg);
        g_object_unref(msg);
    }
}

}  // namespace flextor
