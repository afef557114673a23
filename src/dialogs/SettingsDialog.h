#pragma once

#include "app/Settings.h"

#include <QDialog>
#include <functional>

namespace lintora {

// The settings dialog "Lintora - 設定": favorites folder, proxy, double-click action.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget* mainWindow);
    ~TForm3() override;

    // The whole of the main window's "設定(&S)" command: loads the controls from settings, shows the
    // dialog modally and, on OK, stores the values back in order. A changed favorites folder is stored
    // and then buildFolderTree is called. A port that is not an integer throws (after the proxy use
    // and host are stored) with the message "'<text>' は整数ではありません". A favorites folder that
    // does not exist shows the error and no dialog. Returns true when the dialog ended with OK.
    bool Execute(AppSettings& settings, const std::function<void()>& buildFolderTree);
};

} // namespace lintora
