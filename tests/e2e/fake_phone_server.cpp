#include "e2e/fake_phone_server.h"

#include <libsoup/soup.h>

#include <future>

namespace flextor::test {

struct FakePhoneServer::Impl {
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    SoupServer* server = nullptr;
};

namespace {

void Reply(SoupServerMessage* msg, int status, const std::string& body) {
    soup_server_message_set_status(msg, static_cast<guint>(status), nullptr);
    soup_server_message_set_response(msg, "application/json", SOUP_MEMORY_COPY, body.data(),
                                     body.size());
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

FakePhoneServer::~FakePhoneServer() {
    if (impl_ != nullptr) {
        g_main_context_invoke(
            impl_->context,
            [](gpointer loop) {
                g_main_loop_quit(static_cast<GMainLoop*>(loop));
                return G_SOURCE_REMOVE;
            },
            impl_->loop);
        thread_.join();
        delete impl_;
    }
}

bool FakePhoneServer::Start(uint16_t port) {
    impl_ = new Impl;
    impl_->context = g_main_context_new();
    impl_->loop = g_main_loop_new(impl_->context, FALSE);
    std::promise<uint16_t> listening;
    std::future<uint16_t> port_found = listening.get_future();
    thread_ = std::thread([this, port, &listening] {
        g_main_context_push_thread_default(impl_->context);
        impl_->server = soup_server_new(nullptr, nullptr);
        soup_server_add_handler(
            impl_->server, nullptr,
            [](SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*, gpointer self) {
                auto* server = static_cast<FakePhoneServer*>(self);
                SoupMessageBody* body = soup_server_message_get_request_body(msg);
                GBytes* bytes = soup_message_body_flatten(body);
                gsize size = 0;
                const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
                const char* authorization = soup_message_headers_get_one(
                    soup_server_message_get_request_headers(msg), "Authorization");
                FakeRequest request{soup_server_message_get_method(msg), path,
                                    std::string(data == nullptr ? "" : data, size),
                                    authorization == nullptr ? "" : authorization,
                                    std::chrono::steady_clock::now()};
                g_bytes_unref(bytes);
                std::lock_guard lock(server->mutex_);
                server->requests_.push_back(request);
                if (EndsWith(request.path, "/sendMessage") && server->refuse_ > 0) {
                    --server->refuse_;
                    const std::string after = std::to_string(server->retry_after_);
                    Reply(
                        msg, 429,
                        R"({"ok":false,"error_code":429,"description":"Too Many Requests: retry after )" +
                            after + R"(","parameters":{"retry_after":)" + after + "}}");
                } else if (EndsWith(request.path, "/sendMessage")) {
                    Reply(msg, 200,
                          R"({"ok":true,"result":{"message_id":)" +
                              std::to_string(server->requests_.size()) + "}}");
                } else if (EndsWith(request.path, "/getUpdates")) {
                    std::string result;
                    while (!server->updates_.empty()) {
                        result += (result.empty() ? "" : ",") + std::string(R"({"update_id":)") +
                                  std::to_string(server->update_id_++) + "," +
                                  server->updates_.front() + "}";
                        server->updates_.pop_front();
                    }
                    Reply(msg, 200, R"({"ok":true,"result":[)" + result + "]}");
                } else if (EndsWith(request.path, "/answerCallbackQuery")) {
                    Reply(msg, 200, R"({"ok":true,"result":true})");
                } else if (request.method == "POST") {
                    Reply(msg, 200, R"({"id":"x1","event":"message"})");
                } else {
                    Reply(msg, 200, "OK");
                }
            },
            this, nullptr);
        GError* error = nullptr;
        GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
        GSocketAddress* address = g_inet_socket_address_new(loopback, port);
        const bool ok = soup_server_listen(impl_->server, address,
                                           static_cast<SoupServerListenOptions>(0), &error);
        g_object_unref(address);
        g_object_unref(loopback);
        uint16_t bound = 0;
        if (ok) {
            GSList* uris = soup_server_get_uris(impl_->server);
            bound = static_cast<uint16_t>(g_uri_get_port(static_cast<GUri*>(uris->data)));
            g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
        } else {
            g_error_free(error);
        }
        listening.set_value(bound);
        if (ok) {
            g_main_loop_run(impl_->loop);
        }
        soup_server_disconnect(impl_->server);
        g_object_unref(impl_->server);
        g_main_context_pop_thread_default(impl_->context);
        g_main_loop_unref(impl_->loop);
        g_main_context_unref(impl_->context);
    });
    port_ = port_found.get();
    if (port_ == 0) {
        thread_.join();
        delete impl_;
        impl_ = nullptr;
    }
    return port_ != 0;
}

std::vector<FakeRequest> FakePhoneServer::Requests(const std::string& tail) const {
    std::lock_guard lock(mutex_);
    std::vector<FakeRequest> found;
    for (const FakeRequest& request : requests_) {
        if (EndsWith(request.path, tail)) {
            found.push_back(request);
        }
    }
    return found;
}

void FakePhoneServer::AddUpdate(const std::string& update_json) {
    std::lock_guard lock(mutex_);
    updates_.push_back(update_json);
}

void FakePhoneServer::RefuseMessages(int n, int retry_after) {
    std::lock_guard lock(mutex_);
    refuse_ = n;
    retry_after_ = retry_after;
}

}  // namespace flextor::test
