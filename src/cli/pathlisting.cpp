// SPDX-License-Identifier: MIT
#include "pathlisting.h"

#include <QHashFunctions>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace twinsift::cli {

namespace {

constexpr qsizetype kChunk = 1 << 16;

} // namespace

PathListing::PathListing(KeptPath keptPath) : m_keptPath(std::move(keptPath)), m_slots(16) {}

PathListing::~PathListing()
{
    if (m_ownsFd)
        ::close(m_fd);
}

int PathListing::open(const QByteArray &fileName)
{
    if (fileName == "-") {
        m_fd = STDIN_FILENO;
        return 0;
    }
    m_fd = ::open(fileName.constData(), O_RDONLY | O_CLOEXEC);
    m_ownsFd = m_fd >= 0;
    return m_ownsFd ? 0 : errno;
}

PathListing::Outcome PathListing::read(bool nul, const Visit &visit)
{
    const char separator = nul ? '\0' : '\n';
    // The most an unfinished entry may hold: a whole path, and a CR before a line's end.
    const qsizetype longest = kPathMax + (nul ? 0 : 1);
    QByteArray buffer(longest + kChunk, Qt::Uninitialized);
    qsizetype held = 0; // an unfinished entry, moved to the buffer's start
    quint64 entry = 0;
    for (;;) {
        ssize_t got;
        do {
            got = ::read(m_fd, buffer.data() + held, kChunk);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return {Fault::Unreadable, entry + 1, errno};
        const bool atEnd = got == 0;
        const char *at = buffer.constData();
        const char *const end = at + held + got;
        while (at < end) {
            const auto *found =
                static_cast<const char *>(std::memchr(at, separator, size_t(end - at)));
            const char *entryEnd = found ? found : end;
            if (!nul && std::memchr(at, '\0', size_t(entryEnd - at)))
                return {Fault::NulInLine, entry + 1};
            if (!found && !atEnd)
                break;
            ++entry;
            if (const Fault fault = take(QByteArrayView(at, entryEnd), nul, visit);
                fault != Fault::None)
                return {fault, entry};
            at = entryEnd + 1;
        }
        if (atEnd)
            return {};
        held = end - at;
        if (held > longest)
            return {Fault::PathTooLong, entry + 1};
        std::memmove(buffer.data(), at, size_t(held));
    }
}

PathListing::Fault PathListing::take(QByteArrayView path, bool nul, const Visit &visit)
{
    if (!nul && path.endsWith('\r'))
        path.chop(1); // listings made on Windows end their lines in CR LF
    if (path.isEmpty())
        return Fault::None;
    if (path.size() > kPathMax)
        return Fault::PathTooLong;
    if (path.size() - (path.lastIndexOf('/') + 1) > kNameMax)
        return Fault::NameTooLong;
    const auto hash = quint32(qHash(path));
    if (isKept(path, hash)) {
        ++m_repeats;
        return Fault::None;
    }
    if (visit(path))
        keep(hash);
    return Fault::None;
}

bool PathListing::isKept(QByteArrayView path, quint32 hash)
{
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hash & mask; m_slots[slot].kept != 0; slot = (slot + 1) & mask) {
        if (m_slots[slot].hash == hash) {
            m_keptPath(m_slots[slot].kept - 1, m_keptText);
            if (m_keptText == path)
                return true;
        }
    }
    return false;
}

void PathListing::keep(quint32 hash)
{
    const auto place = [](std::vector<Slot> &slots, Slot kept) {
        const size_t mask = slots.size() - 1;
        size_t slot = kept.hash & mask;
        while (slots[slot].kept != 0)
            slot = (slot + 1) & mask;
        slots[slot] = kept;
    };
    if (2 * (size_t(m_keptCount) + 1) > m_slots.size()) {
        std::vector<Slot> slots(2 * m_slots.size(), Slot{0, 0});
        for (const Slot &kept : m_slots) {
            if (kept.kept != 0)
                place(slots, kept);
        }
        m_slots = std::move(slots);
    }
    place(m_slots, Slot{hash, ++m_keptCount});
}

} // namespace twinsift::cli
