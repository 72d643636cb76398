#pragma once

#include "search/engine/ReportColor.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <unordered_set>
#include <vector>

namespace velkaro {

class ReportWriter;
struct SearchObjectRecord;

// What a run searched and what it did not: the objects the data search read to the end and their
// rows, and each object it did not search with the reason. Written by the run's thread only; read
// by others once the run has ended.
class RunCoverage final
{
public:
    enum class Reason
    {
        SkippedByUser,
        Failed,            // detail: the driver's message
        AllColumnsIgnored, // every column matched an ignore pattern
        ReadWhole,         // searched in full, but held in memory whole: a note, not a gap
        ServerFiltered,    // the server sent only the rows that may hold an instance (counted in the block)
        EveryRowRead       // the server could not filter; detail: why
    };

    struct Entry
    {
        QString type;
        QString name;
        Reason reason;
        QString detail;
    };

    void Clear();

    // The object phase: the objects of the run that have rows to read, and whether the data
    // search is to read them.
    void SetObjects(int withRows, bool dataSearched);
    // An object the selection left out. They are counted, not named: the list of objects not
    // processed names them when the user asks for it.
    void LeftOutByObjectList() { ++m_leftOut; }
    void LeaveOut(const QString& type, const QString& name, Reason reason, const QString& detail = {});

    // The column phase: every column of the object was ignored.
    void MarkAllColumnsIgnored(const SearchObjectRecord& object);
    // The data phase: the object has no column to read, by the ignore patterns or because none
    // could be read.
    void NoColumnsToRead(const SearchObjectRecord& object, const QString& shownName);
    void CountRow() { ++m_rowsRead; }
    void ObjectRead() { ++m_objectsRead; }
    // A table that had to be held in memory whole to be read.
    void ReadWhole(const QString& type, const QString& name);
    // How the data search asked for the rows, when the server may filter them.
    void ServerFiltered(const QString& type, const QString& name);
    void EveryRowRead(const QString& type, const QString& name, const QString& why);

    int ObjectsRead() const { return m_objectsRead; }
    qint64 RowsRead() const { return m_rowsRead; }
    const std::vector<Entry>& Entries() const { return m_entries; }
    // An object that should have been searched and was not: skipped or failed.
    bool HasGaps() const;

    // The block the report ends with, before the total or the stop line.
    void Write(ReportWriter& writer, const QString& databaseName) const;
    // The same block as plain lines, for a terminal.
    QString PlainText(const QString& databaseName) const;

private:
    struct Piece
    {
        QString text;
        ReportColor color;
    };

    QList<Piece> Pieces(const QString& databaseName) const;
    // The lists of the block: objects not searched, notes on memory, how the rows were read.
    enum class List
    {
        NotSearched,
        HeldWhole,
        RowsRead
    };
    static List ListOf(Reason reason);
    void AppendList(QList<Piece>& out, const QString& title, List list) const;

    std::vector<Entry> m_entries;
    std::unordered_set<const SearchObjectRecord*> m_allColumnsIgnored;
    int m_withRows = 0;
    bool m_dataSearched = false;
    int m_objectsRead = 0;
    int m_leftOut = 0;
    qint64 m_rowsRead = 0;
};

} // namespace velkaro
