#include "desktop/IniFile.h"
#include "tests/desktop/FileBytes.h"
#include "tests/support/TempHome.h"
#include "tests/support/UmaskScope.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString folder = QString::fromStdString(MakeTempFolder("ini"));
    QString path = folder + QStringLiteral("/Chimly.ini");

    IniFile Load(const QByteArray& bytes) {
        WriteBytes(path, bytes);
        IniFile ini(path.toStdString());
        EXPECT_TRUE(ini.load());
        return ini;
    }
};

TEST(IniInteger, ParsesDecimalAndHexAndRefusesTheRest) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"5", true, 5},
        {"-12", true, -12},
        {"+7", true, 7},
        {" 42 ", true, 42},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"$ff", true, 255},
        {"0xFFFFFFFF", true, -1},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"", false, 0},
        {"yes", false, 0},
        {"12abc", false, 0},
        {"1.5", false, 0},
        {"0x", false, 0},
        {"$", false, 0},
        {"--1", false, 0},
        {"- 1", false, 0},
        {"2147483648", false, 0},
        {"0x100000000", false, 0},
        {"-0x10", false, 0},
        {"\xd9\xa1\xd9\xa2", false, 0},
    };
    for (const Case& c : cases) {
        int value = 999;
        EXPECT_EQ(IniFile::parseInteger(QString::fromUtf8(c.text), &value), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(value, c.value) << c.text;
        else
            EXPECT_EQ(value, 999) << c.text;
    }
}

TEST_F(IniFileTest, ReadsCaseInsensitivelyThroughBomCrLfBlanksAndComments) {
    const IniFile ini = Load("\xEF\xBB\xBF"
                             "Stray=ignored\r\n"
                             "; comment=1\r\n"
                             "  [ position ]  \r\n"
                             "  posx   =   25  \r\n"
                             ";PosY=99\r\n"
                             "# Width=99\r\n"
                             "Name = \"  padded  \"\r\n"
                             "Path=C:\\Program Files\\x.lng\r\n"
                             "Empty=\r\n"
                             "posx=77\r\n"
                             "[Other]\r\n"
                             "PosY=3\r\n"
                             "[POSITION]\r\n"
                             "PosY=4\r\n");
    EXPECT_EQ(ini.readInteger("Position", "PosX", 10), 25);
    EXPECT_EQ(ini.readInteger("POSITION", "POSX", 10), 25);
    // Commented keys, keys outside any section and later duplicate sections do not count.
    EXPECT_EQ(ini.readInteger("Position", "PosY", 10), 10);
    EXPECT_EQ(ini.readInteger("Position", "Width", 10), 10);
    EXPECT_EQ(ini.readString("Position", "Stray", "def"), "def");
    EXPECT_EQ(ini.readString("position", "name", ""), "  padded  ");
    EXPECT_EQ(ini.readString("Position", "Path", ""), "C:\\Program Files\\x.lng");
    EXPECT_TRUE(ini.hasKey("Position", "Empty"));
    EXPECT_EQ(ini.readString("Position", "Empty", "def"), "");
    EXPECT_EQ(ini.readInteger("Position", "Empty", 7), 7);
    EXPECT_EQ(ini.readString("Missing", "PosX", "def"), "def");
    EXPECT_EQ(ini.readInteger("other", "posy", 0), 3);
}

TEST_F(IniFileTest, BooleansAreIntegersWithTheirDefault) {
    const IniFile ini = Load("[S]\nA=0\nB=1\nC=5\nD=-1\nE=yes\nF=\n");
    EXPECT_FALSE(ini.readBool("S", "A", true));
    EXPECT_TRUE(ini.readBool("S", "B", false));
    EXPECT_TRUE(ini.readBool("S", "C", false));
    EXPECT_TRUE(ini.readBool("S", "D", false));
    EXPECT_TRUE(ini.readBool("S", "E", true));
    EXPECT_FALSE(ini.readBool("S", "E", false));
    EXPECT_FALSE(ini.readBool("S", "F", false));
    EXPECT_TRUE(ini.readBool("S", "Missing", true));
}

TEST_F(IniFileTest, WritingReplacesInPlaceAppendsToItsSectionAndKeepsEverythingElse) {
    IniFile ini = Load("; settings\n"
                       "[Position]\n"
                       "  POSX = 1   ; old\n"
                       "Unknown=keep me\n"
                       "\n"
                       "[Settings]\n"
                       "; about LangPack\n"
                       "LangPack=0\n");
    ini.writeInteger("position", "PosX", 55);
    ini.writeInteger("Position", "PosY", 66);
    ini.writeString("SETTINGS", "langpack", "2");
    ini.writeBool("Last", "Flag", true);
    ini.writeString("Last", "Text", " blank ends ");
    ini.writeString("Last", "Lines", "one\r\ntwo");
    const Status saved = ini.save();
    ASSERT_TRUE(saved) << saved.message();
    EXPECT_EQ(ReadBytes(path), QByteArray("; settings\n"
                                          "[Position]\n"
                                          "  POSX = 55\n"
                                          "Unknown=keep me\n"
                                          "PosY=66\n"
                                          "\n"
                                          "[Settings]\n"
                                          "; about LangPack\n"
                                          "LangPack=2\n"
                                          "[Last]\n"
                                          "Flag=1\n"
                                          "Text=\" blank ends \"\n"
                                          "Lines=one  two\n"));
    IniFile again(path.toStdString());
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.readString("Last", "Text", ""), " blank ends ");
    EXPECT_EQ(again.readInteger("Position", "PosX", 0), 55);
}

TEST_F(IniFileTest, KeepsByteOrderMarkAndCrLfAndWritesUtf8) {
    IniFile ini = Load("\xEF\xBB\xBF[A]\r\nK=\xD0\x96\r\n");
    EXPECT_EQ(ini.readString("A", "K", ""), QString::fromUtf8("\xD0\x96"));
    ini.writeString("A", "Path", QString::fromUtf8("/home/\xD0\xB8/ru.lng"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(ReadBytes(path),
              QByteArray("\xEF\xBB\xBF[A]\r\nK=\xD0\x96\r\nPath=/home/\xD0\xB8/ru.lng\r\n"));
}

TEST_F(IniFileTest, MissingFileIsEmptyAndIsCreatedOnSave) {
    IniFile ini(path.toStdString());
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.readInteger("Position", "PosX", 10), 10);
    ini.writeInteger("Position", "PosX", 3);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(ReadBytes(path), QByteArray("[Position]\nPosX=3\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"Chimly.ini"})
        << "no temp file left";
}

TEST_F(IniFileTest, FileThatCannotBeReadIsNeverOverwritten) {
    ASSERT_TRUE(QDir(folder).mkdir("Chimly.ini")); // exists, but is no readable file
    IniFile ini(path.toStdString());
    EXPECT_FALSE(ini.load());
    EXPECT_FALSE(ini.loadError().isEmpty());
    ini.writeInteger("Position", "PosX", 3);
    const Status saved = ini.save();
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.reason.empty());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(IniFileTest, LinesItDoesNotChangeAreWrittenBackByteForByte) {
    // Latin-1 bytes that are no UTF-8, a line ended by a carriage return alone, a last line
    // without an end.
    IniFile ini = Load("; caf\xE9\r\n"
                       "[Settings]\r"
                       "LangFile=/home/ren\xE9/x.lng\r\n"
                       "LangPack=0");
    EXPECT_EQ(ini.readString("Settings", "LangPack", ""), "0");
    ini.writeInteger("Settings", "Missed", 1);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(ReadBytes(path), QByteArray("; caf\xE9\r\n"
                                          "[Settings]\r"
                                          "LangFile=/home/ren\xE9/x.lng\r\n"
                                          "LangPack=0\r\n"
                                          "Missed=1\r\n"));
}

TEST_F(IniFileTest, TextThatIsNotUtf8IsUnreadableAndNeverOverwritten) {
    const QByteArray files[] = {
        QByteArrayLiteral("\xFF\xFE[\0S\0]\0\n\0"), // UTF-16, little-endian
        QByteArrayLiteral("\xFE\xFF\0[\0S\0]\0\n"), // UTF-16, big-endian
        QByteArrayLiteral("[Position]\nPosX=5\n\0\0\0\0"),
    };
    for (const QByteArray& bytes : files) {
        WriteBytes(path, bytes);
        IniFile ini(path.toStdString());
        EXPECT_FALSE(ini.load());
        EXPECT_EQ(ini.loadError(), "it is not UTF-8 text");
        EXPECT_EQ(ini.readInteger("Position", "PosX", 10), 10);
        ini.writeInteger("Position", "PosX", 3);
        EXPECT_FALSE(ini.save());
        EXPECT_EQ(ReadBytes(path), bytes);
    }
}

// The folder removed while the program ran is made again by the next save, the user's alone
// as is a new file, whatever the umask; a file that is there keeps its mode, a link stays a
// link, and a file where the folder should be makes the save fail.
TEST_F(IniFileTest, SaveMakesMissingFoldersAndNewFilesPrivateAndKeepsWhatIsThere) {
    namespace fs = std::filesystem;
    const auto mode = [](const QString& p) {
        return fs::status(p.toStdString()).permissions() & fs::perms::all;
    };
    const QString data = folder + "/gone";
    const QString file = data + "/deeper/Chimly.ini";
    for (const mode_t mask : {mode_t{0}, mode_t{0277}}) {
        SCOPED_TRACE(mask);
        fs::remove_all(data.toStdString());
        IniFile ini(file.toStdString());
        ASSERT_TRUE(ini.load());
        ini.writeInteger("Position", "PosX", 3);
        {
            UmaskScope umask(mask);
            const Status saved = ini.save();
            ASSERT_TRUE(saved) << saved.message();
        }
        EXPECT_EQ(ReadBytes(file), QByteArray("[Position]\nPosX=3\n"));
        EXPECT_EQ(mode(data), fs::perms::owner_all);
        EXPECT_EQ(mode(data + "/deeper"), fs::perms::owner_all);
        EXPECT_EQ(mode(file), fs::perms::owner_read | fs::perms::owner_write);
    }

    ::chmod(QFile::encodeName(file).constData(), 0640);
    const QString link = folder + "/link.ini";
    fs::create_symlink("gone/deeper/Chimly.ini", link.toStdString());
    IniFile linked(link.toStdString());
    ASSERT_TRUE(linked.load());
    linked.writeInteger("Position", "PosX", 4);
    ASSERT_TRUE(linked.save());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(file), QByteArray("[Position]\nPosX=4\n"));
    EXPECT_EQ(mode(file), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    WriteBytes(folder + "/blocked", "a file");
    IniFile blocked((folder + "/blocked/Chimly.ini").toStdString());
    ASSERT_TRUE(blocked.load());
    blocked.writeInteger("Position", "PosX", 3);
    const Status saved = blocked.save();
    EXPECT_FALSE(saved);
    EXPECT_EQ(
        saved.reason.rfind("unable to create the folder " + folder.toStdString() + "/blocked: ", 0),
        0u)
        << saved.message();
}

} // namespace
