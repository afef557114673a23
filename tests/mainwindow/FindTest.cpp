// Find: the bookmarks whose title, URL or comment holds the text, in the order of the folder scan,
// shown under "検索".

#include "WindowFixture.h"
#include "mainwindow/BookmarkSearch.h"
#include "mainwindow/FindDialog.h"
#include "platform/Cp932.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QDir>

#include <QPushButton>
#include <optional>

using namespace lintora;
using namespace lintora::test;

namespace {

class FindTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // Breadth first the folders are: the favorites folder, A, B, A/A1.
        inUrl = fav.addShortcut({}, QStringLiteral("トップ"), QStringLiteral("HTTP://WWW.EXAMPLE.COM/ABC"));
        plain = fav.addShortcut({}, QStringLiteral("天気"), QStringLiteral("http://weather.example/"));
        inDeepTitle = fav.addShortcut(QStringLiteral("A/A1"), QStringLiteral("MyAbcPage"),
                                      QStringLiteral("http://deep.example/"));
        fullWidth = fav.addShortcut(QStringLiteral("A"), QStringLiteral("Ｑｔ入門"),
                                    QStringLiteral("http://qt.example/"));
        inComment =
            fav.addShortcut(QStringLiteral("B"), QStringLiteral("ブログ"),
                            QStringLiteral("http://blog.example/"), QStringLiteral("読んだ abc の記事"));
        spaced = fav.addShortcut(QStringLiteral("B"), QStringLiteral("two words"),
                                 QStringLiteral("http://two.example/"));
        writeIniFavorites();
        open();
    }

    // Runs the find command; the dialog gets the text (when given) and is then closed with "実行"
    // or "キャンセル". Returns the text the dialog showed when it opened.
    QString find(const std::optional<QString>& text, bool run = true)
    {
        QString shown;
        bool done = false;
        QTimer::singleShot(0, window.get(), [&] {
            TForm6& dialog = *window->Form6;
            EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isVisible(); }));
            shown = dialog.searchText();
            if (text)
                dialog.setSearchText(*text);
            (run ? dialog.Button1 : dialog.Button2)->click();
            done = true;
        });
        window->Find1->trigger();
        EXPECT_TRUE(done);
        EXPECT_FALSE(window->Form6->isVisible());
        return shown;
    }

    QStringList allFolders() const
    {
        return {fav.root(), fav.root() + QStringLiteral("/A"), fav.root() + QStringLiteral("/B"),
                fav.root() + QStringLiteral("/A/A1")};
    }
    bool findNodeSelected() const { return window->TreeView1->currentItem() == window->TopNode(1); }

    QString inUrl, plain, inDeepTitle, fullWidth, inComment, spaced;
};

TEST_F(FindTest, LettersMatchWhateverTheirCaseInScanOrder)
{
    struct Case
    {
        QString text;
        QStringList found;
    };
    const Case cases[] = {
        // In capitals in a URL, in mixed case in a title, in small letters in a comment; the folder
        // scan's order: the favorites folder, then A, B and A/A1.
        {QStringLiteral("abc"), {inUrl, inComment, inDeepTitle}},
        {QStringLiteral("aBC"), {inUrl, inComment, inDeepTitle}},
        // Full-width letters fold as ASCII ones do.
        {QStringLiteral("ｑｔ"), {fullWidth}},
        {QStringLiteral("ＱＴ入"), {fullWidth}},
        {QStringLiteral("天気"), {plain}},
        {QStringLiteral("記事"), {inComment}},
        {QStringLiteral("nothing like it"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        find(c.text);
        EXPECT_EQ(window->FoundFiles, c.found);
        EXPECT_EQ(column(ListColumn::Path), c.found);
        EXPECT_EQ(window->StatusText(), QStringLiteral("0 / %1").arg(c.found.size()));
        EXPECT_TRUE(findNodeSelected());
        EXPECT_EQ(window->FolderPaths, allFolders());
    }
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(FindTest, SpacesAreSearchedForAsTyped)
{
    find(QStringLiteral(" "));
    EXPECT_EQ(window->FoundFiles, (QStringList{spaced, inComment}));
    find(QStringLiteral("two "));
    EXPECT_EQ(window->FoundFiles, QStringList{spaced});
    find(QStringLiteral(" two")); // not trimmed: nothing has a space before "two"
    EXPECT_TRUE(window->FoundFiles.isEmpty());
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(findNodeSelected());
}

TEST_F(FindTest, CancelOrAnEmptyTextChangesNothing)
{
    find(QStringLiteral("abc"));
    selectNode(child(window->TopNode(2), QStringLiteral("B")));
    const QStringList listed = column(ListColumn::Path);

    find(QStringLiteral("天気"), false); // cancelled
    find(QString());                     // run with nothing to look for
    EXPECT_EQ(window->FoundFiles, (QStringList{inUrl, inComment, inDeepTitle}));
    EXPECT_EQ(window->FolderPaths, QStringList{fav.root() + QStringLiteral("/B")});
    EXPECT_EQ(column(ListColumn::Path), listed);
    EXPECT_EQ(window->TreeView1->currentItem(), child(window->TopNode(2), QStringLiteral("B")));
}

TEST_F(FindTest, TheTextStaysForTheNextFindAndTheResultsForTheFindNode)
{
    EXPECT_EQ(find(QStringLiteral("ｑｔ")), QString()); // empty at the first find of a run
    EXPECT_EQ(find(std::nullopt, false), QStringLiteral("ｑｔ"));
    EXPECT_EQ(find(std::nullopt), QStringLiteral("ｑｔ"));
    EXPECT_EQ(window->FoundFiles, QStringList{fullWidth});

    // Results are a snapshot: choosing "検索" again lists them, gone files included.
    selectNode(window->TopNode(0));
    QFile::remove(fullWidth);
    selectNode(window->TopNode(1));
    EXPECT_EQ(column(ListColumn::Path), QStringList{fullWidth});
    EXPECT_EQ(cell(0, ListColumn::Title), QString());

    // A find while "検索" is already selected still shows the new results.
    find(QStringLiteral("example"));
    EXPECT_EQ(column(ListColumn::Path), (QStringList{inUrl, plain, spaced, inComment, inDeepTitle}));
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 5"));
}

TEST_F(FindTest, F3OpensTheFindDialog)
{
    bool shown = false;
    QTimer::singleShot(0, window.get(), [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->Form6->isVisible(); }));
        shown = window->Form6->isVisible();
        window->Form6->Button2->click();
    });
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_TRUE(shown);
}

// The find reads each file once and on several threads; its answers must be those of one record and
// Matches per path, in the order of the scan.
TEST(BookmarkSearchTest, GivesTheAnswersOfMatchesInScanOrder)
{
    TempFavorites fav;
    const QByteArray kinds[] = {
        // BASEURL wins over URL unless it is empty.
        "[DEFAULT]\r\nBASEURL=http://base.example/Needle\r\n[InternetShortcut]\r\nURL=http://url.example/"
        "\r\n",
        "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=http://url.example/"
        "needle\r\n",
        "[DEFAULT]\r\nBASEURL=\r\n[InternetShortcut]\r\nURL=http://url.example/NEEDLE\r\n",
        // Sections and keys in any case; a comment in CP932.
        "[internetshortcut]\r\nurl=http://lower.example/\r\n[LINTORA]\r\ncomment=" +
            encodeCp932(QStringLiteral("針のｎｅｅｄｌｅ")) + "\r\n",
        // The text beyond the value's 2047 bytes is not read.
        "[InternetShortcut]\r\nURL=http://long.example/" + QByteArray(2100, 'x') + "needle\r\n",
        "",
        "not an INI file at all, needle",
    };
    QStringList folders{fav.root()};
    for (int f = 0; f < 40; ++f) {
        const QString folder = QStringLiteral("F%1").arg(f, 2, 10, QLatin1Char('0'));
        fav.addFolder(folder);
        for (int k = 0; k < int(std::size(kinds)); ++k)
            fav.addFile(QStringLiteral("%1/b%2.URL").arg(folder).arg(k), kinds[k]);
        fav.addFile(folder + QStringLiteral("/needle in the title %1.url").arg(f), kinds[5]);
    }
    fav.addFolder(QStringLiteral("F07/dir.URL")); // a folder is no shortcut
    QFile::link(fav.root() + QStringLiteral("/F01/b0.URL"), fav.root() + QStringLiteral("/F02/link.URL"));
    QFile::link(fav.root() + QStringLiteral("/gone.URL"), fav.root() + QStringLiteral("/F03/dangling.URL"));
    lintora::CollectAllFolders(fav.root(), folders);
    ASSERT_EQ(folders.size(), 42);

    QStringList paths;
    lintora::CollectShortcuts(folders, paths);
    for (const QString& text :
         {QStringLiteral("needle"), QStringLiteral("ＮＥＥＤＬＥ"), QStringLiteral("針"),
          QStringLiteral("example"), QStringLiteral("title 1"), QStringLiteral("x")}) {
        SCOPED_TRACE(text.toStdString());
        QStringList expected;
        for (const QString& path : paths) {
            if (TBMFile(path).Matches(text))
                expected << path;
        }
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(findBookmarks(folders, text), expected);
    }
    EXPECT_TRUE(findBookmarks(folders, QString()).isEmpty());
}

} // namespace
