#include "explorer/properties/CPropObject.h"

#include "catalog/ObjectRecord.h"
#include "common/UserPrompt.h"
#include "explorer/core/NodeImages.h"
#include "explorer/propertydata/ObjectLookup.h"

#include <QLabel>

namespace velkaro {

const QString CPropObject::kNotFoundMessage = QStringLiteral("Could not load Object Properties.");

namespace {

QString textOr(const ObjectRecord* object, const QString& (ObjectRecord::*field)() const)
{
    return object ? (object->*field)() : QString();
}

QString countOf(std::size_t count, bool known)
{
    return known ? QString::number(count) : QString();
}

} // namespace

CPropObject::CPropObject(PropertySheetContext& context, Fields fields, QWidget* parent)
    : CPropPage(context, parent), m_fields(fields)
{}

std::shared_ptr<ObjectRecord> CPropObject::FindObject()
{
    auto object = ObjectLookup::Find(Objects(), m_context.target.owner, m_context.target.objectName);
    if (!object)
        m_context.prompt.ShowMessage(kNotFoundMessage);
    return object;
}

void CPropObject::AddAttributes(const ObjectRecord* object, QFormLayout* form)
{
    AddField(QStringLiteral("Name:"), form)->setText(textOr(object, &ObjectRecord::Name));
    AddField(QStringLiteral("Object Type:"), form)->setText(textOr(object, &ObjectRecord::Type));
    AddField(QStringLiteral("Catalog:"), form)->setText(textOr(object, &ObjectRecord::Qualifier));
    AddField(QStringLiteral("Schema:"), form)->setText(textOr(object, &ObjectRecord::Owner));
}

void CPropObject::InitPage()
{
    AddIcon(ObjectNodeImages(m_context.target.objectType).image);
    const auto object = FindObject();
    AddAttributes(object.get());
    if (m_fields.columns) {
        const auto columns = object ? object->Columns() : nullptr;
        AddField(QStringLiteral("Number of Columns:"))
            ->setText(countOf(columns ? columns->columns.size() : 0, object != nullptr));
    }
    if (m_fields.indexes) {
        const auto indexes = object ? object->Indexes() : nullptr;
        AddField(QStringLiteral("Number of Indexes:"))
            ->setText(countOf(indexes ? indexes->indexes.size() : 0, object != nullptr));
    }
    AddField(QStringLiteral("Remarks"))->setText(textOr(object.get(), &ObjectRecord::Remarks));
}

} // namespace velkaro
