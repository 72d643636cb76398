#include "explorer/properties/CPropInd.h"

#include "common/UserPrompt.h"
#include "explorer/core/NodeImages.h"
#include "explorer/propertydata/ObjectLookup.h"
#include "explorer/propertydata/PropertyTexts.h"

#include <QLabel>
#include <QTimer>

namespace velkaro {

const QString CPropInd::kTableNotFoundMessage = QStringLiteral("Table not found, something is wrong");
const QString CPropInd::kIndexNotFoundMessage =
    QStringLiteral("Index not found, please refresh this database.");

CPropInd::CPropInd(PropertySheetContext& context, QWidget* parent) : CPropPage(context, parent)
{}

void CPropInd::InitPage()
{
    const PropertyTarget& target = m_context.target;
    AddIcon(NodeImage::Index);
    QLabel* name = AddField(QStringLiteral("Name:"));
    QLabel* type = AddField(QStringLiteral("Index Type:"));
    QFormLayout* contents = AddGroup(QStringLiteral("Contents"));
    m_cardinality = AddField(QStringLiteral("Number of Unique Values:"), contents);
    m_pages = AddField(QStringLiteral("Number of Pages:"), contents);
    m_filter = AddField(QStringLiteral("Filter Condition"));

    const auto table = ObjectLookup::Find(Objects(), target.owner, target.objectName);
    if (!table) {
        m_context.prompt.ShowMessage(kTableNotFoundMessage);
        return;
    }
    const auto indexes = table->Indexes();
    const IndexRecord* index = nullptr;
    for (std::size_t i = 0; indexes && i < indexes->indexes.size() && !index; ++i) {
        if (indexes->indexes[i].name == target.itemName)
            index = &indexes->indexes[i];
    }
    if (!index) {
        m_context.prompt.ShowMessage(kIndexNotFoundMessage);
        return;
    }
    name->setText(index->name);
    type->setText(index->uniqueness);
    const ObjectName tableName = table->GetObjectName();
    QTimer::singleShot(kStatisticsDelayMs, this, [this, tableName] { StartStatistics(tableName); });
}

void CPropInd::StartStatistics(const ObjectName& table)
{
    ShowStatistics({PropertyTexts::kPleaseWait, PropertyTexts::kPleaseWait, PropertyTexts::kPleaseWait, {}});
    const DatabaseEntryPtr entry = m_context.target.entry;
    const QString indexName = m_context.target.itemName;
    const bool started = RunInBackground<StatisticsQuery::Texts>(
        [entry, table, indexName] { return StatisticsQuery::Index(*entry, table, indexName); },
        [this](const StatisticsQuery::Texts& texts) {
            ShowStatistics(texts);
            ReportFailure(texts.failure);
        });
    if (!started)
        ShowStatistics({PropertyTexts::kNotAvailable, PropertyTexts::kNotAvailable, {}, {}});
}

void CPropInd::ShowStatistics(const StatisticsQuery::Texts& texts)
{
    m_cardinality->setText(texts.first);
    m_pages->setText(texts.pages);
    m_filter->setText(texts.filter);
}

} // namespace velkaro
