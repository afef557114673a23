// Moving bookmarks and folders by dropping them on a folder of the tree.

#include "WindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

using namespace lintora;
using namespace lintora::test;

namespace {

class MoveTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // On disk: A holds a1, a2, a3 and the folder Sub; B holds a namesake of a2; C is empty.
        top = fav.addShortcut({}, QStringLiteral("トップ"), QStringLiteral("http://top.example/"));
        a1 = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("http://a.example/1"));
        a2 = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a2"), QStringLiteral("http://a.example/2"));
        a3 = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a3"), QStringLiteral("http://a.example/3"));
        sub = fav.addShortcut(QStringLiteral("A/Sub"), QStringLiteral("s"),
                              QStringLiteral("http://s.example/"));
        b2 = fav.addShortcut(QStringLiteral("B"), QStringLiteral("a2"), QStringLiteral("http://b.example/2"));
        fav.addFolder(QStringLiteral("C"));
        writeIniFavorites();
        open();
    }

    QTreeWidgetItem* folder(const QString& path)
    {
        QTreeWidgetItem* node = favorites();
        for (const QString& label : path.split(QLatin1Char('/')))
            node = node ? child(node, label) : nullptr;
        return node;
    }
    QPoint pointOf(QTreeWidgetItem* node) { return window->TreeView1->visualItemRect(node).center(); }

    // Selects a folder node and then the list rows given, as the user does before a drag.
    void selectRowsOf(QTreeWidgetItem* node, const QList<int>& rowsToSelect)
    {
        selectNode(node);
        for (int r : rowsToSelect)
            selectRow(r);
    }
    void dropRowsOn(QTreeWidgetItem* node) { window->TreeView1DragDrop(window->ListView1, pointOf(node)); }
    // Drags a folder node (which selects it, and lists its bookmarks) and drops it on another.
    void dragFolder(QTreeWidgetItem* dragged, QTreeWidgetItem* onto)
    {
        selectNode(dragged);
        window->TreeView1DragDrop(window->TreeView1, pointOf(onto));
    }

    QStringList entries(const QString& relative) const
    {
        return QDir(path(relative)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList treeLabels(QTreeWidgetItem* node) const
    {
        QStringList out;
        for (int i = 0; i < node->childCount(); ++i) {
            out << node->child(i)->text(0);
            for (const QString& below : treeLabels(node->child(i)))
                out << node->child(i)->text(0) + QLatin1Char('/') + below;
        }
        return out;
    }

    QString top, a1, a2, a3, sub, b2;
};

TEST_F(MoveTest, EverySelectedRowIsTriedAndOnlyTheOneWithANamesakeStays)
{
    const QByteArray b2Bytes = TempFavorites::readBytes(b2);
    const QByteArray a2Bytes = TempFavorites::readBytes(a2);
    selectRowsOf(folder(QStringLiteral("A")), {0, 1, 2});
    const QStringList treeBefore = treeLabels(favorites());

    dropRowsOn(folder(QStringLiteral("B")));

    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("a2 は 移動できません")});
    EXPECT_EQ(entries(QStringLiteral("A")), (QStringList{QStringLiteral("Sub"), QStringLiteral("a2.URL")}));
    EXPECT_EQ(entries(QStringLiteral("B")),
              (QStringList{QStringLiteral("a1.URL"), QStringLiteral("a2.URL"), QStringLiteral("a3.URL")}));
    // Neither namesake was replaced.
    EXPECT_EQ(TempFavorites::readBytes(b2), b2Bytes);
    EXPECT_EQ(TempFavorites::readBytes(a2), a2Bytes);
    EXPECT_EQ(TempFavorites::readBytes(path(QStringLiteral("B/a1.URL"))).contains("http://a.example/1"),
              true);
    // The list shows A as it is now; the tree is the same.
    EXPECT_EQ(column(ListColumn::Path), QStringList{a2});
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 1"));
    EXPECT_EQ(treeLabels(favorites()), treeBefore);
}

TEST_F(MoveTest, TheListIsRefreshedFromTheFoldersListedLastNotFromTheRowsShown)
{
    // The find results show a1 and b2 while A stays the folder listed last.
    selectNode(folder(QStringLiteral("A")));
    window->FoundFiles = {a1, b2};
    selectNode(window->TopNode(1));
    ASSERT_EQ(column(ListColumn::Path), (QStringList{a1, b2}));
    selectRow(0);

    dropRowsOn(folder(QStringLiteral("C")));

    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(entries(QStringLiteral("C")), QStringList{QStringLiteral("a1.URL")});
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a2, a3}));
}

TEST_F(MoveTest, BookmarksDroppedOnFavoritesMoveIntoTheFavoritesFolderItself)
{
    selectRowsOf(folder(QStringLiteral("A")), {2});
    dropRowsOn(favorites());
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("a3.URL"))));
    EXPECT_FALSE(QFileInfo::exists(a3));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a1, a2}));
}

TEST_F(MoveTest, ABookmarkDroppedOnItsOwnFolderStaysWhereItIs)
{
    const QByteArray bytes = TempFavorites::readBytes(a1);
    selectRowsOf(folder(QStringLiteral("A")), {0});
    dropRowsOn(folder(QStringLiteral("A")));
    // The file is its own namesake there: the move is refused and nothing is lost.
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("a1 は 移動できません")});
    EXPECT_EQ(TempFavorites::readBytes(a1), bytes);
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a1, a2, a3}));
}

TEST_F(MoveTest, ARowWhoseFileIsGoneIsNamedAndTheOthersStillMove)
{
    selectRowsOf(folder(QStringLiteral("A")), {0, 2});
    QFile::remove(a1);
    dropRowsOn(folder(QStringLiteral("C")));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("a1 は 移動できません")});
    EXPECT_EQ(entries(QStringLiteral("C")), QStringList{QStringLiteral("a3.URL")});
}

TEST_F(MoveTest, DropsOnShowAllOrFindMoveNothing)
{
    struct Case
    {
        const char* name;
        int topNode;
        bool fromTree;
    };
    const Case cases[] = {
        {"rows on show-all", 0, false},
        {"rows on find", 1, false},
        {"folder on show-all", 0, true},
        {"folder on find", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.entries.clear();
        selectRowsOf(folder(QStringLiteral("A")), {0, 1});
        QObject* source = window->ListView1;
        if (c.fromTree) {
            selectNode(folder(QStringLiteral("A/Sub")));
            source = window->TreeView1;
        }
        window->TreeView1DragDrop(source, pointOf(window->TopNode(c.topNode)));
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("移動できません")});
        EXPECT_EQ(entries(QStringLiteral("A")),
                  (QStringList{QStringLiteral("Sub"), QStringLiteral("a1.URL"), QStringLiteral("a2.URL"),
                               QStringLiteral("a3.URL")}));
        EXPECT_EQ(entries({}), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                            QStringLiteral("トップ.URL")}));
    }
}

TEST_F(MoveTest, ADropBelowTheLastNodeOrFromElsewhereDoesNothing)
{
    selectRowsOf(folder(QStringLiteral("A")), {0});
    QTreeWidget* tree = window->TreeView1;
    const QPoint empty(5, tree->viewport()->height() - 3);
    ASSERT_EQ(tree->itemAt(empty), nullptr);

    window->TreeView1DragDrop(window->ListView1, empty);
    window->TreeView1DragDrop(window->StatusBar1, pointOf(folder(QStringLiteral("C"))));

    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(entries(QStringLiteral("C")).isEmpty());
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a1, a2, a3}));
    // Drags from other places are not taken at all.
    EXPECT_TRUE(window->TreeView1DragOver(window->ListView1));
    EXPECT_TRUE(window->TreeView1DragOver(window->TreeView1));
    EXPECT_FALSE(window->TreeView1DragOver(window->StatusBar1));
    EXPECT_FALSE(window->TreeView1DragOver(nullptr));
}

TEST_F(MoveTest, AFolderMovesWithEverythingInItAndTheTreeIsRebuilt)
{
    dragFolder(folder(QStringLiteral("A")), folder(QStringLiteral("C")));

    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("A"))));
    EXPECT_EQ(entries(QStringLiteral("C/A")),
              (QStringList{QStringLiteral("Sub"), QStringLiteral("a1.URL"), QStringLiteral("a2.URL"),
                           QStringLiteral("a3.URL")}));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("C/A/Sub/s.URL"))));
    EXPECT_EQ(treeLabels(favorites()), (QStringList{QStringLiteral("B"), QStringLiteral("C"),
                                                    QStringLiteral("C/A"), QStringLiteral("C/A/Sub")}));
    EXPECT_TRUE(folder(QStringLiteral("C/A/Sub"))->parent()->isExpanded());
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(window->TreeView1->selectedItems().isEmpty());
}

TEST_F(MoveTest, AFolderDroppedOnFavoritesGoesToTheTopLevel)
{
    dragFolder(folder(QStringLiteral("A/Sub")), favorites());
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("Sub/s.URL"))));
    EXPECT_EQ(treeLabels(favorites()), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                                    QStringLiteral("C"), QStringLiteral("Sub")}));
    EXPECT_EQ(rows(), 0);
}

TEST_F(MoveTest, RefusedFolderMovesNameTheFolderAndLeaveTheTreeAsItWas)
{
    // B/Sub makes a namesake for A/Sub.
    fav.addShortcut(QStringLiteral("B/Sub"), QStringLiteral("other"), QStringLiteral("http://o.example/"));
    window->Refresh1Click();
    struct Case
    {
        const char* name;
        QString dragged; // "" for the top node お気に入り
        QString onto;
        QString message;
    };
    const Case cases[] = {
        {"onto itself", QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A は 移動できません")},
        {"into its own subfolder", QStringLiteral("A"), QStringLiteral("A/Sub"),
         QStringLiteral("A は 移動できません")},
        {"onto a folder holding its namesake", QStringLiteral("A/Sub"), QStringLiteral("B"),
         QStringLiteral("Sub は 移動できません")},
        {"the favorites node itself", QString(), QStringLiteral("C"),
         QStringLiteral("お気に入り は 移動できません")},
    };
    const QStringList treeBefore = treeLabels(favorites());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.entries.clear();
        dragFolder(c.dragged.isEmpty() ? favorites() : folder(c.dragged), folder(c.onto));
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(treeLabels(favorites()), treeBefore);
    }
    EXPECT_EQ(entries(QStringLiteral("A")),
              (QStringList{QStringLiteral("Sub"), QStringLiteral("a1.URL"), QStringLiteral("a2.URL"),
                           QStringLiteral("a3.URL")}));
    EXPECT_EQ(entries(QStringLiteral("B/Sub")), QStringList{QStringLiteral("other.URL")});
    EXPECT_TRUE(entries(QStringLiteral("C")).isEmpty());
}

} // namespace
