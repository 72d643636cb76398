#include "search/engine/TextMatcher.h"

#include "common/AsciiText.h"
#include "search/engine/SearchTerms.h"

#include <QVarLengthArray>

namespace velkaro {

namespace {

template <typename Char> bool IsStartBoundary(Char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

template <typename Char> bool IsEndBoundary(Char c)
{
    return c == ' ' || c == '\r' || c == '\t';
}

constexpr qsizetype kNotSearched = -2;

// The subject as the terms are looked for in it: UTF-16 text, or plain ASCII bytes.
class Utf16Subject final
{
public:
    explicit Utf16Subject(const QString& text) : m_text(text) {}
    qsizetype size() const { return m_text.size(); }
    char16_t at(qsizetype i) const { return m_text.at(i).unicode(); }
    qsizetype find(const QString& needle, qsizetype from) const { return m_text.indexOf(needle, from); }

private:
    const QString& m_text;
};

class AsciiSubject final
{
public:
    AsciiSubject(std::string_view text, bool foldCase) : m_text(text), m_foldCase(foldCase) {}
    qsizetype size() const { return qsizetype(m_text.size()); }
    char at(qsizetype i) const { return m_text[size_t(i)]; }
    qsizetype find(const QByteArray& needle, qsizetype from) const
    {
        return FindAscii(m_text, std::string_view(needle.constData(), size_t(needle.size())), from,
                         m_foldCase);
    }

private:
    std::string_view m_text;
    bool m_foldCase;
};

// Finds the earliest occurrence at or after a position. Each term's next occurrence is kept, so
// retrying after a rejected occurrence never scans the text again for terms that lie further on.
template <typename Subject, typename Needle> class TermScanner final
{
public:
    TermScanner(const QList<Needle>& needles, const Subject& subject)
        : m_needles(needles), m_subject(subject), m_next(needles.size(), kNotSearched)
    {}

    const Subject& Text() const { return m_subject; }
    qsizetype NeedleSize(qsizetype t) const { return m_needles.at(t).size(); }

    // Returns the index of the winning needle, or -1.
    qsizetype EarliestFrom(qsizetype from, qsizetype& position)
    {
        qsizetype best = -1;
        for (qsizetype t = 0; t < m_needles.size(); ++t) {
            qsizetype& next = m_next[t];
            if (next == kNotSearched || (next >= 0 && next < from))
                next = m_subject.find(m_needles.at(t), from);
            if (next >= 0 && (best < 0 || next < position)) {
                best = t;
                position = next;
            }
        }
        return best;
    }

private:
    const QList<Needle>& m_needles;
    const Subject& m_subject;
    QVarLengthArray<qsizetype, 8> m_next; // no allocation per row for a usual number of terms
};

template <typename Scanner> MatchResult NextMatch(MatchMode mode, Scanner& scanner, qsizetype from)
{
    const auto& subject = scanner.Text();
    const qsizetype size = subject.size();
    for (;;) {
        qsizetype i = -1;
        const qsizetype t = scanner.EarliestFrom(from, i);
        if (t < 0)
            return {};
        const qsizetype n = scanner.NeedleSize(t);
        // The character before is judged in the text, also after a retry: an occurrence right
        // behind a rejected one does not start a word.
        const bool startBoundary = i == 0 || IsStartBoundary(subject.at(i - 1));
        const bool endBoundary = i + n >= size || IsEndBoundary(subject.at(i + n));
        bool accept = false;
        switch (mode) {
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

TextMatcher::TextMatcher(const QStringList& terms, MatchMode mode, bool matchCase)
    : m_terms(terms), m_mode(mode), m_matchCase(matchCase)
{
    for (qsizetype t = 0; t < terms.size(); ++t) {
        // An empty term would match everywhere without ever moving on.
        if (terms.at(t).isEmpty())
            continue;
        const QString needle = matchCase ? terms.at(t) : ToUpperKeepingLength(terms.at(t));
        m_needles.append(needle);
        m_termOf.append(t);
        const QByteArray bytes = needle.toUtf8();
        if (IsPlainAscii(std::string_view(bytes.constData(), size_t(bytes.size()))))
            m_asciiNeedles.append(bytes);
    }
}

TextMatcher::TextMatcher(const SearchParameters& parameters)
    : TextMatcher(parameters.searchTerms, parameters.matchMode, parameters.matchCase)
{}

const QString& TextMatcher::SubjectOf(const QString& text) const
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
    const Utf16Subject subject(SubjectOf(text));
    TermScanner scanner(m_needles, subject);
    qsizetype position = -1;
    const qsizetype t = scanner.EarliestFrom(0, position);
    if (t < 0)
        return {};
    return {position, m_terms.at(m_termOf.at(t))};
}

MatchResult TextMatcher::MatchText(const QString& text) const
{
    const Utf16Subject subject(SubjectOf(text));
    TermScanner scanner(m_needles, subject);
    return NextMatch(m_mode, scanner, 0);
}

QList<MatchResult> TextMatcher::AllMatches(const QString& text) const
{
    const Utf16Subject subject(SubjectOf(text));
    TermScanner scanner(m_needles, subject);
    QList<MatchResult> matches;
    for (MatchResult match = NextMatch(m_mode, scanner, 0); match.found;
         match = NextMatch(m_mode, scanner, match.position + match.length))
        matches.append(match);
    return matches;
}

std::optional<bool> TextMatcher::MatchAsciiBytes(std::string_view bytes) const
{
    if (!IsPlainAscii(bytes))
        return std::nullopt;
    // ASCII upper-cases to ASCII and one character is one byte, so positions and word boundaries
    // are those of the decoded text.
    const AsciiSubject subject(bytes, !m_matchCase);
    TermScanner scanner(m_asciiNeedles, subject);
    return NextMatch(m_mode, scanner, 0).found;
}

} // namespace velkaro
