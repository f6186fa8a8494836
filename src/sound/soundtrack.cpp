// The soundtrack decoded by vorbisfile into the platform's audio device. The device callback
// decodes straight into the device buffer and tells the clock how many frames it handed over.
#include "sound/soundtrack.h"

#include "base/files.h"
#include "platform/audio_device.h"
#include "sound/soundtrack_clock.h"

#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cstring>
#include <string>

struct SoundtrackStream {
    OggVorbis_File file{};
    int rate = 44100;
    int channels = 2;
    bool ended = false;
};

SoundtrackStream* SoundStream = nullptr;
int32_t SoundChannel = 0;

namespace {

constexpr int kMixRate = 44100;
constexpr int kBlockFrames = 1024; // 23 ms a callback

constexpr int kChannels = 2;
SoundtrackStream* g_playing = nullptr;
SoundtrackClock g_clock(kMixRate);

int64_t SteadyMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// Fills the device buffer with decoded samples, silence after the end of the stream.
void FillDeviceBlock(uint8_t* buffer, int bytes)
{
    const int frameBytes = static_cast<int>(sizeof(int16_t)) * kChannels;
    int filled = 0;
    while (g_playing && !g_playing->ended && filled < bytes) {
        int section = 0;
        const long got = ov_read(&g_playing->file, reinterpret_cast<char*>(buffer) + filled,
                                 bytes - filled, 0, 2, 1, &section);
        if (got == OV_HOLE) continue; // a gap in the stream: keep decoding after it
        if (got <= 0) {
            g_playing->ended = true;
            break;
        }
        filled += static_cast<int>(got);
    }
    if (filled < bytes) std::memset(buffer + filled, 0, static_cast<size_t>(bytes - filled));
    g_clock.FramesHanded(bytes / frameBytes, SteadyMicroseconds());
}

// Moves the decoder to ms; the caller holds the audio lock (or the device is stopped).
void SeekDecoder(int32_t ms)
{
    if (!g_playing) return;
    g_playing->ended = ov_time_seek(&g_playing->file, ms / 1000.0) != 0;
}

} // namespace

bool InitSound()
{
    return OpenAudioDevice(kMixRate, kChannels, kBlockFrames, FillDeviceBlock);
}

void CloseSound()
{
    CloseAudioDevice();
}

SoundtrackStream* OpenSoundStream(std::string_view path)
{
    const std::string real = ResolvePath(path);
    auto* stream = new SoundtrackStream;
    if (ov_fopen(real.c_str(), &stream->file) != 0) {
        delete stream;
        return nullptr;
    }
    const vorbis_info* info = ov_info(&stream->file, -1);
    // The device plays 44100 Hz stereo; another layout would play at the wrong speed.
    if (!info || info->rate != kMixRate || info->channels != kChannels) {
        ov_clear(&stream->file);
        delete stream;
        return nullptr;
    }
    return stream;
}

void PlaySoundStream(int32_t channel, SoundtrackStream* stream, int32_t startMs)
{
    SoundChannel = channel;
    const bool playable = stream && HasAudioDevice();
    if (stream && startMs > 0 && ov_time_seek(&stream->file, startMs / 1000.0) != 0) stream->ended = true;
    LockAudioDevice();
    g_playing = playable ? stream : nullptr;
    g_clock.Start(startMs, SteadyMicroseconds(), playable);
    UnlockAudioDevice();
    if (playable) PauseAudioDevice(false);
}

int32_t SoundStreamTimeMs(SoundtrackStream*)
{
    return g_clock.TimeMs(SteadyMicroseconds());
}

void PauseSoundStream(bool paused)
{
    if (paused == g_clock.Paused()) return;
    if (paused) {
        // Stopped first, so no block is decoded between the held time and the pause.
        if (g_playing) PauseAudioDevice(true);
        LockAudioDevice();
        SeekDecoder(g_clock.Pause(SteadyMicroseconds()));
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
    SeekDecoder(ms);
    g_clock.Seek(ms, SteadyMicroseconds());
    UnlockAudioDevice();
}
