#include "search/engine/RunCoverage.h"

#include "catalog/SearchRecords.h"
#include "search/engine/ReportWriter.h"

#include <algorithm>

namespace velkaro {

namespace {

QString ReasonText(const RunCoverage::Entry& entry)
{
    switch (entry.reason) {
    case RunCoverage::Reason::SkippedByUser:
        return QStringLiteral("skipped by the user");
    case RunCoverage::Reason::Failed:
        return QStringLiteral("failed: ") + entry.detail;
    case RunCoverage::Reason::AllColumnsIgnored:
        return QStringLiteral("every column is ignored");
    case RunCoverage::Reason::ReadWhole:
        return QStringLiteral("read whole");
    case RunCoverage::Reason::ServerFiltered:
        return QStringLiteral("filtered by the server");
    case RunCoverage::Reason::EveryRowRead:
        return QStringLiteral("every row read: ") + entry.detail;
    }
    return QString();
}

const char* const kNoColumnRead = "none of its columns could be read";

} // namespace

void RunCoverage::Clear()
{
    *this = RunCoverage();
}

void RunCoverage::SetObjects(int withRows, bool dataSearched)
{
    m_withRows = withRows;
    m_dataSearched = dataSearched;
}

void RunCoverage::LeaveOut(const QString& type, const QString& name, Reason reason, const QString& detail)
{
    // The driver's text may run over lines; the list keeps one line per object.
    m_entries.push_back({type, name, reason, detail.simplified()});
}

void RunCoverage::MarkAllColumnsIgnored(const SearchObjectRecord& object)
{
    m_allColumnsIgnored.insert(&object);
}

void RunCoverage::NoColumnsToRead(const SearchObjectRecord& object, const QString& shownName)
{
    if (m_allColumnsIgnored.count(&object) != 0)
        LeaveOut(object.type, shownName, Reason::AllColumnsIgnored);
    else
        LeaveOut(object.type, shownName, Reason::Failed, QString::fromLatin1(kNoColumnRead));
}

void RunCoverage::ReadWhole(const QString& type, const QString& name)
{
    LeaveOut(type, name, Reason::ReadWhole);
}

void RunCoverage::ServerFiltered(const QString& type, const QString& name)
{
    LeaveOut(type, name, Reason::ServerFiltered);
}

void RunCoverage::EveryRowRead(const QString& type, const QString& name, const QString& why)
{
    LeaveOut(type, name, Reason::EveryRowRead, why);
}

bool RunCoverage::HasGaps() const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [](const Entry& entry) {
        return entry.reason == Reason::SkippedByUser || entry.reason == Reason::Failed;
    });
}

QList<RunCoverage::Piece> RunCoverage::Pieces(const QString& databaseName) const
{
    QList<Piece> out;
    if (m_dataSearched) {
        out.append({QStringLiteral("\r\n\r\n\r\nOBJECTS READ: "), ReportColor::Heading});
        out.append({QStringLiteral("%1 of %2").arg(m_objectsRead).arg(m_withRows), ReportColor::Text});
        out.append({QStringLiteral("\r\nROWS READ: "), ReportColor::Heading});
        out.append({QString::number(m_rowsRead), ReportColor::Text});
    }
    AppendList(out, QStringLiteral("\r\n\r\n\r\nThe following objects were not searched in ") + databaseName,
               List::NotSearched);
    AppendList(out,
               QStringLiteral("\r\n\r\n\r\nThe following objects had to be read whole in ") + databaseName,
               List::HeldWhole);
    AppendList(out, QStringLiteral("\r\n\r\n\r\nHow the rows of the objects were read in ") + databaseName,
               List::RowsRead);
    return out;
}

RunCoverage::List RunCoverage::ListOf(Reason reason)
{
    switch (reason) {
    case Reason::ReadWhole:
        return List::HeldWhole;
    case Reason::ServerFiltered:
    case Reason::EveryRowRead:
        return List::RowsRead;
    case Reason::SkippedByUser:
    case Reason::Failed:
    case Reason::AllColumnsIgnored:
        break;
    }
    return List::NotSearched;
}

void RunCoverage::AppendList(QList<Piece>& out, const QString& title, List list) const
{
    bool first = true;
    const auto line = [&](const QString& what, const QString& why) {
        if (first) {
            out.append({title + QStringLiteral("\r\n"), ReportColor::Message});
            first = false;
        }
        out.append({QStringLiteral("\r\n\t\t") + what, ReportColor::Text});
        out.append({QStringLiteral(" - ") + why, ReportColor::Message});
    };
    const auto count = [&](int objects, const QString& why) {
        if (objects > 0)
            line(QString::number(objects) +
                     (objects == 1 ? QStringLiteral(" object") : QStringLiteral(" objects")),
                 why);
    };
    // The objects the server filtered are the usual case: counted, not named.
    int filtered = 0;
    for (const Entry& entry : m_entries) {
        if (entry.reason == Reason::ServerFiltered)
            ++filtered;
        else if (ListOf(entry.reason) == list)
            line(entry.type + QStringLiteral(": ") + entry.name, ReasonText(entry));
    }
    if (list == List::NotSearched)
        count(m_leftOut, QStringLiteral("left out by the object list"));
    if (list == List::RowsRead)
        count(filtered, ReasonText({{}, {}, Reason::ServerFiltered, {}}));
}

void RunCoverage::Write(ReportWriter& writer, const QString& databaseName) const
{
    for (const Piece& piece : Pieces(databaseName))
        writer.AppendReport(piece.text, piece.color, false, true);
}

QString RunCoverage::PlainText(const QString& databaseName) const
{
    QString text;
    for (const Piece& piece : Pieces(databaseName))
        text += piece.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\n\n\n"), QLatin1String("\n\n"));
    while (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    return text.isEmpty() ? text : text + QLatin1Char('\n');
}

} // namespace velkaro
