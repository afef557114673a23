#pragma once

#include <QString>
#include <QStringList>

namespace lintora {

// The find's search: of the shortcut paths that CollectShortcuts lists for folders, in that order,
// those whose bookmark TBMFile::Matches the text (it occurs in the title, URL or comment, letter
// case aside). Each file is read once; large trees are listed and read on a few threads at once,
// folder by folder, and the paths come out in the same order.
QStringList findBookmarks(const QStringList& folders, const QString& searchText);

} // namespace lintora
