// Answers compressed for clients that take gzip (zlib's gzip wrapping, RFC 1952).
#pragma once

#include <optional>
#include <string>

typedef struct _SoupServerMessage SoupServerMessage;

namespace flextor {

// zlib's level 1: the page's answers are mostly repeated small bytes, where the
// higher levels cost several times the time for a few per cent.
inline constexpr int kGzipLevel = 1;

// bytes as a gzip stream; nullopt when zlib fails (no memory).
[[nodiscard]] std::optional<std::string> Gzip(const std::string& bytes, int level = kGzipLevel);

// The request's Accept-Encoding takes gzip (a quality of 0 refuses it).
bool AcceptsGzip(SoupServerMessage* msg);

// A 200 answer of type with body; given gzipped when zipped is set.
void SetBody(SoupServerMessage* msg, const char* type, const std::string& body, bool zipped);

}  // namespace flextor
