#pragma once

#include <QComboBox>
#include <QStringList>

namespace lintora {

// The root folders of the mounted file systems, standing in for the drives of Windows: real, ready
// volumes, sorted, each once; "/" is always among them.
QStringList mountRoots();

// The longest of roots that is path itself or a folder above it; "/" when none is.
// path must be absolute and clean.
QString mountRootOf(const QString& path, const QStringList& roots);

// The drive list of the settings dialog: one entry per mount root.
class DriveComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent);

    // Lists the roots anew: a file system may have been mounted since the last opening.
    void refresh();

    // The root that holds path (absolute and clean), selected in the list without telling anyone.
    QString followFolder(const QString& path);

signals:
    // The user chose another root.
    void driveChosen(const QString& root);

private:
    QStringList m_roots;
};

} // namespace lintora
