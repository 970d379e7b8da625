// GET /api/history?since=N&first=T: the day's chart samples for the status page
// (the format: core/remote/history_encoding.h). With first the day's mark and N
// at most the day's samples, the answer holds the samples from index N on; else
// the whole day from index 0. GUI thread only, like the chart it reads.
//
// A whole day compressed costs milliseconds, so it is compressed in a worker
// and kept: a page opening later is given that copy even when a minute old, and
// takes the newer samples with its next request. Requests that come while the
// first copy is made wait, paused, for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/gui_wakeup.h"

typedef struct _SoupServerMessage SoupServerMessage;
typedef struct _GHashTable GHashTable;

namespace flextor {

// A kept day older than this many samples is made again at the next request.
inline constexpr size_t kHistoryRenewSamples = 60;

class HistoryEndpoint {
  public:
    HistoryEndpoint();
    ~HistoryEndpoint();  // waits for the worker; the waiting requests are let go
    HistoryEndpoint(const HistoryEndpoint&) = delete;
    HistoryEndpoint& operator=(const HistoryEndpoint&) = delete;

    // Answers msg now or pauses it until the whole day's copy is ready.
    void Answer(SoupServerMessage* msg, GHashTable* query);

  private:
    // The whole day's answer as gzip, made when the day had `end` samples.
    struct DayCopy {
        int32_t mark = 0;
        size_t end = 0;
        std::string gzip;
    };

    void StartCompressing();
    void OnCompressed();
    void JoinWorker();

    std::optional<DayCopy> kept_;
    DayCopy making_;  // the worker's copy: its mark and end; the bytes come back
    bool working_ = false;
    std::thread worker_;
    std::mutex made_mutex_;
    std::optional<std::string> made_;          // guarded by made_mutex_
    std::vector<SoupServerMessage*> waiting_;  // paused, one reference each
    GuiWakeup compressed_;
};

}  // namespace flextor
