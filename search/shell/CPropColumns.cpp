#include "search/shell/CPropColumns.h"

#include "search/engine/IgnoredColumns.h"
#include "search/engine/SearchParameters.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velkaro {

CPropColumns::CPropColumns(SearchParameters& parameters, UserPrompt& prompt, QWidget* parent)
    : QWidget(parent), m_parameters(parameters), m_prompt(prompt)
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Ignore columns with names like:"), this), 0, 0, 1, 2);
    m_pattern = new QLineEdit(this);
    m_pattern->setObjectName(QStringLiteral("patternEdit"));
    m_add = new QPushButton(QStringLiteral("Add"), this);
    m_add->setObjectName(QStringLiteral("addButton"));
    layout->addWidget(m_pattern, 1, 0);
    layout->addWidget(m_add, 1, 1);
    m_patterns = new QListWidget(this);
    m_patterns->setObjectName(QStringLiteral("patternList"));
    m_patterns->setSelectionMode(QAbstractItemView::SingleSelection);
    m_patterns->addItems(parameters.ignoredColumnPatterns);
    auto* remove = new QPushButton(QStringLiteral("Remove"), this);
    remove->setObjectName(QStringLiteral("removeButton"));
    remove->setAutoDefault(false);
    layout->addWidget(m_patterns, 2, 0);
    layout->addWidget(remove, 2, 1, Qt::AlignTop);
    // Kept and stored, but not offered.
    m_ignoreCase = new QCheckBox(QStringLiteral("Ignore Case when comparing column names"), this);
    m_ignoreTypeLength = new QCheckBox(QStringLiteral("Ignore differences in length of column type"), this);
    m_ignoreCase->setChecked(parameters.ignoreCaseColumnNames);
    m_ignoreTypeLength->setChecked(parameters.ignoreColumnTypeLength);
    m_ignoreCase->hide();
    m_ignoreTypeLength->hide();

    connect(m_add, &QPushButton::clicked, this, &CPropColumns::AddPattern);
    connect(remove, &QPushButton::clicked, this, &CPropColumns::RemovePattern);
}

void CPropColumns::AddPattern()
{
    QStringList patterns;
    if (AddIgnoredPattern(patterns, m_pattern->text(), m_prompt) != PatternAddResult::Added)
        return;
    m_patterns->addItems(patterns);
    m_pattern->clear();
    m_pattern->setFocus();
}

void CPropColumns::RemovePattern()
{
    const QList<QListWidgetItem*> selected = m_patterns->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

bool CPropColumns::TakePendingPattern()
{
    if (m_pattern->text().isEmpty())
        return true;
    AddPattern();
    return false;
}

void CPropColumns::Apply()
{
    QStringList patterns;
    for (int row = 0; row < m_patterns->count(); ++row)
        patterns.append(m_patterns->item(row)->text());
    m_parameters.ignoredColumnPatterns = patterns;
    m_parameters.ignoreCaseColumnNames = m_ignoreCase->isChecked();
    m_parameters.ignoreColumnTypeLength = m_ignoreTypeLength->isChecked();
}

} // namespace velkaro
