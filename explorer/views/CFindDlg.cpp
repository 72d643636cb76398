#include "explorer/views/CFindDlg.h"

#include "common/UserPrompt.h"
#include "desktop/HelpBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkaro {

namespace {

QCheckBox* addCheckBox(QGroupBox* group, const QString& text, bool checked)
{
    auto* box = new QCheckBox(text, group);
    box->setChecked(checked);
    group->layout()->addWidget(box);
    return box;
}

} // namespace

CFindDlg::CFindDlg(const FindDialogInput& input, ProfileStore& store, UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_store(store), m_prompt(prompt)
{
    setWindowTitle(QStringLiteral("Find"));
    const FindOptions options = FindOptions::Load(store);

    auto* findWhatGroup = new QGroupBox(QStringLiteral("Find what:"), this);
    m_findWhat = new QComboBox(findWhatGroup);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    m_findWhat->setEditable(true);
    m_findWhat->setInsertPolicy(QComboBox::NoInsert);
    m_findWhat->addItems(input.history);
    m_findWhat->setEditText(input.text);
    m_findWhat->setMinimumContentsLength(24);
    (new QVBoxLayout(findWhatGroup))->addWidget(m_findWhat);

    auto* lookInGroup = new QGroupBox(QStringLiteral("Look in:"), this);
    m_lookIn = new QComboBox(lookInGroup);
    m_lookIn->setObjectName(QStringLiteral("lookIn"));
    m_lookIn->addItems(input.lookIn);
    SelectStoredLookIn();
    (new QVBoxLayout(lookInGroup))->addWidget(m_lookIn);

    m_wholeWord = new QCheckBox(QStringLiteral("Match whole word only"), this);
    m_wholeWord->setChecked(options.wholeWord);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    m_findButton = buttons->addButton(QStringLiteral("Find"), QDialogButtonBox::ActionRole);
    m_findButton->setDefault(true);
    m_findNextButton = buttons->addButton(QStringLiteral("Find Next"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(QDialogButtonBox::Help);

    auto* fields = new QVBoxLayout;
    fields->addWidget(findWhatGroup);
    fields->addWidget(CreateLookAt(options));
    fields->addWidget(lookInGroup);
    fields->addWidget(m_wholeWord);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(m_findButton, &QPushButton::clicked, this, &CFindDlg::OnFind);
    connect(m_findNextButton, &QPushButton::clicked, this, &CFindDlg::OnFindNext);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { HelpBrowser::showHelp(QStringLiteral("find")); });
    m_findWhat->setFocus();
    m_findWhat->lineEdit()->selectAll();
}

QWidget* CFindDlg::CreateLookAt(const FindOptions& options)
{
    auto* group = new QGroupBox(QStringLiteral("Look at:"), this);
    new QVBoxLayout(group);
    m_databaseNames = addCheckBox(group, QStringLiteral("Database Names"), options.databaseNames);
    m_objectNames = addCheckBox(group, QStringLiteral("Object Names"), options.objectNames);
    m_columnNames = addCheckBox(group, QStringLiteral("Column Names"), options.columnNames);
    m_indexNames = addCheckBox(group, QStringLiteral("Index Names"), options.indexNames);
    m_indexColumnNames = addCheckBox(group, QStringLiteral("Index Column Names"), options.indexColumnNames);
    return group;
}

// The first entry that begins with the stored text, letter case ignored; the first entry otherwise.
void CFindDlg::SelectStoredLookIn()
{
    const QString stored = FindOptions::LoadLookIn(m_store);
    int chosen = 0;
    for (int entry = 0; !stored.isEmpty() && entry < m_lookIn->count(); ++entry) {
        if (m_lookIn->itemText(entry).startsWith(stored, Qt::CaseInsensitive)) {
            chosen = entry;
            break;
        }
    }
    m_lookIn->setCurrentIndex(chosen);
}

FindOptions CFindDlg::ShownOptions() const
{
    FindOptions options;
    options.wholeWord = m_wholeWord->isChecked();
    options.databaseNames = m_databaseNames->isChecked();
    options.objectNames = m_objectNames->isChecked();
    options.columnNames = m_columnNames->isChecked();
    options.indexNames = m_indexNames->isChecked();
    options.indexColumnNames = m_indexColumnNames->isChecked();
    return options;
}

void CFindDlg::OnFind()
{
    const QString text = m_findWhat->currentText();
    QString tested = text;
    while (!tested.isEmpty() && tested.back().isSpace())
        tested.chop(1);
    if (tested.isEmpty()) {
        m_prompt.ShowMessage(QStringLiteral("Please enter a string to search for."));
        return;
    }
    const QString scope = m_lookIn->currentText();
    if (!FindOptions::SaveLookIn(m_store, scope))
        m_prompt.ShowMessage(QStringLiteral("Could not save the find options."));
    m_request = FindRequest{false, text, ShownOptions(), scope};
    accept();
}

void CFindDlg::OnFindNext()
{
    m_request = FindRequest{};
    m_request.findNext = true;
    accept();
}

} // namespace velkaro
