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

bool CSetPage::applyIfDue()
{
    if (!m_shown || (!m_modified && !appliesUnchanged()))
        return true;
    const bool saved = applyControls();
    if (m_context.log.LANY.load() != 0)
        m_context.activityLog.WriteLog(appliedMessage());
    m_modified = false;
    return saved;
}

void CSetPage::watch(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, &CSetPage::markModified);
}

void CSetPage::watch(QLineEdit* edit)
{
    connect(edit, &QLineEdit::textEdited, this, &CSetPage::markModified);
}

void CSetPage::watch(QTimeEdit* edit)
{
    connect(edit, &QTimeEdit::timeChanged, this, &CSetPage::markModified);
}

QLineEdit* CSetPage::digitsEdit(int value)
{
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    watch(edit);
    return edit;
}

std::optional<int> CSetPage::checkedNumber(QLineEdit* edit, const IntegerRange& range)
{
    const std::optional<int> number = range.parse(edit->text());
    if (!number) {
        m_context.prompt.showMessage(range.message());
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

void CSetPage::markModified()
{
    m_modified = true;
    emit modified();
}

} // namespace velkaro
