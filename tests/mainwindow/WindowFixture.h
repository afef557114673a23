#pragma once

// A main window on a temporary favorites folder and a temporary settings file, with the message
// boxes and the browser recorded instead of shown.

#include "TempFavorites.h"
#include "app/SettingsFile.h"
#include "mainwindow/BookmarkListModel.h"
#include "mainwindow/InfoDialog.h"
#include "mainwindow/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/UrlOpener.h"

#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace lintora::test {

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageService::setInstance(&messages);
        UrlOpener::setInstance(&opener);
    }
    void TearDown() override
    {
        window.reset();
        UrlOpener::setInstance(nullptr);
        MessageService::setInstance(nullptr);
    }

    QString iniPath() const { return fav.scratch() + QStringLiteral("/Lintora.ini"); }
    void writeIni(const QByteArray& bytes) const
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // The favorites folder names itself: it is where the search finds it.
    void writeIniFavorites(const QByteArray& extra = QByteArray()) const
    {
        writeIni("[PARM]\r\nFAVORITES=" + fav.root().toUtf8() + "\r\n" + extra);
    }

    // Makes the main window and its dialogs as the program does, and shows it.
    TForm1& open(const QString& home = QString())
    {
        window = std::make_unique<TForm1>(
            SettingsFile(iniPath(), {home.isEmpty() ? fav.scratch() : home, QStringLiteral("taro")}));
        window->CreateDialogs();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    // Ends the run: the settings file is written.
    void close() { window.reset(); }

    // The top node "お気に入り", and the full path of a file or folder below the favorites folder.
    QTreeWidgetItem* favorites() { return window->TopNode(2); }
    QString path(const QString& relative) const { return fav.root() + QLatin1Char('/') + relative; }

    // Selecting a node as the user does.
    void selectNode(QTreeWidgetItem* node) { window->TreeView1->setCurrentItem(node); }
    QTreeWidgetItem* child(QTreeWidgetItem* node, const QString& label)
    {
        for (int i = 0; i < node->childCount(); ++i) {
            if (node->child(i)->text(0) == label)
                return node->child(i);
        }
        ADD_FAILURE() << "no node " << label.toStdString();
        return nullptr;
    }

    int rows() const { return window->ListModel->rowCount(); }
    QString cell(int row, int column) const { return window->ListModel->cell(row, column); }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < rows(); ++r)
            out << cell(r, c);
        return out;
    }
    void selectRow(int row)
    {
        window->ListView1->selectionModel()->select(window->ListModel->index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QStringList selectedTitles() const
    {
        QStringList out;
        for (int r = 0; r < rows(); ++r) {
            if (window->ListView1->selectionModel()->isRowSelected(r, QModelIndex()))
                out << cell(r, ListColumn::Title);
        }
        return out;
    }
    void clickHeader(int column)
    {
        QHeaderView* header = window->ListView1->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
    }

    TempFavorites fav;
    RecordingMessageService messages;
    RecordingUrlOpener opener;
    std::unique_ptr<TForm1> window;
};

} // namespace lintora::test
