#include "search/batch/BatchOptions.h"

#include "catalog/ConnectString.h"
#include "search/engine/IgnoredColumns.h"
#include "search/engine/SearchTerms.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace velkaro {

namespace {

struct Choice
{
    const char* name;
    int value;
};

const Choice kMatchModes[] = {{"any", int(MatchMode::AnySubstring)},
                              {"word", int(MatchMode::WholeWord)},
                              {"prefix", int(MatchMode::Prefix)},
                              {"suffix", int(MatchMode::Suffix)}};
const Choice kNameModes[] = {{"auto", int(SpecialNameMode::AutoDetect)},
                             {"special", int(SpecialNameMode::AllSpecial)},
                             {"regular", int(SpecialNameMode::AllRegular)}};
const char* const kPlaces[] = {"objects", "columns", "types", "indexes", "data"};

// Options that take a value and may be given once.
const char* const kSingleValued[] = {"connect", "dsn",   "user",   "text", "match",
                                     "in",      "names", "output", "rtf"};

QList<QCommandLineOption> CommandLineOptions()
{
    const auto valued = [](const char* name, const char* valueName) {
        return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
    };
    const auto flag = [](const QStringList& names) { return QCommandLineOption(names); };
    return {valued("connect", "string"),
            valued("dsn", "name"),
            valued("user", "user"),
            valued("text", "text"),
            valued("match", "mode"),
            flag({QStringLiteral("case")}),
            valued("in", "places"),
            valued("object", "name"),
            valued("ignore-column", "pattern"),
            flag({QStringLiteral("odbc-types")}),
            flag({QStringLiteral("no-type-length")}),
            valued("names", "mode"),
            flag({QStringLiteral("list-not-processed")}),
            flag({QStringLiteral("system")}),
            flag({QStringLiteral("no-server-filter")}),
            valued("output", "file"),
            valued("rtf", "file"),
            flag({QStringLiteral("h"), QStringLiteral("help")})};
}

std::optional<int> ChoiceValue(const QString& text, const auto& choices)
{
    for (const Choice& choice : choices) {
        if (text == QLatin1String(choice.name))
            return choice.value;
    }
    return std::nullopt;
}

QString ChoiceNames(const auto& choices)
{
    QStringList names;
    for (const Choice& choice : choices)
        names << QString::fromLatin1(choice.name);
    return names.join(QLatin1Char('|'));
}

class Reader final
{
public:
    explicit Reader(const QCommandLineParser& parser) : m_parser(parser) {}

    BatchOptionsParse Read()
    {
        m_result.options.helpRequested = m_parser.isSet(QStringLiteral("help"));
        if (m_result.options.helpRequested)
            return m_result;
        // The search program's own defaults, except that the objects left out by --object are not
        // listed unless asked for.
        m_result.options.parameters.listNotProcessedObjects = false;
        // The first refusal ends the reading.
        static_cast<void>(ReadOnce() && ReadDataSource() && ReadSearchText() && ReadMatching() &&
                          ReadPlaces() && ReadObjects() && ReadIgnoredColumns() && ReadOutputs());
        return m_result;
    }

private:
    bool Fail(const QString& error)
    {
        m_result.error = error;
        return false;
    }

    QString Value(const char* name) const { return m_parser.value(QString::fromLatin1(name)); }
    bool IsSet(const char* name) const { return m_parser.isSet(QString::fromLatin1(name)); }

    bool ReadOnce()
    {
        if (!m_parser.positionalArguments().isEmpty())
            return Fail(QStringLiteral("Unexpected argument '%1'; the search text goes after --text.")
                            .arg(m_parser.positionalArguments().constFirst()));
        for (const char* name : kSingleValued) {
            if (m_parser.values(QString::fromLatin1(name)).size() > 1)
                return Fail(QStringLiteral("--%1 may be given only once.").arg(QLatin1String(name)));
        }
        return true;
    }

    bool ReadDataSource()
    {
        const bool byString = IsSet("connect");
        const bool byName = IsSet("dsn");
        if (byString == byName)
            return Fail(QStringLiteral("Name the data source with either --connect STRING or --dsn NAME."));
        if (byString) {
            if (IsSet("user"))
                return Fail(QStringLiteral("--user goes with --dsn; put UID= in the --connect string."));
            const QString text = Value("connect");
            if (text.trimmed().isEmpty())
                return Fail(QStringLiteral("--connect needs a connect string."));
            for (const char* keyword : {"PWD", "PASSWORD"}) {
                if (ConnectString::AttributeValue(text, QLatin1String(keyword)))
                    return Fail(QStringLiteral("Leave the password out of --connect: it is read from "
                                               "ZINDREL_PASSWORD or asked for on the terminal."));
            }
            m_result.options.connectString = text;
            return true;
        }
        const QString dsn = Value("dsn");
        if (dsn.isEmpty())
            return Fail(QStringLiteral("--dsn needs a data source name."));
        // Quoted, so that a name holding ";" cannot add attributes of its own.
        QString connect = QStringLiteral("DSN=") + ConnectString::QuoteValue(dsn);
        if (IsSet("user"))
            connect += QStringLiteral(";UID=") + ConnectString::QuoteValue(Value("user"));
        m_result.options.connectString = connect;
        return true;
    }

    bool ReadSearchText()
    {
        const QString text = Value("text");
        // Leading blanks belong to the text; a text of blanks only searches for nothing.
        QString trimmed = text;
        while (trimmed.endsWith(QLatin1Char(' ')))
            trimmed.chop(1);
        if (trimmed.isEmpty())
            return Fail(QStringLiteral("You must enter a string to search for before you can begin."));
        if (HoldsOnlySeparators(text))
            return Fail(OnlySeparatorsMessage());
        m_result.options.parameters.AcceptSearchText(text);
        return true;
    }

    bool ReadMatching()
    {
        SearchParameters& parameters = m_result.options.parameters;
        parameters.matchCase = IsSet("case");
        parameters.useOdbcStandardTypes = IsSet("odbc-types");
        parameters.ignoreColumnTypeLength = IsSet("no-type-length");
        parameters.listNotProcessedObjects = IsSet("list-not-processed");
        parameters.searchSystemObjects = IsSet("system");
        parameters.serverFilter = !IsSet("no-server-filter");
        if (IsSet("match")) {
            const std::optional<int> mode = ChoiceValue(Value("match"), kMatchModes);
            if (!mode)
                return Fail(QStringLiteral("--match takes %1, not '%2'.")
                                .arg(ChoiceNames(kMatchModes), Value("match")));
            parameters.matchMode = MatchMode(*mode);
        }
        if (IsSet("names")) {
            const std::optional<int> mode = ChoiceValue(Value("names"), kNameModes);
            if (!mode)
                return Fail(QStringLiteral("--names takes %1, not '%2'.")
                                .arg(ChoiceNames(kNameModes), Value("names")));
            parameters.specialNameMode = SpecialNameMode(*mode);
        }
        return true;
    }

    bool ReadPlaces()
    {
        if (!IsSet("in"))
            return true;
        bool* const flags[] = {
            &m_result.options.parameters.searchObjectNames, &m_result.options.parameters.searchColumnNames,
            &m_result.options.parameters.searchDataTypes, &m_result.options.parameters.searchIndexes,
            &m_result.options.parameters.searchData};
        for (bool* flag : flags)
            *flag = false;
        const QStringList places = Value("in").split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (places.isEmpty())
            return Fail(QStringLiteral("--in needs one or more of objects,columns,types,indexes,data."));
        for (const QString& place : places) {
            const auto known = std::find_if(std::begin(kPlaces), std::end(kPlaces), [&](const char* name) {
                return place.trimmed() == QLatin1String(name);
            });
            if (known == std::end(kPlaces))
                return Fail(QStringLiteral("--in: '%1' is not one of objects,columns,types,indexes,data.")
                                .arg(place));
            *flags[known - std::begin(kPlaces)] = true;
        }
        return true;
    }

    bool ReadObjects()
    {
        const QStringList objects = m_parser.values(QStringLiteral("object"));
        if (objects.contains(QString()))
            return Fail(QStringLiteral("--object needs an object name."));
        m_result.options.objects = objects;
        return true;
    }

    bool ReadIgnoredColumns()
    {
        QStringList& patterns = m_result.options.parameters.ignoredColumnPatterns;
        for (const QString& pattern : m_parser.values(QStringLiteral("ignore-column"))) {
            if (pattern.isEmpty())
                return Fail(QStringLiteral("--ignore-column needs a column name or pattern."));
            if (pattern.count(QLatin1Char('%')) > 1)
                return Fail(QStringLiteral("You can have only one expander ('%') per string"));
            // Column names are upper-cased before they are compared; the patterns are not.
            if (HoldsLowerCase(pattern))
                m_result.warnings << QStringLiteral("--ignore-column %1 holds lower-case letters and will "
                                                    "match no column; write it as %2.")
                                         .arg(pattern, ToUpperKeepingLength(pattern));
            patterns << pattern;
        }
        return true;
    }

    bool ReadOutputs()
    {
        BatchOptions& options = m_result.options;
        for (const char* name : {"output", "rtf"}) {
            if (IsSet(name) && Value(name).isEmpty())
                return Fail(QStringLiteral("--%1 needs a file name.").arg(QLatin1String(name)));
        }
        options.outputFile = Value("output");
        options.rtfFile = Value("rtf");
        if (!options.outputFile.isEmpty() && !options.rtfFile.isEmpty() &&
            QFileInfo(options.outputFile).absoluteFilePath() == QFileInfo(options.rtfFile).absoluteFilePath())
            return Fail(QStringLiteral("--output and --rtf name the same file."));
        return true;
    }

    const QCommandLineParser& m_parser;
    BatchOptionsParse m_result;
};

} // namespace

BatchOptionsParse ParseBatchOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(CommandLineOptions());
    if (!parser.parse(arguments)) {
        BatchOptionsParse result;
        result.error = parser.errorText();
        return result;
    }
    return Reader(parser).Read();
}

QString BatchUsage()
{
    return QStringLiteral(
        "Usage: zindrel-batch (--connect STRING | --dsn NAME [--user USER]) --text TEXT [options]\n"
        "\n"
        "Searches one ODBC data source for TEXT in object names, column names, data types, index\n"
        "names and data, and writes the report. Alternatives are separated by '|' ('\\|' is a\n"
        "literal bar).\n"
        "\n"
        "Data source:\n"
        "  --connect STRING      an ODBC connect string, without the password\n"
        "  --dsn NAME            a data source name\n"
        "  --user USER           the user name for --dsn\n"
        "  The password is taken from the environment variable ZINDREL_PASSWORD, or asked for\n"
        "  with echo off when the data source wants one and a terminal is present.\n"
        "\n"
        "Search:\n"
        "  --text TEXT           what to search for\n"
        "  --match MODE          any (default), word, prefix or suffix\n"
        "  --case                match case\n"
        "  --in PLACES           comma-separated: objects,columns,types,indexes,data (default all)\n"
        "  --object NAME         search only this object (repeatable; OWNER.NAME where owners exist)\n"
        "  --ignore-column PAT   leave out columns named PAT; one '%' stands for any middle part;\n"
        "                        compared with the upper-cased name, so write it in capitals\n"
        "                        (repeatable)\n"
        "  --odbc-types          report ODBC standard data types instead of the DBMS's own\n"
        "  --no-type-length      report data types without their length\n"
        "  --names MODE          quoting of names in the data queries: auto (default), special,\n"
        "                        regular\n"
        "  --list-not-processed  list the objects that --object left out\n"
        "  --system              search the server's own schemas and system tables too; without\n"
        "                        it, a system object is searched only when --object names it as\n"
        "                        SCHEMA.NAME\n"
        "  --no-server-filter    read every row of every object: the server does not leave out\n"
        "                        rows that cannot hold an instance\n"
        "\n"
        "Output:\n"
        "  --output FILE         the report text (default: standard output)\n"
        "  --rtf FILE            the coloured report as rich text\n"
        "  -h, --help            this text\n"
        "\n"
        "Exit status:\n"
        "  0  at least one instance was found (a warning names objects that could not be searched)\n"
        "  1  nothing was found, and every object taking part was searched\n"
        "  2  an error: a bad option, an --object that names no object, a search text of '|' only,\n"
        "     a data source that cannot be reached, a file that cannot be written, a stopped search\n"
        "  3  nothing was found, but some objects could not be searched (listed on standard error)\n");
}

} // namespace velkaro
