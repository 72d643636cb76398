#pragma once

#include "search/engine/SearchParameters.h"

#include <QString>
#include <QStringList>

namespace velkaro {

// What a zindrel-batch command line asks for. The search parameters start from their built-in
// defaults, never from the user's saved settings.
struct BatchOptions final
{
    // The input connect string: --connect as given, or built from --dsn and --user. Never holds
    // a password; that comes from the environment or the terminal.
    QString connectString;
    SearchParameters parameters;
    QStringList objects; // --object: empty means every object
    QString outputFile;  // --output: empty means standard output
    QString rtfFile;     // --rtf: empty means no rich-text report
    bool helpRequested = false;
};

// The outcome of reading the command line: the options, or the reason they were refused.
struct BatchOptionsParse final
{
    BatchOptions options;
    QString error;        // empty when the command line is good
    QStringList warnings; // accepted, but probably not what was meant

    bool Ok() const { return error.isEmpty(); }
};

// arguments as the program received them, the program name first.
BatchOptionsParse ParseBatchOptions(const QStringList& arguments);

// The --help text.
QString BatchUsage();

} // namespace velkaro
