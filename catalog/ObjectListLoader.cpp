#include "catalog/ObjectListLoader.h"

#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/ColumnLoader.h"
#include "catalog/IndexLoader.h"
#include "catalog/LoadJob.h"
#include "catalog/OdbcStatement.h"
#include "catalog/OwnCatalog.h"

#include <memory>
#include <sqlext.h>

namespace velkaro {

bool ObjectListLoader::Keeps(const CatalogSettings& settings, const QString& type)
{
    if (type == QLatin1String("TABLE"))
        return settings.otab;
    if (type == QLatin1String("SYSTEM TABLE"))
        return settings.osys;
    if (type == QLatin1String("VIEW"))
        return settings.oview;
    if (type == QLatin1String("SYNONYM"))
        return settings.osyn;
    if (type == QLatin1String("SEQUENCE"))
        return settings.oseq;
    return settings.oothers;
}

void ObjectListLoader::Load(const LoadJob& job) const
{
    if (!ReleasePrevious(job))
        return;
    QByteArray owner;
    if (job.ownerOnly && !m_connection.Uid().isEmpty())
        owner = m_connection.Pattern(m_connection.Uid());
    // Other databases the login can read belong to other data sources; the server's own join the
    // list only with system tables switched on.
    const OwnCatalog own = OwnCatalog::ForConnection(m_connection.Hdbc());
    for (const QString& catalog : own.CatalogsToList(job.host->GetCatalogSettings().osys)) {
        if (ListCatalog(job, catalog.toUtf8(), owner) == RowResult::End)
            return;
    }
    job.host->RepaintTree();
}

ObjectListLoader::RowResult ObjectListLoader::ListCatalog(const LoadJob& job, QByteArray catalog,
                                                          QByteArray owner) const
{
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return RowResult::End;
    const SQLRETURN rc = SQLTables(statement.Handle(), OdbcStatement::Argument(catalog),
                                   OdbcStatement::ArgumentLength(catalog), OdbcStatement::Argument(owner),
                                   OdbcStatement::ArgumentLength(owner), nullptr, 0, nullptr, 0);
    if (!IsSuccess(rc)) {
        m_connection.ReportError(statement.Handle());
        return RowResult::Next;
    }
    // A row that arrives with a warning (a long name, say) is still an object.
    while (IsSuccess(statement.Fetch())) {
        if (TakeRow(job, statement) == RowResult::End)
            return RowResult::End;
    }
    return RowResult::Next;
}

bool ObjectListLoader::ReleasePrevious(const LoadJob& job) const
{
    for (const auto& record : m_objects.Snapshot()) {
        if (job.StopRequested("objects"))
            return false;
        record->ClearDetails();
    }
    m_objects.Clear();
    return true;
}

ObjectListLoader::RowResult ObjectListLoader::TakeRow(const LoadJob& job, OdbcStatement& statement) const
{
    if (job.StopRequested("objects"))
        return RowResult::End;
    const QString qualifier = statement.Text(TablesQualifier);
    const QString owner = statement.Text(TablesOwner);
    const QString name = statement.Text(TablesName);
    const QString type = statement.Text(TablesType);
    const CatalogSettings settings = job.host->GetCatalogSettings();
    if (!Keeps(settings, type)) {
        if (settings.lany)
            job.Log(type + QLatin1Char(' ') + name + QStringLiteral(" skipped by user choice."));
        return RowResult::Next;
    }
    auto record = std::make_shared<ObjectRecord>(name, owner, type, qualifier, statement.Text(TablesRemarks));
    m_objects.Append(record);
    const CatalogNode node = job.host->InsertObjectNode(job.databaseNode, record->GetObjectName(), type);
    if (!node) {
        if (settings.lany)
            job.Log(QStringLiteral("Error adding object ") + type + QLatin1Char(' ') + name +
                    QStringLiteral(" to view, terminating object retrieval."));
        return RowResult::End;
    }
    if (settings.lobj)
        job.Log(job.alias + QStringLiteral(": Object ") + name + QStringLiteral(" loaded."));
    return LoadDetails(job, node, *record);
}

ObjectListLoader::RowResult ObjectListLoader::LoadDetails(const LoadJob& job, CatalogNode node,
                                                          ObjectRecord& record) const
{
    const QString& type = record.Type();
    if (type != QLatin1String("SEQUENCE"))
        ColumnLoader(m_connection).Load(job, node, record);
    if (job.StopRequested("objects"))
        return RowResult::End;
    if (type == QLatin1String("TABLE") || type == QLatin1String("SYSTEM TABLE")) {
        IndexLoader(m_connection).Load(job, node, record);
        if (job.StopRequested("objects"))
            return RowResult::End;
    }
    return RowResult::Next;
}

} // namespace velkaro
