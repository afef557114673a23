#include "ModalSteps.h"

#include "dialogs/AboutBox.h"
#include "dialogs/SettingsDialog.h"
#include "mainwindow/FindDialog.h"

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QTabWidget>
#include <memory>

namespace lintora::test {
namespace {

struct DialogKind
{
    const char* name;
    std::function<QDialog*(QWidget*)> create;
    QString caption;
    QSize client;
};

const DialogKind dialogKinds[] = {
    {"settings",
     [](QWidget* w) -> QDialog* { return new TForm3(w); },
     QStringLiteral("Lintora - 設定"),
     {337, 309}},
    {"about",
     [](QWidget* w) -> QDialog* { return new TForm4(w); },
     QStringLiteral("Lintora - バージョン情報"),
     {288, 132}},
    {"find",
     [](QWidget* w) -> QDialog* { return new TForm6(w); },
     QStringLiteral("Lintora - 検索"),
     {337, 102}},
};

QIcon programIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    return QIcon(pixmap);
}

TEST(DialogFrame, FixedSizeCloseBoxOnlyMainWindowIconAndDialogFont)
{
    QWidget mainWindow;
    mainWindow.setWindowIcon(programIcon());
    for (const DialogKind& kind : dialogKinds) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<QDialog> dialog(kind.create(&mainWindow));
        EXPECT_EQ(dialog->windowTitle(), kind.caption);
        EXPECT_EQ(dialog->size(), kind.client);
        EXPECT_EQ(dialog->minimumSize(), kind.client);
        EXPECT_EQ(dialog->maximumSize(), kind.client);
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
        EXPECT_EQ(dialog->windowIcon().pixmap(16).toImage(), programIcon().pixmap(16).toImage());
        const QFontInfo font(dialog->font());
        EXPECT_EQ(font.family(), QStringLiteral("IPAPGothic"));
        EXPECT_EQ(font.pixelSize(), 12);
    }
}

TEST(DialogFrame, OpensCentredOverTheMainWindowEveryTime)
{
    QWidget mainWindow;
    mainWindow.setGeometry(150, 120, 600, 440);
    mainWindow.show();
    for (const DialogKind& kind : dialogKinds) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<QDialog> dialog(kind.create(&mainWindow));
        for (int opening = 0; opening < 2; ++opening) {
            dialog->show();
            // Within a pixel: an odd difference of sizes cannot be halved exactly.
            const QPoint offset = dialog->frameGeometry().center() - mainWindow.frameGeometry().center();
            EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
            dialog->move(0, 0); // dragged away by the user
            dialog->hide();
        }
    }
}

// Every named control lies wholly inside the widget that holds it: nothing is cut off by a page or
// a group frame.
void expectControlsInside(const QWidget& dialog)
{
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !control->isVisibleTo(&dialog))
            continue;
        EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()))
            << name.toStdString() << " outside " << control->parentWidget()->objectName().toStdString();
    }
}

TEST(DialogFrame, NoControlIsCutOffByWhatHoldsIt)
{
    QWidget mainWindow;
    for (const DialogKind& kind : dialogKinds) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<QDialog> dialog(kind.create(&mainWindow));
        dialog->show();
        if (auto* pages = dialog->findChild<QTabWidget*>()) {
            for (int page = 0; page < pages->count(); ++page) {
                pages->setCurrentIndex(page);
                QApplication::processEvents();
                SCOPED_TRACE(pages->tabText(page).toStdString());
                expectControlsInside(*dialog);
            }
        } else {
            expectControlsInside(*dialog);
        }
        dialog->hide();
    }
}

} // namespace
} // namespace lintora::test
