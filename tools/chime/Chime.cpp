// Writes the built-in new-message sound: a two-note bell chime as an 8-bit mono 11025 Hz PCM WAVE.
// The sample count and the chunk layout are fixed so the file keeps the size the agent has always
// carried (16122 sample bytes, 16180 bytes in all).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 11025;
constexpr uint32_t kSampleBytes = 16122;

struct Note {
    double startSeconds;
    double frequency;
    double gain;
};

// A bell-like voice: fundamental plus two soft inharmonic partials, fast attack, exponential decay.
double Bell(double t, double frequency)
{
    if (t < 0.0) {
        return 0.0;
    }
    const double attack = std::min(1.0, t / 0.004);
    const double twoPi = 2.0 * std::numbers::pi;
    const double body = std::sin(twoPi * frequency * t) * std::exp(-3.2 * t);
    const double partial2 = 0.35 * std::sin(twoPi * frequency * 2.0 * t) * std::exp(-5.5 * t);
    const double partial3 = 0.12 * std::sin(twoPi * frequency * 2.76 * t) * std::exp(-9.0 * t);
    return attack * (body + partial2 + partial3);
}

std::vector<uint8_t> Samples()
{
    // E6 then C6, a major third down: the usual friendly "ding-dong".
    const Note notes[] = {{0.0, 1318.51, 0.55}, {0.28, 1046.50, 0.60}};
    std::vector<uint8_t> out(kSampleBytes);
    for (uint32_t i = 0; i < kSampleBytes; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double value = 0.0;
        for (const Note& note : notes) {
            value += note.gain * Bell(t - note.startSeconds, note.frequency);
        }
        // Fade the last 40 ms so the sound ends without a click.
        const double remaining = static_cast<double>(kSampleBytes - i) / kRate;
        value *= std::min(1.0, remaining / 0.04);
        const double scaled = 128.0 + 127.0 * std::clamp(value, -1.0, 1.0);
        out[i] = static_cast<uint8_t>(std::lround(scaled));
    }
    return out;
}

void Put16(std::string& s, uint16_t v)
{
    s.push_back(static_cast<char>(v & 0xff));
    s.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, static_cast<uint16_t>(v & 0xffff));
    Put16(s, static_cast<uint16_t>(v >> 16));
}

std::string Wave(const std::vector<uint8_t>& samples)
{
    std::string fmt;
    Put16(fmt, 1); // PCM
    Put16(fmt, 1); // mono
    Put32(fmt, kRate); // samples per second
    Put32(fmt, kRate); // bytes per second
    Put16(fmt, 1); // block align
    Put16(fmt, 8); // bits per sample
    Put16(fmt, 0); // no extra format bytes
    std::string body = "WAVE";
    body += "fmt ";
    Put32(body, static_cast<uint32_t>(fmt.size()));
    body += fmt;
    body += "fact";
    Put32(body, 4);
    Put32(body, static_cast<uint32_t>(samples.size()));
    body += "data";
    Put32(body, static_cast<uint32_t>(samples.size()));
    body.append(samples.begin(), samples.end());
    std::string file = "RIFF";
    Put32(file, static_cast<uint32_t>(body.size()));
    return file + body;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    const std::string bytes = Wave(Samples());
    std::FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0 && ok) ? 0 : 1;
}
