#include "explorer/reports/ReportGenerator.h"

#include "catalog/CDbSession.h"
#include "explorer/reports/ReportLineSink.h"
#include "explorer/reports/ReportText.h"

namespace velkaro {

using ReportText::Indent;
using ReportText::PadRight;

namespace {
constexpr int kNameIndent = 6;
constexpr int kDetailIndent = 12;
constexpr int kNamePadding = 3;
constexpr int kIndexNamePadding = 9;
constexpr int kKeySeqWidth = 4;
constexpr int kKeyColumnWidth = 35;

#define VELKARO_REPORT_STEP(call)                                                                            \
    do {                                                                                                     \
        if (const Step step = (call); step != Step::Written)                                                 \
            return step;                                                                                     \
    } while (false)
} // namespace

const QString ReportGenerator::kTitle = QStringLiteral("VELKARO OBJECTS REPORT");

ReportGenerator::ReportGenerator(CDbSession& session, ReportRequest request, ReportLineSink& sink,
                                 UserPrompt& prompt)
    : m_session(session), m_request(std::move(request)), m_sink(sink), m_prompt(prompt)
{}

bool ReportGenerator::MayContinue() const
{
    return !m_request.mayContinue || m_request.mayContinue();
}

ReportGenerator::Step ReportGenerator::Line(const QString& text, bool bold)
{
    if (!MayContinue())
        return Step::Canceled;
    return m_sink.EmitLine(text, bold) ? Step::Written : Step::Failed;
}

ReportOutcome ReportGenerator::Run()
{
    if (!m_sink.Open(m_prompt))
        return ReportOutcome::Failed;
    Step step = Title();
    const std::vector<std::shared_ptr<ObjectRecord>> objects = m_session.Objects();
    for (const ReportChoice& choice : m_request.choices) {
        if (step != Step::Written)
            break;
        if (!MayContinue()) {
            step = Step::Canceled;
            break;
        }
        for (const std::shared_ptr<ObjectRecord>& object : objects) {
            if (step == Step::Written && choice.Matches(*object))
                step = Object(*object);
        }
    }
    if (step == Step::Canceled)
        return Cancel();
    if (step == Step::Failed || !m_sink.EmitLine(QStringLiteral("END OF REPORT"), false)) {
        m_sink.Close(m_prompt);
        return ReportOutcome::Failed;
    }
    return m_sink.Close(m_prompt) ? ReportOutcome::Completed : ReportOutcome::Failed;
}

ReportOutcome ReportGenerator::Cancel()
{
    for (const char* text : {"", "", "Canceled...", "", ""}) {
        if (!m_sink.EmitLine(QString::fromLatin1(text), false)) {
            m_sink.Close(m_prompt);
            return ReportOutcome::Failed;
        }
    }
    return m_sink.Close(m_prompt) ? ReportOutcome::Canceled : ReportOutcome::Failed;
}

ReportGenerator::Step ReportGenerator::Title()
{
    m_sink.SetTitleSpacing(true);
    Step step = Line(kTitle, true);
    for (int i = 0; i < 2 && step == Step::Written; ++i)
        step = Line(QString());
    m_sink.SetTitleSpacing(false);
    return step;
}

ReportGenerator::Step ReportGenerator::Object(const ObjectRecord& object)
{
    if (m_request.pageBreak && m_objectsWritten > 0)
        m_sink.EndCurrentPage();
    ++m_objectsWritten;
    VELKARO_REPORT_STEP(Line(ReportText::TypeLine(object.Type()), true));
    VELKARO_REPORT_STEP(Line(Indent(kNameIndent) + object.Name()));
    if (!object.Remarks().isEmpty())
        VELKARO_REPORT_STEP(Line(object.Remarks()));
    VELKARO_REPORT_STEP(Line(QString()));
    VELKARO_REPORT_STEP(Columns(object));
    VELKARO_REPORT_STEP(Indexes(object));
    VELKARO_REPORT_STEP(PrimaryKeys(object));
    return ForeignKeys(object);
}

ReportGenerator::Step ReportGenerator::Columns(const ObjectRecord& object)
{
    const std::shared_ptr<const ColumnList> list = object.Columns();
    if (!m_request.sections.columns || !list || list->columns.empty())
        return Step::Written;
    VELKARO_REPORT_STEP(Line(QStringLiteral("Columns:"), true));
    for (const ColumnRecord& column : list->columns) {
        QString type = column.typeName;
        if (!column.size.isEmpty())
            type += QLatin1Char('(') + column.size + QLatin1Char(')');
        QString line = Indent(kNameIndent) + PadRight(column.name, list->maxColumnNameLen + kNamePadding) +
                       PadRight(type, list->maxColumnTypeLen + kNamePadding);
        if (column.nullability != QLatin1String("NULL"))
            line += column.nullability;
        VELKARO_REPORT_STEP(Line(line));
    }
    return Line(QString());
}

ReportGenerator::Step ReportGenerator::Indexes(const ObjectRecord& object)
{
    const std::shared_ptr<const IndexList> list = object.Indexes();
    if (!m_request.sections.indexes || !list || list->indexes.empty())
        return Step::Written;
    VELKARO_REPORT_STEP(Line(QStringLiteral("Indexes:"), true));
    for (const IndexRecord& index : list->indexes) {
        VELKARO_REPORT_STEP(Line(Indent(kNameIndent) +
                                 PadRight(index.name, list->maxIndexNameLen + kIndexNamePadding) +
                                 index.uniqueness));
        for (const QString& column : index.columnNames)
            VELKARO_REPORT_STEP(Line(Indent(kDetailIndent) + column));
    }
    return Line(QString());
}

bool ReportGenerator::KeysWanted(const ObjectRecord& object, bool option) const
{
    // Keys are asked of the driver only while no load or refresh holds the database.
    return option && object.Type() == QLatin1String("TABLE") &&
           !(m_request.databaseInUse && m_request.databaseInUse());
}

ReportGenerator::Step ReportGenerator::PrimaryKeys(const ObjectRecord& object)
{
    if (!KeysWanted(object, m_request.sections.primaryKeys))
        return Step::Written;
    const std::vector<PrimaryKeyRecord> keys = m_session.LoadPrimaryKeys(object.GetObjectName());
    if (keys.empty())
        return Step::Written;
    VELKARO_REPORT_STEP(Line(QStringLiteral("Primary Keys:"), true));
    for (const PrimaryKeyRecord& key : keys) {
        VELKARO_REPORT_STEP(Line(Indent(kNameIndent) + PadRight(QString::number(key.keySeq), kKeySeqWidth) +
                                 PadRight(key.columnName, kKeyColumnWidth) + key.keyName));
    }
    return Line(QString());
}

ReportGenerator::Step ReportGenerator::ForeignKeys(const ObjectRecord& object)
{
    if (!KeysWanted(object, m_request.sections.foreignKeys))
        return Step::Written;
    bool headingWritten = false;
    VELKARO_REPORT_STEP(References(object, true, headingWritten));
    if (!KeysWanted(object, true))
        return Step::Written;
    return References(object, false, headingWritten);
}

ReportGenerator::Step ReportGenerator::References(const ObjectRecord& object, bool outgoing,
                                                  bool& headingWritten)
{
    const std::vector<ReferenceRecord> references =
        m_session.LoadReferences(object.GetObjectName(), outgoing);
    if (references.empty())
        return Step::Written;
    if (!headingWritten) {
        VELKARO_REPORT_STEP(Line(QStringLiteral("Foreign Keys:"), true));
        headingWritten = true;
    }
    VELKARO_REPORT_STEP(Line(outgoing ? QStringLiteral("      References to other tables:")
                                      : QStringLiteral("      References from other tables:")));
    const std::shared_ptr<const ColumnList> columns = object.Columns();
    const int width = (columns ? columns->maxColumnNameLen : 0) + kNamePadding;
    for (const ReferenceRecord& reference : references) {
        const QString& ownColumn = outgoing ? reference.foreignColumn : reference.primaryColumn;
        const QString& otherColumn = outgoing ? reference.primaryColumn : reference.foreignColumn;
        VELKARO_REPORT_STEP(Line(Indent(kDetailIndent) + PadRight(ownColumn, width) +
                                 (outgoing ? QStringLiteral("-->   ") : QStringLiteral("<--   ")) +
                                 reference.otherTable + QLatin1Char('.') + otherColumn));
    }
    return Line(QString());
}

} // namespace velkaro
