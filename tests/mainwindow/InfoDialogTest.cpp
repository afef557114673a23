// The information dialog: what OK writes into the shortcut file, what Cancel leaves, refused writes.

#include "mainwindow/InfoDialog.h"
#include "WindowFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using namespace lintora;
using namespace lintora::test;

namespace {

class InfoDialogTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        writeIniFavorites();
        path = fav.addFile(QStringLiteral("only.URL"), onlyShortcut);
        other = fav.addShortcut({}, QStringLiteral("other"), QStringLiteral("http://other.example/"),
                                QStringLiteral("そのまま"));
        open();
        window->FillList({path, other});
    }

    // Runs the information command with the given steps queued for the dialog once it is up;
    // returns what the dialog showed when it opened.
    std::pair<QString, QString> editWith(const std::function<void(TForm2&)>& steps)
    {
        std::pair<QString, QString> shown;
        bool ran = false;
        QTimer::singleShot(0, window.get(), [&] {
            TForm2& dialog = *window->Form2;
            EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isVisible(); }));
            shown = {dialog.Edit1->text(), dialog.Edit2->text()};
            steps(dialog);
            ran = true;
        });
        window->N7Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }));
        EXPECT_FALSE(window->Form2->isVisible());
        return shown;
    }

    const QByteArray onlyShortcut = "[InternetShortcut]\r\nURL=http://example.com/\r\n";
    QString path;
    QString other;
};

TEST_F(InfoDialogTest, TheDialogIsLaidOutAsDesigned)
{
    TForm2& d = *window->Form2;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Lintora - 情報の変更"));
    EXPECT_EQ(d.size(), QSize(337, 133));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.GroupBox2->title(), QStringLiteral("コメント"));
    EXPECT_EQ(d.GroupBox2->geometry(), QRect(8, 8, 321, 41));
    EXPECT_EQ(d.GroupBox1->title(), QStringLiteral("ＵＲＬ"));
    EXPECT_EQ(d.GroupBox1->geometry(), QRect(8, 56, 321, 41));
    EXPECT_EQ(d.Edit1->parentWidget(), d.GroupBox1);
    EXPECT_EQ(d.Edit2->parentWidget(), d.GroupBox2);
    EXPECT_EQ(d.Button1->text(), QStringLiteral("設定"));
    EXPECT_TRUE(d.Button1->isDefault());
    EXPECT_EQ(d.Button2->text(), QStringLiteral("キャンセル"));
}

TEST_F(InfoDialogTest, EveryOpeningIsCentredOverTheMainWindow)
{
    window->ListView1->selectionModel()->select(window->ListModel->index(0, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QPoint first, second;
    editWith([&](TForm2& d) {
        first = d.geometry().center();
        d.move(d.pos() + QPoint(120, 80)); // the user drags it away
        d.reject();
    });
    editWith([&](TForm2& d) {
        second = d.geometry().center();
        d.reject();
    });
    EXPECT_EQ(second, first);
    EXPECT_LE((first - window->geometry().center()).manhattanLength(), 60);
}

TEST_F(InfoDialogTest, OkWritesUrlAndCommentAndRereadsTheRow)
{
    window->ListView1->selectionModel()->select(window->ListModel->index(0, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const auto shown = editWith([](TForm2& d) { d.Button1->click(); });
    EXPECT_EQ(shown, std::make_pair(QStringLiteral("http://example.com/"), QString()));
    // Unchanged values are written all the same.
    EXPECT_EQ(TempFavorites::readBytes(path),
              onlyShortcut + "[DEFAULT]\r\nBASEURL=http://example.com/\r\n[Lintora]\r\nCOMMENT=\r\n");

    editWith([](TForm2& d) {
        d.Edit1->setText(QStringLiteral("http://new.example/"));
        d.Edit2->setText(QStringLiteral("メモ"));
        QTest::keyClick(d.Edit1, Qt::Key_Return); // Enter in an edit confirms
    });
    EXPECT_EQ(TempFavorites::readBytes(path),
              onlyShortcut +
                  "[DEFAULT]\r\nBASEURL=http://new.example/\r\n[Lintora]\r\nCOMMENT=\x83\x81\x83\x82\r\n");
    EXPECT_EQ(cell(0, ListColumn::Url), QStringLiteral("http://new.example/"));
    EXPECT_EQ(cell(0, ListColumn::Comment), QStringLiteral("メモ"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("1 / 2"));

    // An emptied URL shows the [InternetShortcut] one again.
    editWith([](TForm2& d) {
        d.Edit1->clear();
        d.Button1->click();
    });
    EXPECT_EQ(cell(0, ListColumn::Url), QStringLiteral("http://example.com/"));
}

TEST_F(InfoDialogTest, CancelEscapeAndTheCloseBoxWriteNothing)
{
    window->ListView1->selectionModel()->select(window->ListModel->index(1, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QByteArray before = TempFavorites::readBytes(other);
    const std::function<void(TForm2&)> endings[] = {
        [](TForm2& d) { d.Button2->click(); },
        [](TForm2& d) { QTest::keyClick(d.Edit2, Qt::Key_Escape); },
        [](TForm2& d) { d.close(); },
    };
    for (const auto& ending : endings) {
        const auto shown = editWith([&](TForm2& d) {
            d.Edit1->setText(QStringLiteral("http://abandoned.example/"));
            d.Edit2->setText(QStringLiteral("捨てる"));
            ending(d);
        });
        // Every opening shows the file's values, not the abandoned text.
        EXPECT_EQ(shown, std::make_pair(QStringLiteral("http://other.example/"), QStringLiteral("そのまま")));
        EXPECT_EQ(TempFavorites::readBytes(other), before);
        EXPECT_EQ(cell(1, ListColumn::Comment), QStringLiteral("そのまま"));
    }
}

TEST_F(InfoDialogTest, ARefusedWriteEndsTheCommandWithTheErrorBox)
{
    window->ListView1->selectionModel()->select(window->ListModel->index(1, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Changed on disk after the listing, then made read-only: a re-read would show "後から".
    const QByteArray onDisk = "[InternetShortcut]\r\nURL=http://other.example/"
                              "\r\n[Lintora]\r\nCOMMENT=\x8c\xe3\x82\xa9\x82\xe7\r\n";
    fav.addFile(QStringLiteral("other.URL"), onDisk);
    TempFavorites::makeReadOnly(other);

    editWith([](TForm2& d) {
        d.Edit1->setText(QStringLiteral("http://refused.example/"));
        d.Button1->click();
    });
    ASSERT_EQ(messages.entries.size(), 1);
    EXPECT_EQ(messages.entries.first().kind, RecordingMessageService::Kind::Error);
    EXPECT_EQ(messages.entries.first().text, other + QStringLiteral(" に書き込めません."));
    EXPECT_EQ(TempFavorites::readBytes(other), onDisk);
    EXPECT_EQ(cell(1, ListColumn::Comment), QStringLiteral("そのまま")); // the row was not re-read
}

TEST_F(InfoDialogTest, ABookmarkGoneFromDiskWritesNothing)
{
    window->ListView1->selectionModel()->select(window->ListModel->index(0, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QFile::remove(path);
    const auto shown = editWith([](TForm2& d) {
        d.Edit2->setText(QStringLiteral("x"));
        d.Button1->click();
    });
    EXPECT_EQ(shown, std::make_pair(QString(), QString()));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(window->ListModel->row(0), (BookmarkRow{QString(), QString(), QString(),
                                                      QStringLiteral("未調査"), QString(), QString(), path}));
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(InfoDialogTest, NothingSelectedNothingHappens)
{
    bool shown = false;
    QTimer::singleShot(0, window.get(), [&] {
        shown = window->Form2->isVisible();
        window->Form2->reject();
    });
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    QTest::qWait(0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown);
}

} // namespace
