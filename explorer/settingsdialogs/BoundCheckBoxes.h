#pragma once

#include <QCheckBox>
#include <QList>
#include <atomic>
#include <utility>

namespace velkaro {

// Check boxes that each show one on/off value of a settings group and copy it back on apply.
template <typename Group> class BoundCheckBoxes final
{
public:
    using Field = std::atomic<int> Group::*;

    explicit BoundCheckBoxes(Group& group) : m_group(group) {}

    QCheckBox* Add(const QString& text, Field field, QWidget* parent)
    {
        auto* box = new QCheckBox(text, parent);
        box->setChecked((m_group.*field).load() != 0);
        m_boxes.append({box, field});
        return box;
    }

    // Disabled boxes count with their check marks.
    void Apply() const
    {
        for (const auto& [box, field] : m_boxes)
            (m_group.*field).store(box->isChecked() ? 1 : 0);
    }

private:
    Group& m_group;
    QList<std::pair<QCheckBox*, Field>> m_boxes;
};

} // namespace velkaro
