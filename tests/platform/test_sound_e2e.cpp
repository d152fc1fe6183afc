// The sound player (libsndfile and PulseAudio) and the sound workers, heard through a private
// PulseAudio null sink.
#include "engine/AsyncTask.h"
#include "engine/ReminderActions.h"
#include "platform/PulseSoundPlayer.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/platform/WavFile.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/TempHome.h"

#include <QObject>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

using namespace std::chrono_literals;

namespace {
constexpr int kSilent = 300;      // peak of a 10 ms window below this: silence
constexpr int kHalfLevel = 16000; // peak of a tone written at amplitude 0.5 (16383)

// Windows from `from` on whose peak lies in [low, high).
int CountWindows(const std::vector<int>& peaks, std::size_t from, int low, int high) {
    int n = 0;
    for (std::size_t i = from; i < peaks.size(); ++i)
        n += peaks[i] >= low && peaks[i] < high ? 1 : 0;
    return n;
}

// Index after the last audible window, or 0.
std::size_t EndOfSound(const std::vector<int>& peaks) {
    for (std::size_t i = peaks.size(); i > 0; --i)
        if (peaks[i - 1] >= kSilent)
            return i;
    return 0;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder("sound");
        std::string error;
        ASSERT_TRUE(server_.start(folder_ + "/pulse", &error)) << error;
        ::setenv("PULSE_SERVER", server_.address().c_str(), 1);
        ASSERT_TRUE(recorder_.start(server_, folder_ + "/rec.raw", &error)) << error;
        ASSERT_TRUE(testsvc::WaitUntil([&] { return recorder_.seconds() > 0.2; }, 60s))
            << "parec records nothing";
    }
    void TearDown() override {
        recorder_.stop();
        server_.stop();
    }

    std::string wav(const std::string& name, double seconds, double amplitude) {
        const std::string path = folder_ + "/" + name + ".wav";
        WriteToneWav(path, seconds, 440, amplitude);
        return path;
    }
    // Waits, processing events, until cond holds on the peaks recorded so far.
    bool waitForPeaks(const std::function<bool(const std::vector<int>&)>& cond,
                      std::chrono::milliseconds timeout = 60s) {
        return QTest::qWaitFor([&] { return cond(recorder_.windowPeaks()); }, int(timeout.count()));
    }
    std::size_t windowsNow() const { return recorder_.windowPeaks().size(); }

    std::string folder_;
    testsvc::PulseAudioServer server_;
    testsvc::SinkRecorder recorder_;
};

// Every WAV layout the desktop plays, to its very end.
TEST_F(SoundTest, PlaysEveryWavLayoutWholly) {
    struct Case {
        const char* what;
        WavFormat format;
    };
    PulseSoundPlayer player;
    for (const Case& c :
         {Case{"16-bit PCM", {}}, Case{"24-bit PCM", {.bits = 24}},
          Case{"32-bit PCM", {.bits = 32}}, Case{"32-bit float", {.bits = 32, .isFloat = true}},
          Case{"extensible 24-bit PCM", {.bits = 24, .extensible = true}},
          Case{"extensible float", {.bits = 32, .isFloat = true, .extensible = true}},
          Case{"8-bit mono at 22050 Hz", {.bits = 8, .channels = 1, .rate = 22050}}}) {
        SCOPED_TRACE(c.what);
        const std::string path = folder_ + "/tone.wav";
        WriteToneWav(path, 1.0, 440, 0.5, c.format);
        std::string failure = "none";
        const std::size_t start = windowsNow();
        const auto t0 = std::chrono::steady_clock::now();
        player.play(path, [&](const std::string& reason, bool) { failure = reason; });
        const double playCall = Seconds(std::chrono::steady_clock::now() - t0);
        // Done when the tone was heard and has been followed by a second of silence.
        ASSERT_TRUE(waitForPeaks([&](const std::vector<int>& p) {
            const std::size_t end = EndOfSound(p);
            return end > start && p.size() >= end + 100;
        })) << "no sound reached the sink; failure: "
            << failure;
        const std::vector<int> peaks = recorder_.windowPeaks();
        const int loud = CountWindows(peaks, start, kHalfLevel, 40000);
        std::printf("%s: play() returned after %.4f s; %d of 100 windows of the tone heard\n",
                    c.what, playCall, loud);
        EXPECT_GE(loud, 97) << "the end of the sound was cut";
        EXPECT_LE(loud, 102);
        EXPECT_EQ(failure, "none");
    }
}

TEST_F(SoundTest, StopCutsTheSoundShortAndSecondStopDoesNothing) {
    PulseSoundPlayer player;
    player.stop(); // nothing plays yet
    player.play(wav("long", 8.0, 0.5), {});
    ASSERT_TRUE(waitForPeaks(
        [](const std::vector<int>& p) { return CountWindows(p, 0, kHalfLevel, 40000) >= 20; }));
    const std::size_t stopAt = windowsNow();
    const auto t0 = std::chrono::steady_clock::now();
    player.stop();
    const double stopCall = Seconds(std::chrono::steady_clock::now() - t0);
    player.stop();
    ASSERT_TRUE(waitForPeaks([&](const std::vector<int>& p) { return p.size() >= stopAt + 300; }));
    const std::vector<int> peaks = recorder_.windowPeaks();
    const std::size_t end = EndOfSound(peaks);
    std::printf("stop() returned after %.4f s; sound ended %+d ms from the stop\n", stopCall,
                (int(end) - int(stopAt)) * 10);
    EXPECT_LT(end, stopAt + 50) << "the sound went on after stop()";
}

TEST_F(SoundTest, SecondSoundReplacesTheFirst) {
    PulseSoundPlayer player;
    player.play(wav("first", 8.0, 0.6), {});
    ASSERT_TRUE(waitForPeaks(
        [](const std::vector<int>& p) { return CountWindows(p, 0, kHalfLevel, 40000) >= 20; }));
    const std::size_t switchAt = windowsNow();
    player.play(wav("second", 1.0, 0.2), {});
    ASSERT_TRUE(
        waitForPeaks([&](const std::vector<int>& p) { return p.size() >= switchAt + 400; }));
    const std::vector<int> peaks = recorder_.windowPeaks();
    // A short overlap is allowed at the switch; after it only the quiet second tone, whole.
    const std::size_t settled = switchAt + 30;
    EXPECT_EQ(CountWindows(peaks, settled, 10000, 40000), 0) << "the first sound played on";
    const int second = CountWindows(peaks, switchAt, 5000, 8000);
    EXPECT_GE(second, 95) << "the second sound was not heard to its end";
    EXPECT_LE(EndOfSound(peaks), switchAt + 200);
}

TEST_F(SoundTest, PlaysAgainAfterTheServerRestarted) {
    PulseSoundPlayer player;
    const std::string tone = wav("short", 0.5, 0.5);
    player.play(tone, {});
    ASSERT_TRUE(waitForPeaks(
        [](const std::vector<int>& p) { return CountWindows(p, 0, kHalfLevel, 40000) >= 20; }));
    // The player's connection dies with its server; the next sound goes to a new one.
    TearDown();
    SetUp();
    player.play(tone, {});
    ASSERT_TRUE(waitForPeaks([](const std::vector<int>& p) {
        return CountWindows(p, 0, kHalfLevel, 40000) >= 20;
    })) << "no sound after the restart";
}

TEST_F(SoundTest, ReminderActionsPlayAndStopThroughTheProgramPlayer) {
    PulseSoundPlayer player;
    QObject owner;
    const std::string missing = folder_ + "/missing.wav";
    ReminderActions::playSoundAsync(&owner, player, missing);
    ReminderActions::playSoundAsync(&owner, player, wav("long", 8.0, 0.5));
    ASSERT_TRUE(waitForPeaks(
        [](const std::vector<int>& p) { return CountWindows(p, 0, kHalfLevel, 40000) >= 20; }));
    const std::size_t stopAt = windowsNow();
    ReminderActions::stopSound(&owner, player);
    ASSERT_TRUE(waitForPeaks([&](const std::vector<int>& p) { return p.size() >= stopAt + 300; }));
    EXPECT_LT(EndOfSound(recorder_.windowPeaks()), stopAt + 100);
    EXPECT_TRUE(QTest::qWaitFor([] { return AsyncTask::pendingCount() == 0; }, 30000));
}

// A file that is no sound: the failure comes back with the reader's reason, on this thread.
TEST_F(SoundTest, AFileThatIsNoSoundFailsWithItsReason) {
    const std::string text = folder_ + "/notes.wav";
    std::ofstream(text) << "RIFF and then nothing a sound file has";
    PulseSoundPlayer player;
    std::optional<std::pair<std::string, bool>> failure;
    const QThread* asked = QThread::currentThread();
    const QThread* told = nullptr;
    player.play(text, [&](const std::string& reason, bool superseded) {
        failure.emplace(reason, superseded);
        told = QThread::currentThread();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }, 10000));
    std::printf("reason: %s\n", failure->first.c_str());
    EXPECT_FALSE(failure->first.empty());
    EXPECT_FALSE(failure->second);
    EXPECT_EQ(told, asked);
}

// At the due minute a reminder's sound that cannot be played is logged, and the click (here a
// tone) is heard instead.
TEST_F(SoundTest, AnUnplayableReminderSoundIsLoggedAndReplaced) {
    const std::string text = folder_ + "/notes.wav";
    std::ofstream(text) << "not a sound";
    const std::string click = wav("click", 0.5, 0.5);
    StderrCapture log(folder_ + "/stderr.txt");
    PulseSoundPlayer player;
    QObject owner;
    ReminderActions::playSoundAsync(&owner, player, text, {}, click);
    EXPECT_TRUE(waitForPeaks([](const std::vector<int>& p) {
        return CountWindows(p, 0, kHalfLevel, 40000) >= 40;
    })) << "the click was not heard";
    EXPECT_NE(log.text().find("Chimewell: could not play " + text + ": "), std::string::npos)
        << log.text();
}

bool Loaded(const char* library) {
    void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr)
        dlclose(handle);
    return handle != nullptr;
}

bool SoundLibrariesLoaded() {
    return Loaded("libsndfile.so.1") || Loaded("libpulse-simple.so.0");
}

// The sound libraries and their audio libraries come into the process with the first sound.
TEST(SoundWithoutServer, TheSoundLibrariesAreLoadedAtTheFirstSoundOnly) {
    if (SoundLibrariesLoaded())
        GTEST_SKIP() << "an earlier test in this process played a sound";
    const std::string folder = MakeTempFolder("lazy");
    ::setenv("PULSE_SERVER", ("unix:" + folder + "/missing/native").c_str(), 1);
    PulseSoundPlayer player;
    player.stop();
    EXPECT_FALSE(SoundLibrariesLoaded()) << "loaded before any sound";
    bool failed = false;
    player.play(folder + "/none.wav", [&](const std::string&, bool) { failed = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failed; }, 10000));
    EXPECT_TRUE(Loaded("libsndfile.so.1"));
    EXPECT_TRUE(Loaded("libpulse-simple.so.0"));
}

// No audio server at all: the player gives up at once, says why, and nothing breaks.
TEST(SoundWithoutServer, PlayFailsAtOnceWithAReason) {
    const std::string folder = MakeTempFolder("noserver");
    ::setenv("PULSE_SERVER", ("unix:" + folder + "/missing/native").c_str(), 1);
    const std::string path = folder + "/tone.wav";
    WriteToneWav(path, 1.0, 440, 0.5);
    PulseSoundPlayer player;
    for (int i = 0; i < 2; ++i) {
        std::optional<std::string> reason;
        const auto t0 = std::chrono::steady_clock::now();
        player.play(path, [&](const std::string& r, bool) { reason = r; });
        const double call = Seconds(std::chrono::steady_clock::now() - t0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return reason.has_value(); }, 10000));
        const double failed = Seconds(std::chrono::steady_clock::now() - t0);
        player.stop();
        std::printf("without a server: play() %.4f s, failure after %.4f s: %s\n", call, failed,
                    reason->c_str());
        EXPECT_LT(failed, 5.0);
        EXPECT_EQ(*reason, "Connection refused");
    }
}
} // namespace
