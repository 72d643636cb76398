// zindrel-batch: one data search from a terminal or a script, with the report on standard output
// or in files. Run it with --help for the options.

#include "common/StopSignals.h"
#include "search/batch/BatchOptions.h"
#include "search/batch/BatchRun.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace velkaro;

int main(int argc, char* argv[])
{
    // First, before any thread exists: the drivers may start threads of their own.
    StopSignals stopSignals;

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const BatchOptionsParse parse = ParseBatchOptions(arguments);
    if (parse.options.helpRequested) {
        std::fputs(BatchUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!parse.Ok()) {
        std::fprintf(stderr, "zindrel-batch: %s\nTry 'zindrel-batch --help'.\n",
                     parse.error.toLocal8Bit().constData());
        return int(BatchExit::Error);
    }
    for (const QString& warning : parse.warnings)
        std::fprintf(stderr, "zindrel-batch: warning: %s\n", warning.toLocal8Bit().constData());

    // The rich-text report needs fonts, which need a GUI application; it never opens a window.
    std::unique_ptr<QCoreApplication> application;
    if (parse.options.rtfFile.isEmpty()) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }

    BatchRun run(parse.options, stderr);
    run.SetShowProgress(::isatty(STDERR_FILENO) != 0);
    run.SetStopSignals(&stopSignals);
    return int(run.Exec());
}
