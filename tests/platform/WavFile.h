#pragma once
// Writes test tones as 16-bit stereo 44100 Hz WAV files.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>

inline void WriteToneWav(const std::string& path, double seconds, double hertz, double amplitude) {
    constexpr uint32_t rate = 44100;
    constexpr uint16_t channels = 2;
    const auto frames = uint32_t(seconds * rate);
    const uint32_t dataBytes = frames * channels * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(channels);
    u32(rate);
    u32(rate * channels * 2);
    u16(channels * 2);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto s = int16_t(
            std::lround(amplitude * 32767.0 * std::sin(2 * std::numbers::pi * hertz * i / rate)));
        u16(uint16_t(s));
        u16(uint16_t(s));
    }
}
