// Renaming bookmarks and folders in place: what lands on disk, what the row or node shows, and the
// message of a refused rename.

#include "WindowFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>

using namespace lintora;
using namespace lintora::test;

namespace {

const QString CannotRename = QStringLiteral("この名前には変更できません");
const QString TopNodeRefused = QStringLiteral("トップノードは変更できません");

class RenameTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // On disk: A holds a1, a2, the small-lettered low.url and the folder A1 (holding deep); B is
        // A's sibling; the favorites folder holds "top".
        top = fav.addShortcut({}, QStringLiteral("top"), QStringLiteral("http://top.example/"));
        a1 = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("http://a.example/1"),
                             QStringLiteral("メモ"), "STATUS=1\r\nRESPONS=0.5\r\n");
        a2 = fav.addShortcut(QStringLiteral("A"), QStringLiteral("a2"), QStringLiteral("http://a.example/2"));
        low = fav.addFile(QStringLiteral("A/low.url"), "[InternetShortcut]\r\nURL=http://low.example/\r\n");
        deep = fav.addShortcut(QStringLiteral("A/A1"), QStringLiteral("deep"),
                               QStringLiteral("http://deep.example/"));
        b = fav.addShortcut(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("http://b.example/"));
        writeIniFavorites();
        open();
    }

    QTreeWidgetItem* nodeA() { return child(favorites(), QStringLiteral("A")); }

    // Every file and folder below the favorites folder, with the bytes of the files.
    QMap<QString, QByteArray> disk() const
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(fav.root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString entry = it.next();
            out.insert(entry.mid(fav.root().size()),
                       it.fileInfo().isDir() ? QByteArray("<dir>") : TempFavorites::readBytes(entry));
        }
        return out;
    }

    // The row of the list whose path column is p.
    int rowOf(const QString& p) const { return column(ListColumn::Path).indexOf(p); }

    // Edits a row's title in the list as the user does: an editor on the title cell, the text typed,
    // Enter to confirm (or Esc to cancel).
    void editTitle(int row, const QString& text, Qt::Key end = Qt::Key_Return)
    {
        const QModelIndex index = window->ListModel->index(row, ListColumn::Title);
        window->ListView1->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(window->ListView1->indexWidget(index));
        ASSERT_NE(editor, nullptr);
        editor->setText(text); // typed (QTest types ASCII only)
        QTest::keyClick(editor, end);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->ListView1->indexWidget(index); }));
    }
    // The same for a node's label in the tree.
    void editLabel(QTreeWidgetItem* node, const QString& text, Qt::Key end = Qt::Key_Return)
    {
        QTreeWidget* tree = window->TreeView1;
        const QModelIndex index = tree->indexFromItem(node);
        tree->editItem(node);
        auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(index));
        ASSERT_NE(editor, nullptr);
        editor->setText(text); // typed (QTest types ASCII only)
        QTest::keyClick(editor, end);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !tree->indexWidget(index); }));
    }

    QString top, a1, a2, low, deep, b;
};

// ---- Bookmarks ------------------------------------------------------------------------------------

TEST_F(RenameTest, ABookmarkTakesTheTypedTitleAndKeepsItsRowAndBytes)
{
    selectNode(nodeA());
    ASSERT_EQ(column(ListColumn::Path), (QStringList{a1, a2, low}));
    const BookmarkRow before = window->ListModel->row(0);
    const QByteArray bytes = TempFavorites::readBytes(a1);
    window->FoundFiles = QStringList{a1};

    editTitle(0, QStringLiteral("新しい名前 2"));

    const QString renamed = path(QStringLiteral("A/新しい名前 2.URL"));
    EXPECT_FALSE(QFileInfo::exists(a1));
    EXPECT_EQ(TempFavorites::readBytes(renamed), bytes);
    BookmarkRow expected = before;
    expected[ListColumn::Title] = QStringLiteral("新しい名前 2");
    expected[ListColumn::Path] = renamed;
    EXPECT_EQ(window->ListModel->row(0), expected); // same place, the other columns as they were
    EXPECT_EQ(column(ListColumn::Path), (QStringList{renamed, a2, low}));
    EXPECT_TRUE(messages.entries.isEmpty());
    // Neither the folders listed nor the last find's results follow a bookmark rename.
    EXPECT_EQ(window->FolderPaths, QStringList{path(QStringLiteral("A"))});
    EXPECT_EQ(window->FoundFiles, QStringList{a1});
}

TEST_F(RenameTest, TheExtensionBecomesCapitalsAndAnUnchangedTitleIsNoFailure)
{
    selectNode(nodeA());
    const QByteArray lowBytes = TempFavorites::readBytes(low);
    const QByteArray a2Bytes = TempFavorites::readBytes(a2);

    editTitle(rowOf(low), QStringLiteral("low"));
    EXPECT_EQ(cell(2, ListColumn::Path), path(QStringLiteral("A/low.URL")));
    EXPECT_EQ(QDir(path(QStringLiteral("A"))).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("a1.URL"), QStringLiteral("a2.URL"), QStringLiteral("low.URL")}));
    EXPECT_EQ(TempFavorites::readBytes(path(QStringLiteral("A/low.URL"))), lowBytes);

    // Confirmed as it was: the file goes onto its own name, which is no clash.
    editTitle(rowOf(a2), QStringLiteral("a2"));
    EXPECT_EQ(cell(1, ListColumn::Title), QStringLiteral("a2"));
    EXPECT_EQ(cell(1, ListColumn::Path), a2);
    EXPECT_EQ(TempFavorites::readBytes(a2), a2Bytes);
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(RenameTest, AnEmptyTitleNamesTheFileDotURL)
{
    selectNode(nodeA());
    QString S;
    window->ListView1Edited(rowOf(a2), S);
    EXPECT_TRUE(messages.entries.isEmpty());
    EXPECT_EQ(cell(1, ListColumn::Path), path(QStringLiteral("A/.URL")));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("A/.URL"))));
    EXPECT_FALSE(QFileInfo::exists(a2));
}

// Every refused bookmark rename: the message, the old title back, the path column and the disk
// untouched.
TEST_F(RenameTest, ARefusedBookmarkRenameRevertsTheTitleAndChangesNothing)
{
    fav.addFolder(QStringLiteral("A/sub")); // a naive rename of "sub/x" would move a1 in here
    fav.addFolder(QStringLiteral("A/dir.URL"));
    struct Case
    {
        const char* what;
        QString typed;
    };
    const Case cases[] = {
        {"the title of another bookmark in the folder", QStringLiteral("a2")},
        {"the name of a folder that is called like the new file", QStringLiteral("dir")},
        {"a name with a slash into an existing folder", QStringLiteral("sub/x")},
        {"a name climbing out of the folder", QStringLiteral("../../escaped")},
        {"a name that is only a slash", QStringLiteral("/")},
    };
    selectNode(nodeA());
    const QMap<QString, QByteArray> before = disk();
    const BookmarkRow row = window->ListModel->row(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.entries.clear();
        QString S = c.typed;
        window->ListView1Edited(0, S);
        EXPECT_EQ(S, QStringLiteral("a1"));
        EXPECT_EQ(messages.texts(), QStringList{CannotRename});
        EXPECT_EQ(window->ListModel->row(0), row);
        EXPECT_EQ(disk(), before);
    }
}

TEST_F(RenameTest, ARefusedEditInTheListShowsTheOldTitleAgain)
{
    selectNode(nodeA());
    const QMap<QString, QByteArray> before = disk();
    editTitle(0, QStringLiteral("a2"));
    EXPECT_EQ(cell(0, ListColumn::Title), QStringLiteral("a1"));
    EXPECT_EQ(messages.texts(), QStringList{CannotRename});

    // A bookmark whose file went away meanwhile.
    messages.entries.clear();
    QFile::remove(a2);
    editTitle(1, QStringLiteral("gone"));
    EXPECT_EQ(cell(1, ListColumn::Title), QStringLiteral("a2"));
    EXPECT_EQ(cell(1, ListColumn::Path), a2);
    EXPECT_EQ(messages.texts(), QStringList{CannotRename});
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("A/gone.URL"))));

    // Esc: no rename, no message.
    messages.entries.clear();
    editTitle(0, QStringLiteral("other"), Qt::Key_Escape);
    EXPECT_EQ(cell(0, ListColumn::Title), QStringLiteral("a1"));
    EXPECT_TRUE(messages.entries.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(a1));
}

TEST_F(RenameTest, OnlyTheTitleColumnIsEditedAndF2EditsItFromAnyCellOfTheRow)
{
    selectNode(nodeA());
    QTreeView* list = window->ListView1;
    for (int c = 1; c < ListColumn::Count; ++c)
        EXPECT_FALSE(window->ListModel->flags(window->ListModel->index(0, c)) & Qt::ItemIsEditable) << c;

    list->setCurrentIndex(window->ListModel->index(1, ListColumn::Comment));
    QTest::keyClick(list, Qt::Key_F2);
    auto* editor =
        qobject_cast<QLineEdit*>(list->indexWidget(window->ListModel->index(1, ListColumn::Title)));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("a2"));
    editor->setText(QStringLiteral("second"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell(1, ListColumn::Title) == QStringLiteral("second"); }));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("A/second.URL"))));
}

TEST_F(RenameTest, AClickOnTheTitleOfTheSelectedRowStartsTheEdit)
{
    selectNode(nodeA());
    QTreeView* list = window->ListView1;
    const QModelIndex title = window->ListModel->index(0, ListColumn::Title);
    const QPoint at = list->visualRect(title).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list->indexWidget(title), nullptr); // the first click only selects
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at,
                      QApplication::doubleClickInterval() + 50); // not a double-click
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->indexWidget(title) != nullptr; }));
}

TEST_F(RenameTest, AClickOnOneOfSeveralSelectedRowsSelectsItAloneWithoutAnEdit)
{
    selectNode(nodeA());
    QTreeView* list = window->ListView1;
    window->N4Click();
    const int rows = window->RowCount();
    ASSERT_GT(rows, 1);
    ASSERT_EQ(window->SelectedCount(), rows);
    const QModelIndex title = window->ListModel->index(1, ListColumn::Title);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(title).center());
    EXPECT_EQ(window->SelectedCount(), 1);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(1, {}));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(list->indexWidget(title), nullptr);
    EXPECT_EQ(window->StatusText(), QStringLiteral("1 / %1").arg(rows));
}

// ---- Folders --------------------------------------------------------------------------------------

TEST_F(RenameTest, AFolderTakesTheTypedNameAndTheListShowsItsBookmarksUnderIt)
{
    selectNode(child(favorites(), QStringLiteral("B")));
    QTreeWidgetItem* a = nodeA();
    QTreeWidgetItem* a1Node = child(a, QStringLiteral("A1"));

    editLabel(a, QStringLiteral("Ａ フォルダ"));

    const QString renamed = path(QStringLiteral("Ａ フォルダ"));
    EXPECT_TRUE(messages.entries.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("A"))));
    EXPECT_TRUE(QFileInfo(renamed).isDir());
    EXPECT_EQ(a->text(0), QStringLiteral("Ａ フォルダ"));
    // The tree was not rebuilt: the same node, in its place, with its subtree and expansion.
    EXPECT_EQ(favorites()->child(0), a);
    EXPECT_EQ(a->child(0), a1Node);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_EQ(window->FolderPaths, QStringList{renamed});
    EXPECT_EQ(column(ListColumn::Path),
              (QStringList{renamed + QStringLiteral("/a1.URL"), renamed + QStringLiteral("/a2.URL"),
                           renamed + QStringLiteral("/low.url")}));
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 3"));

    // The subfolder's path follows its parent's new name.
    selectNode(a1Node);
    EXPECT_EQ(column(ListColumn::Path), QStringList{renamed + QStringLiteral("/A1/deep.URL")});
}

TEST_F(RenameTest, ARefusedFolderRenameRevertsTheLabelAndChangesNothing)
{
    struct Case
    {
        const char* what;
        QString typed;
    };
    const Case cases[] = {
        {"the name of a sibling folder", QStringLiteral("B")},
        {"empty text", QString()},
        {"a name that moves the folder into its sibling", QStringLiteral("B/A")},
        {"a name that climbs out of the favorites folder", QStringLiteral("../A")},
        {"dot", QStringLiteral(".")},
        {"dot dot", QStringLiteral("..")},
    };
    selectNode(child(favorites(), QStringLiteral("B")));
    const QMap<QString, QByteArray> before = disk();
    const QStringList listed = column(ListColumn::Path);
    QTreeWidgetItem* a = nodeA();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.entries.clear();
        QString S = c.typed;
        window->TreeView1Edited(a, S);
        EXPECT_EQ(S, QStringLiteral("A"));
        EXPECT_EQ(messages.texts(), QStringList{CannotRename});
        EXPECT_EQ(disk(), before);
        EXPECT_EQ(column(ListColumn::Path), listed);
        EXPECT_EQ(window->FolderPaths, QStringList{path(QStringLiteral("B"))});
    }

    // Through the tree's own editor the label shows the old name again.
    messages.entries.clear();
    editLabel(a, QStringLiteral("B"));
    EXPECT_EQ(a->text(0), QStringLiteral("A"));
    EXPECT_EQ(messages.texts(), QStringList{CannotRename});
    // A folder removed outside the program.
    messages.entries.clear();
    QDir(path(QStringLiteral("B"))).removeRecursively();
    QTreeWidgetItem* nodeB = child(favorites(), QStringLiteral("B"));
    editLabel(nodeB, QStringLiteral("C"));
    EXPECT_EQ(nodeB->text(0), QStringLiteral("B"));
    EXPECT_EQ(messages.texts(), QStringList{CannotRename});
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("C"))));
}

TEST_F(RenameTest, TheTopNodesKeepTheirLabels)
{
    selectNode(nodeA());
    const QMap<QString, QByteArray> before = disk();
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* node = window->TopNode(i);
        const QString label = node->text(0);
        SCOPED_TRACE(label.toStdString());
        messages.entries.clear();
        editLabel(node, QStringLiteral("Renamed"));
        EXPECT_EQ(node->text(0), label);
        EXPECT_EQ(messages.texts(), QStringList{TopNodeRefused});
        EXPECT_EQ(disk(), before);
        EXPECT_EQ(window->FolderPaths, QStringList{path(QStringLiteral("A"))});
    }
    EXPECT_EQ(rows(), 3);
}

TEST_F(RenameTest, AFolderEditCancelledWithEscRenamesNothing)
{
    QTreeWidgetItem* a = nodeA();
    editLabel(a, QStringLiteral("X"), Qt::Key_Escape);
    EXPECT_EQ(a->text(0), QStringLiteral("A"));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("A"))).isDir());
    EXPECT_TRUE(messages.entries.isEmpty());
    EXPECT_EQ(rows(), 0);
}

} // namespace
