#include "app/SettingsFile.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "store/FolderScan.h"
#include "store/IniFile.h"

namespace lintora {

namespace {

const QString Parm = QStringLiteral("PARM");
const QString Proxy = QStringLiteral("PROXY");
const QString Pos = QStringLiteral("POS");

QString columnKey(int index)
{
    return QStringLiteral("COL%1").arg(index + 1);
}

// Booleans are stored as integers: any number but 0 is true, and a word keeps the default.
bool readFlag(const IniFile& ini, const QString& section, const QString& key, bool defaultValue)
{
    return ini.readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

} // namespace

FavoritesSearchPlaces userSearchPlaces()
{
    return {homeDirectory(), logonName()};
}

QString searchFavoritesFolder(const FavoritesSearchPlaces& places)
{
    const QString own = joinPath(places.home, QStringLiteral("Favorites"));
    if (directoryExists(own))
        return own;
    const QString wine =
        places.home + QStringLiteral("/.wine/drive_c/users/") + places.logon + QStringLiteral("/Favorites");
    if (!places.logon.isEmpty() && directoryExists(wine))
        return wine;
    messages().inform(QStringLiteral("お気に入りフォルダを設定して下さい"));
    return places.home;
}

SettingsFile::SettingsFile(QString path, FavoritesSearchPlaces places)
    : m_path(std::move(path)), m_places(std::move(places))
{
}

QString SettingsFile::defaultPath()
{
    return joinPath(executableFolder(), QStringLiteral("Lintora.ini"));
}

AppSettings SettingsFile::readSettings() const
{
    const IniFile ini(m_path);
    AppSettings s;
    s.FavoritesFolder = ini.readString(Parm, QStringLiteral("FAVORITES"), QString());
    if (s.FavoritesFolder.isEmpty())
        s.FavoritesFolder = searchFavoritesFolder(m_places);
    s.DoubleClickAction = ini.readInteger(Parm, QStringLiteral("DCACTION"), 1);
    s.UseProxy = readFlag(ini, Proxy, QStringLiteral("USE"), false);
    s.ProxyHost = ini.readString(Proxy, QStringLiteral("HOST"), QString());
    s.ProxyPort = ini.readInteger(Proxy, QStringLiteral("PORT"), 0);
    return s;
}

WindowLayout SettingsFile::readLayout(const WindowLayout& current) const
{
    const IniFile ini(m_path);
    WindowLayout l;
    l.width = ini.readInteger(Pos, QStringLiteral("WIDTH"), current.width);
    l.height = ini.readInteger(Pos, QStringLiteral("HEIGHT"), current.height);
    l.top = ini.readInteger(Pos, QStringLiteral("TOP"), current.top);
    l.left = ini.readInteger(Pos, QStringLiteral("LEFT"), current.left);
    l.treeWidth = ini.readInteger(Pos, QStringLiteral("TWIDTH"), current.treeWidth);
    for (int i = 0; i < 7; ++i)
        l.columnWidths[i] = ini.readInteger(Pos, columnKey(i), current.columnWidths[i]);
    return l;
}

void SettingsFile::write(const AppSettings& s, const WindowLayout& l) const
{
    IniFile ini(m_path, WriteMode::CreateOrReplace);
    ini.writeString(Parm, QStringLiteral("FAVORITES"), s.FavoritesFolder);
    ini.writeInteger(Proxy, QStringLiteral("USE"), s.UseProxy ? 1 : 0);
    ini.writeString(Proxy, QStringLiteral("HOST"), s.ProxyHost);
    ini.writeInteger(Proxy, QStringLiteral("PORT"), s.ProxyPort);
    ini.writeInteger(Parm, QStringLiteral("DCACTION"), s.DoubleClickAction);
    ini.writeInteger(Pos, QStringLiteral("WIDTH"), l.width);
    ini.writeInteger(Pos, QStringLiteral("HEIGHT"), l.height);
    ini.writeInteger(Pos, QStringLiteral("TOP"), l.top);
    ini.writeInteger(Pos, QStringLiteral("LEFT"), l.left);
    ini.writeInteger(Pos, QStringLiteral("TWIDTH"), l.treeWidth);
    for (int i = 0; i < 7; ++i)
        ini.writeInteger(Pos, columnKey(i), l.columnWidths[i]);
}

} // namespace lintora
