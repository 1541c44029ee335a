#include "server/AudioConverter.h"

#include "server/MemorySoundFile.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <vector>

namespace vandu::server {

namespace {

constexpr int kTargetRate = 8000;

// Reads every frame and averages the channels into one.
int ReadMono(const std::string& bytes, std::vector<float>& mono, int& rate, std::string& error)
{
    CMemorySoundFile input(bytes);
    SF_INFO info {};
    SNDFILE* file = input.Open(SFM_READ, info);
    if (!file) {
        error = std::string("not a readable sound file: ") + sf_strerror(nullptr);
        return -1;
    }
    const bool sane = info.channels > 0 && info.channels <= 64 && info.samplerate > 0 && info.samplerate <= 192000
        && info.frames > 0;
    if (!sane || static_cast<double>(info.frames) / info.samplerate > CAudioConverter::kMaxSeconds) {
        sf_close(file);
        error = info.frames <= 0 ? "the recording is empty" : "the recording is too long or malformed";
        return -1;
    }
    rate = info.samplerate;
    std::vector<float> block(static_cast<size_t>(4096) * static_cast<size_t>(info.channels));
    sf_count_t got = 0;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0;
            for (int c = 0; c < info.channels; ++c) {
                sum += block[static_cast<size_t>(f * info.channels + c)];
            }
            mono.push_back(sum / static_cast<float>(info.channels));
        }
    }
    sf_close(file);
    if (mono.empty()) {
        error = "the recording holds no readable samples";
        return -1;
    }
    return 0;
}

int Resample(const std::vector<float>& in, int rate, std::vector<float>& out, std::string& error)
{
    if (rate == kTargetRate) {
        out = in;
        return 0;
    }
    const double ratio = static_cast<double>(kTargetRate) / rate;
    out.resize(static_cast<size_t>(static_cast<double>(in.size()) * ratio) + 64);
    SRC_DATA data {};
    data.data_in = in.data();
    data.input_frames = static_cast<long>(in.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    const int rc = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1);
    if (rc != 0) {
        error = std::string("cannot convert the sample rate: ") + src_strerror(rc);
        return -1;
    }
    out.resize(static_cast<size_t>(data.output_frames_gen));
    return 0;
}

int Encode(const std::vector<float>& samples, int subtype, std::string& wave, std::string& error)
{
    CMemorySoundFile output;
    SF_INFO info {};
    info.samplerate = kTargetRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | subtype;
    SNDFILE* file = output.Open(SFM_WRITE, info);
    if (!file) {
        error = std::string("cannot encode the recording: ") + sf_strerror(nullptr);
        return -1;
    }
    // Loud input must saturate, not wrap around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const auto frames = static_cast<sf_count_t>(samples.size());
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    if (!written) {
        error = "cannot encode the recording";
        return -1;
    }
    wave = output.Bytes();
    return 0;
}

// GSM 6.10 in WAV packs 320 samples into a 65-byte block. An odd number of blocks leaves a pad
// byte that libsndfile's reader counts as one more block, so the recording is cut or padded with
// silence to the nearest even number of blocks: its decoded length then stays within 40 ms.
std::vector<float> WholeGsmBlockPairs(const std::vector<float>& samples)
{
    constexpr size_t kPair = 640;
    const size_t pairs = std::max<size_t>(1, (samples.size() + kPair / 2) / kPair);
    std::vector<float> out(
        samples.begin(), samples.begin() + static_cast<long>(std::min(samples.size(), pairs * kPair)));
    out.resize(pairs * kPair, 0.0f);
    return out;
}

} // namespace

int CAudioConverter::Convert(const std::string& fileBytes, CConvertedRecording& out, std::string& error)
{
    std::vector<float> mono;
    int rate = 0;
    if (ReadMono(fileBytes, mono, rate, error) != 0) {
        return -1;
    }
    std::vector<float> resampled;
    if (Resample(mono, rate, resampled, error) != 0 || resampled.empty()) {
        if (error.empty()) {
            error = "the recording is too short";
        }
        return -1;
    }
    CConvertedRecording result;
    if (Encode(WholeGsmBlockPairs(resampled), SF_FORMAT_GSM610, result.GsmWave, error) != 0
        || Encode(resampled, SF_FORMAT_PCM_16, result.PcmWave, error) != 0) {
        return -1;
    }
    result.Seconds = static_cast<double>(resampled.size()) / kTargetRate;
    out = std::move(result);
    return 0;
}

} // namespace vandu::server
