#pragma once

#include <QString>
#include <QStringList>

namespace lintora {

// The text of the one box that names the files and folders a deletion could not remove, one path
// a line; a long list names its first paths and how many more there are.
QString notRemovedReport(const QStringList& failed);

} // namespace lintora
