#include "explorer/settingsdialogs/CSetLog.h"

#include "common/UserPrompt.h"
#include "explorer/logsettings/ActivityLog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkaro {

CSetLog::CSetLog(SettingsSheetContext& context, QWidget* parent)
    : CSetPage(context, parent), m_boxes(context.log)
{
    m_logEvents = AddBox(QStringLiteral("Log Events"), &LogSettings::enabled, this);
    m_fileName = new QLineEdit(context.activityLog.CurrentPath(), this);
    Watch(m_fileName);
    auto* browseButton = new QPushButton(QStringLiteral("Browse"), this);
    connect(browseButton, &QPushButton::clicked, this, &CSetLog::Browse);
    QCheckBox* truncate = AddBox(QStringLiteral("Truncate at startup"), &LogSettings::truncate, this);
    QCheckBox* append = AddBox(QStringLiteral("Append if exists"), &LogSettings::append, this);
    auto* tip = new QLabel(QStringLiteral("TIP: Uncheck Truncate and Append to automatically generate a new "
                                          "log file when starting Velkaro."),
                           this);
    tip->setWordWrap(true);
    QWidget* categories = CategoryGroup();

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileName, 1);
    fileRow->addWidget(browseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_logEvents);
    layout->addLayout(fileRow);
    layout->addWidget(truncate);
    layout->addWidget(append);
    layout->addWidget(tip);
    layout->addWidget(categories);
    layout->addStretch();

    m_dependents = {m_fileName, browseButton, truncate, append, tip, categories};
    connect(m_logEvents, &QCheckBox::clicked, this, &CSetLog::UpdateEnabling);
    UpdateEnabling();
}

QWidget* CSetLog::CategoryGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Create log entries when:"), this);
    auto* grid = new QGridLayout(group);
    const QList<std::pair<const char*, std::atomic<int> LogSettings::*>> categories{
        {"Adding Databases", &LogSettings::LADD},
        {"Removing Databases", &LogSettings::LREM},
        {"Loading Objects", &LogSettings::LOBJ},
        {"Loading Columns", &LogSettings::LCOL},
        {"Loading Indexes", &LogSettings::LIND},
        {"Searching in Objects", &LogSettings::LSOBJ},
        {"Searching in Columns", &LogSettings::LSCOL},
        {"Searching in Indexes", &LogSettings::LSIND},
        {"Refreshing", &LogSettings::LREF},
        {"Everything else (Large Log)", &LogSettings::LANY},
    };
    const int rows = (categories.size() + 1) / 2;
    for (int i = 0; i < categories.size(); ++i) {
        grid->addWidget(AddBox(QString::fromLatin1(categories[i].first), categories[i].second, group),
                        i % rows, i / rows);
    }
    return group;
}

QCheckBox* CSetLog::AddBox(const QString& text, std::atomic<int> LogSettings::*field, QWidget* parent)
{
    QCheckBox* box = m_boxes.Add(text, field, parent);
    Watch(box);
    return box;
}

void CSetLog::Browse()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Log File");
    request.initialPath = m_fileName->text();
    request.defaultSuffix = QStringLiteral("log");
    request.filter = QStringLiteral("Velkaro Files (*.log)");
    request.confirmOverwrite = true;
    request.pathMustExist = true;
    if (const std::optional<SaveFileChoice> chosen = Context().prompt.ChooseSaveFile(request)) {
        m_fileName->setText(chosen->path);
        MarkModified();
    }
}

void CSetLog::UpdateEnabling()
{
    for (QWidget* control : m_dependents)
        control->setEnabled(m_logEvents->isChecked());
}

bool CSetLog::ApplyControls()
{
    // Replaced under the log's writer lock: workers read the name while they write.
    Context().activityLog.SetFileName(ActivityLog::StripLogExtension(m_fileName->text()));
    m_boxes.Apply();
    return Context().log.Save(Context().store);
}

QString CSetLog::AppliedMessage() const
{
    return QStringLiteral("Log settings updated.");
}

} // namespace velkaro
