#include "explorer/properties/CPropCol.h"

#include "common/UserPrompt.h"
#include "explorer/core/NodeImages.h"
#include "explorer/propertydata/ObjectLookup.h"

#include <QLabel>

namespace velkaro {

const QString CPropCol::kNotFoundMessage = QStringLiteral("Could not load Column Properties.");

namespace {

std::optional<ColumnRecord> findColumn(const ObjectSnapshot& objects, const PropertyTarget& target)
{
    const auto table = ObjectLookup::Find(objects, target.owner, target.objectName);
    const auto columns = table ? table->Columns() : nullptr;
    if (!columns)
        return std::nullopt;
    for (const ColumnRecord& column : columns->columns) {
        if (column.name == target.itemName)
            return column;
    }
    return std::nullopt;
}

} // namespace

CPropCol::CPropCol(PropertySheetContext& context, QWidget* parent) : CPropPage(context, parent)
{}

void CPropCol::InitPage()
{
    AddIcon(NodeImage::Column);
    QLabel* name = AddField(QStringLiteral("Column Name:"));
    QLabel* table = AddField(QStringLiteral("On:"));
    QFormLayout* attributes = AddGroup(QStringLiteral("Attributes"));
    QLabel* nullable = AddField(QStringLiteral("Nullable:"), attributes);
    QLabel* type = AddField(QStringLiteral("Column Type:"), attributes);
    QLabel* size = AddField(QStringLiteral("Size:"), attributes);
    QLabel* radix = AddField(QStringLiteral("Radix:"), attributes);
    QLabel* remarks = AddField(QStringLiteral("Remarks"));
    const std::optional<ColumnRecord> column = findColumn(Objects(), m_context.target);
    if (!column) {
        m_context.prompt.ShowMessage(kNotFoundMessage);
        return;
    }
    name->setText(column->name);
    table->setText(m_context.target.objectName);
    nullable->setText(column->nullability);
    type->setText(column->typeName);
    size->setText(column->size);
    radix->setText(column->radix);
    remarks->setText(column->remarks);
}

} // namespace velkaro
