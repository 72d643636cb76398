#pragma once

#include <QString>

namespace velkaro {

class UserPrompt;

// Where the report's lines go: a text file or a printer. The generator writes every line through
// EmitLine; a false return ends the report.
class ReportLineSink
{
public:
    virtual ~ReportLineSink() = default;

    // Before the title; shows its own message through prompt and returns false when the output
    // cannot be opened.
    virtual bool Open(UserPrompt& prompt) = 0;
    virtual bool EmitLine(const QString& text, bool bold) = 0;
    // The title is spaced out on paper; a file writes it as any other line.
    virtual void SetTitleSpacing(bool on) {}
    // Page Break between objects: the next line starts a new page. Only paper has pages.
    virtual void EndCurrentPage() {}
    // Closes the file or finishes the print job; false (after its message) when that failed.
    virtual bool Close(UserPrompt& prompt) = 0;
};

} // namespace velkaro
