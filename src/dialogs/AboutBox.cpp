#include "dialogs/AboutBox.h"

namespace lintora {

TForm4::TForm4(QWidget* mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Lintora - バージョン情報"));
}

TForm4::~TForm4() = default;

} // namespace lintora
