#pragma once

#include "search/engine/SearchParameters.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

namespace velkaro {

struct TermHit
{
    qsizetype index = -1; // position in the text, -1 when no term occurs
    QString term;         // the term as it was given
};

struct MatchResult
{
    bool found = false;
    qsizetype position = -1; // in the text the caller gave
    qsizetype length = 0;    // of the term that matched
};

// The match-mode test of every search and of the report's highlighting. Holds its own copy of
// the terms, so a run's worker can use it while the interface thread edits the parameters.
class TextMatcher final
{
public:
    TextMatcher() = default;
    TextMatcher(const QStringList& terms, MatchMode mode, bool matchCase);
    explicit TextMatcher(const SearchParameters& parameters);

    // The earliest occurrence of any term; on equal positions the term listed first.
    TermHit FindFirstTerm(const QString& text) const;
    // The first instance under the match mode and case rule.
    MatchResult MatchText(const QString& text) const;
    // Every instance, one after the other, as the report highlights them: each search resumes
    // after the previous instance.
    QList<MatchResult> AllMatches(const QString& text) const;
    // MatchText's answer for a text given as bytes, decided on the bytes when they are plain ASCII
    // without a NUL (the common row of a data search, which then needs no decoding); nothing for
    // any other bytes, whose decoded text MatchText must judge.
    std::optional<bool> MatchAsciiBytes(std::string_view bytes) const;

private:
    // The text as the terms are compared with it; valid until the next call on this thread.
    const QString& SubjectOf(const QString& text) const;

    QStringList m_terms;   // as given
    QStringList m_needles; // upper-cased unless matching case; empty terms left out
    QList<qsizetype> m_termOf;
    // The needles that are plain ASCII: no other needle can occur in an ASCII text.
    QList<QByteArray> m_asciiNeedles;
    MatchMode m_mode = MatchMode::AnySubstring;
    bool m_matchCase = false;
};

} // namespace velkaro
