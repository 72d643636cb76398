#include "catalog/ObjectRecord.h"

#include <utility>

namespace velkaro {

namespace {

template <class List> std::shared_ptr<const List> emptyList()
{
    static const auto empty = std::make_shared<const List>();
    return empty;
}

} // namespace

ObjectRecord::ObjectRecord(QString name, QString owner, QString type, QString qualifier, QString remarks)
    : m_name(std::move(name)), m_owner(std::move(owner)), m_type(std::move(type)),
      m_qualifier(std::move(qualifier)), m_remarks(std::move(remarks)), m_columns(emptyList<ColumnList>()),
      m_indexes(emptyList<IndexList>())
{}

std::shared_ptr<const ColumnList> ObjectRecord::Columns() const
{
    std::lock_guard lock(m_mutex);
    return m_columns;
}

std::shared_ptr<const IndexList> ObjectRecord::Indexes() const
{
    std::lock_guard lock(m_mutex);
    return m_indexes;
}

void ObjectRecord::SetColumns(ColumnList columns)
{
    auto published = std::make_shared<const ColumnList>(std::move(columns));
    std::lock_guard lock(m_mutex);
    m_columns.swap(published);
}

void ObjectRecord::SetIndexes(IndexList indexes)
{
    auto published = std::make_shared<const IndexList>(std::move(indexes));
    std::lock_guard lock(m_mutex);
    m_indexes.swap(published);
}

void ObjectRecord::ClearDetails()
{
    std::lock_guard lock(m_mutex);
    m_columns = emptyList<ColumnList>();
    m_indexes = emptyList<IndexList>();
}

} // namespace velkaro
