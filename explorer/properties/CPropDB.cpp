#include "explorer/properties/CPropDB.h"

#include "catalog/CDbSession.h"
#include "explorer/core/NodeImages.h"
#include "explorer/propertydata/PropertyTexts.h"

#include <QLabel>
#include <QTimer>

namespace velkaro {

namespace {

struct CounterField
{
    DatabaseCounters::Counter counter;
    const char* label;
};

// In the order the page shows them.
const std::array<CounterField, DatabaseCounters::Count> kCounterFields{{
    {DatabaseCounters::SystemTables, "System Tables:"},
    {DatabaseCounters::Sequences, "Sequences:"},
    {DatabaseCounters::Synonyms, "Synonyms:"},
    {DatabaseCounters::Tables, "Tables:"},
    {DatabaseCounters::Views, "Views:"},
    {DatabaseCounters::Columns, "Columns:"},
    {DatabaseCounters::Indexes, "Indexes:"},
    {DatabaseCounters::IndexColumns, "Index Columns:"},
    {DatabaseCounters::Other, "Other:"},
}};

} // namespace

CPropDB::CPropDB(PropertySheetContext& context, QWidget* parent) : CPropPage(context, parent)
{}

void CPropDB::InitPage()
{
    const DatabaseEntry& entry = *m_context.target.entry;
    const CDbSession& session = *entry.session;
    AddIcon(NodeImage::Database);
    AddField(QStringLiteral("Database:"))->setText(entry.alias);
    QFormLayout* identification = AddGroup(QStringLiteral("Identification"));
    AddField(QStringLiteral("Username:"), identification)->setText(session.UserName());
    AddField(QStringLiteral("DBMS:"), identification)->setText(session.DbmsName());
    AddField(QStringLiteral("Version:"), identification)->setText(session.DbmsVersion());
    QFormLayout* objects = AddGroup(QStringLiteral("Objects Shown"));
    for (const CounterField& field : kCounterFields)
        m_counters[field.counter] = AddField(QString::fromLatin1(field.label), objects);
    QFormLayout* refresh = AddGroup(QStringLiteral("Refresh Status"));
    const qint64 refreshed = entry.lastRefreshed.load();
    AddField(QStringLiteral("Last Refreshed:"), refresh)
        ->setText(refreshed > 0 ? PropertyTexts::Time(refreshed) : QString());
    StartCounting();
}

void CPropDB::StartCounting()
{
    DatabaseCounters& counters = m_context.hub.GetDatabaseCounters();
    const std::uint64_t run = counters.Begin();
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CPropDB::ShowCounters);
    m_timer->start(kRefreshMs);
    ShowCounters();
    // The counters live in the hub's runtime, which a property thread keeps alive.
    const ObjectSnapshot objects = Objects();
    RunInBackground<bool>(
        [&counters, run, objects] {
            counters.Run(run, objects);
            return true;
        },
        [](const bool&) {});
}

void CPropDB::ShowCounters()
{
    const DatabaseCounters& counters = m_context.hub.GetDatabaseCounters();
    const bool done = counters.Done();
    for (const CounterField& field : kCounterFields)
        m_counters[field.counter]->setText(QString::number(counters.Value(field.counter)));
    if (done)
        m_timer->stop();
}

} // namespace velkaro
