#include "WindowBenchmark.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace velkaro::test {

bool WindowBenchmark::Prepare(const QTemporaryDir& dir)
{
    if (!dir.isValid() || qEnvironmentVariableIsEmpty("ODBCSYSINI")) {
        std::fprintf(stderr, "needs a temporary folder and the test ODBC configuration "
                             "(source build/datasources/env.sh)\n");
        return false;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    return true;
}

bool WindowBenchmark::WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        // Sleeps until an event comes (a stall meter's ticks at the latest): a loop that spins here
        // takes a core from the worker and makes the work look slower than it is.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace velkaro::test
