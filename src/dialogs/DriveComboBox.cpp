#include "dialogs/DriveComboBox.h"

#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

namespace lintora {

QStringList mountRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && volume.rootPath().startsWith(QLatin1Char('/')))
            roots << volume.rootPath();
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

QString mountRootOf(const QString& path, const QStringList& roots)
{
    QString best = QStringLiteral("/");
    for (const QString& root : roots) {
        const bool holds =
            path == root || root == QLatin1String("/") || path.startsWith(root + QLatin1Char('/'));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) { emit driveChosen(itemText(index)); });
}

void DriveComboBox::refresh()
{
    const QSignalBlocker blocker(this);
    m_roots = mountRoots();
    clear();
    addItems(m_roots);
}

QString DriveComboBox::followFolder(const QString& path)
{
    const QString root = mountRootOf(path, m_roots);
    const QSignalBlocker blocker(this);
    setCurrentIndex(findText(root));
    return root;
}

} // namespace lintora
