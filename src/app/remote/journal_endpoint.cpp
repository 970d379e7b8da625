#include "app/remote/journal_endpoint.h"

#include "core/journal/journal_json.h"

namespace flextor {
namespace {

constexpr const char kList[] = "/api/journal";
constexpr const char kEntryPrefix[] = "/api/journal/";
constexpr unsigned kOk = 200;

}  // namespace

bool IsJournalPath(const std::string& path) {
    return path == kList || path.starts_with(kEntryPrefix);
}

JournalAnswer AnswerJournal(const std::string& folder, const std::string& path) {
    if (path == kList) {
        return {kOk, folder.empty() ? std::string(R"({"runs":[]})") : JournalListJson(folder)};
    }
    JournalAnswer answer;
    if (!JournalEntryJson(folder, path.substr(sizeof kEntryPrefix - 1), answer.body)) {
        answer.body = R"({"error":"Нет такой записи журнала"})";
    } else {
        answer.status = kOk;
    }
    return answer;
}

}  // namespace flextor
