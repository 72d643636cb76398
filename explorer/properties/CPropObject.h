#pragma once

#include "explorer/properties/CPropPage.h"

#include <memory>

namespace velkaro {

class ObjectRecord;

// The "General" page of a system table, view, synonym or sequence: the object's attributes, its
// column and index counts where the kind has them, and its remarks.
class CPropObject : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropObject)

public:
    static const QString kNotFoundMessage; // "Could not load Object Properties."

    struct Fields
    {
        bool columns = false; // "Number of Columns:"
        bool indexes = false; // "Number of Indexes:"
    };

    CPropObject(PropertySheetContext& context, Fields fields, QWidget* parent = nullptr);

protected:
    void InitPage() override;
    // The sheet's object found again by owner and name; null (after the message) when gone.
    std::shared_ptr<ObjectRecord> FindObject();
    // "Name:", "Object Type:", "Catalog:", "Schema:" into form.
    void AddAttributes(const ObjectRecord* object, QFormLayout* form = nullptr);

private:
    Fields m_fields;
};

} // namespace velkaro
