#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velkaro {

class ActivityLogSink;
class CDbSession;
class ProfileStore;
class UserPrompt;

// "Add Database": choose a data source (which connects it), give it an alias that no other
// database has, and say whether it is reconnected at the next start.
class CAddDatabaseDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAddDatabaseDlg)

public:
    using AliasRule = std::function<QString(const QString&)>;

    CAddDatabaseDlg(ProfileStore& store, UserPrompt& prompt, AliasRule makeUniqueAlias,
                    ActivityLogSink* sessionLog = nullptr, QWidget* parent = nullptr);
    ~CAddDatabaseDlg() override;

    // The connected session of the chosen data source, or null when none was chosen.
    std::shared_ptr<CDbSession> Session() const { return m_session; }
    QString Alias() const;
    bool Reconnect() const;
    bool OwnerOnly() const;

    QPushButton* SelectButton() const { return m_selectButton; }
    QLineEdit* AliasEdit() const { return m_aliasEdit; }
    QCheckBox* OwnerOnlyBox() const { return m_ownerOnlyBox; }
    QCheckBox* ReconnectBox() const { return m_reconnectBox; }
    QPushButton* OkButton() const { return m_okButton; }

    void accept() override;

signals:
    void HelpRequested();

private:
    void SelectDataSource();

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    AliasRule m_makeUniqueAlias;
    ActivityLogSink* m_sessionLog;
    std::shared_ptr<CDbSession> m_session;
    QPushButton* m_selectButton = nullptr;
    QLineEdit* m_aliasEdit = nullptr;
    QCheckBox* m_ownerOnlyBox = nullptr;
    QCheckBox* m_reconnectBox = nullptr;
    QPushButton* m_okButton = nullptr;
};

} // namespace velkaro
