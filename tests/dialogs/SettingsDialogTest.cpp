#include "ModalSteps.h"
#include "TempFavorites.h"

#include "app/ErrorHandler.h"
#include "dialogs/DirectoryListBox.h"
#include "dialogs/DriveComboBox.h"
#include "dialogs/SettingsDialog.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace lintora::test {
namespace {

bool operator==(const AppSettings& a, const AppSettings& b)
{
    return a.FavoritesFolder == b.FavoritesFolder && a.DoubleClickAction == b.DoubleClickAction &&
           a.UseProxy == b.UseProxy && a.ProxyHost == b.ProxyHost && a.ProxyPort == b.ProxyPort;
}

class SettingsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageService::setInstance(&messages);
        favorites.addFolder(QStringLiteral("Sub1/Deep"));
        favorites.addFolder(QStringLiteral("Sub2"));
        favorites.addFolder(QStringLiteral(".hidden"));
        settings.FavoritesFolder = favorites.root();
    }
    void TearDown() override { MessageService::setInstance(nullptr); }

    // The main window's command: the dialog run through the top-level error handler.
    bool runSettingsCommand()
    {
        bool accepted = false;
        runCommand([&] {
            accepted = dialog.Execute(settings, [&] {
                ++rebuilds;
                folderAtRebuild = settings.FavoritesFolder;
            });
        });
        return accepted;
    }

    QStringList rowTexts() const
    {
        QStringList texts;
        for (int row = 0; row < dialog.DirectoryListBox1->count(); ++row)
            texts << dialog.DirectoryListBox1->item(row)->text();
        return texts;
    }

    int rowOf(const QString& text) const { return rowTexts().indexOf(text); }

    void openRowByEnter(const QString& text)
    {
        ASSERT_GE(rowOf(text), 0) << text.toStdString();
        dialog.DirectoryListBox1->setCurrentRow(rowOf(text));
        QTest::keyClick(dialog.DirectoryListBox1, Qt::Key_Return);
    }

    // Where a row is on screen; the list lays out its rows lazily after a change.
    QPoint rowCentre(const QString& text) const
    {
        QListWidget* list = dialog.DirectoryListBox1;
        EXPECT_TRUE(list->isVisible());
        EXPECT_GE(rowOf(text), 0) << text.toStdString();
        QRect rect;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            rect = list->visualItemRect(list->item(rowOf(text)));
            return list->viewport()->rect().contains(rect) && !rect.isEmpty();
        }));
        return rect.center();
    }

    void clickRow(const QString& text)
    {
        QTest::mouseClick(dialog.DirectoryListBox1->viewport(), Qt::LeftButton, {}, rowCentre(text));
    }

    // A double-click as the window system delivers it: press and release, then the second press.
    void openRowByDoubleClick(const QString& text)
    {
        clickRow(text);
        QTest::mouseDClick(dialog.DirectoryListBox1->viewport(), Qt::LeftButton, {}, rowCentre(text));
    }

    static void clearField(QLineEdit* edit)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }

    bool proxyFieldsEnabled(bool expected) const
    {
        return dialog.Label1->isEnabled() == expected && dialog.Label2->isEnabled() == expected &&
               dialog.Edit1->isEnabled() == expected && dialog.Edit2->isEnabled() == expected;
    }

    RecordingMessageService messages;
    TempFavorites favorites;
    QWidget mainWindow;
    TForm3 dialog{&mainWindow};
    AppSettings settings;
    int rebuilds = 0;
    QString folderAtRebuild;
};

TEST_F(SettingsDialogTest, FreshSettingsOpenOnProxyPageWithFieldsDisabledAndOkChangesNothing)
{
    const AppSettings before = settings;
    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.PageControl1->tabText(dialog.PageControl1->currentIndex()),
                  QStringLiteral("ProxyServer"));
        EXPECT_FALSE(dialog.CheckBox1->isChecked());
        EXPECT_TRUE(proxyFieldsEnabled(false));
        EXPECT_EQ(dialog.Edit1->text(), QString());
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("0"));
        EXPECT_TRUE(dialog.RadioButton1->isChecked());
        EXPECT_FALSE(dialog.RadioButton2->isChecked());
        EXPECT_TRUE(dialog.Label3->text().endsWith(QStringLiteral("/Favorites")));
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_TRUE(settings == before);
    EXPECT_EQ(rebuilds, 0); // the same folder: the tree stays
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(SettingsDialogTest, CheckBoxEnablesAndDisablesBothFieldsAndLabelsTogether)
{
    whileShown(dialog, [&] {
        dialog.CheckBox1->click();
        EXPECT_TRUE(proxyFieldsEnabled(true));
        dialog.CheckBox1->click();
        EXPECT_TRUE(proxyFieldsEnabled(false));
        dialog.CheckBox1->click();
        EXPECT_TRUE(proxyFieldsEnabled(true));
        dialog.Button2->click();
    });
    EXPECT_FALSE(runSettingsCommand());
}

TEST_F(SettingsDialogTest, OkStoresProxyAndDoubleClickActionAsTyped)
{
    settings.ProxyPort = 3128;
    whileShown(dialog, [&] {
        dialog.CheckBox1->click();
        QTest::keyClicks(dialog.Edit1, QStringLiteral(" proxy.example "));
        clearField(dialog.Edit2);
        QTest::keyClicks(dialog.Edit2, QStringLiteral("8080"));
        dialog.RadioButton2->click();
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_TRUE(settings.UseProxy);
    EXPECT_EQ(settings.ProxyHost, QStringLiteral(" proxy.example ")); // not trimmed
    EXPECT_EQ(settings.ProxyPort, 8080);
    EXPECT_EQ(settings.DoubleClickAction, 2);
    EXPECT_EQ(settings.FavoritesFolder, favorites.root());
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(SettingsDialogTest, ProxyValuesAreStoredAlsoWithTheProxyOff)
{
    settings.UseProxy = true;
    settings.ProxyHost = QStringLiteral("old");
    whileShown(dialog, [&] {
        dialog.Edit1->setText(QStringLiteral("kept"));
        dialog.CheckBox1->click();
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("kept"));
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_FALSE(settings.UseProxy);
    EXPECT_EQ(settings.ProxyHost, QStringLiteral("kept"));
}

TEST_F(SettingsDialogTest, DoubleClickActionLoadsAsOneOfTwoButtonsAndStoresOneOrTwo)
{
    struct Case
    {
        int loaded;
        bool editChecked;
        int stored;
    };
    for (const Case& c : {Case{1, true, 1}, Case{2, false, 2}, Case{3, false, 2}, Case{0, false, 2}}) {
        SCOPED_TRACE(c.loaded);
        settings.DoubleClickAction = c.loaded;
        whileShown(dialog, [&] {
            EXPECT_EQ(dialog.RadioButton1->isChecked(), c.editChecked);
            EXPECT_EQ(dialog.RadioButton2->isChecked(), !c.editChecked);
            dialog.Button1->click();
        });
        EXPECT_TRUE(runSettingsCommand());
        EXPECT_EQ(settings.DoubleClickAction, c.stored);
    }
}

TEST_F(SettingsDialogTest, PortFieldTakesOnlyFiveTypedDigits)
{
    settings.UseProxy = true;
    whileShown(dialog, [&] {
        clearField(dialog.Edit2);
        QTest::keyClicks(dialog.Edit2, QStringLiteral("1a2-b 3.x"));
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("123"));
        QTest::keyClicks(dialog.Edit2, QStringLiteral("456"));
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("12345")); // the sixth digit is refused
        QTest::keyClick(dialog.Edit2, Qt::Key_Backspace);
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("1234"));
        clearField(dialog.Edit2);
        QTest::keyClicks(dialog.Edit2, QStringLiteral("999999"));
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("99999"));
        // Enter still reaches the default button through the filter.
        QTest::keyClick(dialog.Edit2, Qt::Key_Return);
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_EQ(settings.ProxyPort, 99999);
}

TEST_F(SettingsDialogTest, PortThatIsNoIntegerStoresOnlyProxyUseAndHost)
{
    struct Case
    {
        const char* name;
        std::function<void(QLineEdit*)> fill;
        QString message;
    };
    const Case cases[] = {
        {"emptied", [](QLineEdit* edit) { clearField(edit); }, QStringLiteral("'' は整数ではありません.")},
        {"pasted letters",
         [](QLineEdit* edit) {
             clearField(edit);
             QApplication::clipboard()->setText(QStringLiteral("8a"));
             QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier); // pasting is not filtered
         },
         QStringLiteral("'8a' は整数ではありません.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.entries.clear();
        settings = AppSettings{};
        settings.FavoritesFolder = favorites.root();
        settings.ProxyPort = 8080;
        whileShown(dialog, [&] {
            dialog.CheckBox1->click();
            QTest::keyClicks(dialog.Edit1, QStringLiteral("host"));
            c.fill(dialog.Edit2);
            dialog.RadioButton2->click();
            openRowByEnter(QStringLiteral("Sub2"));
            dialog.Button1->click();
        });
        EXPECT_FALSE(runSettingsCommand());
        ASSERT_EQ(messages.entries.size(), 1);
        EXPECT_EQ(messages.entries[0].kind, RecordingMessageService::Kind::Error);
        EXPECT_EQ(messages.entries[0].text, c.message);
        EXPECT_TRUE(settings.UseProxy);
        EXPECT_EQ(settings.ProxyHost, QStringLiteral("host"));
        EXPECT_EQ(settings.ProxyPort, 8080);
        EXPECT_EQ(settings.FavoritesFolder, favorites.root());
        EXPECT_EQ(settings.DoubleClickAction, 1);
        EXPECT_EQ(rebuilds, 0);
    }
}

TEST_F(SettingsDialogTest, PortLongerThanTheFieldIsShownWholeAndKept)
{
    settings.ProxyPort = 123456; // only a hand-edited settings file holds such a port
    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("123456"));
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_EQ(settings.ProxyPort, 123456);
}

TEST_F(SettingsDialogTest, CancelEscAndCloseBoxChangeNothingAndTheNextOpeningReloads)
{
    const std::pair<const char*, std::function<void(TForm3&)>> ways[] = {
        {"キャンセル", [](TForm3& d) { d.Button2->click(); }},
        {"Esc", [](TForm3& d) { QTest::keyClick(d.Edit1, Qt::Key_Escape); }},
        {"close box", [](TForm3& d) { d.close(); }},
    };
    settings.ProxyHost = QStringLiteral("proxy");
    settings.ProxyPort = 8080;
    const AppSettings before = settings;
    for (const auto& [name, cancel] : ways) {
        SCOPED_TRACE(name);
        whileShown(dialog, [&, cancel = cancel] {
            EXPECT_FALSE(dialog.CheckBox1->isChecked());
            EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("proxy"));
            EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("8080"));
            EXPECT_TRUE(dialog.RadioButton1->isChecked());
            EXPECT_EQ(dialog.chosenFolder(), favorites.root());
            dialog.CheckBox1->click();
            dialog.Edit1->setText(QStringLiteral("typed"));
            dialog.Edit2->setText(QStringLiteral("1"));
            dialog.RadioButton2->click();
            openRowByEnter(QStringLiteral("Sub1"));
            cancel(dialog);
        });
        EXPECT_FALSE(runSettingsCommand());
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(settings == before);
        EXPECT_EQ(rebuilds, 0);
    }
    EXPECT_TRUE(messages.entries.isEmpty());
}

TEST_F(SettingsDialogTest, OpensOnThePageLastShown)
{
    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.PageControl1->currentWidget(), dialog.TabSheet2);
        dialog.PageControl1->setCurrentWidget(dialog.TabSheet3);
        dialog.Button2->click();
    });
    runSettingsCommand();
    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.PageControl1->tabText(dialog.PageControl1->currentIndex()),
                  QStringLiteral("動作環境"));
        dialog.PageControl1->setCurrentWidget(dialog.TabSheet1);
        dialog.Button1->click();
    });
    runSettingsCommand();
    whileShown(dialog, [&] {
        EXPECT_EQ(dialog.PageControl1->currentWidget(), dialog.TabSheet1);
        dialog.Button1->click();
    });
    runSettingsCommand();
}

TEST_F(SettingsDialogTest, FolderListShowsAncestorsThenVisibleSubfoldersAndOpensRows)
{
    whileShown(dialog, [&] {
        dialog.PageControl1->setCurrentWidget(dialog.TabSheet1);
        QStringList rows = rowTexts();
        // The ancestors run from the mount root down to the chosen folder; then its subfolders.
        EXPECT_EQ(rows.first(), dialog.DriveComboBox1->currentText());
        EXPECT_TRUE(favorites.root().startsWith(dialog.DriveComboBox1->currentText()));
        ASSERT_GE(rows.size(), 3);
        EXPECT_EQ(rows.mid(rows.size() - 3),
                  (QStringList{QStringLiteral("Favorites"), QStringLiteral("Sub1"), QStringLiteral("Sub2")}));
        EXPECT_EQ(dialog.DirectoryListBox1->currentRow(), rows.size() - 3); // the chosen folder

        // Enter opens the row and does not press "設定".
        openRowByEnter(QStringLiteral("Sub1"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.chosenFolder(), favorites.root() + QStringLiteral("/Sub1"));
        EXPECT_TRUE(dialog.Label3->text().endsWith(QStringLiteral("/Favorites/Sub1")));
        rows = rowTexts();
        EXPECT_EQ(rows.mid(rows.size() - 3),
                  (QStringList{QStringLiteral("Favorites"), QStringLiteral("Sub1"), QStringLiteral("Deep")}));

        // A single click only selects; a double-click opens, up to an ancestor and down again.
        clickRow(QStringLiteral("Favorites"));
        EXPECT_EQ(dialog.chosenFolder(), favorites.root() + QStringLiteral("/Sub1"));
        openRowByDoubleClick(QStringLiteral("Favorites"));
        EXPECT_EQ(dialog.chosenFolder(), favorites.root());
        openRowByDoubleClick(QStringLiteral("Sub2"));
        EXPECT_EQ(dialog.chosenFolder(), favorites.root() + QStringLiteral("/Sub2"));
        EXPECT_EQ(rowTexts().last(), QStringLiteral("Sub2")); // no subfolders
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_EQ(settings.FavoritesFolder, favorites.root() + QStringLiteral("/Sub2"));
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(folderAtRebuild, favorites.root() + QStringLiteral("/Sub2")); // stored before the rebuild
}

TEST_F(SettingsDialogTest, FolderDifferingOnlyInLetterCaseRebuildsTheTree)
{
    favorites.addFolder(QStringLiteral("sub2"));
    settings.FavoritesFolder = favorites.root() + QStringLiteral("/Sub2");
    whileShown(dialog, [&] {
        openRowByEnter(QStringLiteral("Favorites"));
        openRowByEnter(QStringLiteral("sub2"));
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_EQ(settings.FavoritesFolder, favorites.root() + QStringLiteral("/sub2"));
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(SettingsDialogTest, ChoosingADriveShowsItsRoot)
{
    whileShown(dialog, [&] {
        const int rootIndex = dialog.DriveComboBox1->findText(QStringLiteral("/"));
        ASSERT_GE(rootIndex, 0);
        dialog.DriveComboBox1->setCurrentIndex(rootIndex);
        emit dialog.DriveComboBox1->activated(rootIndex);
        EXPECT_EQ(dialog.chosenFolder(), QStringLiteral("/"));
        EXPECT_EQ(dialog.Label3->text(), QStringLiteral("/"));
        const QStringList rows = rowTexts();
        EXPECT_EQ(rows.first(), QStringLiteral("/"));
        EXPECT_TRUE(rows.contains(QStringLiteral("tmp")));
        for (const QString& row : rows.mid(1))
            EXPECT_FALSE(row.startsWith(QLatin1Char('.'))) << row.toStdString();
        dialog.Button2->click();
    });
    EXPECT_FALSE(runSettingsCommand());
}

TEST_F(SettingsDialogTest, LongFolderPathIsShortenedToTheLabel)
{
    const QString deep = favorites.addFolder(QStringLiteral(
        "ずっと深いところにある/フォルダの中の/さらに奥のフォルダ/お気に入りのブックマーク/最後のフォルダ"));
    settings.FavoritesFolder = deep;
    whileShown(dialog, [&] {
        const QString shown = dialog.Label3->text();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("/.../"))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("/最後のフォルダ"))) << shown.toStdString();
        EXPECT_LE(dialog.Label3->fontMetrics().horizontalAdvance(shown), 313);
        dialog.Button1->click();
    });
    EXPECT_TRUE(runSettingsCommand());
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(SettingsDialogTest, FavoritesFolderThatIsNoFolderShowsTheErrorAndNoDialog)
{
    const struct
    {
        QString folder;
        QString message;
    } cases[] = {
        {favorites.root() + QStringLiteral("/gone"), QStringLiteral("ファイルが見つかりません.")},
        {favorites.addFile(QStringLiteral("file.txt"), "x"), QStringLiteral("ディレクトリ名が無効です.")},
        {QString(), QStringLiteral("ファイルが見つかりません.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        messages.entries.clear();
        settings.FavoritesFolder = c.folder;
        const AppSettings before = settings;
        ShownGuard guard(dialog);
        EXPECT_FALSE(runSettingsCommand());
        EXPECT_FALSE(guard.shown);
        ASSERT_EQ(messages.entries.size(), 1);
        EXPECT_EQ(messages.entries[0].kind, RecordingMessageService::Kind::Error);
        EXPECT_EQ(messages.entries[0].text, c.message);
        EXPECT_TRUE(settings == before);
        EXPECT_EQ(rebuilds, 0);
    }
}

TEST(SettingsDialogPort, ConvertsLikeTheSettingsFileAndNamesTheTextWhenItCannot)
{
    EXPECT_EQ(convertToInteger(QStringLiteral("99999")), 99999);
    EXPECT_EQ(convertToInteger(QStringLiteral("0x1F90")), 8080);
    EXPECT_EQ(convertToInteger(QStringLiteral("-1")), -1);
    for (const QString& text : {QString(), QStringLiteral("0x"), QStringLiteral("8a"), QStringLiteral("１２"),
                                QStringLiteral("99999999999")}) {
        try {
            convertToInteger(text);
            ADD_FAILURE() << text.toStdString();
        } catch (const std::exception& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("'%1' は整数ではありません").arg(text));
        }
    }
}

TEST(DriveList, RootsAreAbsoluteSortedOnceEachWithTheFileSystemRoot)
{
    const QStringList roots = mountRoots();
    EXPECT_TRUE(roots.contains(QStringLiteral("/")));
    QStringList sorted = roots;
    sorted.sort();
    sorted.removeDuplicates();
    EXPECT_EQ(roots, sorted);
    for (const QString& root : roots)
        EXPECT_TRUE(root.startsWith(QLatin1Char('/'))) << root.toStdString();
}

TEST(DriveList, AFolderBelongsToTheLongestRootAboveIt)
{
    const QStringList roots{QStringLiteral("/"), QStringLiteral("/home"), QStringLiteral("/home/u/data"),
                            QStringLiteral("/mnt")};
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/home/u/data/Favorites"), QStringLiteral("/home/u/data")},
        {QStringLiteral("/home/u/database"), QStringLiteral("/home")}, // a prefix, but not a folder above
        {QStringLiteral("/mnt"), QStringLiteral("/mnt")},
        {QStringLiteral("/usr/share"), QStringLiteral("/")},
        {QStringLiteral("/"), QStringLiteral("/")},
    };
    for (const auto& [folder, root] : cases)
        EXPECT_EQ(mountRootOf(folder, roots), root) << folder.toStdString();
}

} // namespace
} // namespace lintora::test
