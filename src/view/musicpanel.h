// SPDX-License-Identifier: MIT
#pragma once

#include "view/musicplaylist.h"

#include <QMediaPlayer>
#include <QWidget>

class QAudioOutput;
class QSlider;
class QToolButton;

namespace twinsift {

// A compact player for the picked music files: play/pause, stop, previous, next, position
// and volume. An item appended while nothing plays starts to play. The media player is made
// on first use, so a session without music never loads the multimedia back end.
class MusicPanel : public QWidget {
    Q_OBJECT
public:
    explicit MusicPanel(QWidget *parent = nullptr);
    ~MusicPanel() override;

    MusicPlaylist *playlist() { return &m_playlist; }
    // Null until the first item is opened.
    QMediaPlayer *player() const { return m_player; }

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
    void ensurePlayer();
    void open(int position, bool play);
    void onAppended(int position);
    void onRemoved(int position, bool wasCurrent);
    void onStatus(QMediaPlayer::MediaStatus status);
    void onError(QMediaPlayer::Error error, const QString &text);
    void updateButtons();

    MusicPlaylist m_playlist;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    QSlider *m_position;
    QSlider *m_volume;
    QToolButton *m_previous;
    QToolButton *m_playPause;
    QToolButton *m_stop;
    QToolButton *m_next;
    bool m_troubleTold = false; // the open item's first error is the one that says why
};

} // namespace twinsift
