#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace velkaro {

class UserPrompt;

// "Remove Database": pick one alias from a sorted list and confirm.
class CRemoveDatabaseDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRemoveDatabaseDlg)

public:
    CRemoveDatabaseDlg(const QStringList& aliases, UserPrompt& prompt, QWidget* parent = nullptr);

    QString ChosenAlias() const { return m_chosen; }
    QListWidget* AliasList() const { return m_list; }
    QPushButton* RemoveButton() const { return m_removeButton; }

signals:
    void HelpRequested();

private:
    void TryRemove();

    UserPrompt& m_prompt;
    QListWidget* m_list = nullptr;
    QPushButton* m_removeButton = nullptr;
    QString m_chosen;
};

} // namespace velkaro
