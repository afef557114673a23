// Starting and ending the program: settings read at construction and first show, written at the end.

#include "WindowFixture.h"

#include "check/CheckProgressDialog.h"
#include "dialogs/AboutBox.h"
#include "dialogs/SettingsDialog.h"
#include "mainwindow/FindDialog.h"

#include <QSplitter>
#include <QTemporaryDir>

using namespace lintora;
using namespace lintora::test;

namespace {

using StartupTest = WindowTest;

QByteArray freshFile(const QString& favorites)
{
    return "[PARM]\r\nFAVORITES=" + favorites.toUtf8() +
           "\r\nDCACTION=1\r\n[PROXY]\r\nUSE=0\r\nHOST=\r\nPORT=0\r\n"
           "[POS]\r\nWIDTH=600\r\nHEIGHT=440\r\nTOP=133\r\nLEFT=191\r\nTWIDTH=150\r\n"
           "COL1=91\r\nCOL2=90\r\nCOL3=90\r\nCOL4=50\r\nCOL5=50\r\nCOL6=90\r\nCOL7=90\r\n";
}

std::array<int, 7> columnWidths(const TForm1& w)
{
    std::array<int, 7> widths{};
    for (int i = 0; i < 7; ++i)
        widths[static_cast<std::size_t>(i)] = w.ListView1->header()->sectionSize(i);
    return widths;
}

TEST_F(StartupTest, FirstStartWithoutSettingsFileUsesTheDesignedLayoutAndWritesEveryKey)
{
    TForm1& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Lintora"));
    EXPECT_EQ(w.IniFileName, iniPath());
    EXPECT_EQ(w.Settings.FavoritesFolder, fav.root());
    EXPECT_EQ(w.geometry().size(), QSize(600, 440));
    EXPECT_EQ(w.geometry().topLeft(), QPoint(191, 133));
    EXPECT_EQ(w.TreeView1->width(), 150);
    EXPECT_EQ(columnWidths(w), (std::array<int, 7>{91, 90, 90, 50, 50, 90, 90}));
    EXPECT_EQ(w.StatusText(), QString());
    EXPECT_EQ(w.SortOrder, 1);
    EXPECT_TRUE(messages.entries.isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath())); // nothing is written during the run

    close();
    EXPECT_EQ(TempFavorites::readBytes(iniPath()).toStdString(), freshFile(fav.root()).toStdString());
}

TEST_F(StartupTest, TheSavedLayoutIsRestoredAndWhatTheUserChangedIsSaved)
{
    writeIni("[PARM]\r\nFAVORITES=" + fav.root().toUtf8() +
             "\r\nDCACTION=2\r\n[PROXY]\r\nUSE=2\r\nHOST=proxy.local\r\nPORT=0x1F90\r\n"
             "[POS]\r\nWIDTH=700\r\nHEIGHT=0x1F4\r\nTOP=20\r\nLEFT=2900\r\nTWIDTH=210\r\n"
             "COL1=120\r\nCOL2=130\r\nCOL3=140\r\nCOL4=60\r\nCOL5=70\r\nCOL6=110\r\nCOL7=300\r\n");
    TForm1& w = open();
    EXPECT_EQ(w.Settings.DoubleClickAction, 2);
    EXPECT_TRUE(w.Settings.UseProxy);
    EXPECT_EQ(w.Settings.ProxyHost, QStringLiteral("proxy.local"));
    EXPECT_EQ(w.Settings.ProxyPort, 8080);
    EXPECT_EQ(w.geometry().size(), QSize(700, 500));
    EXPECT_EQ(w.geometry().topLeft(), QPoint(2900, 20)); // off every screen, applied as it stands
    EXPECT_EQ(w.TreeView1->width(), 210);
    EXPECT_EQ(columnWidths(w), (std::array<int, 7>{120, 130, 140, 60, 70, 110, 300}));

    // The user widens the tree and a column.
    w.Splitter1->setSizes({180, w.Splitter1->width() - 180 - w.Splitter1->handleWidth()});
    w.ListView1->header()->resizeSection(1, 155);
    close();
    EXPECT_EQ(TempFavorites::readBytes(iniPath()).toStdString(),
              ("[PARM]\r\nFAVORITES=" + fav.root().toUtf8() +
               "\r\nDCACTION=2\r\n[PROXY]\r\nUSE=1\r\nHOST=proxy.local\r\nPORT=8080\r\n"
               "[POS]\r\nWIDTH=700\r\nHEIGHT=500\r\nTOP=20\r\nLEFT=2900\r\nTWIDTH=180\r\n"
               "COL1=120\r\nCOL2=155\r\nCOL3=140\r\nCOL4=60\r\nCOL5=70\r\nCOL6=110\r\nCOL7=300\r\n")
                  .toStdString());
}

TEST_F(StartupTest, AFailedSearchSaysSoOnceAndTheHomeFolderIsKept)
{
    QTemporaryDir home;
    open(home.path());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("お気に入りフォルダを設定して下さい")});
    EXPECT_EQ(window->Settings.FavoritesFolder, home.path());
    // Only the three top nodes: the home folder has no folders.
    EXPECT_EQ(window->TreeView1->topLevelItemCount(), 3);
    close();
    EXPECT_EQ(TempFavorites::readBytes(iniPath()).toStdString(), freshFile(home.path()).toStdString());

    messages.entries.clear();
    open(home.path());
    EXPECT_EQ(window->Settings.FavoritesFolder, home.path());
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(StartupTest, ASettingsFileThatCannotBeWrittenIsReportedAtTheEnd)
{
    const QByteArray before = "[PARM]\r\nFAVORITES=" + fav.root().toUtf8() + "\r\n";
    writeIni(before);
    TempFavorites::makeReadOnly(iniPath());
    open();
    close();
    EXPECT_EQ(messages.texts(), QStringList{iniPath() + QStringLiteral(" に書き込めません.")});
    EXPECT_EQ(messages.entries.first().kind, RecordingMessageService::Kind::Error);
    EXPECT_EQ(TempFavorites::readBytes(iniPath()), before);
}

TEST_F(StartupTest, TheDialogsAreMadeOnceAsChildrenOfTheMainWindow)
{
    TForm1& w = open();
    const QList<QWidget*> dialogs{w.Form2, w.Form3, w.Form4, w.Form5, w.Form6};
    const QStringList captions{QStringLiteral("Lintora - 情報の変更"), QStringLiteral("Lintora - 設定"),
                               QStringLiteral("Lintora - バージョン情報"),
                               QStringLiteral("Lintora - 接続確認中..."), QStringLiteral("Lintora - 検索")};
    for (int i = 0; i < dialogs.size(); ++i) {
        ASSERT_NE(dialogs[i], nullptr);
        EXPECT_EQ(dialogs[i]->parentWidget(), &w);
        EXPECT_EQ(dialogs[i]->windowTitle(), captions[i]);
        EXPECT_FALSE(dialogs[i]->isVisible());
    }
}

TEST_F(StartupTest, TheMenuBarHoldsEveryCommandWithItsShortcut)
{
    TForm1& w = open();
    struct Item
    {
        QAction* action;
        const char* caption;
        QKeySequence keys;
    };
    const Item items[] = {
        {w.S1, "設定(&S)", {}},
        {w.Close1, "閉じる(&C)", {}},
        {w.N7, "情報の編集(&E)", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {w.N9, "ブラウザで開く(&O)", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {w.C1, "接続確認(&C)", {}},
        {w.N1, "削除(&D)", QKeySequence(Qt::Key_Delete)},
        {w.Find1, "検索(&F)", QKeySequence(Qt::Key_F3)},
        {w.Refresh1, "最新の情報に更新(&R)", QKeySequence(Qt::Key_F5)},
        {w.N4, "全て選択(&A)", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {w.N5, "選択の切替(&I)", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {w.Contents1, "トピックの検索(&H)", QKeySequence(Qt::Key_F1)},
        {w.About1, "バージョン情報(&A)", {}},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.caption);
        EXPECT_EQ(item.action->text(), QString::fromUtf8(item.caption));
        EXPECT_EQ(item.action->shortcut(), item.keys);
        EXPECT_EQ(item.action->isEnabled(), item.action != w.Contents1);
    }
    QStringList menus;
    for (QAction* menu : w.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集/操作(&E)"),
                                  QStringLiteral("ヘルプ(&H)")}));
}

} // namespace
