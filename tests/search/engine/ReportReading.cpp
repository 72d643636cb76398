#include "ReportReading.h"

#include "search/engine/ReportColor.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <vector>

namespace velkaro::test {

namespace {

QString ColorName(const QColor& color)
{
    const std::pair<ReportColor, const char*> names[] = {{ReportColor::Text, "Text"},
                                                         {ReportColor::Message, "Message"},
                                                         {ReportColor::Heading, "Heading"},
                                                         {ReportColor::Instance, "Instance"},
                                                         {ReportColor::Black, "Black"}};
    if (!color.isValid())
        return QStringLiteral("Auto");
    for (const auto& [reportColor, name] : names) {
        if (ReportColorRgb(reportColor) == color)
            return QString::fromLatin1(name);
    }
    return color.name();
}

} // namespace

void MarkedText::append(const QString& text, const QColor& color, bool bold)
{
    if (text.isEmpty())
        return;
    const QString name = ColorName(color);
    const QString mark =
        name == QLatin1String("Text") && !bold ? QString() : name + (bold ? QStringLiteral("+b") : QString());
    if (mark != m_runMark)
        close();
    m_runMark = mark;
    m_run += text;
}

void MarkedText::close()
{
    if (m_runMark.isEmpty())
        m_text += m_run;
    else if (!m_run.isEmpty())
        m_text += QLatin1Char('{') + m_runMark + QLatin1Char(':') + m_run + QLatin1Char('}');
    m_run.clear();
}

void MarkedText::breakLine()
{
    close();
    m_text += QLatin1Char('\n');
}

QString MarkedText::text() const
{
    MarkedText copy = *this;
    copy.close();
    return copy.m_text;
}

QString MarkedDocument(const QTextDocument& document)
{
    MarkedText marked;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QColor color =
                format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
            marked.append(it.fragment().text(), color, format.fontWeight() >= QFont::Bold);
        }
        if (block.next().isValid())
            marked.breakLine();
    }
    return marked.text();
}

namespace {

struct RtfState
{
    int color = 0;
    bool bold = false;
    bool skip = false;
    bool colorTable = false;
    bool fontTable = false;
};

class RtfReader final
{
public:
    explicit RtfReader(const QByteArray& rtf) : m_rtf(rtf) {}

    RtfReading read()
    {
        std::vector<RtfState> stack{RtfState{}};
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf.at(m_pos++);
            if (c == '{') {
                stack.push_back(stack.back());
            } else if (c == '}') {
                if (stack.size() > 1)
                    stack.pop_back();
            } else if (c == '\\') {
                controlWord(stack.back());
            } else if (c != '\r' && c != '\n') {
                text(stack.back(), QString(QLatin1Char(c)));
            }
        }
        m_result.marked = m_marked.text();
        return m_result;
    }

private:
    void controlWord(RtfState& state)
    {
        const char first = m_rtf.at(m_pos);
        if (!std::isalpha(static_cast<unsigned char>(first))) {
            ++m_pos;
            if (first == '\'') {
                text(state, QString(QChar(char16_t(m_rtf.mid(m_pos, 2).toInt(nullptr, 16)))));
                m_pos += 2;
            } else {
                text(state, QString(QLatin1Char(first)));
            }
            return;
        }
        QByteArray word;
        while (std::isalpha(static_cast<unsigned char>(m_rtf.at(m_pos))))
            word += m_rtf.at(m_pos++);
        QByteArray number;
        if (m_rtf.at(m_pos) == '-' || std::isdigit(static_cast<unsigned char>(m_rtf.at(m_pos)))) {
            number += m_rtf.at(m_pos++);
            while (std::isdigit(static_cast<unsigned char>(m_rtf.at(m_pos))))
                number += m_rtf.at(m_pos++);
        }
        if (m_rtf.at(m_pos) == ' ')
            ++m_pos;
        apply(state, word, number);
    }

    void apply(RtfState& state, const QByteArray& word, const QByteArray& number)
    {
        const int value = number.toInt();
        if (word == "fonttbl") {
            state.fontTable = true;
        } else if (word == "colortbl") {
            state.colorTable = true;
            m_colors = {QColor()};
        } else if (word == "red" || word == "green" || word == "blue") {
            QColor& color = m_colors.last();
            if (!color.isValid())
                color = QColor(0, 0, 0);
            if (word == "red")
                color.setRed(value);
            else if (word == "green")
                color.setGreen(value);
            else
                color.setBlue(value);
        } else if (word == "par") {
            m_marked.breakLine();
        } else if (word == "line") {
            text(state, QString(QChar::LineSeparator));
        } else if (word == "tab") {
            text(state, QStringLiteral("\t"));
        } else if (word == "u") {
            text(state, QString(QChar(char16_t(qint16(value)))));
            ++m_pos; // the one fallback character
        } else if (word == "cf") {
            state.color = value;
        } else if (word == "b") {
            state.bold = number.isEmpty() || value != 0;
        } else if (word == "plain") {
            state.bold = false;
            state.color = 0;
        } else if (word == "fs") {
            m_result.halfPointSizes.append(value);
        }
    }

    void text(RtfState& state, const QString& text)
    {
        if (state.colorTable) {
            if (text == QLatin1String(";"))
                m_colors.append(QColor());
        } else if (state.fontTable) {
            if (text != QLatin1String(";")) {
                m_fontName += text;
                return;
            }
            m_result.fonts.append(m_fontName.trimmed());
            m_fontName.clear();
        } else {
            m_marked.append(text, state.color < m_colors.size() ? m_colors.at(state.color) : QColor(),
                            state.bold);
        }
    }

    const QByteArray& m_rtf;
    qsizetype m_pos = 0;
    QList<QColor> m_colors{QColor()};
    QString m_fontName;
    MarkedText m_marked;
    RtfReading m_result;
};

} // namespace

RtfReading ReadRtf(const QByteArray& rtf)
{
    return RtfReader(rtf).read();
}

} // namespace velkaro::test
