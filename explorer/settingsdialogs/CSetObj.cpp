#include "explorer/settingsdialogs/CSetObj.h"

#include "explorer/logsettings/ObjectPageRules.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velkaro {

CSetObj::CSetObj(SettingsSheetContext& context, QWidget* parent)
    : CSetPage(context, parent), m_boxes(context.objects)
{
    auto* retrieve = new QGroupBox(QStringLiteral("Retrieve the following objects"), this);
    auto* grid = new QGridLayout(retrieve);
    grid->addWidget(AddBox(QStringLiteral("System Tables"), &ObjectSettings::OSYS), 0, 0);
    grid->addWidget(AddBox(QStringLiteral("Sequences"), &ObjectSettings::OSEQ), 1, 0);
    grid->addWidget(m_synonyms = AddBox(QStringLiteral("Synonyms"), &ObjectSettings::OSYN), 2, 0);
    grid->addWidget(m_tables = AddBox(QStringLiteral("Tables"), &ObjectSettings::OTAB), 3, 0);
    grid->addWidget(m_views = AddBox(QStringLiteral("Views"), &ObjectSettings::OVIEW), 4, 0);
    grid->addWidget(m_columns = AddBox(QStringLiteral("Columns"), &ObjectSettings::OCOL), 0, 1);
    grid->addWidget(m_indexes = AddBox(QStringLiteral("Indexes"), &ObjectSettings::OIND), 1, 1);
    grid->addWidget(m_indexColumns = AddBox(QStringLiteral("Index Columns"), &ObjectSettings::OINDCOL), 2, 1);
    grid->addWidget(AddBox(QStringLiteral("Others"), &ObjectSettings::OOTHERS), 3, 1);

    auto* important = new QGroupBox(QStringLiteral("IMPORTANT"), this);
    auto* note =
        new QLabel(QStringLiteral("Although selected, not all objects may be accessible through your ODBC "
                                  "driver.\n\nConsult your ODBC driver's manuals for more information."),
                   important);
    note->setWordWrap(true);
    (new QVBoxLayout(important))->addWidget(note);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(retrieve);
    layout->addWidget(important);
    layout->addStretch();

    for (QCheckBox* box : {m_tables, m_views, m_synonyms, m_indexes})
        connect(box, &QCheckBox::clicked, this, &CSetObj::UpdateEnabling);
    UpdateEnabling();
}

QCheckBox* CSetObj::AddBox(const QString& text, std::atomic<int> ObjectSettings::*field)
{
    QCheckBox* box = m_boxes.Add(text, field, this);
    Watch(box);
    return box;
}

void CSetObj::UpdateEnabling()
{
    const ObjectPageRules::Enabled enabled = ObjectPageRules::Evaluate(
        {m_tables->isChecked(), m_views->isChecked(), m_synonyms->isChecked(), m_indexes->isChecked()});
    m_columns->setEnabled(enabled.columns);
    m_indexes->setEnabled(enabled.indexes);
    m_indexColumns->setEnabled(enabled.indexColumns);
}

bool CSetObj::ApplyControls()
{
    m_boxes.Apply();
    return Context().objects.Save(Context().store);
}

QString CSetObj::AppliedMessage() const
{
    return QStringLiteral("Object settings updated.");
}

} // namespace velkaro
