// Sorting by a column header click, select all, invert, and the double-click.

#include "WindowFixture.h"

using namespace lintora;
using namespace lintora::test;

namespace {

class SortSelectTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        writeIniFavorites();
    }

    // Lists the given shortcuts, in this order, as a fill does.
    void list(const QStringList& paths) { window->FillList(paths); }

    QString shortcut(const QString& title, const QString& url = QStringLiteral("http://example.com/"),
                     const QByteArray& lintora = QByteArray())
    {
        return fav.addShortcut({}, title, url, QString(), lintora);
    }
};

TEST_F(SortSelectTest, ColumnsSortByTheirKindAndTheDirectionAlternatesAcrossColumns)
{
    open();
    struct Step
    {
        const char* name;
        int column;
        QStringList titlesAfter; // titles, top to bottom, after the click
    };
    // Each row tells its place in the other columns: titles are distinct everywhere.
    const QString t1 = shortcut(QStringLiteral("abc"), QStringLiteral("http://b.example/"),
                                "STATUS=1\r\nRESPONS=12.5\r\nDATE=2026/12/11 10:00:00\r\n");
    const QString t2 =
        shortcut(QStringLiteral("ABC"), QStringLiteral("http://a.example/zzz"), "STATUS=-1\r\n");
    const QString t3 = shortcut(QStringLiteral("Abc"), QStringLiteral("http://a.example/"),
                                "STATUS=0\r\nRESPONS=3\r\nDATE=2026/12/11 9:05:03\r\n");
    const QString t4 = shortcut(QStringLiteral("亜"), QStringLiteral("http://a.example/z"),
                                "STATUS=-2\r\nRESPONS=100\r\nDATE=2025/01/02\r\n");
    list({t1, t2, t3, t4});

    const Step steps[] = {
        // capitals before small letters; Japanese after ASCII by its Shift-JIS bytes
        {"titles ascending", ListColumn::Title, {"ABC", "Abc", "abc", "亜"}},
        // the next click, on another column, sorts descending; a prefix is the smaller text
        {"URLs descending", ListColumn::Url, {"abc", "ABC", "亜", "Abc"}},
        // status texts by their Shift-JIS bytes: 接続不可, 読込可能, 読込不可, 未調査
        {"status ascending", ListColumn::Status, {"亜", "abc", "ABC", "Abc"}},
        // responses as numbers: 100 > 12.5 > 3.0 > empty (as text "3.0" would lead)
        {"responses descending", ListColumn::Response, {"亜", "abc", "Abc", "ABC"}},
        // dates: the empty cell first ascending; 9:05 before 10:00 although "1" < "9"
        {"dates ascending", ListColumn::CheckDate, {"ABC", "亜", "Abc", "abc"}},
        {"dates descending", ListColumn::CheckDate, {"abc", "Abc", "亜", "ABC"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        clickHeader(step.column);
        EXPECT_EQ(column(ListColumn::Title), step.titlesAfter);
    }
    EXPECT_EQ(window->SortOrder, 1); // six clicks
    EXPECT_EQ(cell(3, ListColumn::Response), QString());
}

TEST_F(SortSelectTest, JapaneseTitlesSortByShiftJisBytesNotByUnicode)
{
    open();
    // Shift-JIS: Ａ 82 60, あ 82 A0, 亜 88 9F, ｱ B1. In Unicode あ, 亜, Ａ, ｱ.
    list({shortcut(QStringLiteral("ｱ")), shortcut(QStringLiteral("亜")), shortcut(QStringLiteral("あ")),
          shortcut(QStringLiteral("Ａ"))});
    window->ListView1ColumnClick(ListColumn::Title);
    EXPECT_EQ(column(ListColumn::Title), (QStringList{QStringLiteral("Ａ"), QStringLiteral("あ"),
                                                      QStringLiteral("亜"), QStringLiteral("ｱ")}));
    EXPECT_EQ(window->SortOrder, -1);
    window->ListView1ColumnClick(ListColumn::Title);
    EXPECT_EQ(column(ListColumn::Title), (QStringList{QStringLiteral("ｱ"), QStringLiteral("亜"),
                                                      QStringLiteral("あ"), QStringLiteral("Ａ")}));
}

TEST_F(SortSelectTest, CompareItemsFollowsTheRulesAndTheDirection)
{
    open();
    list({shortcut(QStringLiteral("b"), QStringLiteral("http://x/"), "RESPONS=12.5\r\n"),
          shortcut(QStringLiteral("ab"), QStringLiteral("http://x/"), "RESPONS=3\r\n")});
    EXPECT_EQ(window->CompareItems(0, 1, ListColumn::Title), 1);
    EXPECT_EQ(window->CompareItems(0, 1, ListColumn::Url), 0);
    EXPECT_EQ(window->CompareItems(0, 1, ListColumn::Response), 1);
    EXPECT_EQ(window->CompareItems(0, 1, 7), 0);
    EXPECT_EQ(window->CompareItems(0, 1, -1), 0); // an unsigned 0xFFFFFFFF
    window->SortOrder = -1;
    EXPECT_EQ(window->CompareItems(0, 1, ListColumn::Title), -1);
}

TEST_F(SortSelectTest, TheSelectionStaysWithItsRowsAndANewListingIsInPathOrder)
{
    open();
    const QStringList paths{shortcut(QStringLiteral("c")), shortcut(QStringLiteral("a")),
                            shortcut(QStringLiteral("b"))};
    list(paths);
    selectRow(0); // c
    selectRow(2); // b
    window->ListView1ColumnClick(ListColumn::Title);
    EXPECT_EQ(column(ListColumn::Title),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(selectedTitles(), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(window->StatusText(), QStringLiteral("2 / 3"));

    list(paths);
    EXPECT_EQ(column(ListColumn::Title),
              (QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(window->SortOrder, -1); // not reset by a fill
}

TEST_F(SortSelectTest, SelectAllAndInvertCountInTheStatusBar)
{
    open();
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths << shortcut(QStringLiteral("s%1").arg(i));
    list(paths);

    QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window->StatusText(), QStringLiteral("5 / 5"));
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 5"));
    EXPECT_TRUE(selectedTitles().isEmpty());

    selectRow(1);
    selectRow(3);
    window->N5->trigger();
    EXPECT_EQ(selectedTitles(),
              (QStringList{QStringLiteral("s0"), QStringLiteral("s2"), QStringLiteral("s4")}));
    EXPECT_EQ(window->StatusText(), QStringLiteral("3 / 5"));
    window->N5->trigger();
    EXPECT_EQ(selectedTitles(), (QStringList{QStringLiteral("s1"), QStringLiteral("s3")}));
    window->N4->trigger();
    EXPECT_EQ(window->StatusText(), QStringLiteral("5 / 5"));

    // Commands on an empty list do nothing.
    list({});
    window->N4->trigger();
    window->N5->trigger();
    EXPECT_EQ(window->StatusText(), QStringLiteral("0 / 0"));
}

TEST_F(SortSelectTest, DoubleClickOpensTheDialogOnlyForActionOne)
{
    for (const int action : {0, 1, 2}) {
        SCOPED_TRACE(action);
        writeIniFavorites("DCACTION=" + QByteArray::number(action) + "\r\n");
        opener.opened.clear();
        open();
        EXPECT_EQ(window->Settings.DoubleClickAction, action);
        list({shortcut(QStringLiteral("one"), QStringLiteral("http://one.example/")),
              shortcut(QStringLiteral("two"), QStringLiteral("http://two.example/"))});

        bool dialogShown = false;
        QString urlShown;
        if (action == 1) {
            QTimer::singleShot(0, window.get(), [&] {
                dialogShown = window->Form2->isVisible();
                urlShown = window->Form2->Edit1->text();
                window->Form2->reject();
            });
        }
        QTreeView* view = window->ListView1;
        const QPoint onRow = view->visualRect(window->ListModel->index(1, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onRow);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, onRow);

        if (action == 1) {
            EXPECT_TRUE(dialogShown);
            EXPECT_EQ(urlShown, QStringLiteral("http://two.example/"));
            EXPECT_TRUE(opener.opened.isEmpty());
        } else {
            EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(QStringLiteral("http://two.example/"))});
        }
        close();
    }
}

TEST_F(SortSelectTest, OpenInBrowserTakesTheFirstSelectedRowInTheListsOrder)
{
    open();
    list({shortcut(QStringLiteral("a"), QStringLiteral("http://a.example/")),
          shortcut(QStringLiteral("b"), QStringLiteral("https://b.example/")),
          shortcut(QStringLiteral("c"), QStringLiteral("http://c.example/"))});
    window->N9Click(); // no selection: nothing
    EXPECT_TRUE(opener.opened.isEmpty());

    selectRow(0);
    selectRow(1);
    window->ListView1ColumnClick(ListColumn::Title);
    window->ListView1ColumnClick(ListColumn::Title); // descending: c, b, a
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(QStringLiteral("https://b.example/"))});
}

} // namespace
