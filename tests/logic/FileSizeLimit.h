#pragma once

#include <csignal>
#include <sys/resource.h>

namespace tv::test {

// Runs `write` with files capped at `bytes`, as on a disk that fills up part way; the
// cap's signal is ignored, so the write sees the error EFBIG instead.
template <class F> auto WithFileSizeLimit(rlim_t bytes, F&& write) {
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const auto result = write();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

} // namespace tv::test
