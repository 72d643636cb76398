#include "search/engine/SearchTerms.h"

#include <algorithm>

namespace velkaro {

QStringList SplitSearchTerms(const QString& text)
{
    QStringList terms;
    QString rest = text;
    QString acc;
    const QChar bar = QLatin1Char('|');
    for (qsizetype k = rest.indexOf(bar); k >= 0; k = rest.indexOf(bar)) {
        if (k == 0) {
            acc += bar;
            rest.remove(0, 1);
        } else if (rest.at(k - 1) == QLatin1Char('\\')) {
            acc += rest.left(k - 1) + bar;
            rest.remove(0, k + 1);
        } else {
            terms.append(acc + rest.left(k));
            acc.clear();
            rest.remove(0, k + 1);
        }
    }
    if (!(acc + rest).isEmpty())
        terms.append(acc + rest);
    return terms;
}

bool HoldsOnlySeparators(const QString& text)
{
    const QChar bar = QLatin1Char('|');
    return text.contains(bar) &&
           std::all_of(text.begin(), text.end(), [bar](QChar c) { return c == bar || c.isSpace(); });
}

QString OnlySeparatorsMessage()
{
    return QStringLiteral("The search text holds only \"|\", which separates alternatives: there is nothing "
                          "to search for. To search for a bar, write \\|.");
}

QString ToUpperKeepingLength(const QString& text)
{
    QString result = text;
    QChar* out = result.data();
    const qsizetype size = result.size();
    for (qsizetype i = 0; i < size; ++i) {
        const bool pair = out[i].isHighSurrogate() && i + 1 < size && out[i + 1].isLowSurrogate();
        if (!pair) {
            const char32_t upper = QChar::toUpper(char32_t(out[i].unicode()));
            if (!QChar::requiresSurrogates(upper))
                out[i] = QChar(char16_t(upper));
            continue;
        }
        const char32_t upper = QChar::toUpper(QChar::surrogateToUcs4(out[i], out[i + 1]));
        if (QChar::requiresSurrogates(upper)) {
            out[i] = QChar(QChar::highSurrogate(upper));
            out[i + 1] = QChar(QChar::lowSurrogate(upper));
        }
        ++i;
    }
    return result;
}

} // namespace velkaro
