#pragma once

#include <QByteArray>

class QTextDocument;

namespace velkaro {

// The document as rich text: one font table and one colour table, then the text with \cf, \b
// and \fs where the format changes. Anything outside ASCII goes out as \u escapes, so the result
// is plain ASCII.
QByteArray ToRtf(const QTextDocument& document);

} // namespace velkaro
