#include "explorer/properties/CPropPage.h"

#include "catalog/CDbSession.h"
#include "common/UserPrompt.h"
#include "explorer/views/NodeImageList.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velkaro {

CPropPage::CPropPage(PropertySheetContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_layout(new QVBoxLayout(this))
{}

CPropPage::~CPropPage()
{
    Detach();
}

void CPropPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_initialised)
        return;
    m_initialised = true;
    InitPage();
    m_layout->addStretch(1);
}

void CPropPage::AddIcon(int image)
{
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("kindIcon"));
    icon->setPixmap(NodeImageList::Pixmap(image));
    m_layout->addWidget(icon, 0, Qt::AlignLeft | Qt::AlignTop);
}

QLabel* CPropPage::AddField(const QString& label, QFormLayout* form)
{
    if (!form) {
        if (!m_form) {
            m_form = new QFormLayout;
            m_layout->addLayout(m_form);
        }
        form = m_form;
    }
    auto* value = new QLabel(this);
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    auto* name = new QLabel(label, this);
    name->setBuddy(value);
    form->addRow(name, value);
    return value;
}

QFormLayout* CPropPage::AddGroup(const QString& title)
{
    auto* group = new QGroupBox(title, this);
    auto* form = new QFormLayout(group);
    m_layout->addWidget(group);
    return form;
}

void CPropPage::AddNote(const QString& text)
{
    auto* note = new QLabel(text, this);
    note->setWordWrap(true);
    m_layout->addWidget(note);
}

void CPropPage::ReportFailure(const QString& failure)
{
    if (failure.isEmpty() || m_context.shownFailures.contains(failure))
        return;
    m_context.shownFailures.append(failure);
    m_context.prompt.ShowMessage(failure);
}

ObjectSnapshot CPropPage::Objects() const
{
    return m_context.target.entry ? m_context.target.entry->session->Objects() : ObjectSnapshot{};
}

} // namespace velkaro
