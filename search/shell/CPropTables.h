#pragma once

#include <QWidget>

class QCheckBox;
class QListWidget;

namespace velkaro {

class SearchConnection;
struct SearchParameters;

// The "Objects" page: which objects of the data source a run takes part in. Objects of one name
// share one entry; a fresh data source starts with every object selected.
class CPropTables final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropTables)

public:
    CPropTables(SearchParameters& parameters, SearchConnection& connection, QWidget* parent = nullptr);

    // Stores the options and marks every object whose entry is not selected as excluded.
    void Apply();

private:
    void FillList();

    SearchParameters& m_parameters;
    SearchConnection& m_connection;
    QListWidget* m_objects = nullptr;
    QCheckBox* m_listNotProcessed = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_listCommon = nullptr;
};

} // namespace velkaro
