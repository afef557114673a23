// Find: every bookmark of the favorites tree whose title, URL or comment holds the text.

#include "mainwindow/MainWindow.h"

#include "app/ErrorHandler.h"
#include "mainwindow/FindDialog.h"
#include "store/BookmarkFile.h"

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
        QStringList L;
        CollectShortcuts(L);
        for (const QString& path : L) {
            const TBMFile record(path);
            if (record.Matches(text))
                FoundFiles.append(path);
        }
        FillList(FoundFiles);
        // Selecting "検索" lists the results once more when it was not selected yet.
        TreeView1->setCurrentItem(TopNode(1));
    });
}

} // namespace lintora
