#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace lintora {

// The folder rule: a real directory, not hidden, not read-only, not a symbolic link.
// The shortcut rule: a name ending in ".URL" (any case) that is a file or a link to one.

// Appends to list the full paths of the shortcut files directly in each folder of folders, folder by
// folder in that order, each folder's files in NTFS order.
void CollectShortcuts(const QStringList& folders, QStringList& list);

// Replaces list with favoritesFolder and every folder below it that the folder rule takes, breadth
// first. The favorites folder comes first even when it does not exist.
void CollectAllFolders(const QString& favoritesFolder, QStringList& list);

// Visits the folders below path depth first, each folder followed by its own subtree, siblings in
// NTFS order. visit(parentToken, name, fullPath) returns the token to pass for the children.
// Symbolic links are never followed, so a link loop cannot make the walk endless.
template <typename Token>
void WalkSubfolders(const QString& path, Token parent,
                    const std::function<Token(Token parent, const QString& name, const QString& path)>& visit);

// Lists the names of the folders directly in path that the folder rule takes, in NTFS order.
QStringList subfolderNames(const QString& path);

// Joins a folder path and a name with one "/", as every path of the program is built.
inline QString joinPath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

template <typename Token>
void WalkSubfolders(const QString& path, Token parent,
                    const std::function<Token(Token parent, const QString& name, const QString& path)>& visit)
{
    for (const QString& name : subfolderNames(path)) {
        const QString child = joinPath(path, name);
        Token token = visit(parent, name, child);
        WalkSubfolders<Token>(child, token, visit);
    }
}

} // namespace lintora
