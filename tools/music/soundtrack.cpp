// Renders the score into stems (in parallel: each stem is one instrument's notes, summed
// in a fixed order, so the result does not depend on thread timing), mixes them through
// side-chain ducking, delay and reverb, masters the sum to its loudness and true-peak
// targets, and encodes it.
#include "music/soundtrack.h"

#include "music/effects.h"
#include "music/encoders.h"
#include "music/filters.h"
#include "music/instruments.h"
#include "music/limiter.h"
#include "music/score.h"
#include "base/error.h"
#include "base/output_file.h"

#include <ebur128.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace music {
namespace {

constexpr double kTargetLoudness = -14.0; // LUFS, integrated
constexpr float kCeiling = 0.7f;          // -3.1 dBTP before encoding; the codec adds up to a decibel
constexpr float kDecodedPeakLimit = 0.83f; // -1.6 dBTP after decoding
constexpr float kVorbisQuality = 0.5f;
constexpr int kWorkerThreads = 2;
// The run ends during the outro; the music fades from here to silence at the end.
constexpr double kFadeStartSeconds = 297.0;
constexpr double kFadeEndSeconds = 309.5;

// A progress line on stderr, rewritten in place; silent when not wanted.
class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : m_enabled(enabled) {}
    void Show(const char* stage, double fraction)
    {
        if (!m_enabled) return;
        const std::lock_guard<std::mutex> lock(m_mutex);
        const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
        if (percent == m_lastPercent && stage == m_lastStage) return;
        m_lastPercent = percent;
        m_lastStage = stage;
        std::fprintf(stderr, "\rsoundtrack: %-12s %3d%%", stage, percent);
        std::fflush(stderr);
    }
    void Finish()
    {
        if (m_enabled) std::fprintf(stderr, "\n");
    }

private:
    bool m_enabled;
    std::mutex m_mutex;
    int m_lastPercent = -1;
    const char* m_lastStage = nullptr;
};

// Decaying tails and filter states sink into denormal numbers, which the processor
// handles a hundred times slower; while it lives, this flushes them to zero on the
// calling thread (the same on every run, so the output stays deterministic).
class FlushDenormals {
public:
    FlushDenormals()
    {
#if defined(__SSE__)
        m_saved = _mm_getcsr();
        _mm_setcsr(m_saved | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~FlushDenormals()
    {
#if defined(__SSE__)
        _mm_setcsr(m_saved);
#endif
    }
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned m_saved = 0;
};

struct StereoBuffer {
    std::vector<float> left, right;
    explicit StereoBuffer(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t Frames() const { return left.size(); }
};

// How each instrument sits in the mix.
struct StemMix {
    float gain;
    float reverbSend;
    float delaySend;
    float duckDepth; // how far it gives way to the kick
};
constexpr std::array<StemMix, kInstrumentCount> kStemMix{{
    {0.45f, 0.02f, 0.00f, 0.00f}, // kick
    {0.90f, 0.22f, 0.00f, 0.00f}, // snare
    {1.10f, 0.25f, 0.00f, 0.00f}, // clap
    {0.45f, 0.08f, 0.00f, 0.00f}, // hat
    {0.80f, 0.00f, 0.00f, 0.55f}, // bass
    {0.16f, 0.35f, 0.00f, 0.50f}, // pad
    {0.50f, 0.22f, 0.28f, 0.15f}, // lead
    {0.36f, 0.20f, 0.30f, 0.40f}, // arp
    {0.45f, 0.45f, 0.30f, 0.00f}, // bell
    {0.50f, 0.30f, 0.00f, 0.30f}, // wind
    {0.35f, 0.40f, 0.00f, 0.00f}, // riser
}};

// Per-note seeds: fixed, and different for every note of every instrument.
uint32_t NoteSeed(int instrument, size_t index)
{
    return 0x2545F491u * static_cast<uint32_t>(instrument + 1) + 0x9E3779B1u * static_cast<uint32_t>(index + 1);
}

StereoBuffer RenderStem(const Score& score, Instrument instrument, size_t frames)
{
    StereoBuffer stem(frames);
    const std::vector<Note>& notes = score.Part(instrument);
    for (size_t i = 0; i < notes.size(); ++i) {
        const auto start = static_cast<size_t>(BeatToSample(notes[i].beat));
        if (start >= frames) continue;
        RenderNote(instrument, notes[i], NoteSeed(static_cast<int>(instrument), i),
                   {stem.left.data() + start, stem.right.data() + start, frames - start});
    }
    return stem;
}

// All stems, rendered by a small pool of threads that take instruments in turn.
std::vector<StereoBuffer> RenderStems(const Score& score, size_t frames, ProgressLine& progress)
{
    std::vector<StereoBuffer> stems(kInstrumentCount);
    std::atomic<int> next{0}, done{0};
    const auto work = [&]() {
        const FlushDenormals flush;
        for (int k = next++; k < kInstrumentCount; k = next++) {
            stems[static_cast<size_t>(k)] = RenderStem(score, static_cast<Instrument>(k), frames);
            progress.Show("synthesis", static_cast<double>(++done) / kInstrumentCount);
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < kWorkerThreads; ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    return stems;
}

// Dry stems, ducked under the kick, plus the delay and reverb returns.
StereoBuffer Mix(std::vector<StereoBuffer>& stems, size_t frames)
{
    const StereoBuffer& kick = stems[static_cast<size_t>(Instrument::Kick)];
    const std::vector<float> duck = DuckingGain(kick.left.data(), kick.right.data(), frames, 0.18f);

    StereoBuffer dry(frames), reverbSend(frames), delaySend(frames);
    for (int k = 0; k < kInstrumentCount; ++k) {
        StereoBuffer& stem = stems[static_cast<size_t>(k)];
        const StemMix& mix = kStemMix[static_cast<size_t>(k)];
        if (mix.duckDepth > 0.0f) ApplyDucking(duck, mix.duckDepth, stem.left.data(), stem.right.data(), frames);
        for (size_t i = 0; i < frames; ++i) {
            const float left = stem.left[i] * mix.gain, right = stem.right[i] * mix.gain;
            dry.left[i] += left;
            dry.right[i] += right;
            reverbSend.left[i] += left * mix.reverbSend;
            reverbSend.right[i] += right * mix.reverbSend;
            delaySend.left[i] += left * mix.delaySend;
            delaySend.right[i] += right * mix.delaySend;
        }
        stem = StereoBuffer(); // free as we go: the stems are large
    }

    // Dotted-eighth echoes (three sixteenths), which land back on the sixteenth grid.
    StereoBuffer echoes(frames);
    PingPongDelay delay(static_cast<size_t>(std::lround(0.75 * kSamplesPerBeat)), 0.4f, 3200.0f);
    delay.Process(delaySend.left.data(), delaySend.right.data(), echoes.left.data(), echoes.right.data(), frames);
    for (size_t i = 0; i < frames; ++i) {
        dry.left[i] += echoes.left[i];
        dry.right[i] += echoes.right[i];
        reverbSend.left[i] += 0.3f * echoes.left[i];
        reverbSend.right[i] += 0.3f * echoes.right[i];
    }
    Reverb reverb(0.86f, 0.45f);
    reverb.Process(reverbSend.left.data(), reverbSend.right.data(), dry.left.data(), dry.right.data(), frames);
    return dry;
}

double IntegratedLoudness(const StereoBuffer& track)
{
    ebur128_state* state = ebur128_init(2, kSampleRate, EBUR128_MODE_I);
    if (!state) throw FatalError("soundtrack: cannot start the loudness meter");
    constexpr size_t kChunk = 65536;
    std::vector<float> interleaved(2 * kChunk);
    for (size_t start = 0; start < track.Frames(); start += kChunk) {
        const size_t count = std::min(kChunk, track.Frames() - start);
        for (size_t i = 0; i < count; ++i) {
            interleaved[2 * i] = track.left[start + i];
            interleaved[2 * i + 1] = track.right[start + i];
        }
        ebur128_add_frames_float(state, interleaved.data(), count);
    }
    double loudness = -70.0;
    ebur128_loudness_global(state, &loudness);
    ebur128_destroy(&state);
    return loudness;
}

// High-pass against DC and rumble, and the closing fade.
void Finish(StereoBuffer& track)
{
    OnePole leftDc, rightDc;
    leftDc.SetCutoff(18.0f);
    rightDc.SetCutoff(18.0f);
    for (size_t i = 0; i < track.Frames(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double x = std::clamp((t - kFadeStartSeconds) / (kFadeEndSeconds - kFadeStartSeconds), 0.0, 1.0);
        const auto fade = static_cast<float>(0.5 + 0.5 * std::cos(3.14159265358979 * x));
        track.left[i] = leftDc.Highpass(track.left[i]) * fade;
        track.right[i] = rightDc.Highpass(track.right[i]) * fade;
    }
}

// Gain to the target loudness, then the limiter; the limiter takes a little loudness
// away, so the gain is corrected once from a second measurement.
StereoBuffer Master(const StereoBuffer& mix, ProgressLine& progress)
{
    double gainDb = kTargetLoudness - IntegratedLoudness(mix);
    StereoBuffer limited;
    for (int pass = 0; pass < 2; ++pass) {
        progress.Show("mastering", 0.5 * pass);
        const auto gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
        limited = mix;
        for (size_t i = 0; i < limited.Frames(); ++i) {
            limited.left[i] *= gain;
            limited.right[i] *= gain;
        }
        LimitTruePeak(limited.left.data(), limited.right.data(), limited.Frames(), kCeiling);
        if (pass == 0) gainDb += kTargetLoudness - IntegratedLoudness(limited);
    }
    progress.Show("mastering", 1.0);
    return limited;
}

float InterleavedTruePeak(const std::vector<float>& interleaved)
{
    const size_t frames = interleaved.size() / 2;
    std::vector<float> left(frames), right(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = interleaved[2 * i];
        right[i] = interleaved[2 * i + 1];
    }
    return TruePeak(left.data(), right.data(), frames);
}

std::vector<float> RenderTrack(ProgressLine& progress)
{
    const FlushDenormals flush;
    const Score score = ComposeScore();
    const auto frames = static_cast<size_t>(kTrackFrames);
    std::vector<StereoBuffer> stems = RenderStems(score, frames, progress);
    progress.Show("mixing", 0.0);
    StereoBuffer mix = Mix(stems, frames);
    Finish(mix);
    const StereoBuffer track = Master(mix, progress);
    std::vector<float> interleaved(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = track.left[i];
        interleaved[2 * i + 1] = track.right[i];
    }
    return interleaved;
}

} // namespace
} // namespace music

std::vector<float> RenderScore(bool showProgress)
{
    music::ProgressLine progress(showProgress);
    std::vector<float> samples = music::RenderTrack(progress);
    progress.Finish();
    return samples;
}

void WriteSoundtrack(const std::string& oggPath, const std::string& wavPath, bool showProgress)
{
    // Both outputs are opened first, so a bad path fails before the long rendering.
    OutputFile oggFile(oggPath);
    std::unique_ptr<OutputFile> wavFile;
    if (!wavPath.empty()) wavFile = std::make_unique<OutputFile>(wavPath);
    music::ProgressLine progress(showProgress);
    std::vector<float> samples = music::RenderTrack(progress);
    std::vector<uint8_t> ogg;
    // The codec can lift peaks by a decibel or so: check the decoded stream, and if it
    // comes too near the ceiling, lower the whole track by the excess and encode again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        ogg = music::EncodeOggVorbis(samples, music::kVorbisQuality,
                                     [&progress](double fraction) { progress.Show("encoding", fraction); });
        const float peak = music::InterleavedTruePeak(music::DecodeOggVorbis(ogg));
        if (peak <= music::kDecodedPeakLimit) break;
        const float gain = music::kDecodedPeakLimit / peak * 0.97f;
        for (float& sample : samples) sample *= gain;
    }
    oggFile.Write(ogg.data(), ogg.size());
    oggFile.Commit();
    if (wavFile) {
        const std::vector<uint8_t> wav = music::EncodeWav16(samples);
        wavFile->Write(wav.data(), wav.size());
        wavFile->Commit();
    }
    progress.Finish();
}
