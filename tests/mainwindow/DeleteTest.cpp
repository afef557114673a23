// Deleting the selected bookmarks or the selected folder, depending on which control has the focus.

#include "WindowFixture.h"
#include "mainwindow/DeleteReport.h"

#include <QDir>
#include <QFileInfo>

using namespace lintora;
using namespace lintora::test;

namespace {

const QString AskBookmarks = QStringLiteral("選択されているブックマークを削除しますか？");
const QString AskFolder = QStringLiteral("選択されているフォルダから下を全て削除しますか？");
const QString NotRemovedHead = QStringLiteral("次のファイルまたはフォルダを削除できませんでした:");

class DeleteTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // On disk: A holds five bookmarks and the folder Sub (with one bookmark); B holds one.
        for (const char* title : {"a1", "a2", "a3", "a4", "a5"})
            a << fav.addShortcut(QStringLiteral("A"), QString::fromLatin1(title),
                                 QStringLiteral("http://a.example/"));
        sub = fav.addShortcut(QStringLiteral("A/Sub"), QStringLiteral("s"),
                              QStringLiteral("http://s.example/"));
        b = fav.addShortcut(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("http://b.example/"));
        writeIniFavorites();
        open();
    }

    QTreeWidgetItem* nodeA() { return child(favorites(), QStringLiteral("A")); }
    QStringList entries(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    }
    QStringList labels(QTreeWidgetItem* node) const
    {
        QStringList out;
        for (int i = 0; i < node->childCount(); ++i)
            out << node->child(i)->text(0);
        return out;
    }
    void focusList() { window->ListView1->setFocus(Qt::OtherFocusReason); }
    void focusTree() { window->TreeView1->setFocus(Qt::OtherFocusReason); }
    // The Delete key, as the user presses it in the control that has the focus.
    void pressDelete() { QTest::keyClick(window->focusWidget(), Qt::Key_Delete); }

    QStringList a;
    QString sub, b;
};

TEST_F(DeleteTest, TheDeleteKeyInTheListRemovesTheSelectedBookmarksAndPassesOverMissingOnes)
{
    selectNode(nodeA());
    for (int r = 0; r < 5; ++r)
        selectRow(r);
    QFile::remove(a[1]);
    QFile::remove(a[3]);
    focusList();
    ASSERT_EQ(window->ActiveControl(), window->ListView1);

    pressDelete();

    EXPECT_EQ(messages.texts(), QStringList{AskBookmarks});
    EXPECT_EQ(entries(path(QStringLiteral("A"))), QStringList{QStringLiteral("Sub")});
    EXPECT_TRUE(QFileInfo::exists(sub));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 0"));
}

TEST_F(DeleteTest, OnlySelectedRowsGoAndTheListShowsWhatIsLeft)
{
    selectNode(nodeA());
    selectRow(0);
    selectRow(3);
    focusList();
    window->N1Click();
    EXPECT_EQ(messages.texts(), QStringList{AskBookmarks});
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a[1], a[2], a[4]}));
    EXPECT_FALSE(QFileInfo::exists(a[0]));
    EXPECT_FALSE(QFileInfo::exists(a[3]));
}

TEST_F(DeleteTest, WithoutSelectedRowsNothingIsAsked)
{
    selectNode(nodeA());
    focusList();
    pressDelete();
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(entries(path(QStringLiteral("A"))).size(), 6);
}

TEST_F(DeleteTest, AnsweringNoKeepsEverything)
{
    selectNode(nodeA());
    selectRow(0);
    focusList();
    messages.answers = {MessageService::Answer::No};
    window->N1Click();

    selectNode(child(nodeA(), QStringLiteral("Sub")));
    focusTree();
    messages.answers = {MessageService::Answer::No};
    window->N1Click();

    EXPECT_EQ(messages.texts(), (QStringList{AskBookmarks, AskFolder}));
    EXPECT_EQ(entries(path(QStringLiteral("A"))).size(), 6);
    EXPECT_TRUE(QFileInfo::exists(sub));
    EXPECT_EQ(labels(nodeA()), QStringList{QStringLiteral("Sub")});
}

TEST_F(DeleteTest, RowsWhoseFilesAreAllGoneOnlyRefreshTheList)
{
    selectNode(nodeA());
    selectRow(0);
    QFile::remove(a[0]);
    focusList();
    window->N1Click();
    EXPECT_EQ(messages.texts(), QStringList{AskBookmarks});
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a[1], a[2], a[3], a[4]}));
}

TEST_F(DeleteTest, WithTheFocusInTheTreeTheSelectedFolderGoesWithEverythingBelowIt)
{
    // A link inside the folder points out of the tree: the link goes, what it points to stays.
    QDir(fav.scratch()).mkpath(QStringLiteral("outside"));
    const QString outsideFile = fav.scratch() + QStringLiteral("/outside/keep.URL");
    QFile(outsideFile).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(fav.scratch() + QStringLiteral("/outside"), path(QStringLiteral("A/Sub/link"))));
    ASSERT_TRUE(QFile::link(outsideFile, path(QStringLiteral("A/linked.URL"))));

    selectNode(nodeA());
    selectRow(0); // the list's selection does not count while the tree has the focus
    focusTree();
    ASSERT_EQ(window->ActiveControl(), window->TreeView1);

    pressDelete();

    EXPECT_EQ(messages.texts(), QStringList{AskFolder});
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("A"))));
    EXPECT_TRUE(QFileInfo::exists(outsideFile));
    EXPECT_EQ(entries(fav.scratch() + QStringLiteral("/outside")), QStringList{QStringLiteral("keep.URL")});
    EXPECT_TRUE(QFileInfo::exists(b));
    EXPECT_EQ(labels(favorites()), QStringList{QStringLiteral("B")});
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(window->TreeView1->selectedItems().isEmpty());
}

TEST_F(DeleteTest, TopNodesAreNotDeleted)
{
    for (int top = 0; top < 3; ++top) {
        SCOPED_TRACE(top);
        messages.entries.clear();
        selectNode(window->TopNode(top));
        focusTree();
        window->N1Click();
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("トップノードは削除できません")});
    }
    EXPECT_EQ(entries(fav.root()), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(entries(path(QStringLiteral("A"))).size(), 6);
}

TEST_F(DeleteTest, WithNoNodeSelectedTheTreeDeletesNothing)
{
    focusTree();
    window->N1Click();
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(entries(fav.root()), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
}

TEST_F(DeleteTest, AFileThatCannotBeRemovedIsReportedAndTheOthersGo)
{
    // A file of the kernel's own file system refuses removal, also for root.
    const QString stuck = QStringLiteral("/proc/version");
    if (!QFileInfo(stuck).isFile())
        GTEST_SKIP() << "no /proc";
    window->FillList({a[0], stuck, a[1]});
    window->FolderPaths = {path(QStringLiteral("A"))};
    window->N4Click();
    focusList();

    window->N1Click();

    EXPECT_EQ(messages.texts(), (QStringList{AskBookmarks, NotRemovedHead + QLatin1Char('\n') + stuck}));
    EXPECT_TRUE(QFileInfo::exists(stuck));
    EXPECT_FALSE(QFileInfo::exists(a[0]));
    EXPECT_FALSE(QFileInfo::exists(a[1]));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{a[2], a[3], a[4]}));
}

TEST_F(DeleteTest, AFolderReachedThroughALinkPutInSinceTheTreeWasReadIsNotDeletedOutsideTheTree)
{
    // After the tree was read, A is replaced by a link to a folder outside with the same shape.
    QTreeWidgetItem* nodeSub = child(nodeA(), QStringLiteral("Sub"));
    const QString outside = fav.scratch() + QStringLiteral("/outside");
    QDir(outside).mkpath(QStringLiteral("Sub"));
    QFile(outside + QStringLiteral("/Sub/keep.URL")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir(path(QStringLiteral("A"))).removeRecursively());
    ASSERT_TRUE(QFile::link(outside, path(QStringLiteral("A"))));

    selectNode(nodeSub);
    focusTree();
    window->N1Click();

    EXPECT_EQ(messages.texts(),
              (QStringList{AskFolder, NotRemovedHead + QLatin1Char('\n') + path(QStringLiteral("A/Sub"))}));
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/Sub/keep.URL")));
    // The rebuilt tree does not take the link for a folder.
    EXPECT_EQ(labels(favorites()), QStringList{QStringLiteral("B")});
}

TEST(DeleteReportTest, ALongListNamesItsFirstTwentyPathsAndCountsTheRest)
{
    QStringList failed;
    for (int i = 1; i <= 23; ++i)
        failed << QStringLiteral("/f/%1.URL").arg(i);
    const QStringList lines = notRemovedReport(failed).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(lines.first(), NotRemovedHead);
    EXPECT_EQ(lines[20], QStringLiteral("/f/20.URL"));
    EXPECT_EQ(lines.last(), QStringLiteral("ほか 3 件"));
    EXPECT_EQ(notRemovedReport(failed.mid(0, 20)).count(QLatin1Char('\n')), 20);
}

} // namespace
