#include "search/shell/SearchConnection.h"

namespace velkaro {

std::unique_ptr<CDbSession> SearchConnection::ReplaceSession()
{
    Close();
    m_fresh = true;
    return std::make_unique<CDbSession>(SessionVariant::Search);
}

bool SearchConnection::Choose(UserPrompt& prompt)
{
    m_session = ReplaceSession();
    return m_session->Connect(prompt);
}

bool SearchConnection::ChooseByString(const QString& connectString, UserPrompt& prompt)
{
    m_session = ReplaceSession();
    return m_session->ConnectByString(connectString, prompt);
}

void SearchConnection::Close()
{
    m_session.reset();
    m_objectsLoaded = false;
    m_objectCount = 0;
    m_fresh = false;
}

void SearchConnection::LoadObjectsIfFresh(bool systemObjects)
{
    if (!NeedsObjects(systemObjects))
        return;
    SearchObjectScope scope;
    scope.systemObjects = systemObjects;
    m_objectCount = m_session->LoadSearchObjects(scope).count;
    m_systemObjects = systemObjects;
    m_objectsLoaded = true;
    m_fresh = false;
}

} // namespace velkaro
