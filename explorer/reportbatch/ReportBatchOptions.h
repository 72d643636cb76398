#pragma once

#include "explorer/reports/ReportRequest.h"

#include <QString>
#include <QStringList>

namespace velkaro {

// What a velkaro-report command line asks for.
struct ReportBatchOptions final
{
    // --connect as given, or built from --dsn and --user; never holds a password.
    QString connectString;
    QStringList objects; // --object, in the order given
    bool allObjects = false;
    bool onlyWithColumns = false;
    ReportSections sections;
    QString outputFile; // empty: standard output
    QString pdfFile;    // empty: no printed report
    bool pageBreak = false;
    bool helpRequested = false;
};

struct ReportBatchParse final
{
    ReportBatchOptions options;
    QString error; // empty when the command line is good

    bool Ok() const { return error.isEmpty(); }
};

// arguments as the program received them, the program name first.
ReportBatchParse ParseReportBatchOptions(const QStringList& arguments);

QString ReportBatchUsage();

} // namespace velkaro
