// libFuzzer target: loading a model file. Whatever the bytes, reading must end with true or
// with a message, never with a crash, a hang or undefined behaviour; a model that loaded
// keeps its structural values in range.

#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/ModelFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tv::Model model;
    static tv::SilentHost host;
    static tv::ModelFile file(model, host, ".");
    const int fd = memfd_create("model", 0);
    if (fd < 0) return 0;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const bool read = file.ReadModelFile("/proc/self/fd/" + std::to_string(fd));
    close(fd);
    if (!read) return 0;
    // What loading promises: period lengths and lags in range, nothing after the last period.
    bool ok = model.Switch[22] >= 1 && model.Switch[22] <= 15 && model.Switch[23] >= 1 &&
              model.Switch[23] <= 15;
    for (const tv::Expectation& e : model.Expect)
        ok = ok && e.Lags >= 1 && e.Lags <= 5;
    for (int t = file.LastFilePeriod() + 1; ok && t <= tv::LastPeriod; ++t)
        ok = model.ModelPar(t, 31) == 0;
    if (!ok) __builtin_trap();
    return 0;
}
