// SPDX-License-Identifier: MIT
// The player's own playlist: what counts as music, what is appended and what removed.

#include "view/musicpanel.h"
#include "view/musicplaylist.h"

#include <QSignalSpy>
#include <QTest>

using namespace twinsift;

class TestMusicPlaylist : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void isMusic_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("music");

        QTest::newRow("mp3") << QByteArray("/m/song.mp3") << true;
        QTest::newRow("Mp3") << QByteArray("/m/song.Mp3") << true;
        QTest::newRow("MP3") << QByteArray("/m/SONG.MP3") << true;
        QTest::newRow("no dot before it") << QByteArray("/m/remix_mp3") << true;
        QTest::newRow("wav") << QByteArray("/m/song.wav") << false;
        QTest::newRow("wma") << QByteArray("/m/song.wma") << false;
        QTest::newRow("mp3 then more") << QByteArray("/m/song.mp3.txt") << false;
        QTest::newRow("name not UTF-8") << QByteArray("/m/caf\xe9.mp3") << true;
    }

    void isMusic()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, music);
        QCOMPARE(MusicPlaylist::isMusic(path), music);
        MusicPlaylist list;
        QCOMPARE(list.addMusic(path), music);
        QCOMPARE(list.count(), music ? 1 : 0);
    }

    void removesTheFirstExactMatchOnly()
    {
        MusicPlaylist list;
        QVERIFY(list.addMusic("/m/a.mp3"));
        QVERIFY(list.addMusic("/m/b.mp3"));
        QVERIFY(list.addMusic("/m/a.mp3"));
        QCOMPARE(list.count(), 3);

        QVERIFY(!list.removeMusic("/m/A.mp3"));
        QVERIFY(!list.removeMusic("/m/notes.txt"));
        QCOMPARE(list.count(), 3);

        QVERIFY(list.removeMusic("/m/a.mp3"));
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.item(0), QByteArray("/m/b.mp3"));
        QCOMPARE(list.item(1), QByteArray("/m/a.mp3"));
    }

    void theOpenItemFollowsRemovals()
    {
        MusicPlaylist list;
        for (const char *path : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"})
            list.addMusic(path);
        list.setCurrent(2);
        QSignalSpy removed(&list, &MusicPlaylist::removed);
        list.removeMusic("/m/a.mp3");
        QCOMPARE(list.current(), 1);
        QCOMPARE(list.item(list.current()), QByteArray("/m/c.mp3"));
        list.removeMusic("/m/c.mp3");
        QCOMPARE(list.current(), -1);
        QCOMPARE(removed.size(), 2);
        QCOMPARE(removed.at(1).at(1).toBool(), true);
    }

    void thePanelOpensWhatIsAppendedWhenIdle()
    {
        MusicPanel panel;
        QSignalSpy opened(&panel, &MusicPanel::openStateChanged);
        panel.addMusic("/m/notes.txt");
        QCOMPARE(opened.size(), 0);
        QVERIFY(!panel.player()); // no music yet: no media back end loaded

        panel.addMusic("/m/first.mp3");
        QCOMPARE(panel.playlist()->count(), 1);
        QCOMPARE(panel.playlist()->current(), 0);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.front().front().toByteArray(), QByteArray("/m/first.mp3"));
        QVERIFY(panel.player());
        QCOMPARE(panel.player()->source(), QUrl::fromLocalFile(QStringLiteral("/m/first.mp3")));

        panel.close();
        panel.playlist()->clear();
        QCOMPARE(panel.playlist()->count(), 0);
        QCOMPARE(panel.playlist()->current(), -1);
        QVERIFY(panel.player()->source().isEmpty());
        QCOMPARE(panel.player()->playbackState(), QMediaPlayer::StoppedState);
    }

    void rawNamesReachThePlayerUnchanged()
    {
        MusicPanel panel;
        panel.addMusic("/m/caf\xe9 song.mp3");
        QCOMPARE(panel.player()->source().toEncoded(), QByteArray("file:///m/caf%E9%20song.mp3"));
    }
};

QTEST_MAIN(TestMusicPlaylist)
#include "tst_musicplaylist.moc"
