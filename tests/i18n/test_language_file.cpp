#include "i18n/LanguageFile.h"
#include "i18n/Texts.h"
#include "tests/fuzz/LanguageFileRoundTrip.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

struct ReaderCase {
    const char* name;
    std::string bytes;
    // The lines of [Main] from line 1 to the end of the file; none when the section is
    // not found.
    std::optional<std::vector<std::string>> main;
};

void PrintTo(const ReaderCase& c, std::ostream* out) {
    *out << c.name;
}

using Lines = std::vector<std::string>;

// Line k of the main section, by its position.
MainLine mainLine(std::size_t k) {
    return static_cast<MainLine>(k);
}

class Reader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(Reader, FindsTheSectionAndItsLines) {
    const ReaderCase& c = GetParam();
    const std::optional<LanguageSection<MainLine>> main =
        LanguageFile::fromBytes(c.bytes).section<MainLine>();
    ASSERT_EQ(main.has_value(), c.main.has_value());
    if (!main)
        return;
    for (std::size_t k = 0; k < c.main->size(); ++k)
        EXPECT_EQ(main->line(mainLine(k + 1)), (*c.main)[k]) << "line " << k + 1;
    EXPECT_EQ(main->line(mainLine(c.main->size() + 1)), std::nullopt) << "past the end";
    EXPECT_EQ(main->line(mainLine(0)), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Reader,
    ::testing::Values(
        ReaderCase{"Utf8MarkLf", "\xEF\xBB\xBF[Main]\nЯзык\n[EndMain]\n",
                   Lines{"Язык", "[EndMain]"}},
        // Marked as UTF-8 but holding bytes that are not: each such byte reads as U+FFFD.
        ReaderCase{"Utf8MarkWithBytesThatAreNotUtf8",
                   "\xEF\xBB\xBF[Main]\nA\xFE\xFF"
                   "B\xD0\n\xC0\xAF\n[EndMain]",
                   Lines{"A\uFFFD\uFFFDB\uFFFD", "\uFFFD\uFFFD", "[EndMain]"}},
        ReaderCase{"Utf16LeMarkCrLf", utf16(u"[Main]\r\nЯзык\r\n\r\n[EndMain]\r\n", false),
                   Lines{"Язык", "", "[EndMain]"}},
        ReaderCase{"Utf16BeMarkCr", utf16(u"[Main]\rЯзык 😀\r[EndMain]", true),
                   Lines{"Язык 😀", "[EndMain]"}},
        ReaderCase{"Utf8WithoutMarkMixedLineEnds", "[Main]\r\nA\rB\nC\r\n\n[EndMain]",
                   Lines{"A", "B", "C", "", "[EndMain]"}},
        // "Язык" in Windows-1251: not UTF-8, so read in that code page.
        ReaderCase{"Windows1251WithoutMark", "[Main]\r\n\xDF\xE7\xFB\xEA \xA8\xB8\r\n[EndMain]\r\n",
                   Lines{"Язык Ёё", "[EndMain]"}},
        // Bytes that only look like UTF-8 (a cut sequence, an overlong form) are not.
        ReaderCase{"BrokenUtf8IsWindows1251", "[Main]\n\xD0\n\xC0\xAF\n[EndMain]",
                   Lines{"Р", "АЇ", "[EndMain]"}},
        ReaderCase{"LinesAreVerbatim",
                   "[Main]\n  two blanks  \n; not a comment\nkey=value\n[EndMain]",
                   Lines{"  two blanks  ", "; not a comment", "key=value", "[EndMain]"}},
        ReaderCase{"MarkerInAnyCase", "[mAIN]\nA\n[ENDMAIN]", Lines{"A", "[ENDMAIN]"}},
        ReaderCase{"MarkerWithBlanksDoesNotMatch", " [Main]\nA\n[EndMain]\n", std::nullopt},
        ReaderCase{"MarkerWithTrailingBlankDoesNotMatch", "[Main] \nA\n[EndMain]\n", std::nullopt},
        ReaderCase{"FirstMarkerCounts", "[Main]\nA\n[Main]\nB\n[EndMain]",
                   Lines{"A", "[Main]", "B", "[EndMain]"}},
        ReaderCase{"EndMarkerBeforeStart", "[EndMain]\n[Editor]\nX\n[Main]\nA\nB", Lines{"A", "B"}},
        ReaderCase{"MissingEndMarker", "[Main]\nA\nB\n", std::nullopt},
        ReaderCase{"MissingStartMarker", "[Editor]\nA\n[EndMain]\n", std::nullopt},
        ReaderCase{"EmptyFile", "", std::nullopt}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

TEST(LanguageFile, AMissingOrUnreadableFileHasNoSections) {
    const std::string folder = MakeTempFolder("lng");
    EXPECT_FALSE(LanguageFile::read(folder + "/missing.lng").section<MainLine>());
    EXPECT_FALSE(LanguageFile::read(folder).section<MainLine>()); // a folder
    EXPECT_FALSE(LanguageFile::read("").section<MainLine>());
    std::ofstream(folder + "/ru.lng", std::ios::binary)
        << "\xEF\xBB\xBF[Main]\r\nСписок\r\n[EndMain]\r\n";
    EXPECT_EQ(LanguageFile::read(folder + "/ru.lng").section<MainLine>()->line(MainLine::ListTab),
              "Список");
}

TEST(LanguageFile, OnlyARegularFileOfAtMostOneMegabyteIsRead) {
    const std::string folder = MakeTempFolder("lng");
    // Nobody writes into the pipe: opening it for reading the usual way waits for ever.
    const std::string pipe = folder + "/pipe.lng";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(LanguageFile::read(pipe).section<MainLine>());
    EXPECT_FALSE(LanguageFile::read("/dev/zero").section<MainLine>()); // endless
    EXPECT_FALSE(LanguageFile::cached(pipe).section<MainLine>());

    const auto fileOfSize = [&](const std::string& name, std::size_t size) {
        std::string bytes = "[Main]\nList\n[EndMain]\n";
        bytes.resize(size, ';');
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
        return folder + "/" + name;
    };
    EXPECT_EQ(LanguageFile::read(fileOfSize("full.lng", 1024 * 1024))
                  .section<MainLine>()
                  ->line(MainLine::ListTab),
              "List");
    EXPECT_FALSE(LanguageFile::read(fileOfSize("over.lng", 1024 * 1024 + 1)).section<MainLine>());
}

TEST(LanguageFile, TheCachedTextsAreReadAgainOnlyWhenSizeOrTimeChange) {
    const std::string path = MakeTempFolder("lng") + "/edited.lng";
    const auto write = [&](const std::string& text) {
        std::ofstream(path, std::ios::binary) << "[Main]\n" << text << "\n[EndMain]\n";
    };
    const auto shown = [&] {
        return LanguageFile::cached(path).section<MainLine>()->line(MainLine::ListTab);
    };
    const auto setTime = [&](long seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    write("One");
    setTime(1'000'000);
    EXPECT_EQ(shown(), "One");
    // The same size and time: taken for the same file, not read again.
    write("Two");
    setTime(1'000'000);
    EXPECT_EQ(shown(), "One");
    setTime(2'000'000);
    EXPECT_EQ(shown(), "Two");
    write("Three");
    setTime(2'000'000);
    EXPECT_EQ(shown(), "Three");
    std::filesystem::remove(path);
    EXPECT_FALSE(LanguageFile::cached(path).section<MainLine>());
    EXPECT_FALSE(LanguageFile::cached("").section<MainLine>());
}

TEST(Texts, TheMainSectionSetsTheSharedTextsByPositionAndAShortOneLeavesTheRest) {
    std::string bytes = "[Main]\n";
    for (int k = 1; k <= 55; ++k)
        bytes += "line " + std::to_string(k) + "\n";
    bytes += "[EndMain]\n";
    Texts texts;
    texts.loadMain(*LanguageFile::fromBytes(bytes).section<MainLine>());
    EXPECT_EQ(texts.mon, "line 29");
    EXPECT_EQ(texts.sun, "line 35");
    EXPECT_EQ(texts.specificDate, "line 40");
    EXPECT_EQ(texts.minutes, "line 45");
    EXPECT_EQ(texts.skippedFrom, "line 46");
    EXPECT_EQ(texts.skippedTo, "line 47");
    EXPECT_EQ(texts.noDayMarked, "line 48");
    EXPECT_EQ(texts.noItemMarked, "line 50");
    EXPECT_EQ(texts.question, "line 52");
    EXPECT_EQ(texts.no, "line 55");
    EXPECT_EQ(texts.file, "File"); // the editor's section sets it

    // A section that ends early: what it has is taken, the rest stays.
    Texts shortened;
    shortened.loadMain(*LanguageFile::fromBytes("[EndMain]\n[Main]\n1\n2\n3\n4\n5\n6\n7\n8\n9\n"
                                                "10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n21\n"
                                                "22\n23\n24\n25\n26\n27\n28\nПн\nВт")
                            .section<MainLine>());
    EXPECT_EQ(shortened.mon, "Пн");
    EXPECT_EQ(shortened.tue, "Вт");
    EXPECT_EQ(shortened.wed, "Wed");
    EXPECT_EQ(shortened.no, "No");
}

} // namespace

namespace {

// The language files the program comes with: every section complete, its end marker
// right after its last line, so that no line position is lost.
class ShippedFile : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedFile, HoldsEverySectionWithAllItsLines) {
    const std::string path = std::string(CHIMEWELL_RESOURCES_DIR "/") + GetParam();
    std::ifstream in(path, std::ios::binary);
    std::string head(3, '\0');
    in.read(head.data(), 3);
    EXPECT_EQ(head, "\xEF\xBB\xBF") << "UTF-8 with a byte-order mark";
    const LanguageFile file = LanguageFile::read(path);
    // The last line each section's enum names.
    const auto check = [&file](auto last) {
        using Line = decltype(last);
        const std::string name(sectionMarker(last));
        const std::optional<LanguageSection<Line>> s = file.section<Line>();
        ASSERT_TRUE(s) << name;
        const auto lines = static_cast<std::size_t>(last);
        EXPECT_EQ(s->line(static_cast<Line>(lines + 1)), "[End" + name + "]") << name;
        for (std::size_t k = 1; k <= lines; ++k)
            EXPECT_NE(s->line(static_cast<Line>(k))->find('['), 0u)
                << name << " line " << k << " is a marker";
    };
    check(MainLine::ExitAndLoseChanges);
    check(EditorLine::NotFound);
    check(AlertLine::Edit);
    check(InfoLine::Title);
}

INSTANTIATE_TEST_SUITE_P(Resources, ShippedFile,
                         ::testing::Values("Chimly_en.lng", "Chimly_ru.lng"));

TEST(ShippedFile, TheEnglishFileGivesTheBuiltInSharedTexts) {
    const LanguageFile file = LanguageFile::read(CHIMEWELL_RESOURCES_DIR "/Chimly_en.lng");
    Texts fromFile;
    fromFile.loadMain(*file.section<MainLine>());
    fromFile.loadEditor(*file.section<EditorLine>());
    const Texts builtIn;
    EXPECT_EQ(fromFile.specificDate, builtIn.specificDate);
    EXPECT_EQ(fromFile.mon, builtIn.mon);
    EXPECT_EQ(fromFile.sun, builtIn.sun);
    EXPECT_EQ(fromFile.afterStart, builtIn.afterStart);
    EXPECT_EQ(fromFile.skippedFrom, builtIn.skippedFrom);
    EXPECT_EQ(fromFile.skippedTo, builtIn.skippedTo);
    EXPECT_EQ(fromFile.noItemMarked, builtIn.noItemMarked);
    EXPECT_EQ(fromFile.no, builtIn.no);
    EXPECT_EQ(fromFile.notFound, builtIn.notFound);
    EXPECT_EQ(fromFile.cannotPlaySound, builtIn.cannotPlaySound);
    EXPECT_EQ(fromFile.exitAndLoseChanges, builtIn.exitAndLoseChanges);
}

TEST(ShippedFile, TheRussianFileTranslatesTheLastMainTexts) {
    const LanguageFile file = LanguageFile::read(CHIMEWELL_RESOURCES_DIR "/Chimly_ru.lng");
    Texts texts;
    texts.loadMain(*file.section<MainLine>());
    EXPECT_EQ(texts.no, "Нет");
    EXPECT_EQ(texts.cannotPlaySound, "Не удаётся воспроизвести этот звуковой файл");
    EXPECT_EQ(texts.exitAndLoseChanges, "Выйти и потерять их?");
}

} // namespace

// The fuzzer's seed files (the shipped files in each encoding and line end) and any file it
// once broke the reader with: clean UTF-8 lines that read back the same.
TEST(LanguageFile, SeedAndFoundFilesReadAsCleanLinesThatReadBackTheSame) {
    for (const char* folder : {CHIMEWELL_FUZZ_DIR "/corpus/language_file",
                               CHIMEWELL_FUZZ_DIR "/findings/language_file"}) {
        if (!std::filesystem::exists(folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            SCOPED_TRACE(entry.path().filename().string());
            EXPECT_EQ(languageFileRoundTripFailure(entry.path().string()), "");
        }
    }
}
