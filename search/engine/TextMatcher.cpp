#include "search/engine/TextMatcher.h"

#include "search/engine/SearchTerms.h"

#include <QVarLengthArray>

namespace velkaro {

namespace {

bool IsStartBoundary(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool IsEndBoundary(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\t');
}

constexpr qsizetype kNotSearched = -2;

// Upper-cases an ASCII-only text into upper, reusing its storage; false, with upper unspecified,
// when the text holds any other character. For ASCII, QChar::toUpper changes a-z only.
bool UpperAsciiInto(const QString& text, QString& upper)
{
    const qsizetype size = text.size();
    upper.resize(size);
    const char16_t* __restrict in = reinterpret_cast<const char16_t*>(text.constData());
    char16_t* __restrict out = reinterpret_cast<char16_t*>(upper.data());
    // No early exit: the loop stays simple enough for the compiler to vectorise.
    char16_t seen = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        seen |= c;
        out[i] = char16_t(c - u'a') < 26 ? char16_t(c - (u'a' - u'A')) : c;
    }
    return seen < 0x80;
}

} // namespace

// Finds the earliest occurrence at or after a position. Each term's next occurrence is kept, so
// retrying after a rejected occurrence never scans the text again for terms that lie further on.
class TextMatcher::Scanner final
{
public:
    Scanner(const TextMatcher& matcher, const QString& subject)
        : m_matcher(matcher), m_subject(subject), m_next(matcher.m_needles.size(), kNotSearched)
    {}

    // Returns the index into m_needles of the winning term, or -1.
    qsizetype earliestFrom(qsizetype from, qsizetype& position)
    {
        qsizetype best = -1;
        for (qsizetype t = 0; t < m_matcher.m_needles.size(); ++t) {
            qsizetype& next = m_next[t];
            if (next == kNotSearched || (next >= 0 && next < from))
                next = m_subject.indexOf(m_matcher.m_needles.at(t), from);
            if (next >= 0 && (best < 0 || next < position)) {
                best = t;
                position = next;
            }
        }
        return best;
    }

private:
    const TextMatcher& m_matcher;
    const QString& m_subject;
    QVarLengthArray<qsizetype, 8> m_next; // no allocation per row for a usual number of terms
};

TextMatcher::TextMatcher(const QStringList& terms, MatchMode mode, bool matchCase)
    : m_terms(terms), m_mode(mode), m_matchCase(matchCase)
{
    for (qsizetype t = 0; t < terms.size(); ++t) {
        // An empty term would match everywhere without ever moving on.
        if (terms.at(t).isEmpty())
            continue;
        m_needles.append(matchCase ? terms.at(t) : ToUpperKeepingLength(terms.at(t)));
        m_termOf.append(t);
    }
}

TextMatcher::TextMatcher(const SearchParameters& parameters)
    : TextMatcher(parameters.searchTerms, parameters.matchMode, parameters.matchCase)
{}

const QString& TextMatcher::subjectOf(const QString& text) const
{
    if (m_matchCase)
        return text;
    // One buffer per thread: the worker and the interface thread may share a matcher, and a
    // search tests every row, so the upper-cased copy is not allocated anew each time.
    thread_local QString upper;
    if (!UpperAsciiInto(text, upper))
        upper = ToUpperKeepingLength(text);
    return upper;
}

TermHit TextMatcher::FindFirstTerm(const QString& text) const
{
    const QString& subject = subjectOf(text);
    Scanner scanner(*this, subject);
    qsizetype position = -1;
    const qsizetype t = scanner.earliestFrom(0, position);
    if (t < 0)
        return {};
    return {position, m_terms.at(m_termOf.at(t))};
}

MatchResult TextMatcher::MatchText(const QString& text) const
{
    const QString& subject = subjectOf(text);
    Scanner scanner(*this, subject);
    return nextMatch(scanner, subject, 0);
}

QList<MatchResult> TextMatcher::AllMatches(const QString& text) const
{
    const QString& subject = subjectOf(text);
    Scanner scanner(*this, subject);
    QList<MatchResult> matches;
    for (MatchResult match = nextMatch(scanner, subject, 0); match.found;
         match = nextMatch(scanner, subject, match.position + match.length))
        matches.append(match);
    return matches;
}

MatchResult TextMatcher::nextMatch(Scanner& scanner, const QString& subject, qsizetype from) const
{
    const qsizetype size = subject.size();
    for (;;) {
        qsizetype i = -1;
        const qsizetype t = scanner.earliestFrom(from, i);
        if (t < 0)
            return {};
        const qsizetype n = m_needles.at(t).size();
        // The character before is judged in the caller's text, also after a retry: an occurrence
        // right behind a rejected one does not start a word.
        const bool startBoundary = i == 0 || IsStartBoundary(subject.at(i - 1));
        const bool endBoundary = i + n >= size || IsEndBoundary(subject.at(i + n));
        bool accept = false;
        switch (m_mode) {
        case MatchMode::AnySubstring:
            accept = true;
            break;
        case MatchMode::WholeWord:
            accept = startBoundary && endBoundary;
            break;
        case MatchMode::Prefix:
            accept = startBoundary;
            break;
        case MatchMode::Suffix:
            accept = endBoundary;
            break;
        default:
            return {};
        }
        if (accept)
            return {true, i, n};
        // Resume after the whole occurrence; overlapping occurrences are not examined.
        from = i + n;
    }
}

} // namespace velkaro
