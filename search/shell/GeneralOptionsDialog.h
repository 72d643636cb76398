#pragma once

#include "search/engine/SearchParameters.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velkaro {

class UserPrompt;

// "General Options": where the report goes, the auto-save portion and file, and how object names
// and data types are treated. Works on a copy of the Parameters dialog's values.
class GeneralOptionsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GeneralOptionsDialog)

public:
    GeneralOptionsDialog(const SearchParameters& values, UserPrompt& prompt, QWidget* parent = nullptr);

    // Writes the values this dialog edits, and only those.
    void ApplyTo(SearchParameters& values) const;

    void accept() override;

private:
    QWidget* CreateOutputGroup();
    QGroupBox* CreateAutoSaveGroup();
    QGroupBox* CreateObjectsGroup();
    OutputMode GetOutputMode() const;
    void UpdateEnabling();
    void Browse();

    UserPrompt& m_prompt;
    QRadioButton* m_toScreen = nullptr;
    QRadioButton* m_toFile = nullptr;
    QRadioButton* m_incremental = nullptr;
    QGroupBox* m_autoSaveGroup = nullptr;
    QLabel* m_portionLabel = nullptr;
    QLineEdit* m_portionLines = nullptr;
    QLabel* m_linesLabel = nullptr;
    QLabel* m_reportNameLabel = nullptr;
    QLineEdit* m_reportName = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_ownedByUser = nullptr;
    QCheckBox* m_systemObjects = nullptr;
    QCheckBox* m_serverFilter = nullptr;
    QRadioButton* m_dbmsTypes = nullptr;
    QRadioButton* m_odbcTypes = nullptr;
    QRadioButton* m_autoDetect = nullptr;
    QRadioButton* m_allSpecial = nullptr;
    QRadioButton* m_allRegular = nullptr;
    int m_autoSaveLines = 0;
};

} // namespace velkaro
