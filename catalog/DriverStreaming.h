#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace velkaro {

// How a driver hands over the rows of a data query.
enum class RowReading
{
    Streamed,  // a few rows at a time, whatever the size of the result
    KeyChunks, // the driver holds a whole result: a big table is read in key-ordered chunks
    AsDriver   // a driver we know nothing of: read as it comes
};

// The connect-string attributes that make a driver stream the rows of a data query, for the
// drivers known to honour them, chosen by the name and version the driver reports
// (SQL_DRIVER_NAME, SQL_DRIVER_VER).
class DriverStreaming final
{
public:
    // Rows fetched from the server per round trip where the driver takes a count.
    static constexpr int kFetchRows = 5000;
    // Rows per fetch call where a driver takes a row array.
    static constexpr int kRowArrayRows = 256;

    static DriverStreaming For(const QString& driverName, const QString& driverVersion);

    RowReading Reading() const { return m_reading; }
    // Rows a fetch brings into the bound buffers: more than one only where the driver is known to
    // read a long value of any row of the block again (positioned SQLGetData).
    int RowsPerFetch() const { return m_rowsPerFetch; }
    // True when the connection must be made again with attributes of ours.
    bool ChangesConnection() const { return !m_attributes.isEmpty(); }
    // The connect string with these attributes, each replacing any the user had.
    QString AppliedTo(const QString& connectString) const;
    // True where the driver is known to hold a whole result instead, with the attributes below:
    // a short query then runs as a plain one, which the server may run in parallel (a cursor, as
    // PostgreSQL's, never is).
    bool OffersUnstreamed() const { return !m_unstreamedAttributes.isEmpty(); }
    QString UnstreamedAppliedTo(const QString& connectString) const;
    // Statements for the server once connected; a server that refuses one is read all the same.
    const QStringList& SessionStatements() const { return m_sessionStatements; }

    // "03.01.0017" or "3.1.17" as one comparable number; 0 when it is not a version.
    static int VersionNumber(const QString& version);

private:
    RowReading m_reading = RowReading::AsDriver;
    int m_rowsPerFetch = 1;
    QList<QPair<QString, QString>> m_attributes;
    QList<QPair<QString, QString>> m_unstreamedAttributes;
    QStringList m_sessionStatements;
};

} // namespace velkaro
