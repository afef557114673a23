#include "dialogs/FixedDialog.h"

namespace lintora {

QFont dialogFont()
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    return font;
}

FixedDialog::FixedDialog(QWidget* mainWindow, const QString& caption, QSize clientSize)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(caption);
    setFont(dialogFont());
    setFixedSize(clientSize);
    if (mainWindow)
        setWindowIcon(mainWindow->windowIcon());
}

void FixedDialog::setVisible(bool visible)
{
    // QDialog centres itself over its parent only while it has never been moved; forget earlier
    // moves so that every showing opens over the main window.
    if (visible && !isVisible())
        setAttribute(Qt::WA_Moved, false);
    QDialog::setVisible(visible);
}

} // namespace lintora
