// The soundtrack stream on a real (dummy) audio device, with and without a file.
#include "platform/files.h"
#include "sound/soundtrack.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

// A few seconds of a quiet 220 Hz tone as Ogg Vorbis.
std::string EncodeTone(int rate, int channels, double seconds)
{
    vorbis_info info;
    vorbis_info_init(&info);
    EXPECT_EQ(vorbis_encode_init_vbr(&info, channels, rate, 0.3f), 0);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    std::string bytes;
    ogg_page page;
    auto take = [&](int (*next)(ogg_stream_state*, ogg_page*)) {
        while (next(&stream, &page)) {
            bytes.append(reinterpret_cast<char*>(page.header), page.header_len);
            bytes.append(reinterpret_cast<char*>(page.body), page.body_len);
        }
    };
    take(ogg_stream_flush);
    const int frames = static_cast<int>(seconds * rate);
    for (int done = 0; done <= frames;) {
        const int count = std::min(1024, frames - done);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            for (int i = 0; i < count; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = 0.2f * static_cast<float>(std::sin(2 * M_PI * 220.0 * (done + i) / rate));
        }
        vorbis_analysis_wrote(&dsp, count);
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                take(ogg_stream_pageout);
            }
        }
        if (count == 0) break;
        done += count;
    }
    take(ogg_stream_flush);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return bytes;
}

TEST(Soundtrack, OpensOnlyStereo44100OggFiles)
{
    TempDir dir;
    dir.Write("data/soundtrack.ogg", EncodeTone(44100, 2, 1.0));
    dir.Write("data/mono.ogg", EncodeTone(44100, 1, 1.0));
    dir.Write("data/slow.ogg", EncodeTone(22050, 2, 1.0));
    dir.Write("data/broken.ogg", std::string("OggS not really"));
    SetDataRoot(dir.Path().string());
    SoundtrackStream* stream = OpenSoundStream("data\\SOUNDTRACK.ogg");
    EXPECT_NE(stream, nullptr);
    EXPECT_EQ(OpenSoundStream("data\\mono.ogg"), nullptr);
    EXPECT_EQ(OpenSoundStream("data\\slow.ogg"), nullptr);
    EXPECT_EQ(OpenSoundStream("data\\broken.ogg"), nullptr);
    EXPECT_EQ(OpenSoundStream("data\\missing.ogg"), nullptr);
    SetDataRoot(".");
}

// One program-wide device, so both cases run in one test: start-up opens it once.
TEST(Soundtrack, PlaysOnTheDeviceAndTheClockAdvancesWithOrWithoutAFile)
{
    TempDir dir;
    dir.Write("data/soundtrack.ogg", EncodeTone(44100, 2, 3.0));
    SetDataRoot(dir.Path().string());
    ASSERT_TRUE(InitSound()) << "SDL_AUDIODRIVER=dummy gives a device";

    SoundStream = OpenSoundStream("data\\soundtrack.ogg");
    ASSERT_NE(SoundStream, nullptr);
    PlaySoundStream(0, SoundStream, 1000);
    EXPECT_GE(SoundStreamTimeMs(SoundStream), 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int32_t played = SoundStreamTimeMs(SoundStream);
    EXPECT_GT(played, 1050);
    EXPECT_LT(played, 2500);

    // No file: the same clock runs from the start position, silently.
    PlaySoundStream(0, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int32_t silent = SoundStreamTimeMs(nullptr);
    EXPECT_GT(silent, 100);
    EXPECT_LT(silent, 2000);
    CloseSound();
    SetDataRoot(".");
}

} // namespace
