#pragma once

#include "app/Settings.h"
#include "app/FixedDialog.h"

#include <QString>
#include <functional>
#include <stdexcept>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace lintora {

class DirectoryListBox;
class DriveComboBox;

// A text that is not an integer; what() holds the message in UTF-8.
class IntegerConversionError : public std::runtime_error
{
public:
    explicit IntegerConversionError(const QString& text);
};

// The text as an integer, read like every integer of the settings file: decimal with an optional
// sign, or hexadecimal after "0x"/"0X". Anything else throws "'<text>' は整数ではありません".
int convertToInteger(const QString& text);

// The settings dialog "Lintora - 設定": favorites folder, proxy, double-click action.
class TForm3 : public FixedDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget* mainWindow);
    ~TForm3() override;

    // The whole of the main window's "設定(&S)" command: loads the controls from settings, shows the
    // dialog modally and, on OK, stores the values back in order. A changed favorites folder is stored
    // and then buildFolderTree is called. A port that is not an integer throws (after the proxy use
    // and host are stored) with the message "'<text>' は整数ではありません". A favorites folder that
    // does not exist shows the error and no dialog. Returns true when the dialog ended with OK.
    bool Execute(AppSettings& settings, const std::function<void()>& buildFolderTree);

    // The folder chosen in the folder list, as the favorites folder would be stored.
    QString chosenFolder() const { return m_chosenFolder; }

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    DriveComboBox* DriveComboBox1;
    QLabel* Label3;
    DirectoryListBox* DirectoryListBox1;
    QCheckBox* CheckBox1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckBox1Click();
    void setProxyFieldsEnabled(bool enabled);
    bool Edit2KeyPress(const QString& typed) const;
    void DirectoryListBox1Change();

    // Makes path the chosen folder; false with the error's text when it is no folder.
    bool chooseFolder(const QString& path, QString& error);
    void chooseFolderOrReport(const QString& path);

    QString m_chosenFolder;
};

} // namespace lintora
