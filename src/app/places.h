// SPDX-License-Identifier: MIT
#pragma once

#include "app/foldertree.h"

#include <QStringList>
#include <QUrl>

#include <optional>

namespace twinsift::places {

// What the window needs to know about places on disk. Every one of these asks the file
// system, which a hung mount may never answer, so each runs in a job or on the background
// pool; a debug build stops when one is called on the GUI thread.

// Where `folder` stands; none when it is not a folder.
std::optional<FolderTree::Place> folder(const QString &folder);
// The roots of the mounted volumes that answer.
QStringList mountedRoots();
// Whether `path` is a folder, and the root of the volume that holds it.
bool isFolder(const QString &path);
QString volumeRoot(const QString &path);
// `folder` made absolute and clean.
QString absolute(const QString &folder);
// The keyword file to open in the user's editor, made first where it is missing; empty
// when it cannot be made.
QUrl keywordFile(const QString &file);

} // namespace twinsift::places
