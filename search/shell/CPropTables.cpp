#include "search/shell/CPropTables.h"

#include "search/engine/SearchParameters.h"
#include "search/shell/SearchConnection.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace velkaro {

CPropTables::CPropTables(SearchParameters& parameters, SearchConnection& connection, QWidget* parent)
    : QWidget(parent), m_parameters(parameters), m_connection(connection)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Include the following objects in the process:"), this));
    m_objects = new QListWidget(this);
    m_objects->setObjectName(QStringLiteral("objectList"));
    m_objects->setSelectionMode(QAbstractItemView::MultiSelection);
    m_objects->setSortingEnabled(true);
    layout->addWidget(m_objects);

    auto* selectAll = new QPushButton(QStringLiteral("Select All"), this);
    auto* unselectAll = new QPushButton(QStringLiteral("UnSelect All"), this);
    selectAll->setObjectName(QStringLiteral("selectAllButton"));
    unselectAll->setObjectName(QStringLiteral("unselectAllButton"));
    selectAll->setAutoDefault(false);
    unselectAll->setAutoDefault(false);
    connect(selectAll, &QPushButton::clicked, m_objects, &QListWidget::selectAll);
    connect(unselectAll, &QPushButton::clicked, m_objects, &QListWidget::clearSelection);
    auto* row = new QHBoxLayout;
    row->addWidget(selectAll);
    row->addWidget(unselectAll);
    row->addStretch();
    layout->addLayout(row);

    m_listNotProcessed =
        new QCheckBox(QStringLiteral("Include list of not processed objects in report"), this);
    m_listNotProcessed->setObjectName(QStringLiteral("listNotProcessed"));
    m_listNotProcessed->setChecked(parameters.listNotProcessedObjects);
    layout->addWidget(m_listNotProcessed);
    // Kept and stored, but not offered: no search consults them.
    m_ignoreCase = new QCheckBox(QStringLiteral("Ignore case when comparing object names"), this);
    m_listCommon = new QCheckBox(QStringLiteral("Include list of common objects in report"), this);
    m_ignoreCase->setChecked(parameters.ignoreCaseObjectNames);
    m_listCommon->setChecked(parameters.listCommonObjects);
    m_ignoreCase->hide();
    m_listCommon->hide();

    FillList();
}

void CPropTables::FillList()
{
    const bool fresh = m_connection.NeedsObjects(m_parameters.searchSystemObjects);
    m_connection.LoadObjectsIfFresh(m_parameters.searchSystemObjects);
    CDbSession* session = m_connection.Session();
    if (!session)
        return;
    QHash<QString, QListWidgetItem*> entries;
    for (const auto& object : session->SearchObjects().Snapshot()) {
        QListWidgetItem*& entry = entries[object->name];
        if (!entry)
            entry = new QListWidgetItem(object->name, m_objects);
        // An entry stands for all objects of its name: one that takes part selects it.
        if (fresh || object->excluded.load() == 0)
            entry->setSelected(true);
    }
}

void CPropTables::Apply()
{
    m_parameters.listNotProcessedObjects = m_listNotProcessed->isChecked();
    m_parameters.ignoreCaseObjectNames = m_ignoreCase->isChecked();
    m_parameters.listCommonObjects = m_listCommon->isChecked();
    CDbSession* session = m_connection.Session();
    if (!session)
        return;
    QSet<QString> selected;
    for (const QListWidgetItem* item : m_objects->selectedItems())
        selected.insert(item->text());
    for (const auto& object : session->SearchObjects().Snapshot())
        object->excluded.store(selected.contains(object->name) ? 0 : 1);
}

} // namespace velkaro
