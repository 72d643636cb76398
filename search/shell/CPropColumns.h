#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velkaro {

class UserPrompt;
struct SearchParameters;

// The "Columns" page: name patterns of columns a run leaves out.
class CPropColumns final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropColumns)

public:
    CPropColumns(SearchParameters& parameters, UserPrompt& prompt, QWidget* parent = nullptr);

    QPushButton* AddButton() const { return m_add; }
    // Text still in the edit box is added first, and the sheet then stays open: false.
    bool TakePendingPattern();
    // Replaces the pattern list by the entries shown, in order, and stores the options.
    void Apply();

private:
    void AddPattern();
    void RemovePattern();

    SearchParameters& m_parameters;
    UserPrompt& m_prompt;
    QLineEdit* m_pattern = nullptr;
    QPushButton* m_add = nullptr;
    QListWidget* m_patterns = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_ignoreTypeLength = nullptr;
};

} // namespace velkaro
