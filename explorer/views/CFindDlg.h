#pragma once

#include "explorer/hub/TreeViewPort.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace velkaro {

class ProfileStore;
class UserPrompt;

// "Find": what to look for, at which names, in which databases. Opens with the stored options and
// "Look in:" choice; "Find" refuses a blank string and stores the "Look in:" text, "Find Next" only closes.
class CFindDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFindDlg)

public:
    CFindDlg(const FindDialogInput& input, ProfileStore& store, UserPrompt& prompt,
             QWidget* parent = nullptr);

    // Valid once the dialog was accepted.
    FindRequest Request() const { return m_request; }

    QComboBox* FindWhat() const { return m_findWhat; }
    QComboBox* LookIn() const { return m_lookIn; }
    QCheckBox* WholeWord() const { return m_wholeWord; }
    QPushButton* FindButton() const { return m_findButton; }
    QPushButton* FindNextButton() const { return m_findNextButton; }

private:
    QWidget* CreateLookAt(const FindOptions& options);
    void SelectStoredLookIn();
    FindOptions ShownOptions() const;
    void OnFind();
    void OnFindNext();

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    FindRequest m_request;
    QComboBox* m_findWhat = nullptr;
    QComboBox* m_lookIn = nullptr;
    QCheckBox* m_databaseNames = nullptr;
    QCheckBox* m_objectNames = nullptr;
    QCheckBox* m_columnNames = nullptr;
    QCheckBox* m_indexNames = nullptr;
    QCheckBox* m_indexColumnNames = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QPushButton* m_findButton = nullptr;
    QPushButton* m_findNextButton = nullptr;
};

} // namespace velkaro
