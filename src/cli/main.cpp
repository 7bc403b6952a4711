// SPDX-License-Identifier: MIT
// twinsift-cli: the listing and the duplicate search of the window, for scripts.

#include "app/keywordlist.h"
#include "app/translations.h"
#include "dups/candidatetable.h"
#include "dups/contentcomparer.h"
#include "dups/duplicatesearch.h"
#include "listing/listing.h"
#include "listing/sizetext.h"
#include "orderedrows.h"
#include "pathlisting.h"
#include "rowwriter.h"

#include <QCoreApplication>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>
#include <stop_token>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace twinsift;
using twinsift::cli::Format;
using twinsift::cli::OrderedRows;
using twinsift::cli::PathListing;
using twinsift::cli::RowBuffer;
using twinsift::cli::RowWriter;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

QString usageText()
{
    return QCoreApplication::translate(
        "twinsift-cli",
        "Usage:\n"
        "  twinsift-cli list [--format tsv|csv|jsonl] FOLDER...\n"
        "  twinsift-cli dups [--threshold PERCENT] [--keywords FILE] [--stats] [--content]\n"
        "                    [--format tsv|csv|jsonl] FOLDER\n"
        "  twinsift-cli dups [options] --from FILE|- [--null]\n"
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
        "  --keywords F    the keyword file. By default Keywords.txt beside the program when\n"
        "                  the user may write that folder, else (for an installed program)\n"
        "                  $XDG_CONFIG_HOME/twinsift/Keywords.txt (~/.config/twinsift/...);\n"
        "                  a missing default file means no keywords\n"
        "  --stats         write the statistics of the search to standard error\n"
        "  --content       compare the contents of each pair's files: a fifth column\n"
        "                  Content says same, different or unreadable (why, on standard\n"
        "                  error once a file)\n"
        "  --from F        compare the paths listed in file F (- for standard input) instead\n"
        "                  of walking a folder; nothing else is read from disk. One path a\n"
        "                  line; a CR before the line end is dropped; empty lines are skipped\n"
        "  --null          entries in the --from listing end in NUL (find -print0); nothing\n"
        "                  is dropped from them\n"
        "  --              every argument after it is a folder\n"
        "  -h, --help      show this text\n"
        "\n"
        "Exit status: 0 on success, 1 when a folder, the listing or the keyword file cannot\n"
        "be read, 2 on a usage error. Folders inside the tree that cannot be read are\n"
        "skipped with a warning on standard error.\n");
}

// A translated message with %1, %2... replaced by raw bytes, so that paths reach the
// terminal exactly as the file system holds them.
QByteArray message(const QString &text, std::initializer_list<QByteArrayView> args = {})
{
    const QByteArray bytes = text.toLocal8Bit();
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const qsizetype k = i + 1 < bytes.size() ? bytes[i + 1] - '1' : -1;
        if (bytes[i] == '%' && k >= 0 && k < qsizetype(args.size())) {
            out.append(args.begin()[k]);
            ++i;
        } else {
            out.append(bytes[i]);
        }
    }
    return out;
}

void tell(const QByteArray &text)
{
    std::fprintf(stderr, "twinsift-cli: %s\n", text.constData());
}

int usageError(const QByteArray &text)
{
    tell(text);
    std::fputs(message(QCoreApplication::translate("twinsift-cli", "Try 'twinsift-cli --help'."))
                   .append('\n')
                   .constData(),
               stderr);
    return kExitUsage;
}

int writeFailed(const QString &text, int code)
{
    tell(message(text, {std::strerror(code)}));
    return kExitUnreadable;
}

int showHelp()
{
    errno = 0;
    if (std::fputs(usageText().toLocal8Bit().constData(), stdout) >= 0 && std::fflush(stdout) == 0)
        return kExitOk;
    return writeFailed(
        QCoreApplication::translate("twinsift-cli", "cannot write the help text: %1"),
        errno != 0 ? errno : EIO);
}

struct Options {
    QByteArray command;
    Format format = Format::Tsv;
    int threshold = 60;
    std::optional<QByteArray> keywords;
    std::optional<QByteArray> from;
    bool nul = false;
    bool stats = false;
    bool content = false;
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

// A whole percent as the slider shows it: digits only, with no sign, space or leading zero.
std::optional<int> parseThreshold(const QByteArray &text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.begin(), text.end(), value);
    if (error != std::errc() || end != text.end() || text.startsWith('0') || value < 30 ||
        value > 90)
        return std::nullopt;
    return value;
}

// Parses the arguments as given; returns an exit status when there is nothing more to do.
// Help is an option like the others: after "--", and as an option's value, it is a folder
// or that value.
std::optional<int> parseArguments(QList<QByteArray> args, Options &options)
{
    if (args.isEmpty())
        return usageError(message(
            QCoreApplication::translate("twinsift-cli", "a command is needed: list or dups")));
    options.command = args.takeFirst();
    if (options.command == "-h" || options.command == "--help")
        return showHelp();
    const bool dups = options.command == "dups";
    if (!dups && options.command != "list")
        return usageError(
            message(QCoreApplication::translate("twinsift-cli", "unknown command '%1'"),
                    {options.command}));
    bool onlyFolders = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QByteArray arg = args[i];
        if (!onlyFolders && arg == "--") {
            onlyFolders = true;
            continue;
        }
        if (!onlyFolders && (arg == "-h" || arg == "--help"))
            return showHelp();
        if (onlyFolders || !arg.startsWith('-') || arg == "-") {
            // An unset variable in a script must not walk the current folder.
            if (arg.isEmpty())
                return usageError(message(
                    QCoreApplication::translate("twinsift-cli", "a folder cannot be empty")));
            options.folders.append(arg);
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
            arg == "--format" ||
            (dups && (arg == "--threshold" || arg == "--keywords" || arg == "--from"));
        const bool flag = dups && (arg == "--stats" || arg == "--null" || arg == "--content");
        if (takesValue && !inlineValue) {
            if (i + 1 >= args.size())
                return usageError(message(
                    QCoreApplication::translate("twinsift-cli", "%1 needs a value"), {arg}));
            value = args[++i];
        }
        if (flag && inlineValue)
            return usageError(
                message(QCoreApplication::translate("twinsift-cli", "%1 takes no value"), {arg}));
        // An empty file name is a script's unset variable, as with an empty folder.
        if (takesValue && (arg == "--keywords" || arg == "--from") && value.isEmpty())
            return usageError(message(
                QCoreApplication::translate("twinsift-cli", "%1 needs a file name"), {arg}));
        if (arg == "--format") {
            const auto format = parseFormat(value);
            if (!format)
                return usageError(
                    message(QCoreApplication::translate(
                                "twinsift-cli", "--format takes tsv, csv or jsonl, not '%1'"),
                            {value}));
            options.format = *format;
        } else if (dups && arg == "--threshold") {
            const auto threshold = parseThreshold(value);
            if (!threshold)
                return usageError(
                    message(QCoreApplication::translate(
                                "twinsift-cli",
                                "--threshold takes a whole percent from 30 to 90, not '%1'"),
                            {value}));
            options.threshold = *threshold;
        } else if (dups && arg == "--keywords") {
            options.keywords = value;
        } else if (dups && arg == "--from") {
            if (options.from)
                return usageError(message(
                    QCoreApplication::translate("twinsift-cli", "--from takes one listing")));
            options.from = value;
        } else if (dups && arg == "--stats") {
            options.stats = true;
        } else if (dups && arg == "--null") {
            options.nul = true;
        } else if (dups && arg == "--content") {
            options.content = true;
        } else {
            return usageError(
                message(QCoreApplication::translate("twinsift-cli", "unknown option '%1' for %2"),
                        {arg, options.command}));
        }
    }
    if (options.nul && !options.from)
        return usageError(
            message(QCoreApplication::translate("twinsift-cli", "--null goes with --from")));
    if (options.from) {
        if (options.content)
            return usageError(message(QCoreApplication::translate(
                "twinsift-cli", "--content reads the files, and a --from listing has none")));
        if (!options.folders.isEmpty())
            return usageError(message(QCoreApplication::translate(
                "twinsift-cli", "dups takes a folder or --from, not both")));
        return std::nullopt;
    }
    if (options.folders.isEmpty())
        return usageError(
            message(QCoreApplication::translate("twinsift-cli", "a folder is needed")));
    if (dups && options.folders.size() > 1)
        return usageError(
            message(QCoreApplication::translate("twinsift-cli", "dups takes one folder")));
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

int clampedCount(quint64 count)
{
    return int(std::min<quint64>(count, INT_MAX));
}

// Reports what the walk of `root` could not read; true when the rows are not the whole tree
// for a reason other than the tree itself: the starting folder could not be read, or folders
// were skipped for lack of descriptors, which says nothing of the folders.
bool reportWalk(QByteArrayView root, const WalkOutcome &outcome)
{
    if (outcome.rootFailed) {
        tell(message(QCoreApplication::translate("twinsift-cli", "cannot read folder %1: %2"),
                     {root, outcome.errors.front().reason.toLocal8Bit()}));
        return true;
    }
    quint64 starved = 0;
    for (const WalkError &error : outcome.errors) {
        tell(message(QCoreApplication::translate("twinsift-cli", "skipped %1: %2"),
                     {error.path, error.reason.toLocal8Bit()}));
        starved += error.code == EMFILE || error.code == ENFILE;
    }
    if (!outcome.errors.empty())
        tell(message(QCoreApplication::translate("twinsift-cli",
                                                 "skipped %n entry(s) that could not be read",
                                                 nullptr, clampedCount(outcome.errors.size()))));
    if (starved > 0)
        tell(message(QCoreApplication::translate(
            "twinsift-cli",
            "the listing is incomplete: %n folder(s) could not be opened for lack of file "
            "descriptors (see ulimit -n)",
            nullptr, clampedCount(starved))));
    return starved > 0;
}

int rowsNotWritten(int code)
{
    return writeFailed(QCoreApplication::translate("twinsift-cli", "cannot write the rows: %1"),
                       code);
}

int runList(const Options &options)
{
    RowWriter writer(stdout, options.format, toBytes(listingColumns()));
    writer.writeHeader();
    RunningIndex index;
    // Scripts read the sizes as they read the headers, so these do not follow the locale.
    const SizeFormatter sizeText(QLocale::c());
    std::stop_source writeFailure;
    bool incomplete = false;
    for (const QByteArray &folder : options.folders) {
        const WalkOutcome outcome = RecurseFiles2(
            folder, index,
            [&](ListingRow &&row) {
                const Number number(row.number);
                const Number hash(row.hashValue());
                if (!writer.writeRow({{number.text(), cli::Cell::Number},
                                      {row.name()},
                                      {sizeText(row.size).toUtf8()},
                                      {hash.text()},
                                      {row.path}}))
                    writeFailure.request_stop();
            },
            writeFailure.get_token());
        incomplete |= reportWalk(folder, outcome);
        if (writeFailure.stop_requested())
            break;
    }
    if (!writer.flush())
        return rowsNotWritten(writer.error());
    return incomplete ? kExitUnreadable : kExitOk;
}

// The keywords of --keywords, or of the default file when it exists. A keyword file that
// exists but cannot be read is an error either way: searching without the user's keywords
// would give rows the user has asked to leave out.
std::optional<KeywordList> loadKeywords(const Options &options)
{
    KeywordList keywords;
    const QString fileName =
        options.keywords ? QFile::decodeName(*options.keywords) : KeywordList::defaultFileName();
    const KeywordList::LoadResult loaded = keywords.load(fileName);
    const bool mayBeMissing = !options.keywords && loaded.status == KeywordList::Status::Missing;
    if (loaded.status == KeywordList::Status::Loaded || mayBeMissing)
        return keywords;
    tell(message(QCoreApplication::translate("twinsift-cli", "cannot read the keyword file %1: %2"),
                 {QFile::encodeName(fileName), loaded.error.toLocal8Bit()}));
    return std::nullopt;
}

// The files of the pairs: their paths, and what they were when the walk found them.
struct PairFiles {
    std::vector<QByteArray> paths;
    std::vector<FileIdentity> identities;
};

PairFiles pairFiles(const FileRecords &records, const std::vector<ContentPair> &pairs)
{
    PairFiles files{std::vector<QByteArray>(records.count()),
                    std::vector<FileIdentity>(records.count())};
    for (const ContentPair &pair : pairs) {
        for (const quint32 i : {pair.first, pair.second}) {
            if (!files.paths[i].isEmpty())
                continue;
            files.paths[i] = records.path(i);
            files.identities[i] = records.identity(i);
        }
    }
    return files;
}

// Reads the candidates of the --from listing into `records`. False, with the reason told,
// when the listing cannot be read whole.
bool readListing(const Options &options, const KeywordList &keywords, PathListing &listing,
                 FileRecords &records)
{
    const QByteArray &name = *options.from;
    const auto unreadable = [&](int code) {
        tell(message(QCoreApplication::translate("twinsift-cli", "cannot read the listing %1: %2"),
                     {name, std::strerror(code)}));
        return false;
    };
    if (const int error = listing.open(name))
        return unreadable(error);
    const PathListing::Outcome outcome = listing.read(options.nul, [&](QByteArrayView path) {
        const size_t before = records.count();
        storeCandidate(path, path.lastIndexOf('/') + 1, keywords, records);
        return records.count() > before;
    });
    const Number entry(outcome.entry);
    switch (outcome.fault) {
    case PathListing::Fault::None:
        break;
    case PathListing::Fault::Unreadable:
        return unreadable(outcome.error);
    case PathListing::Fault::NulInLine:
        tell(message(QCoreApplication::translate(
                         "twinsift-cli",
                         "the listing %1 holds NUL bytes, which no path can hold; give "
                         "--null if its entries end in NUL, as find -print0 writes them"),
                     {name}));
        return false;
    case PathListing::Fault::PathTooLong:
        tell(message(options.nul
                         ? QCoreApplication::translate("twinsift-cli",
                                                       "entry %1 of the listing %2 is longer "
                                                       "than a path can be (4096 bytes)")
                         : QCoreApplication::translate("twinsift-cli",
                                                       "line %1 of the listing %2 is longer "
                                                       "than a path can be (4096 bytes)"),
                     {entry.text(), name}));
        return false;
    case PathListing::Fault::NameTooLong:
        tell(message(options.nul
                         ? QCoreApplication::translate("twinsift-cli",
                                                       "entry %1 of the listing %2 has a name "
                                                       "longer than a name can be (255 bytes)")
                         : QCoreApplication::translate("twinsift-cli",
                                                       "line %1 of the listing %2 has a name "
                                                       "longer than a name can be (255 bytes)"),
                     {entry.text(), name}));
        return false;
    }
    if (listing.repeats() > 0)
        tell(message(QCoreApplication::translate("twinsift-cli",
                                                 "skipped %n repeated path(s) of the listing",
                                                 nullptr, clampedCount(listing.repeats()))));
    return true;
}

// Searches, formats the rows on every core and writes them in order.
SearchStats searchInParallel(const Options &options, const FileRecords &records, RowWriter &writer,
                             std::stop_source writeFailure)
{
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    // What a thread keeps between pieces: its rows, and the first path of its last pair, which
    // is the same for all of a candidate's rows and so is formatted once.
    struct Formatting {
        RowBuffer rows;
        QByteArray first, firstCell, second;
        quint32 firstOf = std::numeric_limits<quint32>::max();
    };
    std::vector<Formatting> formatting(threads);
    // Whether each candidate's path goes into its rows unescaped, learnt from its first row:
    // a path is in many rows, and most need no escape. 0 while unknown, else 1 + plain.
    std::vector<std::atomic<quint8>> plain(records.count());
    OrderedRows ordered(writer, writeFailure);
    return findDuplicates(
        records, options.threshold,
        [&](const PairPiece &piece) {
            Formatting &f = formatting[piece.worker];
            quint64 number = piece.number;
            for (const FoundPair &pair : piece.pairs) {
                if (writeFailure.stop_requested())
                    break;
                if (pair.first != f.firstOf) {
                    records.pathInto(f.firstOf = pair.first, f.first);
                    writer.formatCell(f.firstCell, f.first);
                }
                records.pathInto(pair.second, f.second);
                quint8 known = plain[pair.second].load(std::memory_order_relaxed);
                if (known == 0) {
                    known = writer.isPlain(f.second) ? 2 : 1;
                    plain[pair.second].store(known, std::memory_order_relaxed);
                }
                writer.formatRow(f.rows,
                                 {{Number(++number).text(), cli::Cell::Number},
                                  {f.firstCell, cli::Cell::Formatted},
                                  {f.second, known == 2 ? cli::Cell::Plain : cli::Cell::Text},
                                  {Number(pair.percent).text(), cli::Cell::Number}});
            }
            ordered.add(piece.part, f.rows, piece.last);
        },
        writeFailure.get_token(), nullptr, SearchThreads{threads, {}});
}

// Searches, compares the contents of the pairs' files and writes the rows with the verdicts.
SearchStats searchAndCompare(const Options &options, const FileRecords &records, RowWriter &writer,
                             std::stop_source writeFailure)
{
    RunningIndex index;
    QByteArray first, second;
    quint32 firstOf = std::numeric_limits<quint32>::max();
    struct Found {
        ContentPair pair;
        int percent;
    };
    std::vector<Found> found;
    const SearchStats stats = findDuplicates(
        records, options.threshold,
        [&](quint32 i, quint32 j, int percent) {
            found.push_back({{i, j}, percent});
        },
        writeFailure.get_token());
    std::vector<ContentPair> pairs;
    pairs.reserve(found.size());
    for (const Found &pair : found)
        pairs.push_back(pair.pair);
    const PairFiles files = pairFiles(records, pairs);
    ContentComparer comparer;
    const ContentComparer::Outcome outcome = comparer.compare(pairs, [&](quint32 i) {
        return ContentFile{files.paths[i], files.identities[i]};
    });
    for (const ContentComparer::Failure &failure : outcome.failures)
        tell(message(
            QCoreApplication::translate("twinsift-cli", "cannot compare the contents of %1: %2"),
            {files.paths[failure.file], failure.why.text().toLocal8Bit()}));
    for (size_t k = 0; k < found.size() && !writeFailure.stop_requested(); ++k) {
        const QByteArray word = outcome.verdicts[k].word().toUtf8();
        const quint64 number = index.x();
        if (found[k].pair.first != firstOf) // a candidate's rows come together
            records.pathInto(firstOf = found[k].pair.first, first);
        records.pathInto(found[k].pair.second, second);
        if (!writer.writeRow({{Number(number).text(), cli::Cell::Number},
                              {first},
                              {second},
                              {Number(found[k].percent).text(), cli::Cell::Number},
                              {word}}))
            writeFailure.request_stop();
        index.store(number);
    }
    return stats;
}

int runDups(const Options &options)
{
    const std::optional<KeywordList> keywords = loadKeywords(options);
    if (!keywords)
        return kExitUnreadable;

    FileRecords records;
    PathListing listing([&records](quint32 k, QByteArray &out) { records.pathInto(k, out); });
    bool incomplete = false;
    if (options.from) {
        if (!readListing(options, *keywords, listing, records))
            return kExitUnreadable;
    } else {
        const QByteArray &folder = options.folders.first();
        const WalkOutcome outcome = storeData(folder, *keywords, records);
        incomplete = reportWalk(folder, outcome);
        if (outcome.rootFailed)
            return kExitUnreadable;
    }

    RowWriter writer(
        stdout, options.format,
        toBytes(options.content ? columns::texts(columns::pairsWithContent()) : pairColumns()));
    writer.writeHeader();
    std::stop_source writeFailure;
    SearchStats stats;
    if (options.content)
        stats = searchAndCompare(options, records, writer, writeFailure);
    else
        stats = searchInParallel(options, records, writer, writeFailure);
    if (!writer.flush())
        return rowsNotWritten(writer.error());
    if (options.stats) {
        for (const QString &line : statisticsLines(stats))
            std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
    return incomplete ? kExitUnreadable : kExitOk;
}

// A standard descriptor closed at start would be taken by the next file opened (Qt's event
// descriptor, the listing), and rows or messages would go into it. /dev/null holds its place,
// opened the other way round so that using it fails as using the closed descriptor would.
// open() takes the lowest free number, which is the one being filled.
void holdClosedStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    }
}

} // namespace

int main(int argc, char **argv)
{
    holdClosedStandardDescriptors();
    // Qt takes the arguments it knows (-qmljsdebugger=...) out of argv; a script's folder
    // may have any name, so the arguments are kept as given before Qt sees them.
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i)
        args.append(QByteArray(argv[i]));
    QCoreApplication app(argc, argv);
    twinsift::installTranslators(app);
    Options options;
    if (const auto status = parseArguments(std::move(args), options))
        return *status;
    return options.command == "list" ? runList(options) : runDups(options);
}
