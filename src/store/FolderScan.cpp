#include "store/FolderScan.h"

#include "platform/FileSystem.h"

namespace lintora {

void CollectShortcuts(const QStringList& folders, QStringList& list)
{
    QStringList names;
    for (const QString& folder : folders) {
        // A folder that cannot be read (missing, unreadable, removed meanwhile) adds nothing.
        if (!listShortcutNames(folder, names))
            continue;
        for (const QString& name : names)
            list.append(joinPath(folder, name));
    }
}

void CollectAllFolders(const QString& favoritesFolder, QStringList& list)
{
    list.clear();
    list.append(favoritesFolder);
    QStringList names;
    // The list grows while it is read: breadth first, every folder visited once. Links are never
    // taken as folders, so a link loop cannot make it endless.
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!listSubfolderNames(list[i], names))
            continue;
        const QString parent = list[i];
        for (const QString& name : names)
            list.append(joinPath(parent, name));
    }
}

QStringList subfolderNames(const QString& path)
{
    QStringList names;
    listSubfolderNames(path, names);
    return names;
}

} // namespace lintora
