#pragma once

#include "catalog/CDbSession.h"

#include <QString>
#include <memory>

namespace velkaro {

class UserPrompt;

// The search program's one data source: the session, and what is known of its object list.
class SearchConnection final
{
public:
    SearchConnection() = default;
    SearchConnection(const SearchConnection&) = delete;
    SearchConnection& operator=(const SearchConnection&) = delete;

    // Closes the current connection and opens another through the prompt's dialogs. False when
    // the user cancelled or the connection failed; no data source is connected then.
    bool Choose(UserPrompt& prompt);
    // Connects without asking, for a stored or given connect string.
    bool ChooseByString(const QString& connectString, UserPrompt& prompt);
    void Close();

    bool IsConnected() const { return m_session && !m_session->ConnectFailed(); }
    // Null while no data source is connected.
    CDbSession* Session() const { return IsConnected() ? m_session.get() : nullptr; }
    QString DisplayName() const { return IsConnected() ? m_session->DisplayName() : QString(); }

    // The Objects page reads the list once per data source, and again when the choice of system
    // objects changed; a run uses that list and its selection instead of reading it again.
    bool IsFresh() const { return m_fresh; }
    bool ObjectsLoaded() const { return m_objectsLoaded; }
    bool ObjectsLoadedFor(bool systemObjects) const
    {
        return m_objectsLoaded && m_systemObjects == systemObjects;
    }
    // True when LoadObjectsIfFresh would read the list: a new selection starts.
    bool NeedsObjects(bool systemObjects) const
    {
        return IsConnected() && (m_fresh || (m_objectsLoaded && m_systemObjects != systemObjects));
    }
    int ObjectCount() const { return m_objectCount; }
    // Reads the object list when needsObjects, and clears the fresh mark.
    void LoadObjectsIfFresh(bool systemObjects = false);

private:
    std::unique_ptr<CDbSession> ReplaceSession();

    std::unique_ptr<CDbSession> m_session;
    bool m_fresh = false;
    bool m_objectsLoaded = false;
    bool m_systemObjects = false; // the choice the list was read with
    int m_objectCount = 0;
};

} // namespace velkaro
