#include "explorer/reportbatch/ReportBatchOptions.h"

#include "catalog/ConnectString.h"

#include <QCommandLineParser>

namespace velkaro {

namespace {

const char* const kOnce[] = {"connect", "dsn", "user", "output", "pdf"};

QList<QCommandLineOption> reportOptions()
{
    QList<QCommandLineOption> options;
    for (const char* name : {"connect", "dsn", "user", "object", "output", "pdf"})
        options.append(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name :
         {"all", "columns", "indexes", "primary-keys", "foreign-keys", "only-with-columns", "page-break"})
        options.append(QCommandLineOption(QString::fromLatin1(name)));
    options.append(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    return options;
}

// Reads one command line; the first refusal ends the reading.
class OptionReader final
{
public:
    explicit OptionReader(const QCommandLineParser& parser) : m_parser(parser) {}

    ReportBatchParse Read()
    {
        m_parse.options.helpRequested = Has("help");
        if (!m_parse.options.helpRequested)
            static_cast<void>(ReadOnce() && ReadSource() && ReadObjects() && ReadOutputs());
        ReadSections();
        return m_parse;
    }

private:
    bool Has(const char* name) const { return m_parser.isSet(QString::fromLatin1(name)); }
    QString Value(const char* name) const { return m_parser.value(QString::fromLatin1(name)); }
    bool Refuse(const QString& error)
    {
        m_parse.error = error;
        return false;
    }

    bool ReadOnce()
    {
        if (!m_parser.positionalArguments().isEmpty())
            return Refuse(QStringLiteral("Unexpected argument '%1'; name objects with --object.")
                              .arg(m_parser.positionalArguments().constFirst()));
        for (const char* name : kOnce) {
            if (m_parser.values(QString::fromLatin1(name)).size() > 1)
                return Refuse(QStringLiteral("--%1 may be given only once.").arg(QLatin1String(name)));
        }
        return true;
    }

    bool ReadSource()
    {
        if (Has("connect") == Has("dsn"))
            return Refuse(QStringLiteral("Name the data source with either --connect STRING or --dsn NAME."));
        if (Has("dsn")) {
            if (Value("dsn").isEmpty())
                return Refuse(QStringLiteral("--dsn needs a data source name."));
            // Quoted, so that a name holding ";" adds no attributes of its own.
            m_parse.options.connectString = QStringLiteral("DSN=") + ConnectString::QuoteValue(Value("dsn"));
            if (Has("user"))
                m_parse.options.connectString +=
                    QStringLiteral(";UID=") + ConnectString::QuoteValue(Value("user"));
            return true;
        }
        const QString text = Value("connect");
        if (Has("user"))
            return Refuse(QStringLiteral("--user goes with --dsn; put UID= in the --connect string."));
        if (text.trimmed().isEmpty())
            return Refuse(QStringLiteral("--connect needs a connect string."));
        if (ConnectString::AttributeValue(text, QStringLiteral("PWD")) ||
            ConnectString::AttributeValue(text, QStringLiteral("PASSWORD")))
            return Refuse(
                QStringLiteral("Leave the password out of --connect: it is read from VELKARO_PASSWORD "
                               "or asked for on the terminal."));
        m_parse.options.connectString = text;
        return true;
    }

    bool ReadObjects()
    {
        ReportBatchOptions& options = m_parse.options;
        options.objects = m_parser.values(QStringLiteral("object"));
        options.allObjects = Has("all");
        options.onlyWithColumns = Has("only-with-columns");
        if (options.allObjects == !options.objects.isEmpty())
            return Refuse(QStringLiteral("Choose the objects with --object NAME (repeatable) or --all."));
        if (options.objects.contains(QString()))
            return Refuse(QStringLiteral("--object needs a name."));
        return true;
    }

    bool ReadOutputs()
    {
        ReportBatchOptions& options = m_parse.options;
        options.outputFile = Value("output");
        options.pdfFile = Value("pdf");
        options.pageBreak = Has("page-break");
        if (Has("output") && options.outputFile.isEmpty())
            return Refuse(QStringLiteral("--output needs a file name."));
        if (Has("pdf") && options.pdfFile.isEmpty())
            return Refuse(QStringLiteral("--pdf needs a file name."));
        if (options.pageBreak && options.pdfFile.isEmpty())
            return Refuse(QStringLiteral("--page-break goes with --pdf: only pages have breaks."));
        return true;
    }

    void ReadSections()
    {
        ReportSections& sections = m_parse.options.sections;
        sections = {Has("columns"), Has("indexes"), Has("primary-keys"), Has("foreign-keys")};
        if (!sections.Any())
            sections = ReportSections{};
    }

    const QCommandLineParser& m_parser;
    ReportBatchParse m_parse;
};

} // namespace

ReportBatchParse ParseReportBatchOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(reportOptions());
    if (!parser.parse(arguments)) {
        ReportBatchParse refused;
        refused.error = parser.errorText();
        return refused;
    }
    return OptionReader(parser).Read();
}

QString ReportBatchUsage()
{
    return QStringLiteral(
        "Usage: velkaro-report (--connect STRING | --dsn NAME [--user U]) (--object NAME... | --all) "
        "[options]\n"
        "\n"
        "Writes Velkaro's schema report of one ODBC data source, as the Reports dialog does.\n"
        "\n"
        "  --connect STRING      the data source as a connect string (without a password)\n"
        "  --dsn NAME            the data source by name; --user U gives the login\n"
        "                        The password comes from VELKARO_PASSWORD, or from a prompt on the\n"
        "                        terminal (echo off) when the data source asks for one.\n"
        "  --object NAME         report every object of that name (repeatable, in this order);\n"
        "                        OWNER.NAME picks one owner's object where the catalog has owners\n"
        "  --all                 report every object, by name in sorted order\n"
        "  --only-with-columns   with --all: leave out objects without columns\n"
        "  --columns --indexes --primary-keys --foreign-keys\n"
        "                        the sections to include (default: all four)\n"
        "  --output FILE         the text report (default: standard output, unless --pdf is given)\n"
        "  --pdf FILE            print the report to a PDF file\n"
        "  --page-break          with --pdf: each object on a new page\n"
        "  -h, --help            this text\n"
        "\n"
        "Exit status: 0 when the report was written, 2 on any error (the reason on standard error).\n");
}

} // namespace velkaro
