// Find: every bookmark of the favorites tree whose title, URL or comment holds the text.

#include "mainwindow/MainWindow.h"

#include "app/ErrorHandler.h"
#include "mainwindow/BookmarkSearch.h"
#include "mainwindow/FindDialog.h"

#include <QTreeWidget>

namespace lintora {

void TForm1::Find1Click()
{
    runCommand([this] {
        if (Form6->exec() != QDialog::Accepted)
            return;
        // As typed: spaces are part of what is looked for.
        const QString text = Form6->searchText();
        if (text.isEmpty())
            return;
        FoundFiles.clear();
        CollectAllFolders(FolderPaths);
        // Every shortcut of those folders, in the order CollectShortcuts lists them, each file read
        // once.
        FoundFiles = findBookmarks(FolderPaths, text);
        // Selecting "検索" lists the results when it was not selected yet; when it was, nothing lists
        // them but this. Either way they are listed once, as a listing followed by the selection's
        // own listing would end.
        QTreeWidgetItem* findNode = TopNode(1);
        if (!findNode || findNode->isSelected())
            FillList(FoundFiles);
        else
            TreeView1->setCurrentItem(findNode);
    });
}

} // namespace lintora
