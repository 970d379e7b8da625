#include "app/remote/chart_library.h"

#include <libsoup/soup.h>

#include <map>
#include <string>
#include <string_view>

#include "app/remote/gzip_body.h"
#include "base/files/file_io.h"

namespace flextor {
namespace {

struct LibraryFile {
    const char* path;  // as the page asks for it
    const char* name;  // in the package's folder
    const char* type;
};

constexpr LibraryFile kFiles[] = {
    {"/dygraph.min.js", "dygraph.min.js", "text/javascript; charset=utf-8"},
    {"/dygraph.min.css", "dygraph.min.css", "text/css; charset=utf-8"},
};

// A file as last read and its gzip, so an unchanged file is not compressed again.
struct Compressed {
    std::string bytes;
    std::string gzip;
};

// The name is a view: gcc 14 takes a returned reference for one to a temporary
// string the argument would be made into, though it is to the kept entry.
const std::string& GzipOf(std::string_view name, const std::string& bytes, bool& zipped) {
    static std::map<std::string, Compressed> kept;
    Compressed& entry = kept[std::string(name)];
    if (entry.bytes != bytes || entry.gzip.empty()) {
        std::optional<std::string> gzip = Gzip(bytes, 6);  // once per version of the file
        entry.bytes = bytes;
        entry.gzip = gzip ? std::move(*gzip) : std::string();
    }
    zipped = !entry.gzip.empty();
    return zipped ? entry.gzip : entry.bytes;
}

}  // namespace

bool AnswerChartLibrary(SoupServerMessage* msg, const std::string& path) {
    for (const LibraryFile& file : kFiles) {
        if (path != file.path) {
            continue;
        }
        std::string bytes;
        if (!ReadWholeFile(std::string(kChartLibraryFolder) + file.name, bytes)) {
            static constexpr char kMissing[] =
                "Библиотека графиков не установлена (пакет libjs-dygraphs)\n";
            soup_server_message_set_status(msg, SOUP_STATUS_NOT_FOUND, nullptr);
            soup_server_message_set_response(msg, "text/plain; charset=utf-8", SOUP_MEMORY_STATIC,
                                             kMissing, sizeof kMissing - 1);
            return true;
        }
        // The package changes only with an upgrade: an hour in the phone's cache.
        soup_message_headers_replace(soup_server_message_get_response_headers(msg), "Cache-Control",
                                     "private, max-age=3600");
        bool zipped = false;
        const std::string& body = AcceptsGzip(msg) ? GzipOf(file.name, bytes, zipped) : bytes;
        SetBody(msg, file.type, body, zipped);
        return true;
    }
    return false;
}

}  // namespace flextor
