#pragma once

#include "catalog/CDbSession.h"
#include "explorer/reports/ReportRequest.h"
#include "tests/support/RecordingPrompt.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace velkaro::test {

// A connected session with its catalog loaded as the explorer loads it, and a report run into a
// temporary file.
class ReportTestSession final
{
public:
    // Connects and loads; false (with the reason in problem) when the source cannot be reached.
    bool Open(const QString& connectString, QString& problem);
    // A SQLite file built from script, connected and loaded.
    bool OpenSqlite(const QByteArray& script, QString& problem);

    CDbSession& Session() { return *m_session; }
    // Adds an object the way the loader would have built it.
    ObjectRecord& AddObject(const QString& name, const QString& type, const QString& owner = QString(),
                            const QString& remarks = QString());

    // The report's text file as lines (the last line end does not start another line).
    QStringList RunToFile(const ReportRequest& request);
    QString FilePath() const { return m_dir.filePath(QStringLiteral("report.txt")); }
    static ReportRequest RequestFor(const QStringList& names, ReportSections sections = {});

    RecordingPrompt prompt;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CDbSession> m_session;
};

QStringList fileLines(const QString& path);

} // namespace velkaro::test
