#pragma once

#include "RecordingPrompt.h"
#include "catalog/CDbSession.h"

#include <QStringList>

namespace velkaro::test {

// Keeps the first object of a run waiting on the server: a table locked by a second connection,
// or on SQLite (which has no such lock for a reader) a view whose first row takes minutes. The
// run's second object holds the needle.
class BlockedObject final
{
public:
    // folder: where the SQLite file goes.
    bool lock(const QString& sourceKey, const QString& folder);
    void release();
    // Until another connection's SELECT waits on the lock (on SQLite: a while), false on timeout.
    bool waitUntilWaiting(int milliseconds = 30000);

    const QString& connectString() const { return m_connectString; }
    const QStringList& objects() const { return m_objects; } // empty: all of them
    const QString& name() const { return m_name; }

private:
    bool execute(const char* sql);

    RecordingPrompt m_prompt;
    CDbSession m_locker{SessionVariant::Search};
    QString m_source;
    QString m_connectString;
    QStringList m_objects;
    QString m_name;
};

} // namespace velkaro::test
