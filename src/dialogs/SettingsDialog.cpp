#include "dialogs/SettingsDialog.h"

namespace lintora {

TForm3::TForm3(QWidget* mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Lintora - 設定"));
}

TForm3::~TForm3() = default;

bool TForm3::Execute(AppSettings&, const std::function<void()>&)
{
    return exec() == QDialog::Accepted;
}

} // namespace lintora
