#pragma once

#include "explorer/properties/PropertySheetContext.h"

#include <QDialog>
#include <memory>

class QTabWidget;

namespace velkaro {

class CPropPage;

// The property sheet of one item: the pages its kind has, with OK, Cancel and Apply. Nothing is
// applied; closing the sheet drops whatever its pages' threads still deliver.
class CProps final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CProps)

public:
    // The sheet for target, or null when its kind has no pages (an object of another type).
    static std::unique_ptr<CProps> Create(ExplorerHub& hub, ProfileStore& store, UserPrompt& prompt,
                                          const PropertyTarget& target, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    CPropPage* Page(int index) const;

    void done(int result) override;

private:
    CProps(PropertySheetContext context, QWidget* parent);
    bool AddPages();
    void AddPage(CPropPage* page, const QString& title);

    PropertySheetContext m_context;
    QTabWidget* m_tabs;
};

} // namespace velkaro
