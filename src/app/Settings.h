#pragma once

#include <QString>
#include <array>

namespace lintora {

// The settings members of the main window, kept in Lintora.ini ([PARM] and [PROXY]).
struct AppSettings
{
    QString FavoritesFolder;
    int DoubleClickAction = 1; // 1: a double-click opens the information dialog; else the browser
    bool UseProxy = false;
    QString ProxyHost;
    int ProxyPort = 0;
};

// The main window's layout, kept in Lintora.ini ([POS]); the defaults are the designed layout.
struct WindowLayout
{
    int width = 600;
    int height = 440;
    int top = 133;
    int left = 191;
    int treeWidth = 150;
    std::array<int, 7> columnWidths{91, 90, 90, 50, 50, 90, 90};
};

} // namespace lintora
