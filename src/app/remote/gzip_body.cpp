#include "app/remote/gzip_body.h"

#include <libsoup/soup.h>
#include <zlib.h>

namespace flextor {

std::optional<std::string> Gzip(const std::string& bytes, int level) {
    z_stream stream{};
    constexpr int kGzipWindow = 15 + 16;  // the largest window, gzip's header and trailer
    if (deflateInit2(&stream, level, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return std::nullopt;
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    static_cast<void>(deflateEnd(&stream));  // only frees the stream's memory
    if (result != Z_STREAM_END) {
        return std::nullopt;
    }
    return out;
}

bool AcceptsGzip(SoupServerMessage* msg) {
    const char* header = soup_message_headers_get_list(soup_server_message_get_request_headers(msg),
                                                       "Accept-Encoding");
    if (header == nullptr) {
        return false;
    }
    GSList* acceptable = soup_header_parse_quality_list(header, nullptr);
    bool gzip = false;
    for (GSList* item = acceptable; item != nullptr; item = item->next) {
        gzip = gzip || g_ascii_strcasecmp(static_cast<const char*>(item->data), "gzip") == 0;
    }
    soup_header_free_list(acceptable);
    return gzip;
}

void SetBody(SoupServerMessage* msg, const char* type, const std::string& body, bool zipped) {
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(msg);
    soup_message_headers_replace(headers, "Vary", "Accept-Encoding");
    if (zipped) {
        soup_message_headers_replace(headers, "Content-Encoding", "gzip");
    }
    soup_server_message_set_status(msg, SOUP_STATUS_OK, nullptr);
    soup_server_message_set_response(msg, type, SOUP_MEMORY_COPY, body.data(), body.size());
}

}  // namespace flextor
