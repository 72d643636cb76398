#pragma once

#include <QDialog>

class QPushButton;
class QTabWidget;

namespace velkaro {

class CPropColumns;
class CPropTables;
class SearchConnection;
class UserPrompt;
struct SearchParameters;

// "Advanced Options": the Objects and Columns pages. Accepting the sheet writes the parameters
// and the objects' excluded marks directly.
class CAdvancedSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAdvancedSheet)

public:
    CAdvancedSheet(SearchParameters& parameters, SearchConnection& connection, UserPrompt& prompt,
                   QWidget* parent = nullptr);

    CPropTables* ObjectsPage() const { return m_objects; }
    CPropColumns* ColumnsPage() const { return m_columns; }

    void accept() override;

private:
    bool ApplyPages();
    void PageChanged(int index);

    CPropTables* m_objects = nullptr;
    CPropColumns* m_columns = nullptr;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace velkaro
