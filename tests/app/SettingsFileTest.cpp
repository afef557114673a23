// The settings file Lintora.ini: reading rules, the favorites search and the bytes written at the end.

#include "app/SettingsFile.h"
#include "TempFavorites.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lintora;
using lintora::test::TempFavorites;

namespace {

const QString NoFavoritesMessage = QStringLiteral("お気に入りフォルダを設定して下さい");

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override { MessageService::setInstance(&messages); }
    void TearDown() override { MessageService::setInstance(nullptr); }

    QString iniPath() const { return fav.scratch() + QStringLiteral("/Lintora.ini"); }
    // The search looks in the temporary directory, which holds "Favorites".
    SettingsFile settingsFile() const
    {
        return SettingsFile(iniPath(), {fav.scratch(), QStringLiteral("taro")});
    }
    void writeIni(const QByteArray& bytes) const
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TempFavorites fav;
    RecordingMessageService messages;
};

TEST_F(SettingsFileTest, ReadsEachKeyByItsRules)
{
    struct Case
    {
        const char* name;
        QByteArray ini;
        QString favorites; // "<found>" for the folder found by the search
        int doubleClick;
        bool useProxy;
        QString host;
        int port;
    };
    const QString found = QStringLiteral("<found>");
    const Case cases[] = {
        {"no keys: defaults and the search", "", found, 1, false, "", 0},
        {"plain values",
         "[PARM]\r\nFAVORITES=/srv/"
         "fav\r\nDCACTION=2\r\n[PROXY]\r\nUSE=1\r\nHOST=proxy.local\r\nPORT=3128\r\n",
         "/srv/fav", 2, true, "proxy.local", 3128},
        {"hexadecimal port", "[PROXY]\r\nPORT=0x1F90\r\n", found, 1, false, "", 8080},
        {"capital X", "[PROXY]\r\nPORT=0X1f90\r\n", found, 1, false, "", 8080},
        {"USE of 2 is true", "[PROXY]\r\nUSE=2\r\n", found, 1, true, "", 0},
        {"a word keeps the defaults", "[PARM]\r\nDCACTION=often\r\n[PROXY]\r\nUSE=yes\r\nPORT=eighty\r\n",
         found, 1, false, "", 0},
        {"DCACTION of 0 stays 0", "[PARM]\r\nDCACTION=0\r\n", found, 0, false, "", 0},
        {"an empty FAVORITES searches", "[PARM]\r\nFAVORITES=\r\n", found, 1, false, "", 0},
        {"names match in any letter case", "[parm]\r\nfavorites=/srv/x\r\n[Proxy]\r\nHost=h\r\n", "/srv/x", 1,
         false, "h", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.ini);
        const AppSettings s = settingsFile().readSettings();
        EXPECT_EQ(s.FavoritesFolder, c.favorites == found ? fav.root() : c.favorites);
        EXPECT_EQ(s.DoubleClickAction, c.doubleClick);
        EXPECT_EQ(s.UseProxy, c.useProxy);
        EXPECT_EQ(s.ProxyHost, c.host);
        EXPECT_EQ(s.ProxyPort, c.port);
    }
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(SettingsFileTest, LayoutKeysDefaultToTheCurrentValues)
{
    writeIni("[POS]\r\nWIDTH=0x320\r\nTOP=-40\r\nCOL3=wide\r\nCOL7=200\r\n");
    WindowLayout current;
    current.height = 500;
    const WindowLayout l = settingsFile().readLayout(current);
    EXPECT_EQ(l.width, 800);
    EXPECT_EQ(l.height, 500);
    EXPECT_EQ(l.top, -40);
    EXPECT_EQ(l.left, 191);
    EXPECT_EQ(l.treeWidth, 150);
    EXPECT_EQ(l.columnWidths, (std::array<int, 7>{91, 90, 90, 50, 50, 90, 200}));
}

TEST_F(SettingsFileTest, AFreshFileHasTheSectionsAndKeysInTheirOrder)
{
    AppSettings s;
    s.FavoritesFolder = QStringLiteral("/home/taro/お気に入り");
    s.DoubleClickAction = 2;
    s.UseProxy = true;
    s.ProxyHost = QStringLiteral("proxy.local");
    s.ProxyPort = 8080;
    WindowLayout l;
    l.left = -1200;
    settingsFile().write(s, l);
    EXPECT_EQ(
        TempFavorites::readBytes(iniPath()),
        QByteArray("[PARM]\r\nFAVORITES=/home/taro/\x82\xa8\x8b\x43\x82\xc9\x93\xfc\x82\xe8\r\nDCACTION=2\r\n"
                   "[PROXY]\r\nUSE=1\r\nHOST=proxy.local\r\nPORT=8080\r\n"
                   "[POS]\r\nWIDTH=600\r\nHEIGHT=440\r\nTOP=133\r\nLEFT=-1200\r\nTWIDTH=150\r\n"
                   "COL1=91\r\nCOL2=90\r\nCOL3=90\r\nCOL4=50\r\nCOL5=50\r\nCOL6=90\r\nCOL7=90\r\n"));
}

TEST_F(SettingsFileTest, RewritingKeepsTheFileOrderAndNormalisesValues)
{
    writeIni("; mine\r\n[PROXY]\r\nPORT=0x1F90\r\nUSE=2\r\n[PARM]\r\nDCACTION=0\r\nOTHER=kept\r\n");
    const AppSettings s = settingsFile().readSettings();
    settingsFile().write(s, WindowLayout{});
    EXPECT_EQ(
        TempFavorites::readBytes(iniPath()),
        "; "
        "mine\r\n[PROXY]\r\nPORT=8080\r\nUSE=1\r\nHOST=\r\n[PARM]\r\nDCACTION=0\r\nOTHER=kept\r\nFAVORITES=" +
            fav.root().toUtf8() +
            "\r\n[POS]\r\nWIDTH=600\r\nHEIGHT=440\r\nTOP=133\r\nLEFT=191\r\nTWIDTH=150\r\n"
            "COL1=91\r\nCOL2=90\r\nCOL3=90\r\nCOL4=50\r\nCOL5=50\r\nCOL6=90\r\nCOL7=90\r\n");
}

TEST_F(SettingsFileTest, ARefusedWriteStopsAtTheFirstKey)
{
    const QByteArray before = "[PARM]\r\nFAVORITES=/old\r\n";
    writeIni(before);
    TempFavorites::makeReadOnly(iniPath());
    AppSettings s;
    s.FavoritesFolder = QStringLiteral("/new");
    try {
        settingsFile().write(s, WindowLayout{});
        FAIL() << "the write went through";
    } catch (const WriteError& e) {
        EXPECT_EQ(e.message(), iniPath() + QStringLiteral(" に書き込めません"));
    }
    EXPECT_EQ(TempFavorites::readBytes(iniPath()), before);
}

TEST_F(SettingsFileTest, TheSearchTriesHomeThenTheWinePrefixThenGivesUp)
{
    QTemporaryDir home;
    const QString wine = home.path() + QStringLiteral("/.wine/drive_c/users/taro/Favorites");
    const FavoritesSearchPlaces places{home.path(), QStringLiteral("taro")};

    EXPECT_EQ(searchFavoritesFolder(places), home.path());
    EXPECT_EQ(messages.texts(), QStringList{NoFavoritesMessage});
    EXPECT_EQ(messages.entries.first().kind, RecordingMessageService::Kind::Inform);

    messages.entries.clear();
    QDir().mkpath(wine);
    EXPECT_EQ(searchFavoritesFolder(places), wine);
    QDir().mkpath(home.path() + QStringLiteral("/Favorites"));
    EXPECT_EQ(searchFavoritesFolder(places), home.path() + QStringLiteral("/Favorites"));
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(SettingsFileTest, AFolderNamedInTheFileIsTakenUnchecked)
{
    writeIni("[PARM]\r\nFAVORITES=/no/such/folder\r\n");
    EXPECT_EQ(settingsFile().readSettings().FavoritesFolder, QStringLiteral("/no/such/folder"));
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(SettingsFileTest, TheProgramsFileLiesBesideTheExecutable)
{
    EXPECT_EQ(SettingsFile::defaultPath(), executableFolder() + QStringLiteral("/Lintora.ini"));
}

} // namespace
