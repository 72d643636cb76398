#include "search/shell/GeneralOptionsDialog.h"

#include "common/UserPrompt.h"
#include "search/shell/ZindrelHelp.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velkaro {

namespace {

QRadioButton* radio(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

GeneralOptionsDialog::GeneralOptionsDialog(const SearchParameters& values, UserPrompt& prompt,
                                           QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_autoSaveLines(values.autoSaveLines)
{
    setWindowTitle(QStringLiteral("General Options"));
    // Modal to the program's windows only: the guide stays usable beside it.
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateOutputGroup());
    layout->addWidget(CreateAutoSaveGroup());
    layout->addWidget(CreateObjectsGroup());

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Help)->setShortcut(QKeySequence::HelpContents);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { ShowZindrelHelp(HelpTopic::GeneralOptions); });
    layout->addWidget(buttons);

    m_toScreen->setChecked(values.outputMode == OutputMode::Screen);
    m_toFile->setChecked(values.outputMode == OutputMode::CompleteToFile);
    m_incremental->setChecked(values.outputMode == OutputMode::IncrementalAutoSave);
    m_portionLines->setText(QString::number(values.autoSaveLines));
    m_reportName->setText(values.reportFileName);
    m_ownedByUser->setChecked(values.ownedByCurrentUserOnly);
    m_systemObjects->setChecked(values.searchSystemObjects);
    m_serverFilter->setChecked(values.serverFilter);
    m_odbcTypes->setChecked(values.useOdbcStandardTypes);
    m_dbmsTypes->setChecked(!values.useOdbcStandardTypes);
    m_autoDetect->setChecked(values.specialNameMode == SpecialNameMode::AutoDetect);
    m_allSpecial->setChecked(values.specialNameMode == SpecialNameMode::AllSpecial);
    m_allRegular->setChecked(values.specialNameMode == SpecialNameMode::AllRegular);
    UpdateEnabling();
}

QWidget* GeneralOptionsDialog::CreateOutputGroup()
{
    auto* group = new QWidget(this);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    m_toScreen = radio(QStringLiteral("Process complete report to screen"), "toScreen", group);
    m_toFile = radio(QStringLiteral("Process complete report to a file"), "toFile", group);
    m_incremental =
        radio(QStringLiteral("Save incremental report to file automatically"), "incremental", group);
    for (QRadioButton* button : {m_toScreen, m_toFile, m_incremental}) {
        layout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, &GeneralOptionsDialog::UpdateEnabling);
    }
    return group;
}

QGroupBox* GeneralOptionsDialog::CreateAutoSaveGroup()
{
    m_autoSaveGroup = new QGroupBox(QStringLiteral("Automatic Save"), this);
    m_autoSaveGroup->setObjectName(QStringLiteral("autoSaveGroup"));
    m_portionLabel = new QLabel(QStringLiteral("Save report portion every"), m_autoSaveGroup);
    m_portionLines = new QLineEdit(m_autoSaveGroup);
    m_portionLines->setObjectName(QStringLiteral("autoSaveLines"));
    m_portionLines->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_portionLines));
    m_linesLabel = new QLabel(QStringLiteral("lines"), m_autoSaveGroup);
    m_reportNameLabel = new QLabel(QStringLiteral("Report Name"), m_autoSaveGroup);
    m_reportName = new QLineEdit(m_autoSaveGroup);
    m_reportName->setObjectName(QStringLiteral("reportName"));
    m_browse = new QPushButton(QStringLiteral("Browse"), m_autoSaveGroup);
    m_browse->setObjectName(QStringLiteral("browseButton"));
    m_browse->setAutoDefault(false);
    connect(m_browse, &QPushButton::clicked, this, &GeneralOptionsDialog::Browse);

    auto* layout = new QGridLayout(m_autoSaveGroup);
    layout->addWidget(m_portionLabel, 0, 0);
    layout->addWidget(m_portionLines, 0, 1);
    layout->addWidget(m_linesLabel, 0, 2);
    layout->addWidget(m_reportNameLabel, 1, 0);
    layout->addWidget(m_reportName, 1, 1);
    layout->addWidget(m_browse, 1, 2);
    return m_autoSaveGroup;
}

QGroupBox* GeneralOptionsDialog::CreateObjectsGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Database Objects"), this);
    auto* layout = new QVBoxLayout(group);
    // Kept with the other values, but not offered: nothing in a run consults it.
    m_ownedByUser = new QCheckBox(QStringLiteral("Process only objects owned by the current user"), group);
    m_ownedByUser->setObjectName(QStringLiteral("ownedByUser"));
    m_ownedByUser->hide();
    layout->addWidget(m_ownedByUser);
    m_systemObjects = new QCheckBox(QStringLiteral("Include system tables and schemas"), group);
    m_systemObjects->setObjectName(QStringLiteral("systemObjects"));
    layout->addWidget(m_systemObjects);
    m_serverFilter = new QCheckBox(QStringLiteral("Let the server filter rows"), group);
    m_serverFilter->setObjectName(QStringLiteral("serverFilter"));
    layout->addWidget(m_serverFilter);

    auto* types = new QWidget(group);
    auto* typesLayout = new QVBoxLayout(types);
    typesLayout->setContentsMargins(0, 0, 0, 0);
    m_dbmsTypes = radio(QStringLiteral("Use DBMS specific Data Types"), "dbmsTypes", types);
    m_odbcTypes = radio(QStringLiteral("Use ODBC standard Data Types"), "odbcTypes", types);
    typesLayout->addWidget(m_dbmsTypes);
    typesLayout->addWidget(m_odbcTypes);
    layout->addWidget(types);

    auto* names = new QWidget(group);
    auto* namesLayout = new QVBoxLayout(names);
    namesLayout->setContentsMargins(0, 0, 0, 0);
    m_autoDetect = radio(QStringLiteral("Automatically detect special object names"), "autoDetect", names);
    m_allSpecial = radio(QStringLiteral("Treat all object names as special"), "allSpecial", names);
    m_allRegular = radio(QStringLiteral("Treat all object names as regular"), "allRegular", names);
    for (QRadioButton* button : {m_autoDetect, m_allSpecial, m_allRegular})
        namesLayout->addWidget(button);
    layout->addWidget(names);
    return group;
}

OutputMode GeneralOptionsDialog::GetOutputMode() const
{
    if (m_toFile->isChecked())
        return OutputMode::CompleteToFile;
    if (m_incremental->isChecked())
        return OutputMode::IncrementalAutoSave;
    return OutputMode::Screen;
}

void GeneralOptionsDialog::UpdateEnabling()
{
    const OutputMode mode = GetOutputMode();
    const bool toFile = mode != OutputMode::Screen;
    const bool incremental = mode == OutputMode::IncrementalAutoSave;
    m_autoSaveGroup->setEnabled(toFile);
    for (QWidget* control : {static_cast<QWidget*>(m_reportNameLabel), static_cast<QWidget*>(m_reportName),
                             static_cast<QWidget*>(m_browse)})
        control->setEnabled(toFile);
    for (QWidget* control : {static_cast<QWidget*>(m_portionLabel), static_cast<QWidget*>(m_portionLines),
                             static_cast<QWidget*>(m_linesLabel)})
        control->setEnabled(incremental);
}

void GeneralOptionsDialog::Browse()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Report Name");
    request.initialPath = m_reportName->text().trimmed();
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("Zindrel Files (*.txt)");
    request.confirmOverwrite = true;
    request.pathMustExist = true;
    if (const std::optional<SaveFileChoice> chosen = m_prompt.ChooseSaveFile(request))
        m_reportName->setText(chosen->path);
}

void GeneralOptionsDialog::accept()
{
    bool ok = false;
    const int lines = m_portionLines->text().toInt(&ok);
    if (!ok || lines < SearchParameters::kMinAutoSaveLines || lines > SearchParameters::kMaxAutoSaveLines) {
        m_prompt.ShowMessage(QStringLiteral("Please enter an integer between %1 and %2.")
                                 .arg(SearchParameters::kMinAutoSaveLines)
                                 .arg(SearchParameters::kMaxAutoSaveLines));
        m_portionLines->setFocus();
        m_portionLines->selectAll();
        return;
    }
    QString name = m_reportName->text();
    name.remove(QRegularExpression(QStringLiteral("^\\s+")));
    if (GetOutputMode() != OutputMode::Screen && name.isEmpty()) {
        m_prompt.ShowMessage(QStringLiteral("Please enter a file name to save report"));
        m_reportName->setFocus();
        return;
    }
    m_autoSaveLines = lines;
    QDialog::accept();
}

void GeneralOptionsDialog::ApplyTo(SearchParameters& values) const
{
    values.outputMode = GetOutputMode();
    values.reportFileName = m_reportName->text();
    values.autoSaveLines = m_autoSaveLines;
    values.ownedByCurrentUserOnly = m_ownedByUser->isChecked();
    values.searchSystemObjects = m_systemObjects->isChecked();
    values.serverFilter = m_serverFilter->isChecked();
    values.useOdbcStandardTypes = m_odbcTypes->isChecked();
    if (m_allSpecial->isChecked())
        values.specialNameMode = SpecialNameMode::AllSpecial;
    else if (m_allRegular->isChecked())
        values.specialNameMode = SpecialNameMode::AllRegular;
    else
        values.specialNameMode = SpecialNameMode::AutoDetect;
}

} // namespace velkaro
