#include "search/engine/RtfWriter.h"

#include <QColor>
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

namespace velkaro {

namespace {

struct RunFormat
{
    int font = 0;
    int color = 0; // 0 is the automatic colour
    int halfPoints = 24;
    bool bold = false;
};

// Collects the fonts and colours in the order they are first used.
class RtfTables final
{
public:
    explicit RtfTables(const QTextDocument& document) : m_defaultFont(document.defaultFont()) {}

    RunFormat FormatOf(const QTextCharFormat& format)
    {
        RunFormat run;
        const QStringList families = format.fontFamilies().toStringList();
        run.font = IndexOf(m_fonts, families.isEmpty() ? m_defaultFont.family() : families.first());
        if (format.hasProperty(QTextFormat::ForegroundBrush))
            run.color = int(IndexOf(m_colors, format.foreground().color().rgb())) + 1;
        const double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                             : m_defaultFont.pointSizeF();
        run.halfPoints = int(std::lround(points * 2));
        run.bold = format.fontWeight() > QFont::Medium;
        return run;
    }

    int DefaultFont() { return IndexOf(m_fonts, m_defaultFont.family()); }

    QByteArray Header(QByteArray (*escape)(const QString&)) const
    {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fmodern\\fprq1\\fcharset0 " + escape(m_fonts.at(i)) +
                   ";}";
        out += "}\r\n{\\colortbl ;";
        for (QRgb rgb : m_colors) {
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) +
                   "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
        }
        return out + "}\r\n";
    }

private:
    template <typename T> static int IndexOf(QList<T>& list, const T& value)
    {
        qsizetype i = list.indexOf(value);
        if (i < 0) {
            list.append(value);
            i = list.size() - 1;
        }
        return int(i);
    }

    QFont m_defaultFont;
    QStringList m_fonts;
    QList<QRgb> m_colors;
};

QByteArray Escape(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            out += "\\'" + QByteArray::number(u, 16).rightJustified(2, '0');
        } else {
            // Signed 16-bit code units; a pair of surrogates is written as two escapes.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

QByteArray Changes(const RunFormat& from, const RunFormat& to)
{
    QByteArray out;
    if (to.font != from.font)
        out += "\\f" + QByteArray::number(to.font);
    if (to.halfPoints != from.halfPoints)
        out += "\\fs" + QByteArray::number(to.halfPoints);
    if (to.color != from.color)
        out += "\\cf" + QByteArray::number(to.color);
    if (to.bold != from.bold)
        out += to.bold ? "\\b" : "\\b0";
    return out.isEmpty() ? out : out + ' ';
}

} // namespace

QByteArray ToRtf(const QTextDocument& document)
{
    RtfTables tables(document);
    RunFormat current;
    current.font = tables.DefaultFont();
    current.halfPoints = int(std::lround(document.defaultFont().pointSizeF() * 2));
    QByteArray body = "\\viewkind4\\pard\\plain\\f" + QByteArray::number(current.font) + "\\fs" +
                      QByteArray::number(current.halfPoints) + ' ';
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const RunFormat next = tables.FormatOf(fragment.charFormat());
            body += Changes(current, next);
            current = next;
            body += Escape(fragment.text());
        }
        if (block.next().isValid())
            body += "\\par\r\n";
    }
    return tables.Header(&Escape) + body + "}";
}

} // namespace velkaro
