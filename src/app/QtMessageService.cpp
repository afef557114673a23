#include "app/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace lintora {

namespace {

QWidget* ownerWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QStringLiteral("LintoraDesk"), text, buttons, ownerWindow());
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtMessageService::inform(const QString& text)
{
    showBox(QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

MessageService::Answer QtMessageService::ask(const QString& text)
{
    const auto button = showBox(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    // Any answer but No goes ahead (closing the box with Esc counts as No here, as the user meant).
    return button == QMessageBox::No ? Answer::No : Answer::Yes;
}

void QtMessageService::showError(const QString& text)
{
    showBox(QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace lintora
