#include "search/engine/ReportWriter.h"

#include "search/engine/ReportDocument.h"

namespace velkaro {

void ReportWriter::Reset(const SearchParameters& parameters)
{
    m_instanceCount = 0;
    m_matcher = TextMatcher(parameters);
    ResetDocument(ReportOptions::From(parameters));
}

void ReportWriter::AppendReport(const QString& text, ReportColor color, bool bold, bool autoSaveCheck)
{
    if (color == ReportColor::Instance)
        ++m_instanceCount;
    Write({ReportPiece{text, color, bold}}, autoSaveCheck);
}

void ReportWriter::AppendHighlighted(const QString& text, ReportColor color, bool bold, bool autoSaveCheck)
{
    QList<ReportPiece> pieces;
    const QList<MatchResult> matches = m_matcher.AllMatches(text);
    qsizetype done = 0;
    for (const MatchResult& match : matches) {
        if (match.position > done)
            pieces.append({text.mid(done, match.position - done), color, bold});
        pieces.append({text.mid(match.position, match.length), ReportColor::Instance, true});
        done = match.position + match.length;
    }
    if (done < text.size() || pieces.isEmpty())
        pieces.append({text.mid(done), color, bold});
    m_instanceCount += int(matches.size());
    Write(pieces, autoSaveCheck);
}

} // namespace velkaro
