#include "check/CheckProgressDialog.h"

namespace lintora {

TForm5::TForm5(QWidget* mainWindow, const AppSettings&) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Lintora - 接続確認中..."));
}

TForm5::~TForm5() = default;

void TForm5::Run(const QStringList&) {}

} // namespace lintora
