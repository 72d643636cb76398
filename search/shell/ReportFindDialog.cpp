#include "search/shell/ReportFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkaro {

ReportFindDialog::ReportFindDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    label->setBuddy(m_text);
    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("findNextButton"));
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);

    connect(m_text, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &ReportFindDialog::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_text, 0, 1);
    layout->addWidget(m_findNext, 0, 2);
    layout->addWidget(m_wholeWord, 1, 0, 1, 2);
    layout->addWidget(cancel, 1, 2);
    layout->addWidget(m_matchCase, 2, 0, 1, 2);
}

QString ReportFindDialog::FindText() const
{
    return m_text->text();
}

QTextDocument::FindFlags ReportFindDialog::Flags() const
{
    QTextDocument::FindFlags flags;
    if (m_wholeWord->isChecked())
        flags |= QTextDocument::FindWholeWords;
    if (m_matchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    return flags;
}

} // namespace velkaro
