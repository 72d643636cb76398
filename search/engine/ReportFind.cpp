#include "search/engine/ReportFind.h"

#include "common/UserPrompt.h"

namespace velkaro {

bool ReportFind::FindNext(const QTextDocument& document, QTextCursor& selection, const QString& text,
                          QTextDocument::FindFlags flags, UserPrompt& prompt)
{
    if (!m_fromTop) {
        const QTextCursor found = document.find(text, selection, flags);
        if (!found.isNull()) {
            selection = found;
            return true;
        }
        if (!prompt.AskYesNo(QStringLiteral(
                "Zindrel has reached the end of the report. Do you wish to continue from the top?")))
            return false;
    }
    const QTextCursor found = document.find(text, 0, flags);
    if (found.isNull()) {
        prompt.ShowMessage(QStringLiteral("Could not find specified text"));
        m_fromTop = true;
        return false;
    }
    selection = found;
    m_fromTop = false;
    return true;
}

} // namespace velkaro
