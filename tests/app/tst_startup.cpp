// SPDX-License-Identifier: MIT
// The window as it starts: layout, start-up state, starting folder, keyword file, Edit Keywords.

#include "formfixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QStandardPaths>

using namespace twinsift;
using namespace twinsift::testing;

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        qputenv("HOMEDRIVE", "/");
        qputenv("USERPROFILE", m_dir.path().toUtf8());
    }

    void designedState()
    {
        Window w;
        QCOMPARE(w.form.size(), QSize(683, 512));
        QVERIFY(w.form.windowTitle().startsWith(QStringLiteral("Twinsift - by ")));
        QCOMPARE(w.headers(), (QStringList{QStringLiteral("No."), QStringLiteral("Filename"),
                                           QStringLiteral("Size"), QStringLiteral("Hash"),
                                           QStringLiteral("Path")}));
        const QList<int> widths{100, 300, 100, 100, 300};
        for (int c = 0; c < widths.size(); ++c)
            QCOMPARE(w.view()->columnWidth(c), widths[c]);
        QCOMPARE(w.model()->rowCount(), 0);
        QCOMPARE(w.child<QLineEdit>("txtIndex")->text(), QStringLiteral("0"));
        QVERIFY(!w.child<QLineEdit>("txtIndex")->isVisible());
        QVERIFY(!w.child<QWidget>("Picture1")->isVisible());
        QVERIFY(!w.child<QWidget>("Picture2")->isVisible());
        QCOMPARE(w.child<QSlider>("Slider1")->value(), 60);
        QCOMPARE(w.child<QSlider>("Slider1")->minimum(), 30);
        QCOMPARE(w.child<QSlider>("Slider1")->maximum(), 90);
        QVERIFY(!w.child<QPushButton>("cmdSwitchItems")->isEnabled());
        for (const char *box : {"CheckImage", "chkKeywords", "chkMsgBox"})
            QVERIFY2(!w.child<QCheckBox>(box)->isChecked(), box);
        QCOMPARE(w.child<QPushButton>("cmdSearch")->text(), QStringLiteral("&List Files"));
        QCOMPARE(w.child<QWidget>("ListView1")->geometry(), QRect(160, 8, 520, 425));
        QCOMPARE(w.child<QWidget>("Picture1")->geometry(), QRect(280, 136, 393, 281));
        QCOMPARE(w.child<QWidget>("WMPlayer")->geometry(), QRect(528, 440, 153, 65));
        QCOMPARE(w.form.listMode(), ListMode::Search);
    }

    void tabOrderFollowsTheDesign()
    {
        Window w;
        QStringList order;
        QWidget *widget = w.child<QWidget>("Dir1");
        const QStringList expected{QStringLiteral("Dir1"),        QStringLiteral("cmdSearch"),
                                   QStringLiteral("ListView1"),   QStringLiteral("cmdClear"),
                                   QStringLiteral("cmdDelete"),   QStringLiteral("Drive1"),
                                   QStringLiteral("CheckImage"),  QStringLiteral("cmdDups"),
                                   QStringLiteral("cmdSwitchItems"), QStringLiteral("chkMsgBox"),
                                   QStringLiteral("Slider1"),     QStringLiteral("chkKeywords"),
                                   QStringLiteral("WMPlayer"),    QStringLiteral("txtIndex"),
                                   QStringLiteral("txtSong")};
        for (qsizetype i = 0; i < expected.size(); ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (widget->objectName().isEmpty() || !expected.contains(widget->objectName()))
                widget = widget->nextInFocusChain();
        }
        QCOMPARE(order, expected);
    }

    void startingFolder_data()
    {
        QTest::addColumn<bool>("driveSet");
        QTest::addColumn<QString>("profile"); // "" unset, "dir" the temporary folder
        QTest::addColumn<QString>("expectedNote");

        QTest::newRow("both name folders") << true << "dir" << "";
        QTest::newRow("profile unset") << true << "" << "USERPROFILE is not set";
        QTest::newRow("profile not a folder")
            << true << "/nonexistent/profile" << "USERPROFILE (/nonexistent/profile) is not a folder";
        QTest::newRow("drive unset") << false << "dir" << "HOMEDRIVE is not set";
    }

    void startingFolder()
    {
        QFETCH(bool, driveSet);
        QFETCH(QString, profile);
        QFETCH(QString, expectedNote);
        if (!driveSet)
            qunsetenv("HOMEDRIVE");
        if (profile.isEmpty())
            qunsetenv("USERPROFILE");
        else if (profile != QStringLiteral("dir"))
            qputenv("USERPROFILE", profile.toUtf8());

        Window w;
        const QString shown = w.child<FolderTree>("Dir1")->path();
        const QString song = w.child<QLineEdit>("txtSong")->text();
        const bool profileUsed = profile == QStringLiteral("dir");
        QCOMPARE(shown, profileUsed ? QDir::cleanPath(m_dir.path()) : QDir::homePath());
        if (expectedNote.isEmpty()) {
            QVERIFY2(!song.contains(QStringLiteral("HOMEDRIVE")) &&
                         !song.contains(QStringLiteral("USERPROFILE")),
                     qPrintable(song));
        } else {
            QVERIFY2(song.contains(expectedNote), qPrintable(song));
            QVERIFY2(song.contains(QDir::homePath()), qPrintable(song));
        }
    }

    void keywordFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QString>("note");

        QTest::newRow("missing") << QByteArray() << QStringList() << "Keywords.txt is missing";
        QTest::newRow("empty") << QByteArray("") << QStringList() << "";
        QTest::newRow("two lines, a comma")
            << QByteArray("REMIX\nLIVE, DEMO\n")
            << QStringList{QStringLiteral("REMIX"), QStringLiteral("LIVE"), QStringLiteral("DEMO")}
            << "";
    }

    void keywordFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, keywords);
        QFETCH(QString, note);
        const QString file = m_dir.filePath(QStringLiteral("Keywords.txt"));
        QFile::remove(file);
        if (!content.isNull()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
        Window w(file);
        QCOMPARE(w.form.keywordList().keywords(), keywords);
        const QString song = w.child<QLineEdit>("txtSong")->text();
        if (note.isEmpty())
            QVERIFY2(!song.contains(QStringLiteral("Keywords.txt")), qPrintable(song));
        else
            QVERIFY2(song.contains(note), qPrintable(song));
    }

    void editKeywords_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("openerSucceeds");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("unableToOpen");

        QTest::newRow("opens the file") << true << true << true << false;
        QTest::newRow("file missing") << false << true << false << true;
        QTest::newRow("no program for it") << true << false << true << true;
    }

    void editKeywords()
    {
        QFETCH(bool, fileExists);
        QFETCH(bool, openerSucceeds);
        QFETCH(bool, opened);
        QFETCH(bool, unableToOpen);
        const QString file = m_dir.filePath(QStringLiteral("Keywords.txt"));
        QFile::remove(file);
        if (fileExists) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
        }
        Window w(file);
        QList<QUrl> urls;
        w.form.setUrlOpener([&](const QUrl &url) {
            urls << url;
            return openerSucceeds;
        });
        auto *box = w.child<QCheckBox>("chkKeywords");
        box->click();
        QCOMPARE(urls.size(), opened ? 1 : 0);
        if (opened)
            QCOMPARE(urls.front(), QUrl::fromLocalFile(file));
        QCOMPARE(w.log->told.size(), unableToOpen ? 1 : 0);
        if (unableToOpen) {
            QCOMPARE(w.log->told.front().text, QStringLiteral("Unable to open."));
            QCOMPARE(w.log->told.front().title, QStringLiteral("Twinsift"));
        }
        QVERIFY(!box->isChecked());
    }

    void editKeywordsInTheUserConfig_data()
    {
        QTest::addColumn<QString>("config"); // XDG_CONFIG_HOME, under the temporary folder
        QTest::addColumn<QByteArray>("content"); // null: no keyword file yet
        QTest::addColumn<bool>("opened");

        QTest::newRow("missing: made empty, with its folder") << "config" << QByteArray() << true;
        QTest::newRow("present: opened as it is") << "config" << QByteArray("REMIX\n") << true;
        QTest::newRow("cannot be made") << "blocker/config" << QByteArray() << false;
    }

    // An installed program, whose folder the user cannot write, keeps the keyword file in the
    // user's configuration. "Edit Keywords" makes it when it is not there yet, so that the
    // editor opens a file that can be saved; it never empties one that is there.
    void editKeywordsInTheUserConfig()
    {
        QFETCH(QString, config);
        QFETCH(QByteArray, content);
        QFETCH(bool, opened);
        const QTemporaryDir home;
        makeFiles(home.path(), {QStringLiteral("blocker")});
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(config)));
        // The tests run as root, who may write anywhere: a program folder that is not there
        // stands for one the user cannot write.
        const QString file = KeywordList::fileNameFor(
            home.filePath(QStringLiteral("program")),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        QCOMPARE(file, home.filePath(config + QStringLiteral("/twinsift/Keywords.txt")));
        if (!content.isNull()) {
            QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }

        Window w(file);
        QList<QUrl> urls;
        w.form.setUrlOpener([&](const QUrl &url) {
            urls << url;
            return true;
        });
        w.child<QCheckBox>("chkKeywords")->click();
        qunsetenv("XDG_CONFIG_HOME");

        QVERIFY(!w.child<QCheckBox>("chkKeywords")->isChecked());
        if (!opened) {
            QVERIFY(urls.isEmpty());
            QCOMPARE(w.log->told.size(), 1);
            QCOMPARE(w.log->told.front().text, QStringLiteral("Unable to open."));
            QVERIFY(!QFileInfo::exists(file));
            return;
        }
        QCOMPARE(urls, QList<QUrl>{QUrl::fromLocalFile(file)});
        QVERIFY(w.log->told.isEmpty());
        QFile made(file);
        QVERIFY(made.open(QIODevice::ReadOnly));
        QCOMPARE(made.readAll(), content.isNull() ? QByteArray("") : content);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
