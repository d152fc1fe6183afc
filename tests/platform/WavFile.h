#pragma once
// Writes test tones as WAV files: integer PCM of 8 to 32 bits or 32-bit float, in the plain
// or the WAVE_FORMAT_EXTENSIBLE layout, with any number of channels and rate.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <numbers>
#include <string>

struct WavFormat {
    int bits = 16;
    bool isFloat = false;
    bool extensible = false;
    int channels = 2;
    int rate = 44100;
};

inline void WriteToneWav(const std::string& path, double seconds, double hertz, double amplitude,
                         const WavFormat& format = {}) {
    const auto rate = uint32_t(format.rate);
    const auto channels = uint16_t(format.channels);
    const auto sampleBytes = uint16_t(format.bits / 8);
    const auto frames = uint32_t(seconds * rate);
    const uint32_t dataBytes = frames * channels * sampleBytes;
    const uint16_t code = format.isFloat ? 3 : 1;
    // Plain PCM has the 16-byte format chunk; float adds an empty extension, the extensible
    // layout a 22-byte one.
    const uint32_t fmtBytes = format.extensible ? 40 : format.isFloat ? 18 : 16;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(4 + 8 + fmtBytes + 8 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(fmtBytes);
    u16(format.extensible ? 0xFFFE : code);
    u16(channels);
    u32(rate);
    u32(rate * channels * sampleBytes);
    u16(uint16_t(channels * sampleBytes));
    u16(uint16_t(format.bits));
    if (format.extensible) {
        u16(22);
        u16(uint16_t(format.bits));                       // valid bits
        u32(channels == 1 ? 0x4 : (1u << channels) - 1u); // front centre, or front left/right...
        // The sub-format GUID: the format code, then the fixed tail of the WAVE GUIDs.
        u32(code);
        const unsigned char tail[] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                      0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        out.write(reinterpret_cast<const char*>(tail), sizeof tail);
    } else if (format.isFloat) {
        u16(0);
    }
    out.write("data", 4);
    u32(dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * std::numbers::pi * hertz * i / rate);
        char sample[4] = {};
        if (format.isFloat) {
            const auto f = float(v);
            std::memcpy(sample, &f, 4);
        } else if (format.bits == 8) {
            sample[0] = char(uint8_t(128 + std::lround(v * 127.0)));
        } else {
            const double full = std::ldexp(1.0, format.bits - 1) - 1;
            const auto s = int32_t(std::lround(v * full));
            for (int b = 0; b < sampleBytes; ++b)
                sample[b] = char((uint32_t(s) >> (8 * b)) & 0xFF);
        }
        for (int c = 0; c < channels; ++c)
            out.write(sample, sampleBytes);
    }
}
