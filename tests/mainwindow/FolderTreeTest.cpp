// The folder tree, what selecting its nodes lists, the status bar and the re-reading of one row.

#include "WindowFixture.h"
#include "check/CheckProgressDialog.h"
#include "check/UrlCheckWorker.h"

#include <QTimer>

#include <sys/stat.h>

using namespace lintora;
using namespace lintora::test;

namespace {

class FolderTreeTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // On disk: the favorites folder with A (holding A1) and B, a hidden and a read-only folder.
        top = fav.addShortcut({}, QStringLiteral("トップ"), QStringLiteral("http://top.example/"));
        a = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("http://a.example/1"));
        a2 = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a2"), QStringLiteral("http://a.example/2"));
        a1 = fav.addShortcut(QStringLiteral("A/A1"), QStringLiteral("deep"),
                             QStringLiteral("http://deep.example/"));
        b = fav.addShortcut(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("http://b.example/"));
        fav.addShortcut(QStringLiteral(".hidden"), QStringLiteral("h"), QStringLiteral("http://h.example/"));
        fav.addShortcut(QStringLiteral("R"), QStringLiteral("r"), QStringLiteral("http://r.example/"));
        fav.addShortcut(QStringLiteral("R/Under"), QStringLiteral("u"), QStringLiteral("http://u.example/"));
        TempFavorites::makeReadOnly(fav.root() + QStringLiteral("/R"));
        writeIniFavorites();
        open();
    }


    QString top, a, a2, a1, b;
};

QStringList labels(const QTreeWidgetItem* node)
{
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

TEST_F(FolderTreeTest, TheTreeHasTheThreeTopNodesAndTheFoldersTheRuleTakes)
{
    QTreeWidget* tree = window->TreeView1;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(window->TopNode(0)->text(0), QStringLiteral("全て表示"));
    EXPECT_EQ(window->TopNode(1)->text(0), QStringLiteral("検索"));
    EXPECT_EQ(window->TopNode(2)->text(0), QStringLiteral("お気に入り"));
    EXPECT_EQ(window->TopNode(0)->childCount(), 0);
    EXPECT_EQ(window->TopNode(1)->childCount(), 0);
    EXPECT_EQ(labels(favorites()), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QTreeWidgetItem* nodeA = child(favorites(), QStringLiteral("A"));
    EXPECT_EQ(labels(nodeA), QStringList{QStringLiteral("A1")});
    EXPECT_TRUE(nodeA->isExpanded());
    EXPECT_TRUE(favorites()->isExpanded());
    EXPECT_TRUE(tree->selectedItems().isEmpty());
    EXPECT_EQ(rows(), 0);

    EXPECT_EQ(window->NodePath(window->TopNode(0)), fav.root());
    EXPECT_EQ(window->NodePath(favorites()), fav.root());
    EXPECT_EQ(window->NodePath(child(nodeA, QStringLiteral("A1"))), fav.root() + QStringLiteral("/A/A1"));
}

TEST_F(FolderTreeTest, ShowAllListsEveryFolderBreadthFirst)
{
    selectNode(window->TopNode(0));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{top, a, a2, b, a1}));
    EXPECT_EQ(window->FolderPaths,
              (QStringList{fav.root(), fav.root() + QStringLiteral("/A"), fav.root() + QStringLiteral("/B"),
                           fav.root() + QStringLiteral("/A/A1")}));
    EXPECT_EQ(column(ListColumn::Title),
              (QStringList{QStringLiteral("トップ"), QStringLiteral("a1"), QStringLiteral("a2"),
                           QStringLiteral("b"), QStringLiteral("deep")}));
    EXPECT_EQ(cell(0, ListColumn::Url), QStringLiteral("http://top.example/"));
    EXPECT_EQ(cell(0, ListColumn::Status), QStringLiteral("未調査"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 5"));
}

TEST_F(FolderTreeTest, AFolderListsOnlyItsOwnShortcuts)
{
    selectNode(favorites());
    EXPECT_EQ(column(ListColumn::Path), QStringList{top});
    EXPECT_EQ(window->FolderPaths, QStringList{fav.root()});
    selectNode(child(favorites(), QStringLiteral("A")));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a, a2}));
    EXPECT_EQ(window->FolderPaths, QStringList{fav.root() + QStringLiteral("/A")});
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 2"));
}

TEST_F(FolderTreeTest, FindResultsBeforeAnyFindAreEmptyAndKeepTheFolders)
{
    selectNode(child(favorites(), QStringLiteral("B")));
    selectNode(window->TopNode(1));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 0"));
    EXPECT_EQ(window->FolderPaths, QStringList{fav.root() + QStringLiteral("/B")});

    window->FoundFiles = QStringList{b, top, b};
    selectNode(window->TopNode(0));
    selectNode(window->TopNode(1));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{b, top, b})); // duplicates are not merged
}

TEST_F(FolderTreeTest, TheStatusBarIsWrittenAtItsThreeMomentsOnly)
{
    EXPECT_EQ(window->StatusText(), QString());
    for (int i = 2; i <= 12; ++i)
        fav.addShortcut(QStringLiteral("B"), QStringLiteral("more%1").arg(i),
                        QStringLiteral("http://b.example/"));
    // B now holds b and more2 .. more12: twelve in all.
    selectNode(child(favorites(), QStringLiteral("B")));
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 12"));
    selectRow(0);
    selectRow(4);
    selectRow(11);
    EXPECT_EQ(window->StatusText(), QStringLiteral("3 / 12"));
    // A click on a row selects that one alone.
    QTreeView* list = window->ListView1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(window->ListModel->index(2, 0)).center());
    EXPECT_EQ(window->StatusText(), QStringLiteral("1 / 12"));

    window->BuildFolderTree();
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(window->StatusText(), QStringLiteral("1 / 12")); // a rebuild leaves it
}

TEST_F(FolderTreeTest, RefreshReadsTheTreeAnewAndEmptiesTheList)
{
    selectNode(child(favorites(), QStringLiteral("A")));
    fav.addShortcut(QStringLiteral("A"), QStringLiteral("a3"), QStringLiteral("http://a.example/3"));
    fav.addFolder(QStringLiteral("C"));
    window->FoundFiles = QStringList{top};

    window->Refresh1->trigger();
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(window->TreeView1->selectedItems().isEmpty());
    EXPECT_EQ(labels(favorites()),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(window->FoundFiles, QStringList{top});

    selectNode(child(favorites(), QStringLiteral("A")));
    EXPECT_EQ(rows(), 3);
}

TEST_F(FolderTreeTest, RefreshItemRereadsOnlyTheRowWithExactlyThatPath)
{
    selectNode(child(favorites(), QStringLiteral("A")));
    fav.addFile(QStringLiteral("A/a2.URL"),
                "[InternetShortcut]\r\nURL=http://changed.example/\r\n"
                "[Lintora]\r\nCOMMENT=\x83\x81\x83\x82\r\nSTATUS=1\r\nRESPONS=2.345\r\n"
                "DATE=2026/12/11 9:05:03\r\n");
    window->RefreshItem(a2.toUpper());
    EXPECT_EQ(cell(1, ListColumn::Url), QStringLiteral("http://a.example/2"));

    selectRow(1);
    window->RefreshItem(a2);
    EXPECT_EQ(cell(1, ListColumn::Url), QStringLiteral("http://changed.example/"));
    EXPECT_EQ(cell(1, ListColumn::Comment), QStringLiteral("メモ"));
    EXPECT_EQ(cell(1, ListColumn::Status), QStringLiteral("読込可能"));
    EXPECT_EQ(cell(1, ListColumn::Response), QStringLiteral("2.3"));
    EXPECT_EQ(cell(1, ListColumn::CheckDate), QStringLiteral("2026/12/11 9:05:03"));
    EXPECT_EQ(cell(0, ListColumn::Url), QStringLiteral("http://a.example/1"));
    EXPECT_EQ(selectedTitles(), QStringList{QStringLiteral("a2")});
    EXPECT_EQ(window->StatusText(), QStringLiteral("1 / 2"));

    QFile::remove(a2);
    window->RefreshItem(a2);
    EXPECT_EQ(window->ListModel->row(1), (BookmarkRow{QString(), QString(), QString(),
                                                      QStringLiteral("未調査"), QString(), QString(), a2}));
}

TEST_F(FolderTreeTest, ALinkCheckRunsOnTheSelectedRowsThenListsTheFoldersAnew)
{
    // The check itself belongs to the progress dialog; here it only records what it was given.
    QStringList checked;
    window->Form5->CreateWorker = [&](const QString& path) {
        checked << path;
        return std::unique_ptr<TCheckURL>();
    };
    window->Form5->Timer1->setInterval(10);

    selectNode(child(favorites(), QStringLiteral("A")));
    window->C1->trigger(); // nothing selected: no run, no new listing
    EXPECT_TRUE(checked.isEmpty());

    window->ListView1ColumnClick(ListColumn::Title);
    window->ListView1ColumnClick(ListColumn::Title); // a2 now stands first
    selectRow(0);
    selectRow(1);
    // Changed on disk meanwhile: the new listing reads every row anew, in path order.
    fav.addShortcut(QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("http://a.example/1"),
                    QStringLiteral("後から"));
    window->C1->trigger();
    EXPECT_EQ(checked, (QStringList{a2, a}));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a, a2}));
    EXPECT_EQ(cell(0, ListColumn::Comment), QStringLiteral("後から"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 2"));
    EXPECT_TRUE(selectedTitles().isEmpty());
}

TEST_F(FolderTreeTest, AMissingFavoritesFolderGivesTheTopNodesOnly)
{
    window->Settings.FavoritesFolder = fav.scratch() + QStringLiteral("/gone");
    window->BuildFolderTree();
    EXPECT_EQ(window->TreeView1->topLevelItemCount(), 3);
    EXPECT_EQ(favorites()->childCount(), 0);
    selectNode(window->TopNode(0));
    EXPECT_EQ(window->FolderPaths, QStringList{fav.scratch() + QStringLiteral("/gone")});
    EXPECT_EQ(rows(), 0);
}

} // namespace
