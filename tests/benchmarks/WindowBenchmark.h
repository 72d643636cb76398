#pragma once

#include <functional>

class QTemporaryDir;

namespace velkaro::test {

// What the benchmarks that open windows share: how they set up, and how they wait.
class WindowBenchmark final
{
public:
    WindowBenchmark() = delete;

    // The offscreen platform, and a settings folder of its own in dir, set before the application
    // is made; false, with the reason on standard error, without the temporary folder or the test
    // ODBC configuration.
    static bool Prepare(const QTemporaryDir& dir);
    // Serves the interface thread's events until done() or timeoutMs have passed; false on time-out.
    static bool WaitFor(const std::function<bool()>& done, int timeoutMs);
};

} // namespace velkaro::test
