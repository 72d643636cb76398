#pragma once

#include "explorer/reports/ReportRequest.h"

#include <QString>
#include <memory>

namespace velkaro {

class CDbSession;
class ObjectRecord;
class ReportLineSink;
class UserPrompt;

// How a report ended.
enum class ReportOutcome
{
    Completed, // "END OF REPORT" written and the output closed
    Canceled,  // the cancel lines written and the output closed
    Failed     // the output could not be opened or written; its message has been shown
};

// Writes the schema report of one database through a line sink: the title, one section per chosen
// object (every object of a chosen name, in the order chosen), then "END OF REPORT". Runs on
// whatever thread calls Run; it reads the session's model snapshots and asks the session for keys.
class ReportGenerator final
{
public:
    static const QString kTitle;

    ReportGenerator(CDbSession& session, ReportRequest request, ReportLineSink& sink, UserPrompt& prompt);

    ReportOutcome Run();

private:
    enum class Step
    {
        Written,
        Canceled,
        Failed
    };

    Step Line(const QString& text, bool bold = false);
    Step Title();
    Step Object(const ObjectRecord& object);
    Step Columns(const ObjectRecord& object);
    Step Indexes(const ObjectRecord& object);
    Step PrimaryKeys(const ObjectRecord& object);
    Step ForeignKeys(const ObjectRecord& object);
    Step References(const ObjectRecord& object, bool outgoing, bool& headingWritten);
    ReportOutcome Cancel();
    bool MayContinue() const;
    bool KeysWanted(const ObjectRecord& object, bool option) const;

    CDbSession& m_session;
    ReportRequest m_request;
    ReportLineSink& m_sink;
    UserPrompt& m_prompt;
    int m_objectsWritten = 0;
};

} // namespace velkaro
