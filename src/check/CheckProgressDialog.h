#pragma once

#include "app/Settings.h"

#include "app/FixedDialog.h"
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QProgressBar;
class QPushButton;
class QTimer;

namespace lintora {

class TCheckURL;

// The link-check progress dialog "Lintora - 接続確認中...": runs the checks of the given shortcut
// files, at most five at a time, and closes itself when all are done or aborted.
class TForm5 : public FixedDialog
{
    Q_OBJECT
public:
    // settings are the main window's members; each worker reads the proxy values when it is created.
    TForm5(QWidget* mainWindow, const AppSettings& settings);
    ~TForm5() override;

    // Shows the dialog modally for a run over paths and returns when the run is over. Files that
    // refused their result are named afterwards in one message box.
    void Run(const QStringList& paths);

    QProgressBar* ProgressBar1;
    QPushButton* Button1; // "中止", the cancel button: Esc presses it
    QTimer* Timer1;

    // The state of a run.
    bool CloseAllowed = true;           // the dialog refuses to close while false
    QStringList PendingFiles;           // paths still waiting for their check, front first
    static constexpr int SlotCount = 5; // checks at the same time
    std::array<std::unique_ptr<TCheckURL>, SlotCount> Workers;

    // How a worker is made for a path; tests replace it (a short time-out, a worker that cannot be
    // made). A worker that cannot be made counts as done, with nothing written.
    std::function<std::unique_ptr<TCheckURL>(const QString& path)> CreateWorker;

signals:
    // A tick has done its work (the dialog may have closed).
    void ticked();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormShow();
    void Timer1Timer();
    void Button1Click();
    void FormCloseQuery(bool& CanClose);

    const AppSettings& m_settings;
    QStringList m_writeFailures; // messages of the files that refused their results in this run
};

} // namespace lintora
