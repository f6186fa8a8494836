// Ogg Vorbis (libvorbisenc) and WAV writers of the soundtrack (see encoders.h).
#include "music/encoders.h"

#include "music/oscillators.h"
#include "base/byte_order.h"
#include "base/error.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace music {
namespace {

// Fixed, so that two encodings of the same track are the same bytes.
constexpr int kStreamSerial = 0x6c616e74;
constexpr size_t kEncodeBlockFrames = 4096;

void AppendPage(std::vector<uint8_t>& bytes, const ogg_page& page)
{
    bytes.insert(bytes.end(), page.header, page.header + page.header_len);
    bytes.insert(bytes.end(), page.body, page.body + page.body_len);
}

// Memory reader for vorbisfile.
struct MemoryStream {
    const std::vector<uint8_t>* bytes;
    size_t position;
};

size_t ReadMemory(void* destination, size_t size, size_t count, void* source)
{
    auto* stream = static_cast<MemoryStream*>(source);
    const size_t wanted = size * count;
    const size_t available = stream->bytes->size() - stream->position;
    const size_t taken = std::min(wanted, available);
    std::memcpy(destination, stream->bytes->data() + stream->position, taken);
    stream->position += taken;
    return size ? taken / size : 0;
}

} // namespace

std::vector<uint8_t> EncodeOggVorbis(const std::vector<float>& interleaved, float quality,
                                     const std::function<void(double)>& progress, int channels, int sampleRate)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (channels < 1 || vorbis_encode_init_vbr(&info, channels, sampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        throw FatalError(StrFormat("soundtrack: the Vorbis encoder refused %d Hz with %d channels", sampleRate, channels));
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "the hollow lantern of rust");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kStreamSerial);

    std::vector<uint8_t> bytes;
    ogg_packet header, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(bytes, page);

    const size_t width = static_cast<size_t>(channels);
    const size_t frames = interleaved.size() / width;
    size_t done = 0;
    bool finished = false;
    while (!finished) {
        const size_t count = std::min(kEncodeBlockFrames, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                for (size_t c = 0; c < width; ++c) buffer[c][i] = interleaved[width * (done + i) + c];
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(bytes, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
        if (progress) progress(frames ? static_cast<double>(done) / static_cast<double>(frames) : 1.0);
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return bytes;
}

std::vector<float> DecodeOggVorbis(const std::vector<uint8_t>& bytes)
{
    MemoryStream stream{&bytes, 0};
    const ov_callbacks callbacks{ReadMemory, nullptr, nullptr, nullptr};
    OggVorbis_File file;
    if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0)
        throw FatalError("soundtrack: the encoded stream does not decode");
    std::vector<float> interleaved;
    for (;;) {
        float** channels = nullptr;
        int section = 0;
        const long count = ov_read_float(&file, &channels, 4096, &section);
        if (count <= 0) break;
        for (long i = 0; i < count; ++i) {
            interleaved.push_back(channels[0][i]);
            interleaved.push_back(channels[1][i]);
        }
    }
    ov_clear(&file);
    return interleaved;
}

std::vector<uint8_t> EncodeWav16(const std::vector<float>& interleaved)
{
    const uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    const auto text = [&bytes](const char* four) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(four[i]));
    };
    text("RIFF");
    AppendLE(bytes, 36 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    AppendLE(bytes, 16, 4);
    AppendLE(bytes, 1, 2); // PCM
    AppendLE(bytes, 2, 2);
    AppendLE(bytes, kSampleRate, 4);
    AppendLE(bytes, kSampleRate * 4, 4);
    AppendLE(bytes, 4, 2);
    AppendLE(bytes, 16, 2);
    text("data");
    AppendLE(bytes, dataBytes, 4);
    for (float sample : interleaved) {
        const long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
        AppendLE(bytes, static_cast<uint32_t>(value), 2);
    }
    return bytes;
}

} // namespace music
