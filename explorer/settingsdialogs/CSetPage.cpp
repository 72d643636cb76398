#include "explorer/settingsdialogs/CSetPage.h"

#include "common/UserPrompt.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LogSettings.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimeEdit>

namespace velkaro {

CSetPage::CSetPage(SettingsSheetContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{}

bool CSetPage::ApplyIfDue()
{
    if (!m_shown || (!m_modified && !AppliesUnchanged()))
        return true;
    const bool saved = ApplyControls();
    if (m_context.log.LANY.load() != 0)
        m_context.activityLog.WriteLog(AppliedMessage());
    m_modified = false;
    return saved;
}

void CSetPage::Watch(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, &CSetPage::MarkModified);
}

void CSetPage::Watch(QLineEdit* edit)
{
    connect(edit, &QLineEdit::textEdited, this, &CSetPage::MarkModified);
}

void CSetPage::Watch(QTimeEdit* edit)
{
    connect(edit, &QTimeEdit::timeChanged, this, &CSetPage::MarkModified);
}

QLineEdit* CSetPage::DigitsEdit(int value)
{
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    Watch(edit);
    return edit;
}

std::optional<int> CSetPage::CheckedNumber(QLineEdit* edit, const IntegerRange& range)
{
    const std::optional<int> number = range.Parse(edit->text());
    if (!number) {
        m_context.prompt.ShowMessage(range.Message());
        edit->setFocus();
        edit->selectAll();
    }
    return number;
}

void CSetPage::showEvent(QShowEvent* event)
{
    m_shown = true;
    QWidget::showEvent(event);
}

void CSetPage::MarkModified()
{
    m_modified = true;
    emit Modified();
}

} // namespace velkaro
