// SPDX-License-Identifier: MIT
#include "musicplaylist.h"

#include "dups/genmodules.h"
#include "listing/rawname.h"

#include <algorithm>

namespace twinsift {

MusicPlaylist::MusicPlaylist(QObject *parent) : QObject(parent) {}

bool MusicPlaylist::isMusic(const QByteArray &path)
{
    return genModules::extUpper(rawname::decode(path)) == QStringLiteral("MP3");
}

void MusicPlaylist::setCurrent(int position)
{
    m_current = (position >= 0 && position < count()) ? position : -1;
}

bool MusicPlaylist::addMusic(const QByteArray &musicfile)
{
    if (!isMusic(musicfile))
        return false;
    m_items.push_back(musicfile);
    Q_EMIT appended(count() - 1);
    return true;
}

bool MusicPlaylist::removeMusic(const QByteArray &musicfile)
{
    const auto it = std::find(m_items.begin(), m_items.end(), musicfile);
    if (it == m_items.end())
        return false;
    const int position = int(it - m_items.begin());
    m_items.erase(it);
    const bool wasCurrent = position == m_current;
    if (wasCurrent)
        m_current = -1;
    else if (position < m_current)
        --m_current;
    Q_EMIT removed(position, wasCurrent);
    return true;
}

void MusicPlaylist::clear()
{
    m_items.clear();
    m_current = -1;
    Q_EMIT cleared();
}

} // namespace twinsift
