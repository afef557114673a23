#include "ModalSteps.h"

#include "mainwindow/FindDialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace lintora::test {
namespace {

TEST(FindDialog, TextStartsEmptyAndStaysAsTypedFromOneUseToTheNext)
{
    QWidget mainWindow;
    TForm6 dialog(&mainWindow);
    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.Edit1->text(), QString());
        QTest::keyClicks(dialog.Edit1, QStringLiteral(" Lintora "));
        dialog.Button1->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.searchText(), QStringLiteral(" Lintora ")); // not trimmed

    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral(" Lintora "));
        QTest::keyClicks(dialog.Edit1, QStringLiteral("x"));
        dialog.Button2->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.searchText(), QStringLiteral(" Lintora x")); // kept even after Cancel
}

TEST(FindDialog, RunAndEnterAcceptCancelEscAndCloseBoxReject)
{
    QWidget mainWindow;
    TForm6 dialog(&mainWindow);
    const struct
    {
        const char* name;
        std::function<void(TForm6&)> close;
        int result;
    } ways[] = {
        {"実行", [](TForm6& d) { QTest::mouseClick(d.Button1, Qt::LeftButton); }, QDialog::Accepted},
        {"Enter", [](TForm6& d) { QTest::keyClick(d.Edit1, Qt::Key_Return); }, QDialog::Accepted},
        {"キャンセル", [](TForm6& d) { QTest::mouseClick(d.Button2, Qt::LeftButton); }, QDialog::Rejected},
        {"Esc", [](TForm6& d) { QTest::keyClick(d.Edit1, Qt::Key_Escape); }, QDialog::Rejected},
        {"close box", [](TForm6& d) { d.close(); }, QDialog::Rejected},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        whileShown(dialog, [&] { way.close(dialog); });
        EXPECT_EQ(dialog.exec(), way.result);
    }
}

} // namespace
} // namespace lintora::test
