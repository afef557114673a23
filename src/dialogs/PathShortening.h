#pragma once

#include <QString>
#include <functional>

class QFontMetrics;

namespace lintora {

// Shortens a folder path to fit width, the way the settings dialog's folder label shows it: first
// the leading folder names give way to ".../" one by one, then the drive ("X:", when the path has
// one), then ".../" itself, leaving the last name alone if even that is too wide.
QString shortenPath(const QString& path, const std::function<int(const QString&)>& textWidth, int width);

// The same, measured in a font.
QString shortenPath(const QString& path, const QFontMetrics& metrics, int width);

} // namespace lintora
