#include "ReportTestSession.h"

#include "CatalogTestHost.h"
#include "catalog/LoadJob.h"
#include "explorer/reports/ReportFileSink.h"
#include "explorer/reports/ReportGenerator.h"
#include "tests/support/SqliteFixture.h"

#include <QFile>

namespace velkaro::test {

bool ReportTestSession::Open(const QString& connectString, QString& problem)
{
    m_session = std::make_unique<CDbSession>();
    if (!m_session->ConnectByString(connectString, prompt)) {
        problem = m_session->LastError();
        return false;
    }
    CatalogTestHost host;
    LoadJob job;
    job.host = &host;
    job.alias = QStringLiteral("report test");
    job.databaseNode = host.databaseNode();
    job.explicitLoad = true;
    job.inUse = std::make_shared<std::atomic<int>>(1);
    m_session->LoadObjects(job);
    return true;
}

bool ReportTestSession::OpenSqlite(const QByteArray& script, QString& problem)
{
    const QString path = m_dir.filePath(QStringLiteral("fixture.sqlite"));
    if (!buildSqliteFile(path, script)) {
        problem = QStringLiteral("sqlite3 could not build the fixture");
        return false;
    }
    return Open(sqliteFileConnectString(path), problem);
}

ObjectRecord& ReportTestSession::AddObject(const QString& name, const QString& type, const QString& owner,
                                           const QString& remarks)
{
    auto record = std::make_shared<ObjectRecord>(name, owner, type, QString(), remarks);
    m_session->Model().Objects().Append(record);
    return *record;
}

QStringList ReportTestSession::RunToFile(const ReportRequest& request)
{
    ReportFileSink sink(FilePath());
    ReportGenerator(*m_session, request, sink, prompt).Run();
    return fileLines(FilePath());
}

ReportRequest ReportTestSession::RequestFor(const QStringList& names, ReportSections sections)
{
    ReportRequest request;
    for (const QString& name : names)
        request.choices.push_back({name, QString(), true});
    request.sections = sections;
    return request;
}

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

} // namespace velkaro::test
