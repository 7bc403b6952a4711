// SPDX-License-Identifier: MIT
#include "tickrules.h"

#include "listing/rawname.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <map>
#include <numeric>

#include <sys/stat.h>

namespace twinsift::tickrules {

namespace {

// Finds the set a file belongs to, halving the path as it goes.
quint32 root(std::vector<quint32> &parent, quint32 file)
{
    while (parent[file] != file) {
        parent[file] = parent[parent[file]];
        file = parent[file];
    }
    return file;
}

} // namespace

bool hasCopyMark(const QByteArray &name)
{
    // "name (1)", "name(1)", "name (copy)", "name (copy 2)", "name (another copy)",
    // "name (3rd copy)", "name - Copy", "name - Copy (2)", "Copy of name", "Copy (2) of name",
    // "name copy", "name copy 2", "name_copy", "name_copy2".
    static const QRegularExpression mark(
        QStringLiteral("^(?:copy (?:\\(\\d+\\) )?of .+|.+?(?: ?\\(\\d+\\)"
                       "| \\((?:(?:\\d+(?:st|nd|rd|th)|another) )?copy(?: \\d+)?\\)"
                       "| - copy(?: \\(\\d+\\))?| copy(?: \\d+)?|_copy(?:_?\\d+)?))$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = rawname::display(name);
    // The mark stands before the extension, which may have several parts ("x (1).tar.gz").
    const qsizetype last = text.lastIndexOf(u'.'), first = text.indexOf(u'.');
    for (const qsizetype end : {text.size(), last, first}) {
        if (end > 0 && mark.match(QStringView(text).left(end)).hasMatch())
            return true;
    }
    return false;
}

std::vector<qint64> keys(Rule rule, const std::vector<QByteArray> &paths, const QByteArray &folder)
{
    std::vector<qint64> keys;
    keys.reserve(paths.size());
    for (const QByteArray &path : paths) {
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        struct stat info {};
        switch (rule) {
        case Rule::Copy:
            keys.push_back(hasCopyMark(name) ? 1 : 0);
            break;
        case Rule::Newer:
        case Rule::Older:
            if (::stat(path.constData(), &info) != 0) {
                keys.push_back(kUnknown);
                break;
            }
            keys.push_back((rule == Rule::Newer ? 1 : -1) *
                           (qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec));
            break;
        case Rule::LongerName:
            keys.push_back(rawname::decode(name).size());
            break;
        case Rule::UnderFolder:
        case Rule::OutsideFolder:
            keys.push_back(path.startsWith(folder) == (rule == Rule::UnderFolder) ? 1 : 0);
            break;
        }
    }
    return keys;
}

std::vector<quint32> linkTargets(const std::vector<QByteArray> &paths)
{
    std::vector<quint32> targets(paths.size());
    std::iota(targets.begin(), targets.end(), 0u);
    std::map<std::pair<dev_t, ino_t>, quint32> real;
    std::vector<std::pair<dev_t, ino_t>> leadsTo(paths.size());
    struct stat info {};
    for (quint32 i = 0; i < paths.size(); ++i) {
        if (::lstat(paths[i].constData(), &info) != 0)
            continue;
        if (!S_ISLNK(info.st_mode))
            real.emplace(std::pair{info.st_dev, info.st_ino}, i);
        else if (::stat(paths[i].constData(), &info) == 0)
            leadsTo[i] = {info.st_dev, info.st_ino};
    }
    for (quint32 i = 0; i < paths.size(); ++i) {
        if (const auto it = real.find(leadsTo[i]); leadsTo[i].second != 0 && it != real.end())
            targets[i] = it->second;
    }
    return targets;
}

Plan plan(const std::vector<PairSides> &rows, const std::vector<qint64> &keys,
          const std::vector<quint32> &targets)
{
    Plan plan;
    plan.actions.assign(rows.size(), Action::None);
    std::vector<quint32> parent(keys.size());
    std::iota(parent.begin(), parent.end(), 0u);
    std::vector<bool> goes(keys.size());
    for (const PairSides &row : rows) {
        parent[root(parent, row.first)] = root(parent, row.second);
        if (row.checked)
            goes[row.first] = true;
    }
    const auto isLink = [&](quint32 file) { return !targets.empty() && targets[file] != file; };
    for (quint32 file = 0; file < keys.size(); ++file) {
        if (isLink(file))
            parent[root(parent, file)] = root(parent, targets[file]);
    }
    // How many files of each set no ticked row removes, counted at the set's root; a link
    // to a listed file is counted in its target.
    std::vector<quint32> kept(keys.size());
    for (quint32 file = 0; file < keys.size(); ++file)
        kept[root(parent, file)] += goes[file] || isLink(file) ? 0u : 1u;

    for (size_t i = 0; i < rows.size(); ++i) {
        const PairSides &row = rows[i];
        if (row.checked)
            continue;
        const qint64 first = keys[row.first], second = keys[row.second];
        if (first == second || first == kUnknown || second == kUnknown) {
            ++plan.leftAlone;
            continue;
        }
        const quint32 file = first > second ? row.first : row.second;
        if (!goes[file]) {
            quint32 &left = kept[root(parent, file)];
            if (!isLink(file) && left <= 1) {
                ++plan.leftAlone;
                continue;
            }
            left -= isLink(file) ? 0u : 1u;
            goes[file] = true;
            ++plan.files;
        }
        plan.actions[i] = file == row.first ? Action::Tick : Action::SwitchAndTick;
        ++plan.pairs;
    }
    return plan;
}

QString message(const Plan &plan)
{
    return QCoreApplication::translate("twinsift", "Ticked %Ln file(s) in %1; %2", nullptr,
                                       int(plan.files))
        .arg(QCoreApplication::translate("twinsift", "%Ln pair(s)", nullptr, int(plan.pairs)),
             QCoreApplication::translate("twinsift", "%Ln pair(s) left alone", nullptr,
                                         int(plan.leftAlone)));
}

} // namespace twinsift::tickrules
