#pragma once

#include "explorer/properties/CPropPage.h"
#include "explorer/propertydata/KeyListQuery.h"

class QTreeWidget;

namespace velkaro {

// A table's key list page: the table name, the list filled by a thread, and the fixed note.
class CPropKeys : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropKeys)

public:
    CPropKeys(PropertySheetContext& context, KeyListQuery::Kind kind, QString listTitle, QString note,
              QWidget* parent = nullptr);

    QTreeWidget* List() const { return m_list; }

protected:
    void InitPage() override;
    // The widths follow the list's client width.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowRows(const std::vector<KeyListQuery::Row>& rows);
    void FitColumns();

    KeyListQuery m_query;
    QString m_listTitle;
    QString m_note;
    QTreeWidget* m_list = nullptr;
};

} // namespace velkaro
