#include "mainwindow/MainWindow.h"

#include "app/ErrorHandler.h"
#include "check/CheckProgressDialog.h"
#include "dialogs/AboutBox.h"
#include "dialogs/SettingsDialog.h"
#include "mainwindow/BookmarkListModel.h"
#include "mainwindow/BookmarkListView.h"
#include "mainwindow/FindDialog.h"
#include "mainwindow/FolderTreeWidget.h"
#include "mainwindow/InfoDialog.h"
#include "mainwindow/ListSort.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStyle>
#include <QStyleFactory>
#include <QStatusBar>
#include <QTreeView>
#include <QTreeWidget>
#include <vector>

// The icons live in the application library's resources; a static library needs them pulled in.
static void initLintoraResources()
{
    Q_INIT_RESOURCE(lintora);
}

namespace lintora {

namespace {

const char16_t* const TopNodeLabels[3] = {u"全て表示", u"検索", u"お気に入り"};

// Rows in a selection delta. Every range of the list's selection spans whole rows; a range split
// by columns is counted once, by its part that holds the first column.
int rowsIn(const QItemSelection& selection)
{
    int rows = 0;
    for (const QItemSelectionRange& range : selection) {
        if (range.left() == 0)
            rows += range.height();
    }
    return rows;
}

// Suspends a control's redrawing for one piece of work, whatever way the work ends.
class RedrawSuspended
{
public:
    explicit RedrawSuspended(QWidget* widget) : m_widget(widget) { m_widget->setUpdatesEnabled(false); }
    ~RedrawSuspended() { m_widget->setUpdatesEnabled(true); }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    QWidget* m_widget;
};

QIcon programIcon()
{
    initLintoraResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/lintora-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/lintora-16.png"), QSize(16, 16));
    return icon;
}

} // namespace

TForm1::TForm1() : TForm1(SettingsFile(SettingsFile::defaultPath())) {}

TForm1::TForm1(const SettingsFile& settingsFile) : m_settingsFile(settingsFile)
{
    setObjectName(QStringLiteral("Form1"));
    // Construction: the settings file's [PARM] and [PROXY], the favorites folder, empty lists.
    IniFileName = m_settingsFile.path();
    Settings = m_settingsFile.readSettings();
    FoundFiles.clear();
    FolderPaths.clear();
    SortOrder = 1;

    setWindowTitle(QStringLiteral("Lintora"));
    setWindowIcon(programIcon());
    CreateControls();
    CreateMenu();
    ApplyLayout(WindowLayout{});
}

TForm1::~TForm1()
{
    runCommand([this] { SaveSettings(); });
    // The controls outlive this class's part of the window (QWidget deletes them later): they must
    // not call back into it while they go, and the dialogs must not outlive the settings they use.
    ListView1->selectionModel()->disconnect(this);
    ListView1->header()->disconnect(this);
    ListView1->disconnect(this);
    TreeView1->disconnect(this);
    delete Form6;
    delete Form5;
    delete Form4;
    delete Form3;
    delete Form2;
}

void TForm1::CreateDialogs()
{
    Form2 = new TForm2(this);
    Form3 = new TForm3(this);
    Form4 = new TForm4(this);
    Form5 = new TForm5(this, Settings);
    Form6 = new TForm6(this);
    for (QWidget* dialog : std::initializer_list<QWidget*>{Form3, Form4, Form5, Form6})
        dialog->setWindowIcon(windowIcon());
}

void TForm1::CreateControls()
{
    TreeView1 = new FolderTreeWidget;
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setIndentation(19);
    // Lines and expand buttons join the folders, as users of the folder tree know it; the program's
    // own style draws arrows only.
    if (QStyle* lined = QStyleFactory::create(QStringLiteral("Windows"))) {
        lined->setParent(TreeView1);
        TreeView1->setStyle(lined);
    }
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, &TForm1::TreeView1SelectionChanged);

    ListModel = new BookmarkListModel(this);
    ListView1 = new BookmarkListView;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(ListModel);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSortingEnabled(false);
    QHeaderView* header = ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    connect(header, &QHeaderView::sectionClicked, this, &TForm1::ListView1ColumnClick);
    connect(ListView1, &QTreeView::doubleClicked, this, [this](const QModelIndex&) { ListView1DblClick(); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TForm1::ListView1SelectItem);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(TreeView1);
    Splitter1->addWidget(ListView1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    setCentralWidget(Splitter1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(22);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setFixedWidth(100);
    StatusPanel1->setAlignment(Qt::AlignCenter);
    StatusPanel2 = new QLabel(StatusBar1);
    StatusPanel2->setFixedWidth(50);
    for (QLabel* panel : {StatusPanel1, StatusPanel2})
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2);
    setStatusBar(StatusBar1);

    // Titles and folder labels are edited in place (F2, or a click on the selected label).
    SetupRenaming();

    CreateDragAndDrop();

    // The list comes first in the tab order and has the focus at start.
    setTabOrder(ListView1, TreeView1);
    ListView1->setFocus(Qt::OtherFocusReason);
}

void TForm1::CreateMenu()
{
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                                const QKeySequence& keys, void (TForm1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty())
            action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    S1 = addItem(file, "S1", QStringLiteral("設定(&S)"), {}, &TForm1::S1Click);
    file->addSeparator();
    Close1 = addItem(file, "Close1", QStringLiteral("閉じる(&C)"), {}, &TForm1::Close1Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集/操作(&E)"));
    N7 = addItem(edit, "N7", QStringLiteral("情報の編集(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E),
                 &TForm1::N7Click);
    N9 = addItem(edit, "N9", QStringLiteral("ブラウザで開く(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O),
                 &TForm1::N9Click);
    C1 = addItem(edit, "C1", QStringLiteral("接続確認(&C)"), {}, &TForm1::C1Click);
    N1 = addItem(edit, "N1", QStringLiteral("削除(&D)"), QKeySequence(Qt::Key_Delete), &TForm1::N1Click);
    Find1 = addItem(edit, "Find1", QStringLiteral("検索(&F)"), QKeySequence(Qt::Key_F3), &TForm1::Find1Click);
    edit->addSeparator();
    Refresh1 = addItem(edit, "Refresh1", QStringLiteral("最新の情報に更新(&R)"), QKeySequence(Qt::Key_F5),
                       &TForm1::Refresh1Click);
    edit->addSeparator();
    N4 = addItem(edit, "N4", QStringLiteral("全て選択(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A),
                 &TForm1::N4Click);
    N5 = addItem(edit, "N5", QStringLiteral("選択の切替(&I)"), QKeySequence(Qt::CTRL | Qt::Key_T),
                 &TForm1::N5Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    Contents1 = addItem(help, "Contents1", QStringLiteral("トピックの検索(&H)"), QKeySequence(Qt::Key_F1),
                        &TForm1::Contents1Click);
    Contents1->setEnabled(false); // the program has no help
    help->addSeparator();
    About1 = addItem(help, "About1", QStringLiteral("バージョン情報(&A)"), {}, &TForm1::About1Click);
}

// ---- Start and end -------------------------------------------------------------------------------

void TForm1::setVisible(bool visible)
{
    // The first show reads the layout and builds the tree before the window reaches the screen, so
    // that the platform window is made at the saved place and size.
    if (visible && !m_shown) {
        m_shown = true;
        FormShow();
    }
    QMainWindow::setVisible(visible);
}

void TForm1::FormShow()
{
    ApplyLayout(m_settingsFile.readLayout(CurrentLayout()));
    StatusPanel1->setText(QString());
    BuildFolderTree();
}

WindowLayout TForm1::CurrentLayout() const
{
    WindowLayout layout;
    // The client area's rectangle: it reads back exactly as it was set, whatever frame the window
    // manager draws around it.
    const QRect bounds = geometry();
    layout.width = bounds.width();
    layout.height = bounds.height();
    layout.top = bounds.top();
    layout.left = bounds.left();
    layout.treeWidth = TreeView1->width();
    for (int i = 0; i < ListColumn::Count; ++i)
        layout.columnWidths[static_cast<std::size_t>(i)] = ListView1->header()->sectionSize(i);
    return layout;
}

void TForm1::ApplyLayout(const WindowLayout& layout)
{
    setGeometry(layout.left, layout.top, layout.width, layout.height);
    // Lay the window out at its new size first, so that the splitter gives the tree exactly its width
    // and the list the rest.
    if (QLayout* own = this->layout())
        own->activate();
    const int rest = std::max(1, Splitter1->width() - Splitter1->handleWidth() - layout.treeWidth);
    Splitter1->setSizes({layout.treeWidth, rest});
    TreeView1->resize(layout.treeWidth, TreeView1->height());
    for (int i = 0; i < ListColumn::Count; ++i)
        ListView1->header()->resizeSection(i, layout.columnWidths[static_cast<std::size_t>(i)]);
}

void TForm1::SaveSettings()
{
    m_settingsFile.write(Settings, CurrentLayout());
}

void TForm1::Close1Click()
{
    close();
}

// ---- The folder tree ------------------------------------------------------------------------------

QTreeWidgetItem* TForm1::TopNode(int index) const
{
    return TreeView1->topLevelItem(index);
}

void TForm1::BuildFolderTree()
{
    const QScopedValueRollback<bool> building(m_buildingTree, true);
    // The list's redrawing resumes after the tree's is restored (reverse order of destruction).
    const RedrawSuspended treeSuspended(TreeView1);
    const RedrawSuspended listSuspended(ListView1);

    ClearList();
    TreeView1->clear();
    QTreeWidgetItem* favorites = nullptr;
    for (const char16_t* label : TopNodeLabels) {
        favorites = new QTreeWidgetItem(TreeView1, QStringList(QString::fromUtf16(label)));
        // Every label can be edited; a top node's rename is refused when the edit ends.
        favorites->setFlags(favorites->flags() | Qt::ItemIsEditable);
    }
    AddSubfolders(Settings.FavoritesFolder, favorites);
    TreeView1->expandAll();
    TreeView1->setCurrentItem(nullptr);
}

void TForm1::AddSubfolders(const QString& path, QTreeWidgetItem* node)
{
    WalkSubfolders<QTreeWidgetItem*>(path, node,
                                     [](QTreeWidgetItem* parent, const QString& name, const QString&) {
                                         auto* node = new QTreeWidgetItem(QStringList(name));
                                         node->setFlags(node->flags() | Qt::ItemIsEditable);
                                         parent->addChild(node);
                                         return node;
                                     });
}

QString TForm1::NodePath(const QTreeWidgetItem* node) const
{
    QString tail;
    // Only folder nodes have a parent; the top nodes stand for the favorites folder itself.
    for (const QTreeWidgetItem* n = node; n && n->parent(); n = n->parent())
        tail = QLatin1Char('/') + n->text(0) + tail;
    return Settings.FavoritesFolder + tail;
}

void TForm1::CollectShortcuts(QStringList& list) const
{
    lintora::CollectShortcuts(FolderPaths, list);
}

void TForm1::CollectAllFolders(QStringList& list) const
{
    lintora::CollectAllFolders(Settings.FavoritesFolder, list);
}

void TForm1::TreeView1SelectionChanged()
{
    if (m_buildingTree)
        return;
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    if (!selected.isEmpty())
        TreeView1Change(selected.first());
}

void TForm1::TreeView1Change(QTreeWidgetItem* node)
{
    runCommand([&] {
        QStringList L;
        if (node == TopNode(0)) {
            CollectAllFolders(FolderPaths);
            CollectShortcuts(L);
            FillList(L);
        } else if (node == TopNode(1)) {
            FillList(FoundFiles);
        } else {
            FolderPaths.clear();
            FolderPaths.append(NodePath(node));
            CollectShortcuts(L);
            FillList(L);
        }
    });
}

void TForm1::Refresh1Click()
{
    runCommand([this] { BuildFolderTree(); });
}

// ---- The bookmark list ----------------------------------------------------------------------------

int TForm1::RowCount() const
{
    return ListModel->rowCount();
}

void TForm1::ClearList()
{
    ListModel->clear();
    m_selectedCount = 0;
}

void TForm1::FillList(const QStringList& list)
{
    {
        const RedrawSuspended suspended(ListView1);
        // The old rows go first, so that two full lists are never held at once.
        ClearList();
        ListModel->setRows(readBookmarkRows(list));
        m_selectedCount = 0;
    }
    SetStatusCount();
}

void TForm1::RefreshItem(const QString& path)
{
    const int n = RowCount();
    for (int r = 0; r < n; ++r) {
        if (ListModel->path(r) == path) {
            const TBMFile record(path);
            ListModel->setRowTexts(r, record.ReadRow());
            return;
        }
    }
}

QString TForm1::StatusText() const
{
    return StatusPanel1->text();
}

void TForm1::SetStatusCount()
{
    StatusPanel1->setText(QStringLiteral("%1 / %2").arg(m_selectedCount).arg(RowCount()));
}

void TForm1::ListView1SelectItem(const QItemSelection& selected, const QItemSelection& deselected)
{
    // A running count: a change costs what changed, not the length of the list.
    m_selectedCount += rowsIn(selected) - rowsIn(deselected);
    SetStatusCount();
}

namespace {

// Which rows of the list are selected, one flag per row.
std::vector<char> selectedFlags(const QItemSelectionModel* model, int rowCount)
{
    std::vector<char> flags(static_cast<std::size_t>(rowCount), 0);
    for (const QItemSelectionRange& range : model->selection()) {
        for (int r = std::max(0, range.top()); r <= range.bottom() && r < rowCount; ++r)
            flags[static_cast<std::size_t>(r)] = 1;
    }
    return flags;
}

} // namespace

int TForm1::FirstSelectedRow() const
{
    int first = -1;
    for (const QItemSelectionRange& range : ListView1->selectionModel()->selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

QStringList TForm1::SelectedPaths() const
{
    const int n = RowCount();
    const std::vector<char> flags = selectedFlags(ListView1->selectionModel(), n);
    QStringList paths;
    for (int r = 0; r < n; ++r) {
        if (flags[static_cast<std::size_t>(r)])
            paths.append(ListModel->path(r));
    }
    return paths;
}

// ---- Sorting and selection ------------------------------------------------------------------------

int TForm1::CompareItems(int row1, int row2, int column) const
{
    if (column < 0 || column >= ListColumn::Count)
        return 0;
    return compareCells(ListModel->cell(row1, column), ListModel->cell(row2, column), column) * SortOrder;
}

void TForm1::ListView1ColumnClick(int column)
{
    runCommand([&] {
        ListModel->reorder(sortedRowOrder(*ListModel, column, SortOrder));
        SortOrder = -SortOrder;
    });
}

void TForm1::N4Click()
{
    runCommand([this] {
        const int n = RowCount();
        if (n == 0)
            return;
        // One range for the whole list, so that the selection model has nothing to split.
        ListView1->selectionModel()->select(
            QItemSelection(ListModel->index(0, 0), ListModel->index(n - 1, ListColumn::Count - 1)),
            QItemSelectionModel::ClearAndSelect);
    });
}

void TForm1::N5Click()
{
    runCommand([this] {
        const int n = RowCount();
        if (n == 0)
            return;
        const std::vector<char> flags = selectedFlags(ListView1->selectionModel(), n);
        QItemSelection inverted;
        for (int r = 0; r < n;) {
            if (flags[static_cast<std::size_t>(r)]) {
                ++r;
                continue;
            }
            int end = r;
            while (end + 1 < n && !flags[static_cast<std::size_t>(end + 1)])
                ++end;
            inverted.append(
                QItemSelectionRange(ListModel->index(r, 0), ListModel->index(end, ListColumn::Count - 1)));
            r = end + 1;
        }
        // Clearing first and then selecting the complement keeps the selection model's work in step
        // with the number of ranges; comparing old and new selections in one go would not.
        QItemSelectionModel* model = ListView1->selectionModel();
        model->clearSelection();
        if (!inverted.isEmpty())
            model->select(inverted, QItemSelectionModel::Select);
    });
}

void TForm1::ListView1DblClick()
{
    if (Settings.DoubleClickAction == 1)
        N7Click();
    else
        N9Click();
}

// ---- Information dialog and browser ---------------------------------------------------------------

void TForm1::N7Click()
{
    runCommand([this] {
        const int row = FirstSelectedRow();
        if (row < 0)
            return;
        const QString path = ListModel->path(row);
        TBMFile record(path);
        Form2->Edit1->setText(record.GetURL());
        Form2->Edit2->setText(record.GetComment());
        if (Form2->exec() != QDialog::Accepted)
            return;
        record.SetURL(Form2->Edit1->text());
        record.SetComment(Form2->Edit2->text());
        RefreshItem(path);
    });
}

void TForm1::N9Click()
{
    runCommand([this] {
        const int row = FirstSelectedRow();
        if (row < 0)
            return;
        const TBMFile record(ListModel->path(row));
        record.Open();
    });
}

// ---- Commands of the other windows ----------------------------------------------------------------

void TForm1::S1Click()
{
    runCommand([this] { Form3->Execute(Settings, [this] { BuildFolderTree(); }); });
}

void TForm1::C1Click()
{
    runCommand([this] {
        const QStringList paths = SelectedPaths();
        if (paths.isEmpty())
            return;
        Form5->Run(paths);
        QStringList L;
        CollectShortcuts(L);
        FillList(L);
    });
}

void TForm1::Contents1Click() {}

void TForm1::About1Click()
{
    runCommand([this] { Form4->exec(); });
}

} // namespace lintora
