#include "app/FixedDialog.h"

#include <QGroupBox>

namespace lintora {

QFont dialogFont()
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    return font;
}

void useCaptionOnFrameLine(QGroupBox* group)
{
    group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                        " margin-top: 6px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: 7px;"
                                        " padding: 0px 2px; }"));
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
