// velkaro-report: Velkaro's schema report of one data source, from a terminal or a script. Run it
// with --help for the options.

#include "common/StopSignals.h"
#include "explorer/reportbatch/ReportBatchOptions.h"
#include "explorer/reportbatch/ReportBatchRun.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

using namespace velkaro;

int main(int argc, char* argv[])
{
    // First, before any thread exists: the drivers may start threads of their own.
    StopSignals stopSignals;

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ReportBatchParse parse = ParseReportBatchOptions(arguments);
    if (parse.options.helpRequested) {
        std::fputs(ReportBatchUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!parse.Ok()) {
        std::fprintf(stderr, "velkaro-report: %s\nTry 'velkaro-report --help'.\n",
                     parse.error.toLocal8Bit().constData());
        return int(ReportBatchExit::Error);
    }
    // The printed report needs fonts, which need a GUI application; it never opens a window.
    std::unique_ptr<QCoreApplication> application;
    if (parse.options.pdfFile.isEmpty()) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    ReportBatchRun run(parse.options, stderr);
    run.SetStopSignals(&stopSignals);
    return int(run.Exec());
}
