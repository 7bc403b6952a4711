// SPDX-License-Identifier: MIT
#include "rowmenu.h"

namespace twinsift {

RowMenu::RowMenu(QWidget *parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("rowMenu"));
    QAction *open = addAction(tr("&Open"));
    open->setObjectName(QStringLiteral("openFile"));
    QAction *folder = addAction(tr("Open Containing &Folder"));
    folder->setObjectName(QStringLiteral("openFolder"));
    addSeparator();
    QAction *copy = addAction(tr("&Copy Path"));
    copy->setObjectName(QStringLiteral("copyPath"));
    m_fileActions = {open, folder, copy};
    addSeparator();

    m_compare = addAction(tr("Co&mpare Contents"));
    m_compare->setObjectName(QStringLiteral("compareContents"));
    m_rules = addMenu(tr("&Tick in Every Pair"));
    m_rules->setObjectName(QStringLiteral("tickRules"));
    using tickrules::Rule;
    const std::pair<Rule, QString> rules[] = {
        {Rule::Copy, tr("The &Copy", "tick rule")},
        {Rule::Newer, tr("The &Newer File", "tick rule")},
        {Rule::Older, tr("The &Older File", "tick rule")},
        {Rule::LongerName, tr("The &Longer Name", "tick rule")},
        {Rule::UnderFolder, tr("Files &Under This Folder", "tick rule")},
        {Rule::OutsideFolder, tr("Files Out&side This Folder", "tick rule")},
    };
    for (const auto &[rule, text] : rules) {
        if (rule == Rule::UnderFolder)
            m_rules->addSeparator();
        connect(m_rules->addAction(text), &QAction::triggered, this, [this, rule = rule] {
            Q_EMIT tickRule(rule, m_file.left(m_file.lastIndexOf('/') + 1));
        });
    }
    m_rules->addSeparator();
    m_onlySame = m_rules->addAction(tr("Only Where Contents Are the S&ame"));
    m_onlySame->setObjectName(QStringLiteral("onlySameContents"));
    m_onlySame->setCheckable(true);
    m_untick = addAction(tr("U&ntick All"));
    m_untick->setObjectName(QStringLiteral("untickAll"));
    addSeparator();
    m_restore = addAction(tr("&Restore Last Deletion"));
    m_restore->setObjectName(QStringLiteral("restoreLastDeletion"));
    // Shown as a reminder; the window's own shortcut does the work.
    m_restore->setShortcut(QKeySequence::Undo);
    m_restore->setShortcutContext(Qt::WidgetShortcut);

    connect(open, &QAction::triggered, this, [this] { Q_EMIT openFile(m_file); });
    connect(folder, &QAction::triggered, this, [this] { Q_EMIT openFolder(m_file); });
    connect(copy, &QAction::triggered, this, [this] { Q_EMIT copyPaths(m_paths); });
    connect(m_compare, &QAction::triggered, this, &RowMenu::compareContents);
    connect(m_untick, &QAction::triggered, this, &RowMenu::untickAll);
    connect(m_restore, &QAction::triggered, this, &RowMenu::restoreLastDeletion);
}

bool RowMenu::onlySameContents() const
{
    return m_onlySame->isChecked();
}

void RowMenu::showFor(const QByteArray &file, const QList<QByteArray> &paths,
                      const QPoint &globalPos, bool pairs, bool restorable)
{
    m_file = file;
    m_paths = paths;
    for (QAction *action : std::as_const(m_fileActions))
        action->setEnabled(!file.isEmpty());
    m_compare->setEnabled(pairs && !file.isEmpty());
    m_rules->setEnabled(pairs && !file.isEmpty());
    m_untick->setEnabled(!file.isEmpty());
    m_restore->setEnabled(restorable);
    popup(globalPos);
}

} // namespace twinsift
