#include "explorer/settingsdialogs/CSetObjLook.h"

#include "explorer/logsettings/LookupSettings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velkaro {

CSetObjLook::CSetObjLook(SettingsSheetContext& context, QWidget* parent) : CSetPage(context, parent)
{
    const LookupSettings& lookup = context.lookup;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioPair(QStringLiteral("Database Objects"),
                                QStringLiteral("Retrieve Objects when Database is accessed"),
                                QStringLiteral("Retrieve Objects when Database is loaded"),
                                lookup.RAOBJ.load() != 0, m_objectsWhenAccessed));
    layout->addWidget(RadioPair(QStringLiteral("Object Columns"),
                                QStringLiteral("Retrieve Columns and Indexes when Object is accessed"),
                                QStringLiteral("Retrieve Columns and Indexes when Object is loaded"),
                                lookup.RACOL.load() != 0, m_columnsWhenAccessed));

    auto* threads = new QGroupBox(QStringLiteral("Multi-threading"), this);
    auto* row = new QHBoxLayout(threads);
    m_maxDatabases = DigitsEdit(lookup.MaxM.load());
    row->addWidget(new QLabel(QStringLiteral("Load and Refresh up to"), threads));
    row->addWidget(m_maxDatabases);
    row->addWidget(new QLabel(QStringLiteral("databases at a time"), threads));
    row->addStretch();
    layout->addWidget(threads);
    layout->addStretch();
}

QWidget* CSetObjLook::RadioPair(const QString& title, const QString& first, const QString& second,
                                bool firstChosen, QRadioButton*& firstButton)
{
    auto* group = new QGroupBox(title, this);
    firstButton = new QRadioButton(first, group);
    auto* secondButton = new QRadioButton(second, group);
    (firstChosen ? firstButton : secondButton)->setChecked(true);
    Watch(firstButton);
    Watch(secondButton);
    auto* column = new QVBoxLayout(group);
    column->addWidget(firstButton);
    column->addWidget(secondButton);
    return group;
}

bool CSetObjLook::Validate()
{
    return CheckedNumber(m_maxDatabases, kMaxDatabasesRange).has_value();
}

bool CSetObjLook::ApplyControls()
{
    LookupSettings& lookup = Context().lookup;
    lookup.RAOBJ = m_objectsWhenAccessed->isChecked() ? 1 : 0;
    lookup.RACOL = m_columnsWhenAccessed->isChecked() ? 1 : 0;
    lookup.MaxM = kMaxDatabasesRange.Parse(m_maxDatabases->text()).value_or(lookup.MaxM.load());
    return lookup.Save(Context().store);
}

QString CSetObjLook::AppliedMessage() const
{
    return QStringLiteral("Object Lookup settings updated.");
}

} // namespace velkaro
