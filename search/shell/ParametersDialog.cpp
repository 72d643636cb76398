#include "search/shell/ParametersDialog.h"

#include "common/UserPrompt.h"
#include "search/engine/SearchTerms.h"
#include "search/shell/CAdvancedSheet.h"
#include "search/shell/GeneralOptionsDialog.h"
#include "search/shell/SearchConnection.h"
#include "search/shell/ZindrelHelp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velkaro {

namespace {

const QString kNoDataSource = QStringLiteral("Press to select Database");

template <typename Button> Button* named(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new Button(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// Trailing spaces do not make a search string; leading ones belong to the term.
bool IsBlank(const QString& text)
{
    QString rest = text;
    while (!rest.isEmpty() && rest.back().isSpace())
        rest.chop(1);
    return rest.isEmpty();
}

} // namespace

ParametersDialog::ParametersDialog(SearchParameters& parameters, SearchConnection& connection,
                                   UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_parameters(parameters), m_connection(connection), m_prompt(prompt),
      m_values(parameters)
{
    setWindowTitle(QStringLiteral("Zindrel Parameters"));
    // Modal to the program's windows only: the guide stays usable beside it.
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Enter string to search for:"), this);
    m_searchText = new QComboBox(this);
    m_searchText->setObjectName(QStringLiteral("searchText"));
    m_searchText->setEditable(true);
    m_searchText->setInsertPolicy(QComboBox::NoInsert);
    m_searchText->lineEdit()->setClearButtonEnabled(false);
    label->setBuddy(m_searchText);
    layout->addWidget(label);
    layout->addWidget(m_searchText);

    m_dataSource = named<QPushButton>(kNoDataSource, "dataSourceButton", this);
    m_dataSource->setAutoDefault(false);
    connect(m_dataSource, &QPushButton::clicked, this, &ParametersDialog::ChooseDataSource);
    layout->addWidget(m_dataSource);

    auto* options = new QHBoxLayout;
    options->addWidget(CreateSearchOptions());
    options->addWidget(CreateMatchOptions());
    layout->addLayout(options);

    auto* buttons = new QHBoxLayout;
    auto* start = named<QPushButton>(QStringLiteral("Start"), "startButton", this);
    auto* cancel = named<QPushButton>(QStringLiteral("Cancel"), "cancelButton", this);
    auto* help = named<QPushButton>(QStringLiteral("Help"), "helpButton", this);
    start->setDefault(true);
    cancel->setAutoDefault(false);
    help->setAutoDefault(false);
    help->setShortcut(QKeySequence::HelpContents);
    connect(start, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowZindrelHelp(HelpTopic::Parameters); });
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    layout->addLayout(buttons);

    ShowValues();
    ShowDataSource();
}

QWidget* ParametersDialog::CreateSearchOptions()
{
    auto* group = new QGroupBox(QStringLiteral("Zindrel options"), this);
    auto* layout = new QVBoxLayout(group);
    m_objectNames = named<QCheckBox>(QStringLiteral("Search in Object Names"), "searchObjectNames", group);
    m_columnNames =
        named<QCheckBox>(QStringLiteral("Search in Object Column Names"), "searchColumnNames", group);
    m_dataTypes = named<QCheckBox>(QStringLiteral("Search in Data Types"), "searchDataTypes", group);
    m_indexes = named<QCheckBox>(QStringLiteral("Search in Indexes"), "searchIndexes", group);
    m_data = named<QCheckBox>(QStringLiteral("Search in Data"), "searchData", group);
    // Present for the dialog's layout, never shown: index names are searched with the indexes.
    m_indexNames = named<QCheckBox>(QStringLiteral("Search in Index Names"), "searchIndexNames", group);
    m_indexNames->hide();
    for (QCheckBox* box : {m_objectNames, m_columnNames, m_dataTypes, m_indexes, m_data})
        layout->addWidget(box);

    auto* advanced = named<QPushButton>(QStringLiteral("Advanced..."), "advancedButton", group);
    auto* general = named<QPushButton>(QStringLiteral("General"), "generalButton", group);
    advanced->setAutoDefault(false);
    general->setAutoDefault(false);
    connect(advanced, &QPushButton::clicked, this, &ParametersDialog::OpenAdvanced);
    connect(general, &QPushButton::clicked, this, &ParametersDialog::OpenGeneral);
    auto* row = new QHBoxLayout;
    row->addWidget(advanced);
    row->addWidget(general);
    layout->addLayout(row);
    return group;
}

QWidget* ParametersDialog::CreateMatchOptions()
{
    auto* group = new QGroupBox(this);
    auto* layout = new QVBoxLayout(group);
    m_anySubstring = named<QRadioButton>(QStringLiteral("Any substring"), "anySubstring", group);
    m_wholeWord = named<QRadioButton>(QStringLiteral("Match whole word only"), "wholeWord", group);
    m_prefix = named<QRadioButton>(QStringLiteral("Prefix"), "prefix", group);
    m_suffix = named<QRadioButton>(QStringLiteral("Suffix"), "suffix", group);
    m_matchCase = named<QCheckBox>(QStringLiteral("Match case"), "matchCase", group);
    for (QWidget* control : {static_cast<QWidget*>(m_anySubstring), static_cast<QWidget*>(m_wholeWord),
                             static_cast<QWidget*>(m_prefix), static_cast<QWidget*>(m_suffix),
                             static_cast<QWidget*>(m_matchCase)})
        layout->addWidget(control);
    layout->addStretch();
    return group;
}

void ParametersDialog::ShowValues()
{
    m_searchText->addItems(m_values.searchHistory.Strings());
    m_searchText->setEditText(m_values.searchText);
    m_objectNames->setChecked(m_values.searchObjectNames);
    m_columnNames->setChecked(m_values.searchColumnNames);
    m_dataTypes->setChecked(m_values.searchDataTypes);
    m_indexes->setChecked(m_values.searchIndexes);
    m_data->setChecked(m_values.searchData);
    m_anySubstring->setChecked(m_values.matchMode == MatchMode::AnySubstring);
    m_wholeWord->setChecked(m_values.matchMode == MatchMode::WholeWord);
    m_prefix->setChecked(m_values.matchMode == MatchMode::Prefix);
    m_suffix->setChecked(m_values.matchMode == MatchMode::Suffix);
    m_matchCase->setChecked(m_values.matchCase);
}

void ParametersDialog::TakeValues()
{
    m_values.searchText = m_searchText->currentText();
    m_values.searchObjectNames = m_objectNames->isChecked();
    m_values.searchColumnNames = m_columnNames->isChecked();
    m_values.searchDataTypes = m_dataTypes->isChecked();
    m_values.searchIndexes = m_indexes->isChecked();
    m_values.searchData = m_data->isChecked();
    if (m_wholeWord->isChecked())
        m_values.matchMode = MatchMode::WholeWord;
    else if (m_prefix->isChecked())
        m_values.matchMode = MatchMode::Prefix;
    else if (m_suffix->isChecked())
        m_values.matchMode = MatchMode::Suffix;
    else if (m_anySubstring->isChecked())
        m_values.matchMode = MatchMode::AnySubstring;
    m_values.matchCase = m_matchCase->isChecked();
}

void ParametersDialog::ShowDataSource()
{
    m_dataSource->setText(m_connection.IsConnected() ? m_connection.DisplayName() : kNoDataSource);
}

void ParametersDialog::ChooseDataSource()
{
    m_connection.Choose(m_prompt);
    ShowDataSource();
}

void ParametersDialog::OpenAdvanced()
{
    if (!m_connection.IsConnected()) {
        m_prompt.ShowMessage(
            QStringLiteral("You must select a database before you can setup the advanced options."));
        return;
    }
    m_parameters.ownedByCurrentUserOnly = m_values.ownedByCurrentUserOnly;
    // The Objects page lists what the run will search, system objects included or not.
    m_parameters.searchSystemObjects = m_values.searchSystemObjects;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CAdvancedSheet sheet(m_parameters, m_connection, m_prompt, this);
    QApplication::restoreOverrideCursor();
    sheet.exec();
}

void ParametersDialog::OpenGeneral()
{
    GeneralOptionsDialog dialog(m_values, m_prompt, this);
    if (dialog.exec() == QDialog::Accepted)
        dialog.ApplyTo(m_values);
}

void ParametersDialog::accept()
{
    if (!m_connection.IsConnected()) {
        m_prompt.ShowMessage(QStringLiteral("You must select a database before you can begin."));
        return;
    }
    if (IsBlank(m_searchText->currentText())) {
        m_prompt.ShowMessage(QStringLiteral("You must enter a string to search for before you can begin."));
        m_searchText->setFocus();
        return;
    }
    if (HoldsOnlySeparators(m_searchText->currentText())) {
        m_prompt.ShowMessage(OnlySeparatorsMessage());
        m_searchText->setFocus();
        return;
    }
    TakeValues();
    QDialog::accept();
}

void ParametersDialog::ApplyTo(SearchParameters& parameters) const
{
    parameters.searchObjectNames = m_values.searchObjectNames;
    parameters.searchColumnNames = m_values.searchColumnNames;
    parameters.searchDataTypes = m_values.searchDataTypes;
    parameters.searchIndexes = m_values.searchIndexes;
    parameters.searchData = m_values.searchData;
    parameters.matchMode = m_values.matchMode;
    parameters.matchCase = m_values.matchCase;
    parameters.outputMode = m_values.outputMode;
    parameters.reportFileName = m_values.reportFileName;
    parameters.autoSaveLines = m_values.autoSaveLines;
    parameters.ownedByCurrentUserOnly = m_values.ownedByCurrentUserOnly;
    parameters.useOdbcStandardTypes = m_values.useOdbcStandardTypes;
    parameters.specialNameMode = m_values.specialNameMode;
    parameters.AcceptSearchText(m_values.searchText);
}

} // namespace velkaro
