#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

class QTextDocument;

namespace velkaro::test {

// Report text with its formats made visible: text in the Text colour stands as it is, any other
// colour or bold is written "{Colour:text}" or "{Colour+b:text}"; a line break is "\n".
class MarkedText final
{
public:
    void append(const QString& text, const QColor& color, bool bold);
    void breakLine();
    QString text() const;

private:
    void close();

    QString m_text;
    QString m_run;
    QString m_runMark;
};

QString MarkedDocument(const QTextDocument& document);

struct RtfReading
{
    QString marked;
    QStringList fonts;
    QList<int> halfPointSizes;
};

// Just enough of a rich-text reader to take back what the report writes.
RtfReading ReadRtf(const QByteArray& rtf);

} // namespace velkaro::test
