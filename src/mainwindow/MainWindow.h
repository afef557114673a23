#pragma once

#include "app/Settings.h"
#include "app/SettingsFile.h"

#include <QItemSelection>
#include <QMainWindow>
#include <QStringList>

class QAction;
class QLabel;
class QSplitter;
class QStatusBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace lintora {

class BookmarkListModel;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

// The main window "Lintora": the folder tree on the left, the bookmark list on the right, the menu
// bar and the status bar. It holds the settings members and the lists of folders and find results
// that every command works on.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // The program's main window, with Lintora.ini next to the executable.
    TForm1();
    // A main window on another settings file (tests use a temporary one).
    explicit TForm1(const SettingsFile& settingsFile);
    // Writes all seventeen settings keys back. A refused write is shown in the error box.
    ~TForm1() override;

    // Creates the five dialogs, in the order TForm2 .. TForm6, as children of this window.
    void CreateDialogs();

    // Settings members.
    QString IniFileName;
    AppSettings Settings; // FavoritesFolder, DoubleClickAction, UseProxy, ProxyHost, ProxyPort
    QStringList FolderPaths;
    QStringList FoundFiles;
    // The direction of the next sort, +1 ascending or -1 descending, shared by all columns.
    int SortOrder = 1;

    // Controls.
    QTreeWidget* TreeView1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTreeView* ListView1 = nullptr;
    BookmarkListModel* ListModel = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr; // the selection count
    QLabel* StatusPanel2 = nullptr; // always empty

    // Menu items.
    QAction* S1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* N7 = nullptr;
    QAction* N9 = nullptr;
    QAction* C1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Find1 = nullptr;
    QAction* Refresh1 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;

    // The dialogs, owned as children of this window.
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;

    // The folder tree.
    void BuildFolderTree();
    void AddSubfolders(const QString& path, QTreeWidgetItem* node);
    QString NodePath(const QTreeWidgetItem* node) const;
    void CollectShortcuts(QStringList& list) const;
    void CollectAllFolders(QStringList& list) const;
    // The top nodes "全て表示", "検索" and "お気に入り".
    QTreeWidgetItem* TopNode(int index) const;

    // The bookmark list.
    void FillList(const QStringList& list);
    void RefreshItem(const QString& path);
    int CompareItems(int row1, int row2, int column) const;
    int RowCount() const;
    int SelectedCount() const { return m_selectedCount; }
    // The first selected row in the list's current order, or -1.
    int FirstSelectedRow() const;
    // The shortcut paths of the selected rows, in the list's current order.
    QStringList SelectedPaths() const;
    QString StatusText() const;

    // In-place renames: called with the edited row or node and the typed text; a refused rename
    // sets S back to the label as it was.
    void ListView1Edited(int row, QString& S);
    void TreeView1Edited(QTreeWidgetItem* node, QString& S);

    // Moving by drag and drop: the tree takes drags from the list and from itself. A drop is handled
    // at point, in the coordinates of the tree's viewport; source is the control the drag came from.
    bool TreeView1DragOver(QObject* source) const;
    void TreeView1DragDrop(QObject* source, const QPoint& point);

    // The control of this window that has the keyboard focus: ListView1, TreeView1 or none.
    QWidget* ActiveControl() const;

    // The window's layout as it stands now (as written to the settings file).
    WindowLayout CurrentLayout() const;
    // Writes all seventeen keys. Throws WriteError at the first refused write.
    void SaveSettings();

public slots:
    void TreeView1Change(QTreeWidgetItem* node);
    void ListView1ColumnClick(int column);
    void ListView1DblClick();

    void S1Click();
    void Close1Click();
    void N7Click();
    void N9Click();
    void C1Click();
    void N1Click();
    void Find1Click();
    void Refresh1Click();
    void N4Click();
    void N5Click();
    void Contents1Click();
    void About1Click();

    void setVisible(bool visible) override;

protected:
    // The first show of the main window.
    void FormShow();

private slots:
    void ListView1SelectItem(const QItemSelection& selected, const QItemSelection& deselected);
    void TreeView1SelectionChanged();

private:
    void CreateControls();
    void CreateMenu();
    void CreateDragAndDrop();
    void SetupRenaming();
    void ApplyLayout(const WindowLayout& layout);
    void SetStatusCount();
    void ClearList();

    SettingsFile m_settingsFile;
    bool m_shown = false;
    bool m_buildingTree = false;
    int m_selectedCount = 0;
};

} // namespace lintora
