#pragma once

#include "explorer/core/NodeTree.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <map>
#include <mutex>

namespace velkaro {

class InterfacePoster;

// How far the running database loads have come, for the status bar: workers count the objects
// they add, and the interface thread is told through the poster, at most a few times a second.
class LoadProgress final
{
public:
    static constexpr int kPostIntervalMs = 200;

    explicit LoadProgress(InterfacePoster& poster);
    LoadProgress(const LoadProgress&) = delete;
    LoadProgress& operator=(const LoadProgress&) = delete;

    // Any thread.
    void Begin(NodeId databaseNode, const QString& alias);
    void ObjectLoaded(NodeId databaseNode);
    void End(NodeId databaseNode);

    // Interface thread: what the status bar shows, empty when nothing loads; and who hears of it.
    QString StatusText() const;
    void SetDisplay(std::function<void(const QString&)> display) { m_display = std::move(display); }

    // "Shop: loading objects… 1,200"
    static QString LoadingText(const QString& alias, qint64 objects);

private:
    struct Load
    {
        QString alias;
        qint64 objects = 0;
        quint64 order = 0;
        QElapsedTimer sincePost;
    };

    void PostDisplay();
    void Display() const;

    InterfacePoster& m_poster;
    mutable std::mutex m_mutex;
    std::map<NodeId, Load> m_loads;
    quint64 m_started = 0;
    std::function<void(const QString&)> m_display;
};

} // namespace velkaro
