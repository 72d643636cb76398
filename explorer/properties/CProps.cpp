#include "explorer/properties/CProps.h"

#include "explorer/properties/CPropCol.h"
#include "explorer/properties/CPropDB.h"
#include "explorer/properties/CPropDB2.h"
#include "explorer/properties/CPropDBSE.h"
#include "explorer/properties/CPropInd.h"
#include "explorer/properties/CPropSeq.h"
#include "explorer/properties/CPropSyn.h"
#include "explorer/properties/CPropSys.h"
#include "explorer/properties/CPropTab.h"
#include "explorer/properties/CPropTab2.h"
#include "explorer/properties/CPropTab3.h"
#include "explorer/properties/CPropTab4.h"
#include "explorer/properties/CPropView.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velkaro {

std::unique_ptr<CProps> CProps::Create(ExplorerHub& hub, ProfileStore& store, UserPrompt& prompt,
                                       const PropertyTarget& target, QWidget* parent)
{
    std::unique_ptr<CProps> sheet(new CProps(PropertySheetContext{hub, store, prompt, target, {}}, parent));
    if (!sheet->AddPages())
        return nullptr;
    return sheet;
}

CProps::CProps(PropertySheetContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)), m_tabs(new QTabWidget(this))
{
    setWindowTitle(m_context.target.SheetTitle());
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    // Nothing on the pages waits to be applied.
    buttons->button(QDialogButtonBox::Apply)->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(560, 480);
}

bool CProps::AddPages()
{
    PropertySheetContext& c = m_context;
    const QString general = QStringLiteral("General");
    switch (c.target.kind) {
    case PropertyTarget::Kind::Root:
        AddPage(new CPropDBSE(c), general);
        return true;
    case PropertyTarget::Kind::Database:
        AddPage(new CPropDB(c), general);
        AddPage(new CPropDB2(c), QStringLiteral("ODBC"));
        return true;
    case PropertyTarget::Kind::Index:
        AddPage(new CPropInd(c), general);
        return true;
    case PropertyTarget::Kind::Column:
        AddPage(new CPropCol(c), general);
        return true;
    case PropertyTarget::Kind::Object:
        break;
    }
    const QString& type = c.target.objectType;
    if (type == QLatin1String("TABLE")) {
        AddPage(new CPropTab(c), general);
        AddPage(new CPropTab2(c), QStringLiteral("Primary Keys"));
        AddPage(new CPropTab3(c), QStringLiteral("Foreign Keys"));
        AddPage(new CPropTab4(c), QStringLiteral("Reference Foreign Keys"));
    } else if (type == QLatin1String("SYSTEM TABLE")) {
        AddPage(new CPropSys(c), general);
    } else if (type == QLatin1String("SEQUENCE")) {
        AddPage(new CPropSeq(c), general);
    } else if (type == QLatin1String("SYNONYM")) {
        AddPage(new CPropSyn(c), general);
    } else if (type == QLatin1String("VIEW")) {
        AddPage(new CPropView(c), general);
    }
    return m_tabs->count() > 0;
}

void CProps::AddPage(CPropPage* page, const QString& title)
{
    m_tabs->addTab(page, title);
}

CPropPage* CProps::Page(int index) const
{
    return qobject_cast<CPropPage*>(m_tabs->widget(index));
}

void CProps::done(int result)
{
    for (int index = 0; index < m_tabs->count(); ++index)
        Page(index)->Detach();
    QDialog::done(result);
}

} // namespace velkaro
