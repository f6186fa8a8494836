// The soundtrack decoded by vorbisfile into the platform's audio device. The device callback
// decodes straight into the device buffer and tells the clock how many frames it handed over.
// A file of another layout than the device's 44100 Hz stereo is mixed down to stereo here and
// resampled by the platform's converter, so it plays at its own speed on the same clock.
#include "sound/soundtrack.h"

#include "base/error.h"
#include "base/files.h"
#include "base/piece_schedule.h"
#include "base/warning.h"
#include "platform/audio_device.h"
#include "platform/ticks.h"
#include "sound/soundtrack_clock.h"
#include "system/file_system.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kMixRate = 44100;
constexpr int kBlockFrames = 1024; // 23 ms a block: the route's clock reports come this often
constexpr int kChannels = 2;
constexpr int kMaxFileChannels = 8; // the layouts Vorbis defines
constexpr int kDecodeBytes = 16384; // one ov_read of a converted file
constexpr int kLayoutChanged = 1;   // a fault of our own beside vorbisfile's negative codes

} // namespace

struct SoundtrackStream {
    OggVorbis_File file{};
    std::string path; // as the caller named it, for warnings
    int rate = kMixRate;
    int channels = kChannels;
    bool ended = false;
    // Set up only for a file of another layout than the device's.
    RateConverter* converter = nullptr;
    bool mixDown = false;
    bool drained = false; // the whole file went into the converter
    // Written by the audio thread, reported by the main thread.
    std::atomic<int> fault{0};
    std::atomic<bool> skippedDamage{false};
    bool faultReported = false;
    bool damageReported = false;
};

SoundtrackStream* SoundStream = nullptr;
int32_t SoundChannel = 0;

namespace {

SoundtrackStream* g_playing = nullptr;
SoundtrackClock g_clock(kMixRate);
// Decoded samples of a converted file, before the mix-down and the resampler.
int16_t g_decoded[kDecodeBytes / sizeof(int16_t)];

void WarnSilent(std::string_view path, const std::string& fault)
{
    Warn(path, fault + "; the piece plays silently on the same clock");
}

std::string VorbisFault(int code)
{
    switch (code) {
    case OV_EREAD: return "read error";
    case OV_ENOTVORBIS: return "not an Ogg Vorbis file";
    case OV_EVERSION: return "Vorbis version not supported";
    case OV_EBADHEADER: return "damaged Vorbis headers";
    case OV_EBADLINK: return "damaged Ogg stream (invalid link)";
    case OV_EFAULT: return "decoder fault (damaged data)";
    case kLayoutChanged: return "a later part changes the rate or channel count";
    default: return StrFormat("cannot be decoded (vorbisfile error %d)", code);
    }
}

// Prepares the mix-down and resampling a file of another layout needs; false (with the
// fault) when it cannot be played at all.
bool PrepareConversion(SoundtrackStream& stream, std::string& fault)
{
    if (stream.channels < 1 || stream.channels > kMaxFileChannels) {
        fault = StrFormat("%d channels cannot be played (1 to %d can)", stream.channels, kMaxFileChannels);
        return false;
    }
    stream.mixDown = stream.channels != kChannels;
    if (stream.rate == kMixRate) return true;
    stream.converter = CreateRateConverter(static_cast<int>(stream.rate), kMixRate);
    if (!stream.converter) fault = StrFormat("a rate of %d Hz cannot be converted to %d Hz", stream.rate, kMixRate);
    return stream.converter != nullptr;
}

// A file that ends before the piece does was most likely cut short: say so (it still plays).
void WarnIfShorterThanThePiece(SoundtrackStream& stream)
{
    const double seconds = ov_time_total(&stream.file, -1);
    const double pieceSeconds = PieceEndMs() / 1000.0;
    if (seconds >= 0 && seconds < pieceSeconds)
        Warn(stream.path, StrFormat("lasts %.1f s, the piece %.1f s (cut short?); the rest plays silently",
                                    seconds, pieceSeconds));
}

// How much of each channel of a Vorbis layout goes to the left and to the right: fronts to
// their side, the centre to both at -3 dB, surrounds and rears to their side at -3 dB, a rear
// centre to both at -6 dB, the LFE nowhere.
struct MixWeights {
    float left, right;
};
constexpr float kSide = 0.7071f;
constexpr MixWeights kMixDown[kMaxFileChannels + 1][kMaxFileChannels] = {
    {},
    {{1, 1}},
    {{1, 0}, {0, 1}},
    {{1, 0}, {kSide, kSide}, {0, 1}},
    {{1, 0}, {0, 1}, {kSide, 0}, {0, kSide}},
    {{1, 0}, {kSide, kSide}, {0, 1}, {kSide, 0}, {0, kSide}},
    {{1, 0}, {kSide, kSide}, {0, 1}, {kSide, 0}, {0, kSide}, {0, 0}},
    {{1, 0}, {kSide, kSide}, {0, 1}, {kSide, 0}, {0, kSide}, {0.5f, 0.5f}, {0, 0}},
    {{1, 0}, {kSide, kSide}, {0, 1}, {kSide, 0}, {0, kSide}, {kSide, 0}, {0, kSide}, {0, 0}},
};

// Mixes `frames` frames of `channels` interleaved channels to stereo, in place (the buffer
// holds two channels a frame). Each side is scaled by the sum of its weights, so a full-scale
// file cannot clip. A mono file grows, so it is walked from its end.
void MixDownToStereo(int16_t* samples, int frames, int channels)
{
    const MixWeights* weights = kMixDown[channels];
    float leftSum = 0, rightSum = 0;
    for (int c = 0; c < channels; ++c) {
        leftSum += weights[c].left;
        rightSum += weights[c].right;
    }
    for (int step = 0; step < frames; ++step) {
        const int f = channels < kChannels ? frames - 1 - step : step;
        const int16_t* in = samples + f * channels;
        float left = 0, right = 0;
        for (int c = 0; c < channels; ++c) {
            left += in[c] * weights[c].left;
            right += in[c] * weights[c].right;
        }
        samples[2 * f] = static_cast<int16_t>(left / leftSum);
        samples[2 * f + 1] = static_cast<int16_t>(right / rightSum);
    }
}

// One ov_read into buffer: the bytes decoded, 0 at the end of the file or after a fault
// (kept for the main thread to report; a layout change part way is one). Damaged data that
// vorbisfile skips is noted and decoding goes on after it.
long ReadDecoded(SoundtrackStream& stream, uint8_t* buffer, int bytes)
{
    for (;;) {
        int section = 0;
        const long got = ov_read(&stream.file, reinterpret_cast<char*>(buffer), bytes, 0, 2, 1, &section);
        if (got == OV_HOLE) {
            stream.skippedDamage = true;
            continue;
        }
        if (got < 0) stream.fault = static_cast<int>(got);
        // A chained file may change its layout part way; what follows would play wrong.
        const vorbis_info* info = got > 0 ? ov_info(&stream.file, section) : nullptr;
        if (info && (info->channels != stream.channels || info->rate != stream.rate)) {
            stream.fault = kLayoutChanged;
            return 0;
        }
        return std::max(got, 0L);
    }
}

// Device bytes (44100 Hz stereo) of a file in the device's layout.
int DecodeDirect(SoundtrackStream& stream, uint8_t* buffer, int bytes)
{
    int filled = 0;
    while (filled < bytes) {
        const long got = ReadDecoded(stream, buffer + filled, bytes - filled);
        if (got == 0) {
            stream.ended = true;
            break;
        }
        filled += static_cast<int>(got);
    }
    return filled;
}

// Device bytes of a file of another layout: decoded, mixed down, resampled.
int DecodeConverted(SoundtrackStream& stream, uint8_t* buffer, int bytes)
{
    int filled = 0;
    while (filled < bytes) {
        if (stream.converter) {
            filled += GetConverted(stream.converter, buffer + filled, bytes - filled);
            if (filled == bytes) break;
        }
        if (stream.drained) {
            stream.ended = true;
            break;
        }
        // Whole frames of the file's layout, as many as fit the scratch buffer once mixed to
        // stereo (a mono file doubles), and without a resampler no more than the device needs.
        const int frameBytes = static_cast<int>(sizeof(int16_t)) * stream.channels;
        const int fitting = kDecodeBytes / (static_cast<int>(sizeof(int16_t)) * std::max(stream.channels, kChannels));
        const int wanted = stream.converter ? fitting : std::min(fitting, (bytes - filled) / (2 * kChannels));
        const int want = wanted * frameBytes;
        const long got = ReadDecoded(stream, reinterpret_cast<uint8_t*>(g_decoded), want);
        if (got == 0) {
            stream.drained = true;
            if (stream.converter) FlushConversion(stream.converter);
            continue;
        }
        const int frames = static_cast<int>(got) / frameBytes;
        if (stream.mixDown) MixDownToStereo(g_decoded, frames, stream.channels);
        const int stereoBytes = frames * kChannels * static_cast<int>(sizeof(int16_t));
        if (!stream.converter) {
            std::memcpy(buffer + filled, g_decoded, static_cast<size_t>(stereoBytes));
            filled += stereoBytes;
        } else if (!PutForConversion(stream.converter, g_decoded, stereoBytes)) {
            stream.fault = OV_EFAULT;
            stream.drained = true;
        }
    }
    return filled;
}

// The next device bytes of the stream; fewer at its end, none after it.
int DecodeForDevice(SoundtrackStream& stream, uint8_t* buffer, int bytes)
{
    if (stream.ended) return 0;
    return stream.mixDown || stream.converter ? DecodeConverted(stream, buffer, bytes)
                                              : DecodeDirect(stream, buffer, bytes);
}

// Fills the device buffer with decoded samples, silence after the end of the stream; the
// clock hears when the block will be heard.
void FillDeviceBlock(uint8_t* buffer, int bytes, const AudioTiming& timing)
{
    const int frameBytes = static_cast<int>(sizeof(int16_t)) * kChannels;
    g_clock.BlockHanded(bytes / frameBytes, timing);
    const int filled = g_playing ? DecodeForDevice(*g_playing, buffer, bytes) : 0;
    if (filled < bytes) std::memset(buffer + filled, 0, static_cast<size_t>(bytes - filled));
}

// Moves the decoder to ms, past the end of the stream silent; the caller holds the audio lock
// (or the device is stopped). What a converted file had waiting in its resampler is dropped.
void SeekDecoder(SoundtrackStream& stream, int32_t ms)
{
    stream.ended = ov_time_seek(&stream.file, ms / 1000.0) != 0;
    stream.drained = false;
    if (stream.converter) ClearConversion(stream.converter);
}

// Main thread: says once what went wrong while the stream played.
void ReportPlaybackFaults(SoundtrackStream* stream, int32_t ms)
{
    if (!stream) return;
    const int fault = stream->fault;
    if (fault != 0 && !stream->faultReported) {
        stream->faultReported = true;
        Warn(stream->path, StrFormat("%s near %.1f s; the rest plays silently", VorbisFault(fault).c_str(), ms / 1000.0));
    }
    if (stream->skippedDamage && !stream->damageReported) {
        stream->damageReported = true;
        Warn(stream->path, StrFormat("damaged data near %.1f s was skipped", ms / 1000.0));
    }
}

} // namespace

bool InitSound(int32_t avOffsetMs)
{
    if (!OpenAudioDevice(kMixRate, kChannels, kBlockFrames, FillDeviceBlock)) return false;
    g_clock.SetExtraDelayUs(avOffsetMs * int64_t{1000});
    return true;
}

void CloseSound()
{
    CloseAudioDevice();
}

SoundtrackStream* OpenSoundStream(std::string_view path)
{
    // Only a regular file is opened, never waited on: a FIFO in its place cannot hold the start-up.
    std::string fault;
    bool missing = false;
    std::FILE* file = OpenRegularFile(ResolvePath(path), OpenFor::Reading, fault, missing);
    if (!file) {
        WarnSilent(path, missing ? "missing" : fault);
        return nullptr;
    }
    // An Ogg file whose Vorbis headers cannot be read is damaged rather than something else.
    char magic[4] = {};
    const bool ogg = std::fread(magic, 1, sizeof magic, file) == sizeof magic &&
                     std::memcmp(magic, "OggS", sizeof magic) == 0;
    std::rewind(file);
    auto* stream = new SoundtrackStream;
    stream->path = std::string(path);
    // On success the stream owns the file and ov_clear closes it.
    const int opened = ov_open_callbacks(file, &stream->file, nullptr, 0, OV_CALLBACKS_DEFAULT);
    if (opened != 0) {
        std::fclose(file);
        delete stream;
        WarnSilent(path, opened == OV_ENOTVORBIS && ogg ? "Ogg without complete Vorbis headers (damaged or cut short)"
                                                        : VorbisFault(opened));
        return nullptr;
    }
    // vorbisfile leaves a chained file at the start of its second part; it plays from the first.
    if (ov_streams(&stream->file) > 1) ov_pcm_seek(&stream->file, 0);
    const vorbis_info* info = ov_info(&stream->file, 0);
    stream->rate = info ? static_cast<int>(info->rate) : 0;
    stream->channels = info ? info->channels : 0;
    if (!PrepareConversion(*stream, fault)) {
        ov_clear(&stream->file);
        delete stream;
        WarnSilent(path, fault);
        return nullptr;
    }
    WarnIfShorterThanThePiece(*stream);
    return stream;
}

void CloseSoundStream(SoundtrackStream* stream)
{
    if (!stream) return;
    if (stream == g_playing) {
        LockAudioDevice();
        g_playing = nullptr;
        UnlockAudioDevice();
    }
    if (stream == SoundStream) SoundStream = nullptr;
    ov_clear(&stream->file);
    DestroyRateConverter(stream->converter);
    delete stream;
}

void PlaySoundStream(int32_t channel, SoundtrackStream* stream, int32_t startMs)
{
    SoundChannel = channel;
    const bool playable = stream && HasAudioDevice();
    if (stream && startMs > 0) SeekDecoder(*stream, startMs);
    LockAudioDevice();
    g_playing = playable ? stream : nullptr;
    g_clock.Start(startMs, SteadyMicroseconds(), playable);
    UnlockAudioDevice();
    if (playable) PauseAudioDevice(false);
}

int DecodeDeviceFrames(SoundtrackStream* stream, int16_t* samples, int frames)
{
    const int frameBytes = static_cast<int>(sizeof(int16_t)) * kChannels;
    return DecodeForDevice(*stream, reinterpret_cast<uint8_t*>(samples), frames * frameBytes) / frameBytes;
}

int32_t SoundStreamTimeMs(SoundtrackStream* stream)
{
    return static_cast<int32_t>(SoundStreamTimeAt(stream, SteadyMicroseconds()) / 1000);
}

int64_t SoundStreamTimeAt(SoundtrackStream*, int64_t steadyUs)
{
    const int64_t us = g_clock.TimeUs(steadyUs);
    ReportPlaybackFaults(g_playing, static_cast<int32_t>(std::min<int64_t>(us / 1000, INT32_MAX)));
    return us;
}

const char* SoundRouteDescription()
{
    return AudioRouteDescription();
}

int SoundUnderruns()
{
    return AudioUnderrunCount();
}

int SoundClockJumps()
{
    return g_clock.Jumps();
}

void PauseSoundStream(bool paused)
{
    if (paused == g_clock.Paused()) return;
    if (paused) {
        // Stopped first, so no block is decoded between the held time and the pause.
        if (g_playing) PauseAudioDevice(true);
        LockAudioDevice();
        const SoundtrackClock::Held held = g_clock.Pause(SteadyMicroseconds());
        if (g_playing) SeekDecoder(*g_playing, held.streamMs);
        UnlockAudioDevice();
    } else {
        LockAudioDevice();
        g_clock.Resume(SteadyMicroseconds());
        UnlockAudioDevice();
        if (g_playing) PauseAudioDevice(false);
    }
}

void SeekSoundStream(int32_t ms)
{
    LockAudioDevice();
    if (g_playing) SeekDecoder(*g_playing, ms);
    g_clock.Seek(ms, SteadyMicroseconds());
    UnlockAudioDevice();
}
