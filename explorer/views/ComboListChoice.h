#pragma once

#include <QObject>

class QComboBox;

namespace velkaro {

// An editable combo box's choices from its list, told apart from its edit field: QComboBox also
// reports a typed text that matches an entry as "activated", on Enter or when the field loses the
// focus. Only a click or Enter on an entry of the open list counts here.
class ComboListChoice final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ComboListChoice)

public:
    // Lives as long as combo.
    explicit ComboListChoice(QComboBox* combo);

signals:
    void Chosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MarkChoice();

    bool m_fromList = false;
};

} // namespace velkaro
