#include "dialogs/SettingsDialog.h"

#include "app/ErrorHandler.h"
#include "dialogs/DirectoryListBox.h"
#include "dialogs/DriveComboBox.h"
#include "dialogs/PathShortening.h"
#include "platform/MessageBox.h"
#include "store/IniFile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <cerrno>
#include <sys/stat.h>

namespace lintora {

namespace {

constexpr int PortMaxLength = 5;

QString notAnIntegerMessage(const QString& text)
{
    return QStringLiteral("'%1' は整数ではありません").arg(text);
}

// Why a folder cannot be opened, in the words the file system's errors have for the user.
QString folderErrorText(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("ファイルが見つかりません");
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("ファイルが見つかりません");
        case EACCES:
        case EPERM:
            return QStringLiteral("アクセスが拒否されました");
        default:
            return QStringLiteral("I/O エラー %1").arg(errno);
        }
    }
    return QStringLiteral("ディレクトリ名が無効です");
}

QString absoluteCleanPath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

template <typename Widget> Widget* place(Widget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace

IntegerConversionError::IntegerConversionError(const QString& text)
    : std::runtime_error(notAnIntegerMessage(text).toUtf8().toStdString())
{
}

int convertToInteger(const QString& text)
{
    // The same rule as every integer of the settings file, so that what the dialog takes is what
    // the file will read back.
    const std::optional<int> value = ini::parseInteger(text.toUtf8());
    if (!value)
        throw IntegerConversionError(text);
    return *value;
}

TForm3::TForm3(QWidget* mainWindow)
    : FixedDialog(mainWindow, QStringLiteral("Lintora - 設定"), QSize(337, 309))
{
    PageControl1 = place(new QTabWidget(this), 0, 0, 337, 275);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("お気に入りフォルダ"));
    PageControl1->addTab(TabSheet2, QStringLiteral("ProxyServer"));
    PageControl1->addTab(TabSheet3, QStringLiteral("動作環境"));

    DriveComboBox1 = place(new DriveComboBox(TabSheet1), 8, 8, 193, 18);
    Label3 = place(new QLabel(TabSheet1), 8, 32, 313, 17);
    DirectoryListBox1 = place(new DirectoryListBox(TabSheet1), 8, 48, 313, 190);

    CheckBox1 = place(new QCheckBox(QStringLiteral("ProxyServerを使う"), TabSheet2), 8, 8, 121, 17);
    Label1 = new QLabel(QStringLiteral("ホスト名"), TabSheet2);
    Label1->move(8, 35);
    Edit1 = place(new QLineEdit(TabSheet2), 72, 32, 249, 20);
    Label2 = new QLabel(QStringLiteral("ポート番号"), TabSheet2);
    Label2->move(8, 59);
    Edit2 = place(new QLineEdit(TabSheet2), 72, 56, 49, 20);
    for (QLabel* label : {Label1, Label2})
        label->adjustSize();

    GroupBox1 = place(new QGroupBox(QStringLiteral("ダブルクリック時の動作"), TabSheet3), 8, 8, 313, 81);
    useCaptionOnFrameLine(GroupBox1);
    RadioButton1 = place(new QRadioButton(QStringLiteral("情報の編集"), GroupBox1), 8, 24, 113, 17);
    RadioButton2 = place(new QRadioButton(QStringLiteral("ブラウザで開く"), GroupBox1), 8, 48, 113, 17);

    Button1 = place(new QPushButton(QStringLiteral("設定"), this), 120, 280, 97, 25);
    Button2 = place(new QPushButton(QStringLiteral("キャンセル"), this), 224, 280, 97, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    // A host name is typed in Latin letters: the input method starts switched off, and the user may
    // switch it on. The port takes no input method at all.
    Edit1->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    Edit2->setAttribute(Qt::WA_InputMethodEnabled, false);
    Edit2->setInputMethodHints(Qt::ImhDigitsOnly);
    Edit2->setMaxLength(PortMaxLength);
    // Typed keys are filtered, pasted text is not: so no validator, which would refuse both.
    Edit2->installEventFilter(this);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(DirectoryListBox1, &DirectoryListBox::folderOpened, this, &TForm3::chooseFolderOrReport);
    connect(DriveComboBox1, &DriveComboBox::driveChosen, this, &TForm3::chooseFolderOrReport);

    // The designer's names, so that each control can be found by name (tests, style sheets).
    const std::pair<QWidget*, const char*> names[] = {{PageControl1, "PageControl1"},
                                                      {TabSheet1, "TabSheet1"},
                                                      {TabSheet2, "TabSheet2"},
                                                      {TabSheet3, "TabSheet3"},
                                                      {DriveComboBox1, "DriveComboBox1"},
                                                      {Label3, "Label3"},
                                                      {DirectoryListBox1, "DirectoryListBox1"},
                                                      {CheckBox1, "CheckBox1"},
                                                      {Label1, "Label1"},
                                                      {Edit1, "Edit1"},
                                                      {Label2, "Label2"},
                                                      {Edit2, "Edit2"},
                                                      {GroupBox1, "GroupBox1"},
                                                      {RadioButton1, "RadioButton1"},
                                                      {RadioButton2, "RadioButton2"},
                                                      {Button1, "Button1"},
                                                      {Button2, "Button2"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1String(name));

    PageControl1->setCurrentWidget(TabSheet2);
}

TForm3::~TForm3() = default;

bool TForm3::Execute(AppSettings& settings, const std::function<void()>& buildFolderTree)
{
    CheckBox1->setChecked(settings.UseProxy);
    setProxyFieldsEnabled(settings.UseProxy);
    Edit1->setText(settings.ProxyHost);
    // A port longer than the field's limit (only a hand-edited settings file can hold one) is shown
    // whole, so that OK does not store a cut-off number the user never typed.
    const QString port = QString::number(settings.ProxyPort);
    Edit2->setMaxLength(std::max<int>(PortMaxLength, port.size()));
    Edit2->setText(port);
    DriveComboBox1->refresh();
    QString error;
    if (!chooseFolder(settings.FavoritesFolder, error)) {
        messages().showError(errorBoxText(error));
        return false;
    }
    RadioButton1->setChecked(settings.DoubleClickAction == 1);
    RadioButton2->setChecked(settings.DoubleClickAction != 1);

    if (exec() != QDialog::Accepted)
        return false;

    settings.UseProxy = CheckBox1->isChecked();
    settings.ProxyHost = Edit1->text();
    settings.ProxyPort = convertToInteger(Edit2->text());
    if (m_chosenFolder != settings.FavoritesFolder) {
        settings.FavoritesFolder = m_chosenFolder;
        if (buildFolderTree)
            buildFolderTree();
    }
    settings.DoubleClickAction = RadioButton1->isChecked() ? 1 : 2;
    return true;
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts (Ctrl+V among them) are no typed characters.
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && !Edit2KeyPress(key->text()))
            return true;
    }
    return FixedDialog::eventFilter(watched, event);
}

void TForm3::CheckBox1Click()
{
    setProxyFieldsEnabled(CheckBox1->isChecked());
}

void TForm3::setProxyFieldsEnabled(bool enabled)
{
    Label1->setEnabled(enabled);
    Label2->setEnabled(enabled);
    Edit1->setEnabled(enabled);
    Edit2->setEnabled(enabled);
}

bool TForm3::Edit2KeyPress(const QString& typed) const
{
    for (QChar c : typed) {
        const bool digit = c >= u'0' && c <= u'9';
        // Control characters (Enter, Esc, Tab) are keys for the dialog, not text for the field.
        const bool control = c.category() == QChar::Other_Control;
        if (!digit && !control)
            return false;
    }
    return true;
}

void TForm3::DirectoryListBox1Change()
{
    Label3->setText(shortenPath(m_chosenFolder, Label3->fontMetrics(), Label3->width()));
}

bool TForm3::chooseFolder(const QString& path, QString& error)
{
    if (!QFileInfo(path).isDir()) {
        error = folderErrorText(path);
        return false;
    }
    m_chosenFolder = path;
    const QString folder = absoluteCleanPath(path);
    const QString root = DriveComboBox1->followFolder(folder);
    DirectoryListBox1->showFolder(folder, root);
    DirectoryListBox1Change();
    return true;
}

void TForm3::chooseFolderOrReport(const QString& path)
{
    QString error;
    if (!chooseFolder(path, error)) {
        DriveComboBox1->followFolder(absoluteCleanPath(m_chosenFolder));
        messages().showError(errorBoxText(error));
    }
}

} // namespace lintora
