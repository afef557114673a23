// The INI file on disk: write-through, typed values, refused writes.

#include "store/IniFile.h"

#include "TempFavorites.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lintora;
using lintora::test::TempFavorites;

TEST(IniFile, WritesGoThroughAndAnotherReaderSeesThem)
{
    TempFavorites fav;
    const QString path = fav.addFile(QStringLiteral("s.ini"), "[PARM]\r\nFolder=x\r\n");
    IniFile writer(path);
    IniFile reader(path);
    writer.writeString(QStringLiteral("PARM"), QStringLiteral("folder"),
                       QStringLiteral("/home/田中/Favorites"));
    EXPECT_EQ(reader.readString(QStringLiteral("parm"), QStringLiteral("FOLDER"), QString()),
              QStringLiteral("/home/田中/Favorites"));
    writer.writeInteger(QStringLiteral("PROXY"), QStringLiteral("Port"), 8080);
    writer.writeBool(QStringLiteral("PROXY"), QStringLiteral("Use"), true);
    EXPECT_EQ(
        TempFavorites::readBytes(path),
        QByteArray("[PARM]\r\nFolder=/home/\x93\x63\x92\x86/Favorites\r\n[PROXY]\r\nPort=8080\r\nUse=1\r\n"));
    EXPECT_EQ(reader.readInteger(QStringLiteral("PROXY"), QStringLiteral("Port"), 0), 8080);
    EXPECT_TRUE(reader.readBool(QStringLiteral("PROXY"), QStringLiteral("Use"), false));
    EXPECT_EQ(reader.readInteger(QStringLiteral("PROXY"), QStringLiteral("None"), 42), 42);
    EXPECT_TRUE(reader.readBool(QStringLiteral("PROXY"), QStringLiteral("None"), true));
    EXPECT_EQ(reader.readString(QStringLiteral("None"), QStringLiteral("None"), QStringLiteral("def")),
              QStringLiteral("def"));
}

TEST(IniFile, TypedValuesUseTheirStoredForms)
{
    TempFavorites fav;
    const QString path = fav.addFile(QStringLiteral("a.URL"), "[Lintora]\r\n");
    IniFile file(path, WriteMode::ReplaceExisting);
    TDateTime when = 0;
    ASSERT_TRUE(encodeDateTime({2026, 12, 11, 9, 5, 3, 0}, when));
    file.writeDateTime(QStringLiteral("Lintora"), QStringLiteral("DATE"), when);
    file.writeFloat(QStringLiteral("Lintora"), QStringLiteral("RESPONS"), 0.351);
    file.writeInteger(QStringLiteral("Lintora"), QStringLiteral("STATUS"), -2);
    EXPECT_EQ(TempFavorites::readBytes(path),
              QByteArray("[Lintora]\r\nDATE=2026/12/11 9:05:03\r\nRESPONS=0.351\r\nSTATUS=-2\r\n"));
    EXPECT_DOUBLE_EQ(file.readDateTime(QStringLiteral("Lintora"), QStringLiteral("DATE"), 0), when);
    EXPECT_DOUBLE_EQ(file.readFloat(QStringLiteral("Lintora"), QStringLiteral("RESPONS"), 0), 0.351);
    EXPECT_EQ(file.readInteger(QStringLiteral("Lintora"), QStringLiteral("STATUS"), 0), -2);

    // Unreadable forms give the default.
    fav.addFile(QStringLiteral("a.URL"), "[Lintora]\r\nDATE=someday\r\nRESPONS=fast\r\nSTATUS=bad\r\n");
    EXPECT_EQ(file.readDateTime(QStringLiteral("Lintora"), QStringLiteral("DATE"), 7.0), 7.0);
    EXPECT_EQ(file.readFloat(QStringLiteral("Lintora"), QStringLiteral("RESPONS"), 3.0), 3.0);
    EXPECT_EQ(file.readInteger(QStringLiteral("Lintora"), QStringLiteral("STATUS"), 5), 5);
}

TEST(IniFile, TheSettingsFileIsCreatedButAShortcutIsNeverRecreated)
{
    TempFavorites fav;
    const QString settings = fav.scratch() + QStringLiteral("/Lintora.ini");
    IniFile(settings).writeString(QStringLiteral("PARM"), QStringLiteral("A"), QStringLiteral("1"));
    EXPECT_EQ(TempFavorites::readBytes(settings), QByteArray("[PARM]\r\nA=1\r\n"));

    const QString shortcut = fav.addFile(QStringLiteral("a.URL"), "x");
    IniFile record(shortcut, WriteMode::ReplaceExisting);
    QFile::remove(shortcut);
    record.writeString(QStringLiteral("Lintora"), QStringLiteral("COMMENT"), QStringLiteral("c"));
    EXPECT_FALSE(QFile::exists(shortcut));
}

TEST(IniFile, ARefusedWriteRaisesTheErrorAndKeepsTheFile)
{
    TempFavorites fav;
    const QByteArray original("[Lintora]\r\nCOMMENT=keep\r\n");
    const QString path = fav.addFile(QStringLiteral("ro.URL"), original);
    TempFavorites::makeReadOnly(path);
    IniFile file(path, WriteMode::ReplaceExisting);
    try {
        file.writeString(QStringLiteral("Lintora"), QStringLiteral("COMMENT"), QStringLiteral("new"));
        FAIL() << "the write was not refused";
    } catch (const WriteError& e) {
        EXPECT_EQ(e.message(), path + QStringLiteral(" に書き込めません"));
    }
    EXPECT_EQ(TempFavorites::readBytes(path), original);
}

TEST(IniFile, AFileThatCannotBeReadIsNotOverwrittenWithJustOneKey)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempFavorites fav;
    const QByteArray original("[InternetShortcut]\r\nURL=http://a/\r\n");
    const QString path = fav.addFile(QStringLiteral("secret.URL"), original);
    ::chmod(QFile::encodeName(path).constData(), 0200);
    IniFile file(path, WriteMode::ReplaceExisting);
    EXPECT_THROW(file.writeString(QStringLiteral("Lintora"), QStringLiteral("COMMENT"), QStringLiteral("c")),
                 WriteError);
    ::chmod(QFile::encodeName(path).constData(), 0644);
    EXPECT_EQ(TempFavorites::readBytes(path), original);
}
