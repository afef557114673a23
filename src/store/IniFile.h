#pragma once

#include "platform/DateTime.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace lintora {

// The INI text rules, on a file's bytes. Section and key names match without regard to ASCII letter
// case; the first of two equal sections or keys wins. A value loses the blanks around it and one pair
// of matching quotes, and is cut at IniMaxValueBytes bytes.
namespace ini {

constexpr qsizetype MaxValueBytes = 2047;

std::optional<QByteArray> lookup(const QByteArray& content, const QByteArray& section, const QByteArray& key);

// Several lookups in one pass over the content, for reading a whole list row at once; each value
// is exactly what lookup would give for its section and key.
struct KeyRef
{
    const char* section;
    const char* key;
};
std::vector<std::optional<QByteArray>> lookupMany(const QByteArray& content, const std::vector<KeyRef>& keys);

// The content with key set to value: the key's line rewritten in place, or a new line at the end of
// its section, or a new section with the key at the end of the file. Every other byte stays.
// Line breaks in value are written as blanks, so a value can never add lines of its own. A value
// with blanks at an end or enclosed in matching quotes is written inside one more pair of double
// quotes, so that it reads back as it was given.
QByteArray withValue(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                     const QByteArray& value);

// Typed text forms.
// STATUS and every integer key: decimal, or hexadecimal after "0x"/"0X" when longer than two
// characters. A text that is not a number (or is out of 32-bit range) gives nullopt.
std::optional<int> parseInteger(const QByteArray& text);
// RESPONS: 15 significant digits, fixed-point for 0 and sizes from 0.0001 with at most 15 integer
// digits, otherwise exponent form ("1E-5", "2.5E20"); "." as the decimal separator.
QByteArray formatFloat(double value);
std::optional<double> parseFloat(const QByteArray& text);

} // namespace ini

// One INI file, read anew on every call and written through at once, standing in for the Windows
// private-profile functions. Texts are CP932 on disk and Unicode here.
class IniFile
{
public:
    explicit IniFile(QString path, WriteMode mode = WriteMode::CreateOrReplace);

    const QString& path() const { return m_path; }

    // The file's bytes as they are now (empty when it cannot be read).
    QByteArray readContent() const;

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;
    TDateTime readDateTime(const QString& section, const QString& key, TDateTime defaultValue) const;
    double readFloat(const QString& section, const QString& key, double defaultValue) const;

    // Each write is in the file when it returns. A write that the file system refuses throws
    // WriteError ("<path> に書き込めません") and leaves the file as it was. In ReplaceExisting mode a
    // file that has gone is not re-created: the write does nothing.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void writeDateTime(const QString& section, const QString& key, TDateTime value);
    void writeFloat(const QString& section, const QString& key, double value);

    // Writes go straight to the file, so there is nothing left to flush.
    void flush() {}

private:
    void writeRaw(const QString& section, const QString& key, const QByteArray& value);

    QString m_path;
    WriteMode m_mode;
};

} // namespace lintora
