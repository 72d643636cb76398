#include "catalog/ObjectListLoader.h"

#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/ColumnLoader.h"
#include "catalog/IndexLoader.h"
#include "catalog/LoadJob.h"
#include "catalog/OdbcStatement.h"

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
    if (!releasePrevious(job))
        return;
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return;
    QByteArray owner;
    if (job.ownerOnly && !m_connection.uid().isEmpty())
        owner = m_connection.pattern(m_connection.uid());
    const SQLRETURN rc = SQLTables(statement.handle(), nullptr, 0, OdbcStatement::argument(owner),
                                   OdbcStatement::argumentLength(owner), nullptr, 0, nullptr, 0);
    if (!IsSuccess(rc)) {
        m_connection.reportError(statement.handle());
    } else {
        // A row that arrives with a warning (a long name, say) is still an object.
        while (IsSuccess(statement.fetch())) {
            if (takeRow(job, statement) == RowResult::End)
                return;
        }
    }
    job.host->RepaintTree();
}

bool ObjectListLoader::releasePrevious(const LoadJob& job) const
{
    for (const auto& record : m_objects.snapshot()) {
        if (job.stopRequested("objects"))
            return false;
        record->clearDetails();
    }
    m_objects.clear();
    return true;
}

ObjectListLoader::RowResult ObjectListLoader::takeRow(const LoadJob& job, OdbcStatement& statement) const
{
    if (job.stopRequested("objects"))
        return RowResult::End;
    const QString qualifier = statement.text(TablesQualifier);
    const QString owner = statement.text(TablesOwner);
    const QString name = statement.text(TablesName);
    const QString type = statement.text(TablesType);
    const CatalogSettings settings = job.host->catalogSettings();
    if (!Keeps(settings, type)) {
        if (settings.lany)
            job.log(type + QLatin1Char(' ') + name + QStringLiteral(" skipped by user choice."));
        return RowResult::Next;
    }
    auto record = std::make_shared<ObjectRecord>(name, owner, type, qualifier, statement.text(TablesRemarks));
    m_objects.append(record);
    const CatalogNode node = job.host->InsertObjectNode(job.databaseNode, name, type);
    if (!node) {
        if (settings.lany)
            job.log(QStringLiteral("Error adding object ") + type + QLatin1Char(' ') + name +
                    QStringLiteral(" to view, terminating object retrieval."));
        return RowResult::End;
    }
    if (settings.lobj)
        job.log(job.alias + QStringLiteral(": Object ") + name + QStringLiteral(" loaded."));
    return loadDetails(job, node, *record);
}

ObjectListLoader::RowResult ObjectListLoader::loadDetails(const LoadJob& job, CatalogNode node,
                                                          ObjectRecord& record) const
{
    const QString& type = record.type();
    if (type != QLatin1String("SEQUENCE"))
        ColumnLoader(m_connection).Load(job, node, record);
    if (job.stopRequested("objects"))
        return RowResult::End;
    if (type == QLatin1String("TABLE") || type == QLatin1String("SYSTEM TABLE")) {
        IndexLoader(m_connection).Load(job, node, record);
        if (job.stopRequested("objects"))
            return RowResult::End;
    }
    return RowResult::Next;
}

} // namespace velkaro
