// SPDX-License-Identifier: MIT
#pragma once

// What the window tests share: a prompter that records the boxes and answers them, a fresh
// folder to start in, and helpers that drive the real window through its object names.

#include "app/foldertree.h"
#include "app/form1.h"
#include "app/places.h"
#include "app/prompter.h"
#include "app/resultmodel.h"
#include "view/resultview.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

// Checks that `text` holds `part`, and shows both when it does not.
#define VERIFY_HOLDS(text, part)                                                                   \
    QVERIFY2(QString(text).contains(part),                                                         \
             qPrintable(QStringLiteral("\"%1\" lacks \"%2\"").arg(text, part)))

namespace twinsift::testing {

using namespace Qt::StringLiterals;

struct Box {
    QMessageBox::Icon icon;
    QString text; // title: text
};

struct Question {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QString informative;
    QString detail;
};

// Records the boxes the window shows, and gives `answer` to every question.
struct PromptLog : Prompter {
    QMessageBox::StandardButton ask(QWidget *, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton,
                                    const QString &informative, const QString &detail) override
    {
        asked.append({title, text, buttons, defaultButton, informative, detail});
        return answer;
    }
    void tell(QWidget *, QMessageBox::Icon icon, const QString &title, const QString &text) override
    {
        told.append({icon, title + u": "_s + text});
    }

    QList<Box> told;
    QList<Question> asked;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};

// Writes each file (with a few bytes, creating its folders) under `root`.
inline void makeFiles(const QString &root, const QStringList &files)
{
    for (const QString &name : files) {
        const QString path = root + u'/' + name;
        QFile file(path);
        QVERIFY2(QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
                     file.write("data") == 4,
                 qPrintable(path));
    }
}

// A fresh folder (inside `parent`) that the window starts in, with `files` in its root().
struct Sandbox {
    explicit Sandbox(const QStringList &files = {}, const QString &parent = QDir::tempPath())
        : dir(parent + u"/box-XXXXXX"_s)
    {
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", QFile::encodeName(dir.path()));
        makeFiles(root(), files);
    }
    QString root() const { return dir.filePath(u"tree"_s); }
    QString path(const QString &name) const { return root() + u'/' + name; }
    QByteArray raw(const QString &name) const { return QFile::encodeName(path(name)); }
    bool exists(const QString &name) const { return QFileInfo::exists(path(name)); }

    QTemporaryDir dir;
};

// A window on the offscreen platform whose message boxes are recorded.
struct Window {
    explicit Window(const QString &keywordFile = u"/nonexistent/Keywords.txt"_s) : form(keywordFile)
    {
        auto prompter = std::make_unique<PromptLog>();
        log = prompter.get();
        form.setPrompter(std::move(prompter));
        QSignalSpy started(&form, &Form1::workFinished);
        form.show();
        // The start folder and the keywords are read in the background.
        if (form.isWorking())
            started.wait(10000);
    }

    template <typename T = QWidget> T *child(const char *name) const
    {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QString song() const { return child<QLineEdit>("txtSong")->text(); }
    ResultModel *model() const { return form.resultModel(); }
    ResultView *view() const { return child<ResultView>("ListView1"); }
    QString cell(int row, int column) const
    {
        return model()->index(row, column).data().toString();
    }
    // Each row's cells in `columns` joined by '|', with the folder `root` cut from its paths.
    QStringList rows(std::initializer_list<int> columns, const QString &root = {}) const
    {
        QStringList texts;
        for (int row = 0; row < model()->rowCount(); ++row) {
            QStringList cells;
            for (const int column : columns)
                cells << cell(row, column);
            texts << (root.isEmpty() ? cells.join(u'|') : cells.join(u'|').remove(root + u'/'));
        }
        return texts;
    }
    QStringList told() const
    {
        QStringList texts;
        for (const Box &box : std::as_const(log->told))
            texts << box.text;
        return texts;
    }
    // The list and the buttons in one line, to be compared whole: the kind of list and its
    // columns, the rows' numbers (runs shortened), the running index (and the shown one where
    // they differ), the ticked rows (by the window's record, and by the list's where they
    // differ), and the buttons that can be pressed.
    QString state() const
    {
        QStringList numbers, ticks, listTicks, enabled;
        const int last = model()->rowCount() - 1;
        for (int row = 0; row <= last; ++row) {
            const quint64 number = model()->number(row);
            const bool inRun = row > 0 && row < last && number == model()->number(row - 1) + 1 &&
                               number + 1 == model()->number(row + 1);
            if (!inRun || numbers.back() != u".."_s)
                numbers << (inRun ? u".."_s : QString::number(number));
            if (model()->isChecked(row))
                listTicks << QString::number(number);
        }
        for (const quint64 key : form.checkedFiles().keys())
            ticks << QString::number(key);
        ticks.sort();
        listTicks.sort();
        for (const char *name : {"cmdSearch", "cmdDups", "cmdClear", "cmdDelete", "cmdSwitchItems"})
            if (button(name)->isEnabled())
                enabled << QString::fromLatin1(name + 3);
        const QString index = QString::number(form.runningIndex().value());
        const QString shown = child<QLineEdit>("txtIndex")->text();
        return u"%1 in %2 columns: %3; index %4%5; ticked %6%7; %8: %9"_s.arg(
            form.listMode() == ListMode::Search ? u"files"_s : u"pairs"_s,
            QString::number(model()->columnCount()), numbers.join(u' '), index,
            shown == index ? QString() : u" shown "_s + shown,
            ticks.isEmpty() ? u"none"_s : ticks.join(u' '),
            listTicks == ticks ? QString() : u" listed "_s + listTicks.join(u' '),
            form.isWorking() ? u"working"_s : u"idle"_s, enabled.join(u' '));
    }

    // Presses a button that starts work and waits until the window is idle again.
    bool press(const char *name)
    {
        QSignalSpy finished(&form, &Form1::workFinished);
        button(name)->click();
        return finished.wait(30000);
    }
    // Shows `folder` in the tree at once, as the window does once its look in the background
    // has found it.
    void showFolder(const QString &folder)
    {
        const std::optional<FolderTree::Place> place =
            std::async(std::launch::async, places::folder, folder).get();
        QVERIFY2(place, qPrintable(folder));
        child<FolderTree>("Dir1")->show(*place);
    }
    bool run(const char *name, const QString &folder)
    {
        showFolder(folder);
        return press(name);
    }
    bool list(const QString &folder) { return run("cmdSearch", folder); }
    bool findDuplicates(const QString &folder) { return run("cmdDups", folder); }

    void clickRow(int row, int column = 1)
    {
        view()->scrollTo(model()->index(row, column));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          view()->visualRect(model()->index(row, column)).center());
    }
    void clickCheckBox(int row)
    {
        view()->scrollTo(model()->index(row, 0));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          view()->checkBoxRect(row).center());
    }

    Form1 form;
    PromptLog *log; // owned by the form
};

} // namespace twinsift::testing
