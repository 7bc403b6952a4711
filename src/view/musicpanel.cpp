// SPDX-License-Identifier: MIT
#include "musicpanel.h"

#include "listing/rawname.h"
#include "view/fileurl.h"

#include <QAudioOutput>
#include <QHBoxLayout>
#include <QSlider>
#include <QStyle>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

namespace twinsift {

namespace {

constexpr int kVolume = 50;
// How long closing waits for a player thread that may be stuck in a read of a hung mount.
constexpr int kCloseWaitMs = 2000;

QToolButton *makeButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setIconSize({16, 16});
    return button;
}

} // namespace

struct MusicPanel::Parts {
    QMediaPlayer *player = nullptr;
    QAudioOutput *output = nullptr;
};

MusicPanel::MusicPanel(QWidget *parent)
    : QWidget(parent), m_position(new QSlider(Qt::Horizontal, this)),
      m_volume(new QSlider(Qt::Horizontal, this)),
      m_previous(makeButton(this, QStyle::SP_MediaSkipBackward, tr("Previous"))),
      m_playPause(makeButton(this, QStyle::SP_MediaPlay, tr("Play"))),
      m_stop(makeButton(this, QStyle::SP_MediaStop, tr("Stop"))),
      m_next(makeButton(this, QStyle::SP_MediaSkipForward, tr("Next")))
{
    m_previous->setObjectName(QStringLiteral("previous"));
    m_playPause->setObjectName(QStringLiteral("playPause"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_next->setObjectName(QStringLiteral("next"));
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setToolTip(tr("Position"));
    m_position->setAccessibleName(tr("Position"));
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(kVolume);
    m_volume->setToolTip(tr("Volume"));
    m_volume->setAccessibleName(tr("Volume"));

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    for (QToolButton *button : {m_previous, m_playPause, m_stop, m_next})
        buttons->addWidget(button);
    buttons->addSpacing(4);
    buttons->addWidget(m_volume, 1);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(m_position);
    column->addLayout(buttons);
    column->addStretch(1);
    setFocusPolicy(Qt::TabFocus);
    setFocusProxy(m_playPause);
    m_playPause->setFocusPolicy(Qt::TabFocus);

    connect(m_previous, &QToolButton::clicked, this, &MusicPanel::previous);
    connect(m_playPause, &QToolButton::clicked, this, &MusicPanel::playPause);
    connect(m_stop, &QToolButton::clicked, this, &MusicPanel::stop);
    connect(m_next, &QToolButton::clicked, this, &MusicPanel::next);
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        if (m_parts)
            command([parts = m_parts, value](QMediaPlayer &) {
                parts->output->setVolume(float(value) / 100.0f);
            });
    });
    connect(m_position, &QSlider::sliderMoved, this, [this](int value) {
        if (m_parts)
            command([value](QMediaPlayer &player) { player.setPosition(value); });
    });
    connect(&m_playlist, &MusicPlaylist::appended, this, &MusicPanel::onAppended);
    connect(&m_playlist, &MusicPlaylist::removed, this, &MusicPanel::onRemoved);
    connect(&m_playlist, &MusicPlaylist::cleared, this, &MusicPanel::close);
    updateButtons();
}

// A player thread stuck in a hung read is left to the end of the program rather than waited
// for: closing the window never hangs on it.
MusicPanel::~MusicPanel()
{
    if (!m_parts)
        return;
    command([parts = m_parts](QMediaPlayer &) {
        parts->player->stop();
        delete parts->player;
        delete parts->output;
        QThread::currentThread()->quit();
    });
    if (m_thread->wait(kCloseWaitMs)) {
        delete m_home;
        delete m_thread;
    }
}

void MusicPanel::command(std::function<void(QMediaPlayer &)> command)
{
    QMetaObject::invokeMethod(
        m_home, [parts = m_parts, command = std::move(command)] { command(*parts->player); });
}

// The parts are made on the player's thread, so that the back end's timers and sockets live
// there; the signals reach the panel queued, on the GUI thread.
void MusicPanel::ensurePlayer()
{
    if (m_parts)
        return;
    m_parts = std::make_shared<Parts>();
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("player"));
    m_home = new QObject;
    m_home->moveToThread(m_thread);
    m_thread->start();
    QMetaObject::invokeMethod(m_home, [this, parts = m_parts, volume = m_volume->value()] {
        parts->player = new QMediaPlayer;
        parts->output = new QAudioOutput;
        parts->output->setVolume(float(volume) / 100.0f);
        parts->player->setAudioOutput(parts->output);
        QMediaPlayer *player = parts->player;
        connect(player, &QMediaPlayer::mediaStatusChanged, this, &MusicPanel::onStatus);
        connect(player, &QMediaPlayer::errorOccurred, this, &MusicPanel::onError);
        connect(player, &QMediaPlayer::playbackStateChanged, this,
                [this](QMediaPlayer::PlaybackState state) {
                    m_state = state;
                    updateButtons();
                });
        connect(player, &QMediaPlayer::durationChanged, this,
                [this](qint64 duration) { m_position->setRange(0, int(duration)); });
        connect(player, &QMediaPlayer::positionChanged, this, [this](qint64 position) {
            if (!m_position->isSliderDown())
                m_position->setValue(int(position));
        });
    });
}

void MusicPanel::open(int position, bool play)
{
    if (position < 0 || position >= m_playlist.count())
        return;
    ensurePlayer();
    m_playlist.setCurrent(position);
    m_troubleTold = false;
    const QByteArray path = m_playlist.item(position);
    command([url = fileUrl(path), play](QMediaPlayer &player) {
        player.setSource(url);
        if (play)
            player.play();
    });
    // Told as playing at once, so that a second pick does not open over the first.
    if (play)
        m_state = QMediaPlayer::PlayingState;
    Q_EMIT openStateChanged(path);
    updateButtons();
}

void MusicPanel::close()
{
    if (m_parts)
        command([](QMediaPlayer &player) {
            player.stop();
            player.setSource({});
        });
    m_state = QMediaPlayer::StoppedState;
    m_playlist.setCurrent(-1);
    m_position->setValue(0);
    updateButtons();
}

void MusicPanel::playPause()
{
    if (m_parts && m_playlist.current() >= 0) {
        const bool playing = m_state == QMediaPlayer::PlayingState;
        command([playing](QMediaPlayer &player) { playing ? player.pause() : player.play(); });
    } else {
        open(0, true);
    }
}

void MusicPanel::stop()
{
    if (m_parts)
        command([](QMediaPlayer &player) { player.stop(); });
}

void MusicPanel::next()
{
    open(m_playlist.current() + 1, true);
}

void MusicPanel::previous()
{
    open(std::max(m_playlist.current() - 1, 0), true);
}

void MusicPanel::onAppended(int position)
{
    if (m_state == QMediaPlayer::StoppedState)
        open(position, true);
    updateButtons();
}

void MusicPanel::onRemoved(int position, bool wasCurrent)
{
    Q_UNUSED(position);
    if (wasCurrent)
        close();
    updateButtons();
}

void MusicPanel::onStatus(QMediaPlayer::MediaStatus status)
{
    if (status == QMediaPlayer::EndOfMedia && m_playlist.current() + 1 < m_playlist.count())
        next();
}

void MusicPanel::onError(QMediaPlayer::Error error, const QString &text)
{
    // The back end follows its first error with others about its own state; they say less.
    if (error == QMediaPlayer::NoError || m_playlist.current() < 0 || m_troubleTold)
        return;
    m_troubleTold = true;
    // The back end still reports that it plays; stopped, the next file picked starts.
    m_state = QMediaPlayer::StoppedState;
    stop();
    Q_EMIT problem(
        tr("Can't play %1: %2").arg(rawname::display(m_playlist.item(m_playlist.current())), text));
}

void MusicPanel::updateButtons()
{
    const bool playing = m_state == QMediaPlayer::PlayingState;
    m_playPause->setIcon(
        style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_playPause->setToolTip(playing ? tr("Pause") : tr("Play"));
    m_playPause->setAccessibleName(m_playPause->toolTip());
    const bool any = m_playlist.count() > 0;
    m_playPause->setEnabled(any);
    m_stop->setEnabled(any);
    m_previous->setEnabled(m_playlist.current() > 0);
    m_next->setEnabled(m_playlist.current() + 1 < m_playlist.count());
    m_position->setEnabled(m_playlist.current() >= 0);
}

} // namespace twinsift
