// SPDX-License-Identifier: MIT
// The window as it starts: layout, start-up state, starting folder, keyword file, Edit Keywords.

#include "formfixture.h"

#include <QStandardPaths>

using namespace twinsift;
using namespace twinsift::testing;

struct Keywords {
    QString config{};     // XDG_CONFIG_HOME in the test's folder, when the file is kept there
    QByteArray content{}; // null: no file
    QStringList keywords{};
    bool openerWorks = true;
    bool opened = true;
};
Q_DECLARE_METATYPE(Keywords)

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void designedState()
    {
        const Sandbox box;
        Window w;
        QCOMPARE(w.state(),
                 u"files in 5 columns: ; index 0; ticked none; idle: Search Dups Clear Delete"_s);
        QCOMPARE(w.headers(), u"No.|Filename|Size|Hash|Path"_s.split(u'|'));
        QList<int> widths;
        for (int column = 0; column < 5; ++column)
            widths << w.view()->columnWidth(column);
        QCOMPARE(widths, (QList<int>{100, 300, 100, 100, 300}));
        for (const char *hidden : {"txtIndex", "Picture1", "Picture2"})
            QVERIFY2(!w.child<QWidget>(hidden)->isVisible(), hidden);
        for (const char *unticked : {"CheckImage", "chkKeywords", "chkMsgBox"})
            QVERIFY2(!w.child<QCheckBox>(unticked)->isChecked(), unticked);

        // The tab order of the design, among the widgets it names.
        const QStringList order = u"Dir1 cmdSearch ListView1 cmdClear cmdDelete Drive1 CheckImage "
                                  "cmdDups cmdSwitchItems chkMsgBox Slider1 chkKeywords WMPlayer "
                                  "txtIndex txtSong"_s.split(u' ');
        QStringList tabs;
        for (QWidget *widget = w.child<QWidget>("Dir1"); tabs.size() < order.size();
             widget = widget->nextInFocusChain()) {
            if (order.contains(widget->objectName()))
                tabs << widget->objectName();
        }
        QCOMPARE(tabs, order);
    }

    void startingFolder_data()
    {
        QTest::addColumn<bool>("driveSet");
        QTest::addColumn<QString>("profile"); // "" unset, "box" the test's folder
        QTest::addColumn<QString>("note");
        QTest::newRow("both name folders") << true << u"box"_s << QString();
        QTest::newRow("profile unset") << true << QString() << u"USERPROFILE is not set"_s;
        QTest::newRow("profile not a folder")
            << true << u"/nonexistent/profile"_s
            << u"USERPROFILE (/nonexistent/profile) is not a folder"_s;
        QTest::newRow("drive unset") << false << u"box"_s << u"HOMEDRIVE is not set"_s;
    }

    void startingFolder()
    {
        QFETCH(bool, driveSet);
        QFETCH(QString, profile);
        QFETCH(QString, note);
        const Sandbox box;
        if (!driveSet)
            qunsetenv("HOMEDRIVE");
        if (profile != u"box"_s)
            profile.isEmpty() ? qunsetenv("USERPROFILE") : qputenv("USERPROFILE", profile.toUtf8());

        Window w;
        QCOMPARE(w.child<FolderTree>("Dir1")->path(),
                 profile == u"box"_s ? QDir::cleanPath(box.dir.path()) : QDir::homePath());
        const QString song = w.child<QLineEdit>("txtSong")->text();
        QVERIFY2(note.isEmpty() ? !song.contains(u"HOMEDRIVE"_s) && !song.contains(u"USERPROFILE"_s)
                                : song.contains(note) && song.contains(QDir::homePath()),
                 qPrintable(song));
    }

    void keywordFile_data()
    {
        QTest::addColumn<Keywords>("file");
        QTest::newRow("beside the program, missing: never made") << Keywords{.opened = false};
        QTest::newRow("beside the program, empty") << Keywords{.content = ""};
        QTest::newRow("two lines, a comma") << Keywords{
            .content = "REMIX\nLIVE, DEMO\n", .keywords = {u"REMIX"_s, u"LIVE"_s, u"DEMO"_s}};
        QTest::newRow("no program to open it") << Keywords{.content = "", .openerWorks = false};
        QTest::newRow("user's, missing: made empty, with its folder")
            << Keywords{.config = u"config"_s};
        QTest::newRow("user's, present: opened as it is")
            << Keywords{.config = u"config"_s, .content = "REMIX\n", .keywords = {u"REMIX"_s}};
        QTest::newRow("user's, cannot be made")
            << Keywords{.config = u"blocker/config"_s, .opened = false};
    }

    // The keyword file is read as the window starts. "Edit Keywords" opens it and unticks
    // itself. An installed program, whose folder the user cannot write, keeps the file in the
    // user's configuration, where Edit Keywords makes it when it is not there yet, so that the
    // editor opens a file that can be saved. It never empties one that is there.
    void keywordFile()
    {
        QFETCH(Keywords, file);
        const Sandbox box;
        makeFiles(box.dir.path(), {u"blocker"_s});
        QString path = box.dir.filePath(u"Keywords.txt"_s);
        if (!file.config.isEmpty()) {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(box.dir.filePath(file.config)));
            // The tests run as root, who may write anywhere: a program folder that is not
            // there stands for one the user cannot write.
            path = KeywordList::fileNameFor(
                box.dir.filePath(u"program"_s),
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
            QCOMPARE(path, box.dir.filePath(file.config + u"/twinsift/Keywords.txt"_s));
        }
        QFile out(path);
        QVERIFY(file.content.isNull() ||
                (QDir().mkpath(QFileInfo(path).absolutePath()) && out.open(QIODevice::WriteOnly) &&
                 out.write(file.content) >= 0 && out.flush()));

        Window w(path);
        QCOMPARE(w.form.keywordList().keywords(), file.keywords);
        const QString song = w.child<QLineEdit>("txtSong")->text();
        QVERIFY2(file.content.isNull() ? song.contains(u"Keywords.txt is missing"_s)
                                       : !song.contains(u"Keywords.txt"_s),
                 qPrintable(song));
        QList<QUrl> urls;
        w.form.setUrlOpener([&](const QUrl &url) {
            urls << url;
            return file.openerWorks;
        });
        w.child<QCheckBox>("chkKeywords")->click();
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(!w.child<QCheckBox>("chkKeywords")->isChecked());
        QCOMPARE(urls, file.opened ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>());
        QCOMPARE(w.told(), file.opened && file.openerWorks
                               ? QStringList()
                               : QStringList{u"Twinsift: Unable to open."_s});
        QCOMPARE(QFileInfo::exists(path), file.opened);
        QFile kept(path);
        QCOMPARE(kept.open(QIODevice::ReadOnly) ? kept.readAll() : QByteArray(), file.content);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
