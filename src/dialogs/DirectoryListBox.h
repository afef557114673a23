#pragma once

#include <QListWidget>

namespace lintora {

// The folder list of the settings dialog: the chosen folder's ancestors from its mount root down to
// it, then its subfolders (hidden ones left out), each row 16 pixels high. Opening a row
// (double-click or Enter) asks for that folder to become the chosen one.
class DirectoryListBox : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int LevelRole = Qt::UserRole + 1;

    explicit DirectoryListBox(QWidget* parent);

    // Shows folder (absolute and clean) below root.
    void showFolder(const QString& folder, const QString& root);

    // The full path of a row.
    QString pathOf(int row) const;

signals:
    void folderOpened(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openRow(QListWidgetItem* item);
    void addRow(const QString& text, const QString& path, int level, bool open);
};

} // namespace lintora
