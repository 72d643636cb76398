#include "explorer/properties/CPropTab.h"

#include "catalog/ObjectRecord.h"
#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "explorer/core/NodeImages.h"
#include "explorer/logsettings/LookupSettings.h"
#include "explorer/propertydata/PropertyTexts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velkaro {

CPropTab::CPropTab(PropertySheetContext& context, QWidget* parent) : CPropObject(context, {}, parent)
{}

void CPropTab::InitPage()
{
    AddIcon(NodeImage::Table);
    const auto object = FindObject();
    AddAttributes(object.get(), AddGroup(QStringLiteral("Attributes")));
    QFormLayout* contents = AddGroup(QStringLiteral("Contents"));
    const auto columns = object ? object->Columns() : nullptr;
    const auto indexes = object ? object->Indexes() : nullptr;
    QLabel* columnsShown = AddField(QStringLiteral("Columns shown:"), contents);
    QLabel* indexesShown = AddField(QStringLiteral("Indexes shown:"), contents);
    m_rows = AddField(QStringLiteral("Number of Rows:"), contents);
    m_pages = AddField(QStringLiteral("Number of Pages:"), contents);
    m_calculate = new QCheckBox(QStringLiteral("Calculate statistics next time"), this);
    PageLayout()->addWidget(m_calculate);
    QLabel* remarks = AddField(QStringLiteral("Remarks"));
    // The switch as stored now: another window may have changed it.
    LookupSettings& lookup = m_context.hub.GetLookupSettings();
    lookup.DOST.store(LookupSettings::kDost.Read(m_context.store));
    m_calculate->setChecked(lookup.DOST.load() != 0);
    connect(m_calculate, &QCheckBox::toggled, this, &CPropTab::OnCalculateToggled);
    if (!object)
        return;
    columnsShown->setText(QString::number(columns ? columns->columns.size() : 0));
    indexesShown->setText(QString::number(indexes ? indexes->indexes.size() : 0));
    remarks->setText(object->Remarks());
    StartStatistics(object->GetObjectName());
}

void CPropTab::StartStatistics(const ObjectName& table)
{
    const bool calculate = m_context.hub.GetLookupSettings().DOST.load() != 0;
    ShowStatistics(StatisticsQuery::TableBefore(calculate));
    if (!calculate)
        return; // no catalog call at all
    const DatabaseEntryPtr entry = m_context.target.entry;
    const bool started = RunInBackground<StatisticsQuery::Texts>(
        [entry, table] { return StatisticsQuery::Table(*entry, table); },
        [this](const StatisticsQuery::Texts& texts) {
            ShowStatistics(texts);
            ReportFailure(texts.failure);
        });
    if (!started)
        ShowStatistics({PropertyTexts::kNotAvailable, PropertyTexts::kNotAvailable, {}, {}});
}

void CPropTab::ShowStatistics(const StatisticsQuery::Texts& texts)
{
    m_rows->setText(texts.first);
    m_pages->setText(texts.pages);
}

void CPropTab::OnCalculateToggled(bool on)
{
    m_context.hub.GetLookupSettings().DOST.store(on ? 1 : 0);
    if (!LookupSettings::kDost.Write(m_context.store, on ? 1 : 0))
        m_context.prompt.ShowMessage(QStringLiteral("Could not save the settings."));
}

} // namespace velkaro
