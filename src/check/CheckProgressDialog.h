#pragma once

#include "app/Settings.h"

#include <QDialog>
#include <QStringList>

namespace lintora {

// The link-check progress dialog "Lintora - 接続確認中...": runs the checks of the given shortcut
// files, at most five at a time, and closes itself when all are done or aborted.
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    // settings are the main window's members; each worker reads the proxy values when it is created.
    TForm5(QWidget* mainWindow, const AppSettings& settings);
    ~TForm5() override;

    // Shows the dialog modally for a run over paths and returns when the run is over. Files that
    // refused their result are named afterwards in one message box.
    void Run(const QStringList& paths);
};

} // namespace lintora
