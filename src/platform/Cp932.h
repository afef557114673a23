#pragma once

#include <QByteArray>
#include <QString>

namespace lintora {

// Code page 932 (Windows Shift-JIS), the encoding of every shortcut file and of the settings file.
// Characters that have no CP932 form are written as "?", never by touching neighbouring bytes.
QString decodeCp932(const QByteArray& bytes);
QString decodeCp932(const char* data, qsizetype size);
QByteArray encodeCp932(const QString& text);
// True when the text has an exact CP932 form.
bool canEncodeCp932(const QString& text);
// True when byte b starts a two-byte CP932 character.
inline bool isCp932LeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The bytes by which texts are sorted: their CP932 form, or their UTF-8 form when they have none.
QByteArray sortKeyBytes(const QString& text);

} // namespace lintora
