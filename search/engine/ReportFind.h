#pragma once

#include <QString>
#include <QTextCursor>
#include <QTextDocument>

namespace velkaro {

class UserPrompt;

// Find in the report, forward from the selection, with the offer to go on from the top.
class ReportFind final
{
public:
    // The Find command: the next search starts at the top of the report.
    void Begin() { m_fromTop = true; }

    // Find Next. On success the selection holds the text found and true is returned.
    bool FindNext(const QTextDocument& document, QTextCursor& selection, const QString& text,
                  QTextDocument::FindFlags flags, UserPrompt& prompt);

private:
    bool m_fromTop = true;
};

} // namespace velkaro
