#pragma once

#include <QList>
#include <QString>

namespace velkaro {

struct DataSourceInfo
{
    QString name;
    QString driver; // the driver's description as the driver manager gives it
    bool system = false;
};

struct DriverInfo
{
    QString name;
    QString description; // the driver's "Description" attribute, may be empty
};

// The data sources and drivers the ODBC driver manager knows, for the data source dialog.
class DataSourceCatalog final
{
public:
    // User data sources first, then system ones, each in the driver manager's order.
    static QList<DataSourceInfo> DataSources();
    static QList<DriverInfo> Drivers();

    // The input connect strings the dialog hands to the session.
    static QString ConnectStringForDataSource(const QString& name);
    static QString ConnectStringForDriver(const QString& name);
};

} // namespace velkaro
