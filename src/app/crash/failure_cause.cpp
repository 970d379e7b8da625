#include "app/crash/failure_cause.h"

#include <glibmm.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>

#include "base/text/utf8.h"

namespace flextor {
namespace {

constexpr size_t kCauseCapacity = 400;

char cause[kCauseCapacity] = {};
std::atomic<bool> cause_claimed{false};
std::atomic<bool> cause_ready{false};

// The exception in flight as text; called inside a catch or a terminate handler.
void RecordCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        RecordFailureCause(e.what());
    } catch (...) {
        RecordFailureCause("исключение неизвестного типа");
    }
}

[[noreturn]] void OnTerminate() {
    if (std::current_exception() != nullptr) {
        RecordCurrentException();
        std::fprintf(stderr, "flextor: unhandled exception: %s\n", FailureCause());
    } else {
        RecordFailureCause("std::terminate без исключения");
    }
    std::fflush(stderr);
    std::abort();  // the failure path takes it from here
}

// glibmm calls this for an exception that leaves a signal handler or a main-loop
// callback; rethrown, it goes on to glibmm's own handler, which aborts.
void OnToolkitException() {
    RecordCurrentException();
    throw;
}

}  // namespace

void InstallExceptionReport() {
    std::set_terminate(OnTerminate);
    Glib::add_exception_handler(sigc::ptr_fun(OnToolkitException));
}

void RecordFailureCause(const char* text) {
    if (cause_claimed.exchange(true)) {
        return;  // the first cause is the one that counts
    }
    size_t size = std::strlen(text);
    if (size >= kCauseCapacity) {
        size = kCauseCapacity - 1;
        // Cut before a character that would not fit whole.
        while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
            --size;
        }
    }
    std::memcpy(cause, text, size);
    cause[size] = '\0';
    if (!IsValidUtf8(std::string_view(cause, size))) {
        for (size_t i = 0; i < size; ++i) {
            if (static_cast<unsigned char>(cause[i]) >= 0x80) {
                cause[i] = '?';
            }
        }
    }
    cause_ready.store(true);
}

const char* FailureCause() {
    return cause_ready.load() ? cause : "";
}

}  // namespace flextor
