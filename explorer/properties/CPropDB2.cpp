#include "explorer/properties/CPropDB2.h"

#include "catalog/CDbSession.h"

#include <QLabel>

namespace velkaro {

CPropDB2::CPropDB2(PropertySheetContext& context, QWidget* parent) : CPropPage(context, parent)
{}

void CPropDB2::InitPage()
{
    const CDbSession& session = *m_context.target.entry->session;
    AddField(QStringLiteral("Database:"))->setText(m_context.target.entry->alias);
    AddField(QStringLiteral("Data Source Name:"))->setText(session.DataSourceName());
    AddField(QStringLiteral("Driver Name:"))->setText(session.DriverName());
    AddField(QStringLiteral("Driver Version:"))->setText(session.DriverVersion());
    AddField(QStringLiteral("Driver ODBC Version:"))->setText(session.DriverOdbcVersion());
    AddField(QStringLiteral("ODBC Version:"))->setText(session.OdbcVersion());
}

} // namespace velkaro
