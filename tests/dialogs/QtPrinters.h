#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest print texts as texts in its failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
