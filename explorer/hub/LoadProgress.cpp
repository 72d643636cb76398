#include "explorer/hub/LoadProgress.h"

#include "explorer/hub/InterfacePoster.h"

#include <QLocale>

namespace velkaro {

LoadProgress::LoadProgress(InterfacePoster& poster) : m_poster(poster)
{}

QString LoadProgress::LoadingText(const QString& alias, qint64 objects)
{
    static const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return alias + QStringLiteral(": loading objects\u2026 ") + grouped.toString(objects);
}

void LoadProgress::Begin(NodeId databaseNode, const QString& alias)
{
    {
        std::lock_guard lock(m_mutex);
        Load& load = m_loads[databaseNode];
        load.alias = alias;
        load.objects = 0;
        load.order = ++m_started;
        load.sincePost.start();
    }
    PostDisplay();
}

void LoadProgress::ObjectLoaded(NodeId databaseNode)
{
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_loads.find(databaseNode);
        if (found == m_loads.end())
            return;
        Load& load = found->second;
        ++load.objects;
        if (load.sincePost.elapsed() < kPostIntervalMs)
            return;
        load.sincePost.restart();
    }
    PostDisplay();
}

void LoadProgress::End(NodeId databaseNode)
{
    {
        std::lock_guard lock(m_mutex);
        m_loads.erase(databaseNode);
    }
    PostDisplay();
}

QString LoadProgress::StatusText() const
{
    std::lock_guard lock(m_mutex);
    const Load* newest = nullptr;
    for (const auto& [node, load] : m_loads) {
        if (!newest || load.order > newest->order)
            newest = &load;
    }
    return newest ? LoadingText(newest->alias, newest->objects) : QString();
}

void LoadProgress::PostDisplay()
{
    // The text is taken when the interface thread gets to it, so it is never older than the post.
    m_poster.Post([this] { Display(); });
}

void LoadProgress::Display() const
{
    if (m_display)
        m_display(StatusText());
}

} // namespace velkaro
