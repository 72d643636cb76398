#include "explorer/views/CReportsDlg.h"

#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "explorer/hub/ExplorerHub.h"
#include "explorer/reports/ReportFileSink.h"
#include "explorer/reports/ReportFlags.h"
#include "explorer/reports/ReportGenerator.h"
#include "explorer/reports/ReportPrinterSink.h"
#include "explorer/views/CReportProgressDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

namespace velkaro {

namespace {

// One report's output. The sink is declared last so that it goes first: it paints on the printer.
struct ReportOutput
{
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<ReportLineSink> sink;
    ReportPrinterSink* printerSink = nullptr;
};

bool showPrintDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    // No page range or selection: a report is printed whole.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

QCheckBox* checkBox(const QString& text, const QString& name, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* moveButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void runReport(const DatabaseEntryPtr& entry, ReportOutput& output, ReportRequest request,
               const QString& missingFileName, UserPrompt& prompt)
{
    if (!missingFileName.isEmpty()) {
        prompt.ShowMessage(missingFileName);
        return;
    }
    ReportGenerator generator(*entry->session, std::move(request), *output.sink, prompt);
    if (generator.Run() == ReportOutcome::Completed)
        prompt.ShowMessage(QStringLiteral("Printing Completed."));
}

} // namespace

CReportsDlg::CReportsDlg(ExplorerHub& hub, ProfileStore& store, UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_hub(hub), m_store(store), m_prompt(prompt), m_choosePrinter(&showPrintDialog)
{
    setWindowTitle(QStringLiteral("Reports"));
    auto* buttons = new QDialogButtonBox(this);
    m_print = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::ActionRole);
    m_print->setObjectName(QStringLiteral("print"));
    buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    buttons->addButton(QDialogButtonBox::Help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateDatabaseGroup());
    layout->addWidget(CreateObjectGroup(), 1);
    layout->addWidget(CreateOptionsGroup());
    layout->addWidget(buttons);

    connect(m_print, &QPushButton::clicked, this, &CReportsDlg::Print);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportsDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &CReportsDlg::HelpRequested);
    LoadSettings();
}

CReportsDlg::~CReportsDlg() = default;

QWidget* CReportsDlg::CreateDatabaseGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Select database"), this);
    m_database = new QComboBox(group);
    m_database->setObjectName(QStringLiteral("database"));
    m_onlyWithColumns = checkBox(QStringLiteral(" Show only objects\n  with columns"),
                                 QStringLiteral("onlyWithColumns"), group);
    auto* row = new QHBoxLayout(group);
    row->addWidget(m_database, 1);
    row->addWidget(m_onlyWithColumns);
    connect(m_database, &QComboBox::currentIndexChanged, this, &CReportsDlg::FillObjectLists);
    connect(m_onlyWithColumns, &QCheckBox::clicked, this, &CReportsDlg::FillObjectLists);
    return group;
}

QWidget* CReportsDlg::CreateObjectGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Choose Objects"), this);
    m_available = new QListWidget(group);
    m_available->setObjectName(QStringLiteral("available"));
    m_available->setSortingEnabled(true);
    m_chosen = new QListWidget(group);
    m_chosen->setObjectName(QStringLiteral("chosen"));
    m_move = moveButton(QStringLiteral(">"), QStringLiteral("move"), group);
    m_moveAll = moveButton(QStringLiteral(">>"), QStringLiteral("moveAll"), group);
    m_back = moveButton(QStringLiteral("<"), QStringLiteral("back"), group);
    m_backAll = moveButton(QStringLiteral("<<"), QStringLiteral("backAll"), group);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {m_move, m_moveAll, m_back, m_backAll})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* row = new QHBoxLayout(group);
    row->addWidget(m_available, 1);
    row->addLayout(buttons);
    row->addWidget(m_chosen, 1);

    connect(m_move, &QPushButton::clicked, this, [this] { MoveSelected(m_available, m_chosen); });
    connect(m_back, &QPushButton::clicked, this, [this] { MoveSelected(m_chosen, m_available); });
    connect(m_moveAll, &QPushButton::clicked, this, [this] { MoveAll(m_available, m_chosen); });
    connect(m_backAll, &QPushButton::clicked, this, [this] { MoveAll(m_chosen, m_available); });
    connect(m_available, &QListWidget::itemDoubleClicked, this,
            [this] { MoveSelected(m_available, m_chosen); });
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, [this] { MoveSelected(m_chosen, m_available); });
    return group;
}

QWidget* CReportsDlg::CreateOptionsGroup()
{
    auto* box = new QWidget(this);
    auto* include = new QGroupBox(QStringLiteral("Include in report"), box);
    m_columns = checkBox(QStringLiteral("Columns"), QStringLiteral("columns"), include);
    m_indexes = checkBox(QStringLiteral("Indexes"), QStringLiteral("indexes"), include);
    m_primaryKeys = checkBox(QStringLiteral("Primary Keys"), QStringLiteral("primaryKeys"), include);
    m_foreignKeys = checkBox(QStringLiteral("Foreign Keys"), QStringLiteral("foreignKeys"), include);
    auto* sections = new QGridLayout(include);
    sections->addWidget(m_columns, 0, 0);
    sections->addWidget(m_indexes, 0, 1);
    sections->addWidget(m_primaryKeys, 1, 0);
    sections->addWidget(m_foreignKeys, 1, 1);

    m_toFile = checkBox(QStringLiteral("Print to file"), QStringLiteral("toFile"), box);
    m_fileName = new QLineEdit(box);
    m_fileName->setObjectName(QStringLiteral("fileName"));
    m_browse = moveButton(QStringLiteral(". . ."), QStringLiteral("browse"), box);
    m_pageBreak = checkBox(QStringLiteral("Page Break between objects"), QStringLiteral("pageBreak"), box);
    auto* file = new QHBoxLayout;
    file->addWidget(m_toFile);
    file->addWidget(m_fileName, 1);
    file->addWidget(m_browse);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(include);
    layout->addLayout(file);
    layout->addWidget(m_pageBreak);

    connect(m_toFile, &QCheckBox::clicked, this, &CReportsDlg::ApplyOutputRule);
    connect(m_browse, &QPushButton::clicked, this, &CReportsDlg::ChooseFile);
    return box;
}

void CReportsDlg::LoadSettings()
{
    const ReportSettings settings = ReportSettings::Load(m_store);
    {
        const QSignalBlocker quiet(m_database);
        for (const DatabaseEntryPtr& entry : m_hub.Databases().Entries())
            m_database->addItem(entry->alias);
        const int stored = m_database->findText(settings.database, Qt::MatchExactly | Qt::MatchCaseSensitive);
        m_database->setCurrentIndex(stored >= 0 ? stored : 0);
    }
    m_columns->setChecked(settings.columns);
    m_onlyWithColumns->setChecked(settings.onlyWithColumns);
    m_indexes->setChecked(settings.indexes);
    m_primaryKeys->setChecked(settings.primaryKeys);
    m_foreignKeys->setChecked(settings.foreignKeys);
    m_toFile->setChecked(settings.toFile);
    m_pageBreak->setChecked(settings.pageBreak);
    m_fileName->setText(settings.fileName);
    FillObjectLists();
    ApplyOutputRule();
}

ReportSettings CReportsDlg::CurrentSettings() const
{
    ReportSettings settings;
    settings.columns = m_columns->isChecked();
    settings.onlyWithColumns = m_onlyWithColumns->isChecked();
    settings.indexes = m_indexes->isChecked();
    settings.primaryKeys = m_primaryKeys->isChecked();
    settings.foreignKeys = m_foreignKeys->isChecked();
    settings.toFile = m_toFile->isChecked();
    settings.pageBreak = m_pageBreak->isChecked();
    settings.fileName = m_fileName->text();
    settings.database = m_database->currentText();
    return settings;
}

void CReportsDlg::ApplyOutputRule()
{
    const bool toFile = m_toFile->isChecked();
    m_fileName->setEnabled(toFile);
    m_browse->setEnabled(toFile);
    m_pageBreak->setEnabled(!toFile);
}

DatabaseEntryPtr CReportsDlg::SelectedEntry() const
{
    return m_hub.Databases().FindEntryByAlias(m_database->currentText());
}

void CReportsDlg::FillObjectLists()
{
    m_available->clear();
    m_chosen->clear();
    const DatabaseEntryPtr entry = SelectedEntry();
    if (!entry || !entry->session)
        return;
    const bool onlyWithColumns = m_onlyWithColumns->isChecked();
    // A name stands for every object of that name, so each is offered once.
    QSet<QString> offered;
    for (const std::shared_ptr<ObjectRecord>& object : entry->session->Objects()) {
        const std::shared_ptr<const ColumnList> columns = object->Columns();
        if (onlyWithColumns && (!columns || columns->columns.empty()))
            continue;
        if (!offered.contains(object->Name())) {
            offered.insert(object->Name());
            m_available->addItem(object->Name());
        }
    }
}

void CReportsDlg::MoveSelected(QListWidget* from, QListWidget* to)
{
    QListWidgetItem* item = from->currentItem();
    if (!item || !item->isSelected())
        return;
    to->addItem(from->takeItem(from->row(item)));
}

void CReportsDlg::MoveAll(QListWidget* from, QListWidget* to)
{
    while (from->count() > 0)
        to->addItem(from->takeItem(0));
}

void CReportsDlg::ChooseFile()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Report File");
    request.initialPath = m_fileName->text();
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("Text Files (*.txt);;All Files (*)");
    if (const std::optional<SaveFileChoice> choice = m_prompt.ChooseSaveFile(request))
        m_fileName->setText(choice->path);
}

void CReportsDlg::Print()
{
    const ReportSettings settings = CurrentSettings();
    settings.Save(m_store);
    if (!settings.columns && !settings.indexes && !settings.primaryKeys && !settings.foreignKeys) {
        m_prompt.ShowMessage(QStringLiteral("Please select at least 1 option to include in report."));
        return;
    }
    if (m_chosen->count() == 0) {
        m_prompt.ShowMessage(QStringLiteral("Please select an object to print"));
        return;
    }
    if (const DatabaseEntryPtr entry = SelectedEntry())
        StartReport(entry, settings);
}

bool CReportsDlg::StartReport(const DatabaseEntryPtr& entry, const ReportSettings& settings)
{
    auto output = std::make_shared<ReportOutput>();
    if (settings.toFile) {
        output->sink = std::make_unique<ReportFileSink>(settings.fileName);
    } else {
        output->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_choosePrinter(*output->printer, this)) {
            m_prompt.ShowMessage(QStringLiteral("Error opening printer device"));
            return false;
        }
        auto sink = std::make_unique<ReportPrinterSink>(*output->printer);
        output->printerSink = sink.get();
        output->sink = std::move(sink);
    }
    ReportRequest request;
    for (int row = 0; row < m_chosen->count(); ++row)
        request.choices.push_back({m_chosen->item(row)->text(), QString(), true});
    request.sections = {settings.columns, settings.indexes, settings.primaryKeys, settings.foreignKeys};
    request.pageBreak = !settings.toFile && settings.pageBreak;
    request.databaseInUse = [entry] { return entry->Busy(); };
    auto flags = std::make_shared<ReportFlags>();
    request.mayContinue = [flags, terminate = m_hub.TerminateFlag()] {
        return flags->continueFlag.load() != 0 && terminate->load() == 0;
    };
    const QString missingFileName = settings.toFile && settings.fileName.isEmpty()
                                        ? QStringLiteral("Please enter a file name")
                                        : QString();

    flags->doneFlag.store(0);
    flags->continueFlag.store(1);
    UserPrompt& prompt = m_prompt;
    const bool started =
        m_hub.Workers().Threads().Start([flags, entry, output, request, missingFileName, &prompt] {
            runReport(entry, *output, request, missingFileName, prompt);
            flags->doneFlag.store(1);
        });
    if (!started) {
        m_prompt.ShowError(QStringLiteral("Could not start report thread."));
        return false;
    }
    std::function<void()> finishJob;
    if (output->printerSink)
        finishJob = [output] { output->printerSink->FinishJob(); };
    CReportProgressDlg progress(flags, finishJob, m_prompt, this);
    progress.exec();
    WaitUntilDone(*flags);
    return true;
}

void CReportsDlg::WaitUntilDone(const ReportFlags& flags) const
{
    // The interface keeps serving the generator's messages while it ends.
    while (flags.doneFlag.load() == 0) {
        QEventLoop wait;
        QTimer::singleShot(kDoneTestMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

} // namespace velkaro
