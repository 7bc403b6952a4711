// SPDX-License-Identifier: MIT
#pragma once

// What the window tests share: a prompter that records the boxes and answers them, and
// helpers that drive the real window through its object names.

#include "app/foldertree.h"
#include "app/form1.h"
#include "app/prompter.h"
#include "app/resultmodel.h"
#include "view/resultview.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace twinsift::testing {

struct Box {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

struct Question {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

struct PromptLog {
    QList<Box> told;
    QList<Question> asked;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};

class RecordingPrompter : public Prompter {
public:
    explicit RecordingPrompter(std::shared_ptr<PromptLog> log) : m_log(std::move(log)) {}

    QMessageBox::StandardButton ask(QWidget *, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override
    {
        m_log->asked.append({title, text, buttons, defaultButton});
        return m_log->answer;
    }
    void tell(QWidget *, QMessageBox::Icon icon, const QString &title,
              const QString &text) override
    {
        m_log->told.append({icon, title, text});
    }

private:
    std::shared_ptr<PromptLog> m_log;
};

// Writes each file (with a few bytes, creating its folders) under `root`.
inline void makeFiles(const QString &root, const QStringList &files)
{
    for (const QString &name : files) {
        const QString path = root + u'/' + name;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
        file.write("data");
    }
}

// A window on the offscreen platform whose message boxes are recorded.
struct Window {
    explicit Window(const QString &keywordFile = QStringLiteral("/nonexistent/Keywords.txt"))
        : form(keywordFile), log(std::make_shared<PromptLog>())
    {
        form.setPrompter(std::make_unique<RecordingPrompter>(log));
        form.show();
    }

    template<typename T>
    T *child(const char *name) const
    {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    ResultModel *model() const { return form.resultModel(); }
    ResultView *view() const { return child<ResultView>("ListView1"); }
    QString cell(int row, int column) const
    {
        return model()->index(row, column).data().toString();
    }
    QStringList headers() const
    {
        QStringList texts;
        for (int c = 0; c < model()->columnCount(); ++c)
            texts << model()->headerData(c, Qt::Horizontal).toString();
        return texts;
    }

    // Presses a button that starts work and waits until the window is idle again.
    bool run(const char *button, const QString &folder)
    {
        child<FolderTree>("Dir1")->setPath(folder);
        QSignalSpy finished(&form, &Form1::workFinished);
        child<QPushButton>(button)->click();
        return finished.wait(30000);
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
    // The row that holds the given number, wherever a sort has put it.
    int rowOf(quint64 number) const
    {
        for (int row = 0; row < model()->rowCount(); ++row) {
            if (model()->number(row) == number)
                return row;
        }
        return -1;
    }

    Form1 form;
    std::shared_ptr<PromptLog> log;
};

} // namespace twinsift::testing
