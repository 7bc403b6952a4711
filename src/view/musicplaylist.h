// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>

#include <vector>

namespace twinsift {

// The player's own playlist: the raw paths of the music files the user picked, in the order
// picked. A file may stand in it more than once.
class MusicPlaylist : public QObject {
    Q_OBJECT
public:
    explicit MusicPlaylist(QObject *parent = nullptr);

    // A path is music when its last three characters, upper-cased, read "MP3".
    static bool isMusic(const QByteArray &path);

    int count() const { return int(m_items.size()); }
    const QByteArray &item(int position) const { return m_items[size_t(position)]; }
    // The item the player has open, or -1.
    int current() const { return m_current; }
    void setCurrent(int position);

    // Appends a music file; anything else is ignored. True when appended.
    bool addMusic(const QByteArray &musicfile);
    // Removes the first item equal to `musicfile`, byte for byte. True when one was removed.
    bool removeMusic(const QByteArray &musicfile);
    void clear();

Q_SIGNALS:
    void appended(int position);
    // The item at `position` left the playlist; `wasCurrent` when it was the open one.
    void removed(int position, bool wasCurrent);
    void cleared();

private:
    std::vector<QByteArray> m_items;
    int m_current = -1;
};

} // namespace twinsift
