// SPDX-License-Identifier: MIT
// twinsift-cli: the listing and the duplicate search of the window, for scripts.

#include "../app/keywordlist.h"
#include "../dups/candidatetable.h"
#include "../dups/duplicatesearch.h"
#include "../listing/listing.h"
#include "../listing/sizetext.h"
#include "app/translations.h"
#include "rowwriter.h"

#include <QCoreApplication>
#include <QFile>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace twinsift;
using twinsift::cli::Cell;
using twinsift::cli::Format;
using twinsift::cli::RowWriter;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Usage:\n"
    "  twinsift-cli list [--format tsv|csv|jsonl] FOLDER...\n"
    "  twinsift-cli dups [--threshold PERCENT] [--keywords FILE] [--stats]\n"
    "                    [--format tsv|csv|jsonl] FOLDER\n"
    "\n"
    "list  prints every file under the folders: No., Filename, Size, Hash, Path.\n"
    "      Several folders are numbered on, one after the other.\n"
    "dups  prints the pairs of files whose extension keys match and whose name stems are\n"
    "      more alike than PERCENT (30 to 90, default 60): No., File1, File2,\n"
    "      Similarity(%).\n"
    "\n"
    "Options:\n"
    "  --format F      tsv (default), csv or jsonl; every format starts with a header row\n"
    "  --threshold P   the similarity slider, a whole percent from 30 to 90\n"
    "  --keywords F    the keyword file (default: Keywords.txt beside the program)\n"
    "  --stats         write the statistics of the search to standard error\n"
    "  -h, --help      show this text\n"
    "\n"
    "Exit status: 0 on success, 1 when a folder or the keyword file cannot be read,\n"
    "2 on a usage error. Folders inside the tree that cannot be read are skipped with a\n"
    "warning on standard error.\n";

int usageError(const QByteArray &message)
{
    std::fprintf(stderr, "twinsift-cli: %s\nTry 'twinsift-cli --help'.\n", message.constData());
    return kExitUsage;
}

struct Options {
    QByteArray command;
    Format format = Format::Tsv;
    int threshold = 60;
    std::optional<QByteArray> keywords;
    bool stats = false;
    QList<QByteArray> folders;
};

std::optional<Format> parseFormat(const QByteArray &text)
{
    if (text == "tsv")
        return Format::Tsv;
    if (text == "csv")
        return Format::Csv;
    if (text == "jsonl")
        return Format::Jsonl;
    return std::nullopt;
}

std::optional<int> parseThreshold(const QByteArray &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 30 || value > 90)
        return std::nullopt;
    return value;
}

// Parses the arguments; returns an exit status when there is nothing more to do.
std::optional<int> parseArguments(int argc, char **argv, Options &options)
{
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i)
        args.append(QByteArray(argv[i]));
    if (args.isEmpty())
        return usageError("a command is needed: list or dups");
    if (args.contains("-h") || args.contains("--help")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    options.command = args.takeFirst();
    const bool dups = options.command == "dups";
    if (!dups && options.command != "list")
        return usageError("unknown command '" + options.command + "'");
    bool onlyFolders = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QByteArray arg = args[i];
        if (onlyFolders || !arg.startsWith("--")) {
            options.folders.append(arg);
            continue;
        }
        if (arg == "--") {
            onlyFolders = true;
            continue;
        }
        QByteArray value;
        const qsizetype equals = arg.indexOf('=');
        const bool inlineValue = equals > 0;
        if (inlineValue) {
            value = arg.mid(equals + 1);
            arg.truncate(equals);
        }
        const bool takesValue =
            arg == "--format" || (dups && (arg == "--threshold" || arg == "--keywords"));
        if (takesValue && !inlineValue) {
            if (i + 1 >= args.size())
                return usageError(arg + " needs a value");
            value = args[++i];
        }
        if (arg == "--format") {
            const auto format = parseFormat(value);
            if (!format)
                return usageError("--format takes tsv, csv or jsonl, not '" + value + "'");
            options.format = *format;
        } else if (dups && arg == "--threshold") {
            const auto threshold = parseThreshold(value);
            if (!threshold)
                return usageError("--threshold takes a whole percent from 30 to 90, not '" + value +
                                  "'");
            options.threshold = *threshold;
        } else if (dups && arg == "--keywords") {
            options.keywords = value;
        } else if (dups && arg == "--stats" && !inlineValue) {
            options.stats = true;
        } else {
            return usageError("unknown option '" + arg + "' for " + options.command);
        }
    }
    if (options.folders.isEmpty())
        return usageError("a folder is needed");
    if (dups && options.folders.size() > 1)
        return usageError("dups takes one folder");
    return std::nullopt;
}

// Decimal digits of a whole number, without allocating.
class Number {
public:
    template <typename T>
    explicit Number(T value) : m_end(std::to_chars(m_digits, m_digits + sizeof m_digits, value).ptr)
    {
    }
    QByteArrayView text() const { return QByteArrayView(m_digits, m_end - m_digits); }

private:
    char m_digits[24];
    char *m_end;
};

QList<QByteArray> toBytes(const QStringList &texts)
{
    QList<QByteArray> bytes;
    for (const QString &text : texts)
        bytes.append(text.toUtf8());
    return bytes;
}

// Reports what the walk could not read; true when the starting folder itself failed.
bool reportWalk(const WalkOutcome &outcome)
{
    for (const WalkError &error : outcome.errors) {
        std::fprintf(stderr, "twinsift-cli: %s %s: %s\n",
                     outcome.rootFailed ? "cannot read folder" : "skipped", error.path.constData(),
                     error.reason.toUtf8().constData());
    }
    if (!outcome.rootFailed && !outcome.errors.empty())
        std::fprintf(stderr, "twinsift-cli: %zu entries could not be read and were skipped\n",
                     outcome.errors.size());
    return outcome.rootFailed;
}

int runList(const Options &options)
{
    RowWriter writer(stdout, options.format, toBytes(listingColumns()));
    writer.writeHeader();
    RunningIndex index;
    const SizeFormatter sizeText;
    bool failed = false;
    for (const QByteArray &folder : options.folders) {
        const WalkOutcome outcome = RecurseFiles2(folder, index, [&](ListingRow &&row) {
            const Number number(row.number);
            const Number hash(row.hashValue());
            writer.writeRow({{number.text(), true},
                             {row.name()},
                             {sizeText(row.size).toUtf8()},
                             {hash.text()},
                             {row.path}});
        });
        failed |= reportWalk(outcome);
    }
    if (!writer.flush()) {
        std::fprintf(stderr, "twinsift-cli: cannot write the rows: %s\n", std::strerror(errno));
        return kExitUnreadable;
    }
    return failed ? kExitUnreadable : kExitOk;
}

int runDups(const Options &options)
{
    KeywordList keywords;
    const QString keywordFile =
        options.keywords ? QFile::decodeName(*options.keywords) : KeywordList::defaultFileName();
    const KeywordList::LoadResult loaded = keywords.load(keywordFile);
    if (options.keywords && loaded.status != KeywordList::Status::Loaded) {
        std::fprintf(stderr, "twinsift-cli: cannot read the keyword file %s: %s\n",
                     options.keywords->constData(), loaded.error.toUtf8().constData());
        return kExitUnreadable;
    }

    FileRecords records;
    const WalkOutcome outcome = storeData(options.folders.first(), keywords, records);
    if (reportWalk(outcome))
        return kExitUnreadable;

    RowWriter writer(stdout, options.format, toBytes(pairColumns()));
    writer.writeHeader();
    RunningIndex index;
    std::vector<QByteArray> paths;
    const SearchStats stats =
        findDuplicates(records, options.threshold, paths, [&](quint32 i, quint32 j, int percent) {
            const quint64 number = index.x();
            writer.writeRow({{Number(number).text(), true},
                             {paths[i]},
                             {paths[j]},
                             {Number(percent).text(), true}});
            index.store(number);
        });
    const bool written = writer.flush();
    if (options.stats) {
        for (const QString &line : statisticsLines(stats))
            std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    }
    if (!written) {
        std::fprintf(stderr, "twinsift-cli: cannot write the rows: %s\n", std::strerror(errno));
        return kExitUnreadable;
    }
    return kExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    twinsift::installTranslators(app);
    Options options;
    if (const auto status = parseArguments(argc, argv, options))
        return *status;
    return options.command == "list" ? runList(options) : runDups(options);
}
