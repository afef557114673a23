#include "ModalSteps.h"

#include "dialogs/AboutBox.h"
#include "platform/UrlOpener.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace lintora::test {
namespace {

class AboutBoxTest : public ::testing::Test
{
protected:
    void SetUp() override { UrlOpener::setInstance(&opener); }
    void TearDown() override { UrlOpener::setInstance(nullptr); }

    RecordingUrlOpener opener;
    QWidget mainWindow;
    TForm4 box{&mainWindow};
};

TEST_F(AboutBoxTest, ShowsIconNameVersionCopyrightAndTheSupportAddressAsALink)
{
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Lintora - バージョン情報"));
    ASSERT_FALSE(box.Image1->pixmap().isNull());
    EXPECT_EQ(box.Image1->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(box.StaticText1->text(), QStringLiteral("LintoraDesk ブックマーク管理ツール"));
    EXPECT_EQ(box.StaticText2->text(), QStringLiteral("Version 1.0.0"));
    EXPECT_EQ(box.StaticText3->text(), QStringLiteral("(C) 2026 LintoraDesk 開発者"));
    EXPECT_EQ(box.StaticText4->text(), QStringLiteral("サポート情報"));
    EXPECT_EQ(box.StaticText5->text(), QStringLiteral("https://lintora.example.org/"));
    EXPECT_TRUE(box.StaticText5->font().underline());
    EXPECT_EQ(box.StaticText5->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(box.StaticText5->font().family(), box.font().family());
    EXPECT_EQ(box.Button1->text(), QStringLiteral("OK"));
}

TEST_F(AboutBoxTest, ClickingTheAddressOpensItEachTimeAndLeavesTheBoxOpen)
{
    whileShown(box, [&] {
        QTest::mouseClick(box.StaticText5, Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        QTest::mouseClick(box.StaticText5, Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        QTest::mouseClick(box.StaticText4, Qt::LeftButton); // the caption beside it is no link
        box.Button1->click();
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    const QUrl address(QStringLiteral("https://lintora.example.org/"));
    EXPECT_EQ(opener.opened, (QList<QUrl>{address, address}));
}

TEST_F(AboutBoxTest, OkEnterAndCloseBoxCloseTheBoxAndOpenNothing)
{
    const std::pair<const char*, std::function<void(TForm4&)>> ways[] = {
        {"OK", [](TForm4& b) { QTest::mouseClick(b.Button1, Qt::LeftButton); }},
        {"Enter", [](TForm4& b) { QTest::keyClick(&b, Qt::Key_Return); }},
        {"close box", [](TForm4& b) { b.close(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        whileShown(box, [&, close = close] { close(box); });
        box.exec();
        EXPECT_FALSE(box.isVisible());
    }
    EXPECT_TRUE(opener.opened.isEmpty());
}

} // namespace
} // namespace lintora::test
