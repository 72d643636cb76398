#pragma once

#include <QDialog>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QDialogButtonBox;

namespace velkaro {

// "Select Data Source": the driver manager's data sources, its drivers for a connection without a
// data source, and a connect string the user may edit. Picking an entry fills the string.
class DataSourceDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DataSourceDialog)

public:
    explicit DataSourceDialog(QWidget* parent = nullptr);

    // The input connect string: "DSN=name", "DRIVER={name};" completed by the user, or free text.
    QString connectString() const;

private:
    QWidget* createDataSourcePage();
    QWidget* createDriverPage();
    void pick(QTreeWidgetItem* item);
    void updateOk();

    QTreeWidget* m_dataSources = nullptr;
    QTreeWidget* m_drivers = nullptr;
    QLineEdit* m_connectString = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace velkaro
