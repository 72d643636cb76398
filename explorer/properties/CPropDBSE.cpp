#include "explorer/properties/CPropDBSE.h"

#include "explorer/core/NodeImages.h"
#include "explorer/propertydata/PropertyTexts.h"

#include <QLabel>
#include <QTimer>

namespace velkaro {

CPropDBSE::CPropDBSE(PropertySheetContext& context, QWidget* parent) : CPropPage(context, parent)
{}

void CPropDBSE::InitPage()
{
    AddIcon(NodeImage::Root);
    m_databases = AddField(QStringLiteral("Number of Databases:"));
    m_upSince = AddField(QStringLiteral("Up Since:"));
    m_inUse = AddField(QStringLiteral("Databases currently in use:"));
    AddNote(QStringLiteral("A database is in use when it is currently being accessed by Velkaro; either for "
                           "refreshing or for initial load."));
    m_upSince->setText(PropertyTexts::Time(m_context.hub.StartTime()));
    ShowCounts();
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CPropDBSE::ShowCounts);
    m_timer->start(kRecountMs);
}

void CPropDBSE::ShowCounts()
{
    const DatabaseList& databases = m_context.hub.Databases();
    m_databases->setText(QString::number(databases.size()));
    m_inUse->setText(QString::number(databases.CountBusyDatabases()));
}

} // namespace velkaro
