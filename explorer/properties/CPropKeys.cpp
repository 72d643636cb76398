#include "explorer/properties/CPropKeys.h"

#include "explorer/propertydata/ObjectLookup.h"
#include "explorer/propertydata/PropertyTexts.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velkaro {

CPropKeys::CPropKeys(PropertySheetContext& context, KeyListQuery::Kind kind, QString listTitle, QString note,
                     QWidget* parent)
    : CPropPage(context, parent), m_query(kind), m_listTitle(std::move(listTitle)), m_note(std::move(note))
{}

void CPropKeys::InitPage()
{
    const PropertyTarget& target = m_context.target;
    AddField(QStringLiteral("Name:"))->setText(target.objectName);
    auto* group = new QGroupBox(m_listTitle, this);
    m_list = new QTreeWidget(group);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels(m_query.Headers());
    m_list->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    m_list->header()->setStretchLastSection(false);
    m_list->viewport()->installEventFilter(this);
    (new QVBoxLayout(group))->addWidget(m_list);
    PageLayout()->addWidget(group, 1);
    AddNote(m_note);
    FitColumns();
    ShowRows({KeyListQuery::MessageRow(PropertyTexts::kPleaseWait)});

    const auto object = ObjectLookup::Find(Objects(), target.owner, target.objectName);
    const ObjectName table =
        object ? object->GetObjectName() : ObjectName{{}, target.owner, target.objectName};
    const DatabaseEntryPtr entry = target.entry;
    const KeyListQuery query = m_query;
    const bool started =
        RunInBackground<KeyListQuery::Result>([entry, table, query] { return query.Run(*entry, table); },
                                              [this](const KeyListQuery::Result& result) {
                                                  ShowRows(result.rows);
                                                  ReportFailure(result.failure);
                                              });
    if (!started)
        ShowRows({});
}

void CPropKeys::ShowRows(const std::vector<KeyListQuery::Row>& rows)
{
    m_list->clear();
    for (const KeyListQuery::Row& row : rows) {
        auto* item = new QTreeWidgetItem(m_list, QStringList{row[0], row[1], row[2]});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    }
}

bool CPropKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (m_list && watched == m_list->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return CPropPage::eventFilter(watched, event);
}

void CPropKeys::FitColumns()
{
    if (!m_list)
        return;
    const std::array<int, 3> widths = m_query.Widths(m_list->viewport()->width());
    for (int column = 0; column < 3; ++column)
        m_list->setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
}

} // namespace velkaro
