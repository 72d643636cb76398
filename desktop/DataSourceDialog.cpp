#include "desktop/DataSourceDialog.h"

#include "catalog/DataSourceCatalog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velkaro {

namespace {

constexpr int kConnectStringRole = Qt::UserRole;

QTreeWidget* createList(const QStringList& headers, const QString& objectName)
{
    auto* list = new QTreeWidget;
    list->setObjectName(objectName);
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

QTreeWidgetItem* addRow(QTreeWidget* list, const QStringList& columns, const QString& connectString)
{
    auto* item = new QTreeWidgetItem(list, columns);
    item->setData(0, kConnectStringRole, connectString);
    return item;
}

} // namespace

DataSourceDialog::DataSourceDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Select Data Source"));
    auto* tabs = new QTabWidget;
    tabs->addTab(createDataSourcePage(), tr("Data Sources"));
    tabs->addTab(createDriverPage(), tr("Drivers"));

    m_connectString = new QLineEdit;
    m_connectString->setObjectName(QStringLiteral("connectString"));
    m_connectString->setPlaceholderText(tr("DSN=name or DRIVER={driver};SERVER=...;DATABASE=..."));
    auto* form = new QFormLayout;
    form->addRow(tr("Connection string:"), m_connectString);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_connectString, &QLineEdit::textChanged, this, &DataSourceDialog::updateOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(form);
    layout->addWidget(m_buttons);
    resize(560, 400);
    updateOk();
}

QWidget* DataSourceDialog::createDataSourcePage()
{
    m_dataSources = createList({tr("Name"), tr("Type"), tr("Driver")}, QStringLiteral("dataSources"));
    for (const DataSourceInfo& source : DataSourceCatalog::DataSources()) {
        addRow(m_dataSources, {source.name, source.system ? tr("System") : tr("User"), source.driver},
               DataSourceCatalog::ConnectStringForDataSource(source.name));
    }
    connect(m_dataSources, &QTreeWidget::currentItemChanged, this, &DataSourceDialog::pick);
    connect(m_dataSources, &QTreeWidget::itemActivated, this, &QDialog::accept);
    return m_dataSources;
}

QWidget* DataSourceDialog::createDriverPage()
{
    auto* page = new QWidget;
    m_drivers = createList({tr("Driver"), tr("Description")}, QStringLiteral("drivers"));
    for (const DriverInfo& driver : DataSourceCatalog::Drivers())
        addRow(m_drivers, {driver.name, driver.description},
               DataSourceCatalog::ConnectStringForDriver(driver.name));
    connect(m_drivers, &QTreeWidget::currentItemChanged, this, &DataSourceDialog::pick);
    // A driver alone rarely connects: the user completes the string below, so no accept on activation.
    connect(m_drivers, &QTreeWidget::itemActivated, this, [this] { m_connectString->setFocus(); });
    auto* hint = new QLabel(tr("Choose a driver, then complete the connection string below "
                               "(server, database and other attributes the driver needs)."));
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_drivers);
    layout->addWidget(hint);
    return page;
}

void DataSourceDialog::pick(QTreeWidgetItem* item)
{
    if (item)
        m_connectString->setText(item->data(0, kConnectStringRole).toString());
}

void DataSourceDialog::updateOk()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!connectString().isEmpty());
}

QString DataSourceDialog::connectString() const
{
    return m_connectString->text().trimmed();
}

} // namespace velkaro
