#include "mainwindow/FindDialog.h"

namespace lintora {

TForm6::TForm6(QWidget* mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Lintora - 検索"));
}

TForm6::~TForm6() = default;

QString TForm6::searchText() const
{
    return QString();
}

void TForm6::setSearchText(const QString&) {}

} // namespace lintora
