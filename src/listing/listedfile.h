// SPDX-License-Identifier: MIT
#pragma once

#include "fileidentity.h"

#include <QByteArray>

namespace twinsift {

// A file as a list showed it: where the walk found it and what it was then.
struct ListedFile {
    QByteArray path;          // raw bytes, as the walk read them
    qsizetype rootLength = 0; // the folder the walk started from, its "/" included
    FileIdentity identity;
};

} // namespace twinsift
