#pragma once

#include "search/engine/SearchParameters.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace velkaro {

class SearchConnection;
class UserPrompt;

// "Zindrel Parameters", opened by Start: the search string, the data source and the options of a
// run. Its own values are a copy that the run takes only when the dialog closes with Start; the
// Advanced Options sheet writes the parameters directly.
class ParametersDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParametersDialog)

public:
    ParametersDialog(SearchParameters& parameters, SearchConnection& connection, UserPrompt& prompt,
                     QWidget* parent = nullptr);

    // After Start: writes this dialog's values into the parameters, splits the search string into
    // its terms and records it in the history.
    void ApplyTo(SearchParameters& parameters) const;

    void accept() override;

private:
    QWidget* CreateSearchOptions();
    QWidget* CreateMatchOptions();
    void ShowValues();
    void TakeValues();
    void ChooseDataSource();
    void ShowDataSource();
    void OpenAdvanced();
    void OpenGeneral();

    SearchParameters& m_parameters;
    SearchConnection& m_connection;
    UserPrompt& m_prompt;
    SearchParameters m_values;
    QComboBox* m_searchText = nullptr;
    QPushButton* m_dataSource = nullptr;
    QCheckBox* m_objectNames = nullptr;
    QCheckBox* m_columnNames = nullptr;
    QCheckBox* m_dataTypes = nullptr;
    QCheckBox* m_indexes = nullptr;
    QCheckBox* m_indexNames = nullptr;
    QCheckBox* m_data = nullptr;
    QRadioButton* m_anySubstring = nullptr;
    QRadioButton* m_wholeWord = nullptr;
    QRadioButton* m_prefix = nullptr;
    QRadioButton* m_suffix = nullptr;
    QCheckBox* m_matchCase = nullptr;
};

} // namespace velkaro
