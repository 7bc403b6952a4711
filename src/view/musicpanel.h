// SPDX-License-Identifier: MIT
#pragma once

#include "view/musicplaylist.h"

#include <QMediaPlayer>
#include <QWidget>

#include <functional>
#include <memory>

class QSlider;
class QThread;
class QToolButton;

namespace twinsift {

// A compact player for the picked music files: play/pause, stop, previous, next, position
// and volume. An item appended while nothing plays starts to play. The media player is made
// on first use, so a session without music never loads the multimedia back end, and lives on
// a thread of its own: opening a file makes the back end read and probe it, which takes
// long for a damaged file and longer on a slow disk, and the window must not wait for that.
class MusicPanel : public QWidget {
    Q_OBJECT
public:
    explicit MusicPanel(QWidget *parent = nullptr);
    ~MusicPanel() override;

    MusicPlaylist *playlist() { return &m_playlist; }

    void addMusic(const QByteArray &musicfile) { m_playlist.addMusic(musicfile); }
    void removeMusic(const QByteArray &musicfile) { m_playlist.removeMusic(musicfile); }
    // Stops and lets go of the open item; the playlist stays.
    void close();

public Q_SLOTS:
    void playPause();
    void stop();
    void next();
    void previous();

Q_SIGNALS:
    // The player opened another item, given by its raw path.
    void openStateChanged(const QByteArray &path);
    // An item could not be played; a sentence for people.
    void problem(const QString &message);

private:
    // The player's parts, reached only on its thread.
    struct Parts;
    void ensurePlayer();
    // Runs `command` on the player's thread, after those sent before it.
    void command(std::function<void(QMediaPlayer &)> command);
    void open(int position, bool play);
    void onAppended(int position);
    void onRemoved(int position, bool wasCurrent);
    void onStatus(QMediaPlayer::MediaStatus status);
    void onError(QMediaPlayer::Error error, const QString &text);
    void updateButtons();

    MusicPlaylist m_playlist;
    QThread *m_thread = nullptr;
    QObject *m_home = nullptr; // lives on m_thread: the commands run there
    std::shared_ptr<Parts> m_parts;
    QMediaPlayer::PlaybackState m_state = QMediaPlayer::StoppedState; // as last told
    QSlider *m_position;
    QSlider *m_volume;
    QToolButton *m_previous;
    QToolButton *m_playPause;
    QToolButton *m_stop;
    QToolButton *m_next;
    bool m_troubleTold = false; // the open item's first error is the one that says why
};

} // namespace twinsift
