#pragma once

#include "explorer/reports/ReportLineSink.h"

#include <QFile>

namespace velkaro {

// The report as a UTF-8 text file, one line feed per line. A write that fails ends the report with a
// message naming the file and the system's reason, so a cut-off file never passes for a whole one.
class ReportFileSink final : public ReportLineSink
{
public:
    // An empty fileName writes to standard output (velkaro-report without --output).
    explicit ReportFileSink(QString fileName);

    bool Open(UserPrompt& prompt) override;
    bool EmitLine(const QString& text, bool bold) override;
    bool Close(UserPrompt& prompt) override;

private:
    bool Failed();
    QString Label() const;

    QString m_fileName;
    QFile m_file;
    UserPrompt* m_prompt = nullptr;
    bool m_failed = false;
};

} // namespace velkaro
