#include "RecordingSearchHost.h"

#include <chrono>
#include <new>

namespace velkaro::test {

void RecordingSearchHost::SetTitle(const QString& title)
{
    std::lock_guard lock(m_mutex);
    m_titles.append(title);
}

void RecordingSearchHost::SetProgressRange(SearchProgressBar bar, int maximum)
{
    std::lock_guard lock(m_mutex);
    m_progress[int(bar)] = 0;
    m_maximum[int(bar)] = maximum;
}

void RecordingSearchHost::StepProgress(SearchProgressBar bar)
{
    std::lock_guard lock(m_mutex);
    ++m_progress[int(bar)];
}

void RecordingSearchHost::FinishProgress(SearchProgressBar bar)
{
    std::lock_guard lock(m_mutex);
    m_progress[int(bar)] = m_maximum[int(bar)];
}

int RecordingSearchHost::progress(SearchProgressBar bar) const
{
    std::lock_guard lock(m_mutex);
    return m_progress[int(bar)];
}

void RecordingSearchHost::SetObjectList(const QStringList& names)
{
    std::lock_guard lock(m_mutex);
    m_objectList = names;
}

void RecordingSearchHost::SelectObject(const QString& name)
{
    std::unique_lock lock(m_mutex);
    if (!m_failName.isEmpty() && name == m_failName && m_titles.value(m_titles.size() - 1) == m_failTitle) {
        m_failName.clear();
        throw std::bad_alloc();
    }
    if (m_held || m_holdName.isEmpty() || name != m_holdName ||
        m_titles.value(m_titles.size() - 1) != m_holdTitle)
        return;
    m_held = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_released; });
}

void RecordingSearchHost::ShowMessage(const QString& text)
{
    std::lock_guard lock(m_mutex);
    m_messages.append(text);
}

void RecordingSearchHost::RunEnded()
{
    std::lock_guard lock(m_mutex);
    ++m_runsEnded;
    m_changed.notify_all();
}

QStringList RecordingSearchHost::titles() const
{
    std::lock_guard lock(m_mutex);
    return m_titles;
}

QStringList RecordingSearchHost::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

QStringList RecordingSearchHost::objectList() const
{
    std::lock_guard lock(m_mutex);
    return m_objectList;
}

QString RecordingSearchHost::lastTitle() const
{
    std::lock_guard lock(m_mutex);
    return m_titles.value(m_titles.size() - 1);
}

int RecordingSearchHost::runsEnded() const
{
    std::lock_guard lock(m_mutex);
    return m_runsEnded;
}

void RecordingSearchHost::holdAt(const QString& title, const QString& name)
{
    std::lock_guard lock(m_mutex);
    m_holdTitle = title;
    m_holdName = name;
    m_held = false;
    m_released = false;
}

bool RecordingSearchHost::waitUntilHeld(int milliseconds)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_held; });
}

void RecordingSearchHost::release()
{
    std::lock_guard lock(m_mutex);
    m_released = true;
    m_changed.notify_all();
}

} // namespace velkaro::test

namespace velkaro::test {

void RecordingSearchHost::failAt(const QString& title, const QString& name)
{
    std::lock_guard lock(m_mutex);
    m_failTitle = title;
    m_failName = name;
}

} // namespace velkaro::test
