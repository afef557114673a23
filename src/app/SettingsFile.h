#pragma once

#include "app/Settings.h"

#include <QString>

namespace lintora {

// Where the favorites search looks: the stand-ins for the Windows directory and the logon name.
struct FavoritesSearchPlaces
{
    QString home;  // the user's home directory
    QString logon; // the user's logon name
};

// The home directory and logon name of the user running the program (password database).
FavoritesSearchPlaces userSearchPlaces();

// Looks for the favorites folder: <home>/Favorites, then the Wine prefix's
// <home>/.wine/drive_c/users/<logon>/Favorites. When neither is a directory, says
// "お気に入りフォルダを設定して下さい" and falls back to the home directory itself.
QString searchFavoritesFolder(const FavoritesSearchPlaces& places);

// The settings file Lintora.ini: [PARM] and [PROXY] are read when the main window is made, [POS]
// when it is first shown, and all seventeen keys are written when it goes.
class SettingsFile
{
public:
    explicit SettingsFile(QString path, FavoritesSearchPlaces places = userSearchPlaces());

    // Lintora.ini in the folder of the running executable.
    static QString defaultPath();

    const QString& path() const { return m_path; }

    // FAVORITES (searching when it is missing or empty), DCACTION, USE, HOST, PORT, in this order.
    AppSettings readSettings() const;

    // WIDTH, HEIGHT, TOP, LEFT, TWIDTH, COL1..COL7, each defaulting to the value in current.
    WindowLayout readLayout(const WindowLayout& current) const;

    // Writes FAVORITES, USE, HOST, PORT, DCACTION, then the layout keys, each straight to the file.
    // A write the file system refuses throws WriteError and the keys after it are not written.
    void write(const AppSettings& settings, const WindowLayout& layout) const;

private:
    QString m_path;
    FavoritesSearchPlaces m_places;
};

} // namespace lintora
