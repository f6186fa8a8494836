// lantern capture as a user runs it: what ffprobe finds in the file, the pictures and the
// sound it holds against the piece's own, and that no failure or interruption leaves a file.
#include "run_program.h"

#include "capture/capture_part.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using Stream = std::map<std::string, std::string>;

// The streams of a file, as ffprobe's key=value lines, with frames counted.
std::vector<Stream> ProbeStreams(const std::string& file)
{
    const ProgramRun probe = RunProgram(
        "ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                    "stream=codec_type,codec_name,width,height,pix_fmt,r_frame_rate,duration,nb_read_frames",
                    "-of", "compact=p=0", file});
    EXPECT_EQ(probe.exitCode, 0) << probe.err;
    std::vector<Stream> streams;
    std::istringstream lines(probe.out);
    std::string line;
    while (std::getline(lines, line)) {
        Stream stream;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '|')) stream[field.substr(0, field.find('='))] = field.substr(field.find('=') + 1);
        streams.push_back(stream);
    }
    return streams;
}

// Frame `index` of a video decoded to RGB rows, top first.
std::vector<uint8_t> DecodeFrame(const std::string& file, int index)
{
    const ProgramRun decode = RunProgram("ffmpeg", {"-v", "error", "-i", file, "-vf", "select=eq(n\\," + std::to_string(index) + ")",
                                                    "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "pipe:1"});
    EXPECT_EQ(decode.exitCode, 0) << decode.err;
    return std::vector<uint8_t>(decode.out.begin(), decode.out.end());
}

// Mono 16-bit samples at 44100 Hz of a file's sound, from `start` seconds for `seconds`.
std::vector<int16_t> DecodeSound(const std::string& file, double start, double seconds)
{
    const ProgramRun decode =
        RunProgram("ffmpeg", {"-v", "error", "-ss", std::to_string(start), "-t", std::to_string(seconds), "-i", file,
                              "-ac", "1", "-ar", "44100", "-f", "s16le", "pipe:1"});
    EXPECT_EQ(decode.exitCode, 0) << decode.err;
    std::vector<int16_t> samples(decode.out.size() / 2);
    std::memcpy(samples.data(), decode.out.data(), samples.size() * 2);
    return samples;
}

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size() || a.empty()) return 1e9;
    double total = 0;
    for (size_t i = 0; i < a.size(); ++i) total += std::abs(int(a[i]) - int(b[i]));
    return total / static_cast<double>(a.size());
}

// The shift, in samples, at which `moved` best matches `reference` (positive: moved is late).
int BestLag(const std::vector<int16_t>& reference, const std::vector<int16_t>& moved, int maxLag)
{
    int best = 0;
    double bestScore = -1e300;
    const int from = maxLag, to = static_cast<int>(std::min(reference.size(), moved.size())) - maxLag;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double score = 0;
        for (int i = from; i < to; ++i) score += double(reference[i]) * moved[i + lag];
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

std::vector<std::string> FilesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
}

// The arguments that make `sh` run program with `arguments` in `folder` as its working folder.
std::vector<std::string> FromFolder(const std::string& folder, const std::string& program,
                                    const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {"-c", "cd \"$0\" && exec \"$@\"", folder, program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

ProgramRun Capture(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {})
{
    std::vector<std::string> all = {"capture"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    all.insert(all.end(), {"--data", LANTERN_BUILD_DIR});
    return RunProgram(LanternPath(), all, environment);
}

// The settings the H.264 encoder writes into the stream it makes ("... options: cabac=0 ref=1
// ..."), or "" when there are none.
std::string EncoderSettings(const std::string& video)
{
    std::ifstream in(video, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t at = bytes.find("options: ");
    if (at == std::string::npos) return "";
    return bytes.substr(at, bytes.find('\0', at) - at);
}

// Every frame of a video decoded to RGB.
std::string DecodeAllFrames(const std::string& file)
{
    const ProgramRun decode =
        RunProgram("ffmpeg", {"-v", "error", "-i", file, "-f", "rawvideo", "-pix_fmt", "rgb24", "pipe:1"});
    EXPECT_EQ(decode.exitCode, 0) << decode.err;
    return decode.out;
}

// The whole sound of a video decoded, as the file holds it (rate and channels).
std::string DecodeAllSound(const std::string& file)
{
    const ProgramRun decode = RunProgram("ffmpeg", {"-v", "error", "-i", file, "-vn", "-f", "s16le", "pipe:1"});
    EXPECT_EQ(decode.exitCode, 0) << decode.err;
    return decode.out;
}

// Every packet's stream, times and length, one line each.
std::string PacketTimes(const std::string& file)
{
    return RunProgram("ffprobe", {"-v", "error", "-show_entries", "packet=stream_index,pts,dts,duration", "-of",
                                  "csv=p=0", file})
        .out;
}

class CaptureTest : public ::testing::Test {
protected:
    TempDir m_folder;
    std::string Path(const std::string& name) const { return (m_folder.Path() / name).string(); }
};

TEST_F(CaptureTest, TwoSecondsHoldTheFramesAndTheSoundOfThePiece)
{
    ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece());
    const std::string video = Path("title.mp4");
    const ProgramRun run = Capture({video, "--from", "4", "--to", "6"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("120 frames"), std::string::npos) << run.err;

    const std::vector<Stream> streams = ProbeStreams(video);
    ASSERT_EQ(streams.size(), 2u);
    Stream picture = streams[0], sound = streams[1];
    if (picture["codec_type"] != "video") std::swap(picture, sound);
    EXPECT_EQ(picture["codec_name"], "h264");
    EXPECT_EQ(picture["width"], "640");
    EXPECT_EQ(picture["height"], "480");
    EXPECT_EQ(picture["pix_fmt"], "yuv420p");
    EXPECT_EQ(picture["r_frame_rate"], "60/1");
    EXPECT_EQ(picture["nb_read_frames"], "120");
    EXPECT_NEAR(std::stod(picture["duration"]), 2.0, 0.001);
    EXPECT_EQ(sound["codec_type"], "audio");
    EXPECT_EQ(sound["codec_name"], "aac");
    EXPECT_NEAR(std::stod(sound["duration"]), 2.0, 0.025);
    // The fastest preset by default: no arithmetic coding, one reference frame.
    EXPECT_NE(EncoderSettings(video).find(" cabac=0 ref=1 "), std::string::npos) << EncoderSettings(video);

    // Frame 60 is frame 300 of the piece at 60 fps: music time 5000 ms, as a shot draws it.
    const std::vector<uint8_t> decoded = DecodeFrame(video, 60);
    EXPECT_LT(MeanDifference(decoded, RenderFrameAt(5000)), 2.5);
    EXPECT_GT(MeanDifference(decoded, RenderFrameAt(1000)), 10.0) << "the comparison tells frames apart";

    // The sound is the soundtrack from 4 s on, not shifted by as much as a frame.
    const std::vector<int16_t> captured = DecodeSound(video, 0.5, 1.0);
    const std::vector<int16_t> original = DecodeSound(std::string(LANTERN_BUILD_DIR) + "/Data/soundtrack.ogg", 4.5, 1.0);
    ASSERT_GT(captured.size(), 40000u);
    EXPECT_LE(std::abs(BestLag(original, captured, 2205)), 220) << "more than 5 ms out of step";
}

TEST_F(CaptureTest, OtherSizesAndFilesKeepTheFrameLetterboxed)
{
    // 1920x1080 holds the picture drawn natively at 1440x1080 between black pillars 240 wide:
    // the frame of a 1440x1080 picture (giorl's leaves), with its fine detail, not the 640x480
    // frame scaled up, which keeps about two thirds of it.
    const std::string wide = Path("wide.mp4");
    ProgramRun run = Capture({wide, "--fps", "10", "--size", "1920x1080", "--from", "72", "--to", "72.2", "--crf", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<Stream> streams = ProbeStreams(wide);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["width"], "1920");
    EXPECT_EQ(streams[0]["height"], "1080");
    const std::vector<uint8_t> decoded = DecodeFrame(wide, 1);
    ASSERT_EQ(decoded.size(), 1920u * 1080 * 3);
    std::vector<uint8_t> pillars, picture;
    for (int y = 0; y < 1080; ++y) {
        const auto row = decoded.begin() + y * 1920 * 3;
        pillars.insert(pillars.end(), row, row + 240 * 3);
        pillars.insert(pillars.end(), row + 1680 * 3, row + 1920 * 3);
        picture.insert(picture.end(), row + 240 * 3, row + 1680 * 3);
    }
    EXPECT_LE(*std::max_element(pillars.begin(), pillars.end()), 2);
    // The same frame as a shot of that size draws it, with the larger images such a picture
    // loads from the start.
    const std::string shot = Path("wide.png");
    run = RunProgram(LanternPath(), {"shot", "72100", shot, "--size", "1920x1080", "--data", LANTERN_BUILD_DIR});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<uint8_t> shotFrame = DecodeFrame(shot, 0);
    ASSERT_EQ(shotFrame.size(), 1920u * 1080 * 3);
    std::vector<uint8_t> native;
    for (int y = 0; y < 1080; ++y) {
        const auto row = shotFrame.begin() + y * 1920 * 3;
        native.insert(native.end(), row + 240 * 3, row + 1680 * 3);
    }
    EXPECT_LT(MeanDifference(picture, native), 2.2);
    // Detail: the mean step in green from each pixel to the next across a row.
    auto detail = [](const std::vector<uint8_t>& rgb) {
        double steps = 0;
        for (size_t i = 4; i < rgb.size(); i += 3) steps += std::abs(rgb[i] - rgb[i - 3]);
        return steps / static_cast<double>(rgb.size() / 3);
    };
    EXPECT_GT(detail(picture), 0.9 * detail(native));

    // 320x200 shows the 4:3 frame at 266x200, 27 columns of black on either side.
    const std::string mkv = Path("narrow.mkv");
    run = Capture({mkv, "--fps", "10", "--size", "320x200", "--from", "5", "--to", "5.5", "--preset", "slow"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(EncoderSettings(mkv).find(" cabac=1 ref=5 "), std::string::npos) << EncoderSettings(mkv);
    streams = ProbeStreams(mkv);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["codec_name"], "h264");
    EXPECT_EQ(streams[0]["width"], "320");
    EXPECT_EQ(streams[0]["height"], "200");
    EXPECT_EQ(streams[0]["nb_read_frames"], "5");
    EXPECT_EQ(streams[1]["codec_name"], "opus");
    const std::vector<uint8_t> frame = DecodeFrame(mkv, 0);
    ASSERT_EQ(frame.size(), 320u * 200 * 3);
    auto column = [&](int x) {
        double sum = 0;
        for (int y = 0; y < 200; ++y) sum += frame[(y * 320 + x) * 3] + frame[(y * 320 + x) * 3 + 1];
        return sum / 400;
    };
    EXPECT_LT(column(2), 8.0);
    EXPECT_LT(column(317), 8.0);
    EXPECT_GT(column(160), 30.0) << "the title shows in the middle";

    const std::string webm = Path("small.webm");
    run = Capture({webm, "--fps", "10", "--size", "320x240", "--from", "5", "--to", "5.3"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    streams = ProbeStreams(webm);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["codec_name"], "vp9");
    EXPECT_EQ(streams[0]["nb_read_frames"], "3");
    EXPECT_EQ(streams[1]["codec_name"], "opus");
}

TEST_F(CaptureTest, PartsDrawnAtOnceJoinIntoTheVideoOfOneCapture)
{
    // 60 frames at 25 fps across the cut from season to the meat montage at 108.672 s: part 2
    // starts in season, part 3 in the montage, each on the state the frame before it leaves.
    // Lossless, with B-frames, so that the decoded frames must match byte for byte and the
    // frames' order and times must survive the stream copy.
    const std::vector<std::string> settings = {"--fps", "25", "--from", "107.5", "--to", "109.9",
                                               "--crf", "0", "--preset", "veryfast"};
    auto withSettings = [&](std::vector<std::string> arguments, const std::string& size = "320x240") {
        arguments.insert(arguments.end(), settings.begin(), settings.end());
        arguments.insert(arguments.end(), {"--size", size});
        return arguments;
    };
    const std::string whole = Path("whole.mkv");
    ProgramRun run = Capture(withSettings({whole}));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // The data folder given every way a user may give it: a relative folder with a folder in
    // it, one below ".", an absolute one, "." and none (found in the working folder or beside
    // the program). The digest of one data folder is the same every way.
    const std::string work = Path("work");
    fs::create_directories(m_folder.Path() / "work" / "a");
    for (const char* link : {"work/build", "work/a/b", "work/x"})
        fs::create_directory_symlink(LANTERN_BUILD_DIR, Path(link));
    const std::vector<std::string> partData[] = {{"--data", LANTERN_BUILD_DIR}, {"--data", "a/b"}, {"--data", "./x"}};
    fs::create_directory(m_folder.Path() / "parts");
    std::vector<pid_t> running;
    for (int part = 1; part <= 3; ++part) {
        std::vector<std::string> arguments = withSettings(
            {"capture", Path("parts/" + std::to_string(part) + ".mkv"), "--part", std::to_string(part) + "/3"});
        arguments.insert(arguments.end(), partData[part - 1].begin(), partData[part - 1].end());
        running.push_back(
            StartProgram("sh", FromFolder(work, LanternPath(), arguments), Path("part" + std::to_string(part) + ".log")));
    }
    for (pid_t part : running) EXPECT_EQ(WaitProgram(part), 0);
    std::ifstream log(Path("part2.log"));
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(log), {}).find("part 2/3, frames 2708 to 2727 of 2688 to 2747"),
              std::string::npos);

    auto join = [&](const std::string& out, std::vector<std::string> parts) {
        std::vector<std::string> arguments = {"join", out};
        for (const std::string& part : parts) arguments.push_back(Path("parts/" + part));
        arguments.insert(arguments.end(), {"--data", "build"});
        return RunProgram("sh", FromFolder(work, LanternPath(), arguments));
    };
    const std::string joined = Path("joined.mkv");
    run = join(joined, {"3.mkv", "1.mkv", "2.mkv"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("60 frames from 3 parts"), std::string::npos) << run.err;
    const std::string frames = DecodeAllFrames(whole);
    ASSERT_EQ(frames.size(), 60u * 320 * 240 * 3);
    EXPECT_TRUE(DecodeAllFrames(joined) == frames) << "the joined frames differ from those of one capture";
    const std::string sound = DecodeAllSound(whole);
    ASSERT_GT(sound.size(), 2u * 48000 * 2);
    EXPECT_TRUE(DecodeAllSound(joined) == sound) << "the joined sound differs from that of one capture";
    EXPECT_EQ(PacketTimes(joined), PacketTimes(whole));
    EXPECT_EQ(EncoderSettings(Path("parts/2.mkv")), EncoderSettings(whole)) << "the parts are encoded alike";

    // A part that verifies is kept, whichever way its data folder is given.
    const auto written = fs::last_write_time(Path("parts/2.mkv"));
    const std::vector<std::pair<std::string, std::vector<std::string>>> dataFolders = {
        {work, {"--data", "build"}}, {Path("work/a/b"), {"--data", "."}}, {Path("work/a/b"), {}}, {work, {}}};
    for (const auto& [folder, data] : dataFolders) {
        std::vector<std::string> arguments = withSettings({"capture", Path("parts/2.mkv"), "--part", "2/3"});
        arguments.insert(arguments.end(), data.begin(), data.end());
        run = RunProgram("sh", FromFolder(folder, LanternPath(), arguments));
        EXPECT_EQ(run.exitCode, 0) << folder << (data.empty() ? " with no --data" : " --data " + data[1]);
        EXPECT_NE(run.err.find("holds part 2/3 of this capture already; kept"), std::string::npos) << run.err;
    }
    EXPECT_EQ(fs::last_write_time(Path("parts/2.mkv")), written);

    // Refused, naming the part, with nothing written: a part missing, one of other settings,
    // one cut short, one given twice, a file that is no part.
    run = Capture(withSettings({Path("parts/odd.mkv"), "--part", "2/3"}, "160x120"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::ifstream full(Path("parts/3.mkv"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(full)), {});
    m_folder.Write("parts/cut.mkv", bytes.substr(0, bytes.size() * 2 / 3));
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{"1.mkv", "3.mkv"}, "1.mkv: its label says part 1 of 3, but 2 parts were given; part 2/3 (frames 2708 to 2727) "
                             "is missing"},
        {{"1.mkv", "odd.mkv", "3.mkv"}, "odd.mkv: made with --size 160x120, " + Path("parts/1.mkv") + " with --size 320x240"},
        {{"1.mkv", "2.mkv", "cut.mkv"}, "cut.mkv: holds "},
        {{"1.mkv", "2.mkv", "3.mkv", "2.mkv"}, "2.mkv: part 2/3 again"},
        {{"1.mkv", "2.mkv", "3.mkv", "../whole.mkv"}, "whole.mkv: holds no part label"},
    };
    for (const auto& [parts, message] : refusals) {
        run = join(Path("refused.mkv"), parts);
        EXPECT_EQ(run.exitCode, 1) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("refused.mkv not written"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(Path("refused.mkv")));
    EXPECT_EQ(FilesIn(m_folder.Path() / "parts").size(), 5u) << "nothing left beside the parts";
}

TEST(CapturePartsTest, SlicesCoverEveryFrameOnceAndLabelsReadBack)
{
    for (const auto& [begin, end] : {std::pair<int64_t, int64_t>{0, 18475}, {2688, 2748}, {5, 6}}) {
        for (int parts : {1, 2, 3, 7, 64}) {
            if (parts > end - begin) continue;
            int64_t next = begin;
            for (int part = 1; part <= parts; ++part) {
                const FrameSlice slice = PartSlice(begin, end, part, parts);
                EXPECT_EQ(slice.first, next);
                EXPECT_GE(slice.count, (end - begin) / parts);
                EXPECT_LE(slice.count, (end - begin) / parts + 1);
                next = slice.first + slice.count;
            }
            EXPECT_EQ(next, end);
        }
    }

    PartLabel label;
    label.version = "1.2.3";
    label.dataDigest = std::string(64, 'a');
    label.renderer = "fixed";
    label.captureFirst = 100;
    label.captureEnd = 400;
    label.fps = 60;
    label.size = {3840, 2160};
    label.supersample = 2;
    label.codec = "h264";
    label.crf = 18;
    label.preset = "slow";
    label.part = 3;
    label.parts = 4;
    label.first = 250;
    label.frames = 75;
    const std::string text = FormatPartLabel(label);
    PartLabel read;
    ASSERT_EQ(ParsePartLabel(text, read), "") << text;
    EXPECT_EQ(FormatPartLabel(read), text);
    EXPECT_EQ(SettingsDifference(read, label, "x"), "");
    read.part = 1;
    EXPECT_EQ(SettingsDifference(read, label, "x"), "") << "the part's own number is no setting";
    read.dataDigest[63] = 'b';
    EXPECT_EQ(SettingsDifference(read, label, "x"), "made from other data than x");

    // A label may have been written by anyone: every field whole, in the range a capture takes
    // and agreeing with the others, or refused naming the field, whatever it holds.
    const std::vector<std::tuple<std::string, std::string, std::string>> damaged = {
        {"slice=250+75", "slice=250+74", "slice=250+74 is not part 3/4 of frames 100 to 399"},
        {"slice=250+75", "slice=250+99999999999999999999", "slice=250+99999999999999999999 is no slice"},
        {"slice=250+75", "slice=-9223372036854775807+9223372036854775807",
         "slice=-9223372036854775807+9223372036854775807 is not part 3/4"},
        {"part=3/4", "part=5/4", "part=5/4 is no part number"},
        {"part=3/4", "part=3/2147483648", "part=3/2147483648 is no part number"},
        {"part=3/4", "part=3/2147483647", "part=3/2147483647: the piece has 18475 frames at 60 fps"},
        {"part=3/4", "part=3/301", "part=3/301: 300 frames make at most 300 parts"},
        {"part=3/4", "part=three/4", "part=three/4 is no part number"},
        {"size=3840x2160", "size=3840", "size=3840 is no size"},
        {"size=3840x2160", "size=3841x2160", "size=3841x2160 is no size of a capture (both sides must be even"},
        {"size=3840x2160", "size=7682x4320", "size=7682x4320 is no size of a capture (video of at most 7680x4320)"},
        {"fps=60", "fps=-60", "fps=-60 is no frame rate of a capture (1 to 240)"},
        {"fps=60", "fps=59.94", "fps=59.94 is no frame rate"},
        {"fps=60", "fps=241", "fps=241 is no frame rate"},
        {"crf=18", "crf=-1", "crf=-1 is no quality level (0 to 51)"},
        {"crf=18", "crf=1e3", "crf=1e3 is no quality level"},
        {"supersample=2", "supersample=17", "supersample=17 is no factor (1 to 16)"},
        {" crf=18", "", "no crf"},
        {"crf=18", "crf=18 crf=19", "\"crf\" is given twice"},
        {"capture=100..400", "capture=400..100", "capture=400..100 is no range of frames"},
        {"capture=100..400", "capture=-100..400", "capture=-100..400 is no range of frames"},
        {"capture=100..400", "capture=100..18476", "capture=100..18476 goes past the piece's end: its last frame at 60 "
                                                   "fps is 18474"},
        {"capture=100..400", "capture=100..9223372036854775807", "capture=100..9223372036854775807 goes past"},
        {"data=a", "data=A", "data=A" + std::string(63, 'a') + " is no SHA-256 digest"},
        {"renderer=fixed", "renderer=gl4", "renderer=gl4 is no renderer"},
        {"preset=slow", "preset=$(rm)", "preset=$(rm) is no preset of the H.264 encoder"},
    };
    for (const auto& [from, to, fault] : damaged) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        PartLabel ignored;
        EXPECT_EQ(ParsePartLabel(changed, ignored).substr(0, fault.size()), fault) << changed;
    }
}

TEST_F(CaptureTest, JoinRefusesACraftedLabelAtOnceNamingThePartAndTheField)
{
    // A one-frame video labelled as a part of this program's own, whose label then says
    // what no capture makes. Each is refused before anything is sized by the label.
    std::string version = RunProgram(LanternPath(), {"--version"}).out;
    version = version.substr(version.find(' ') + 1, version.find('\n') - version.find(' ') - 1);
    const std::string label = "version=" + version + " data=" + std::string(64, 'a') +
                              " renderer=fixed capture=0..1 fps=60 size=16x16 supersample=1 codec=h264 crf=18 "
                              "preset=ultrafast part=1/1 slice=0+1";
    const std::vector<std::pair<std::vector<std::string>, std::string>> crafted = {
        {{"capture=0..1", "capture=0..2147483647", "part=1/1", "part=1/2147483647"},
         "its part label is damaged (part=1/2147483647: the piece has 18475 frames at 60 fps"},
        {{"capture=0..1", "capture=0..18475", "part=1/1", "part=1/18475"},
         "its label says part 1 of 18475, but 1 part was given; part 2/18475 (frames 1 to 1) is missing"},
        {{"fps=60", "fps=sixty"}, "its part label is damaged (fps=sixty is no frame rate"},
        {{"capture=0..1", "capture=-1..0"}, "its part label is damaged (capture=-1..0 is no range of frames)"},
        {{"slice=0+1", "slice=0+18446744073709551617"}, "its part label is damaged (slice=0+18446744073709551617 is no"},
    };
    const std::string part = Path("p1.mp4"), output = Path("joined.mp4");
    for (const auto& [changes, fault] : crafted) {
        std::string changed = label;
        for (size_t i = 0; i < changes.size(); i += 2)
            changed.replace(changed.find(changes[i]), changes[i].size(), changes[i + 1]);
        const ProgramRun made = RunProgram(
            "ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "color=c=gray:s=16x16:r=60", "-frames:v", "1", "-c:v",
                       "libx264", "-pix_fmt", "yuv420p", "-movflags", "+use_metadata_tags", "-metadata",
                       std::string(kPartLabelTag) + "=" + changed, part});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        const ProgramRun run = RunProgram(LanternPath(), {"join", output, part, "--data", LANTERN_BUILD_DIR});
        EXPECT_EQ(run.exitCode, 1) << changed;
        EXPECT_NE(run.err.find(part + ": " + fault), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(output + " not written"), std::string::npos) << run.err;
        EXPECT_EQ(FilesIn(m_folder.Path()), std::vector<std::string>{"p1.mp4"}) << "nothing written beside the part";
    }
}

TEST_F(CaptureTest, RefusesWhatCannotBeMadeBeforeRendering)
{
    m_folder.Write("taken/placeholder", std::string("x"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{Path("absent/out.mp4")}, Path("absent/out.mp4")},
        {{Path("taken")}, "unknown kind of video"},
        {{Path("out.avi")}, "unknown kind of video"},
        {{Path("out.mp4"), "--size", "321x240"}, "even"},
        {{Path("out.mp4"), "--size", "big"}, "--size big: write it as WIDTHxHEIGHT"},
        {{Path("out.mp4"), "--size", "640x-480"}, "--size 640x-480: write it as WIDTHxHEIGHT"},
        {{Path("out.mp4"), "--size", "0x0"}, "--size 0x0: at least 16x16"},
        {{Path("out.mp4"), "--size", "100000x100000"}, "--size 100000x100000: a picture of 100000x75000 pixels is "
                                                        "larger than this GL driver draws (GL_MAX_"},
        {{Path("out.mp4"), "--size", "1920x1440", "--supersample", "16"}, "--size 1920x1440 --supersample 16: a "
                                                                           "picture of 30720x23040 pixels is larger"},
        {{Path("out.mp4"), "--from", "20", "--to", "10"}, "no frame to capture"},
        {{Path("out.mp4"), "--to", "400"}, "the last scene ends at 307.904 s"},
        {{Path("out.mp4"), "--preset", "fastest"}, "--preset fastest: not a preset of the H.264 encoder (ultrafast,"},
        {{Path("out.mp4"), "--from", "1", "--to", "2", "--part", "3/61"}, "--part 3/61: 60 frames make at most 60 parts"},
        {{Path("out.mp4"), "--part", "4/3"}, "--part 4/3: K counts the parts from 1 to 3"},
    };
    for (const auto& [arguments, message] : cases) {
        const ProgramRun run = Capture(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments[0];
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    const std::string folderTarget = Path("taken.mp4");
    fs::create_directory(folderTarget);
    const ProgramRun run = Capture({folderTarget});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("it is a directory"), std::string::npos) << run.err;
    EXPECT_EQ(FilesIn(m_folder.Path()).size(), 2u) << "nothing new beside taken and taken.mp4";
}

TEST_F(CaptureTest, AFailingOrMissingFfmpegLeavesTheTargetAsItWas)
{
    // A stand-in that writes into its output, complains and fails.
    const std::string fake = m_folder.Write("bin/ffmpeg", std::string("#!/bin/sh\n"
                                                                     "for last; do :; done\n"
                                                                     "echo half-written > \"$last\"\n"
                                                                     "echo 'fake encoder: no such codec' >&2\n"
                                                                     "exit 3\n"));
    fs::permissions(fake, fs::perms::owner_all);
    fs::create_directory(m_folder.Path() / "empty");
    const std::string target = m_folder.Write("out/piece.mp4", std::string("the user's old file"));

    ProgramRun run = Capture({target, "--from", "4", "--to", "5"}, {"PATH=" + Path("bin")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("ffmpeg (" + fake + ") failed: exit status 3"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("fake encoder: no such codec"), std::string::npos) << run.err;

    run = Capture({target, "--from", "4", "--to", "5"}, {"PATH=" + Path("empty")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("ffmpeg was not found on PATH"), std::string::npos) << run.err;

    EXPECT_EQ(FilesIn(m_folder.Path() / "out"), std::vector<std::string>{"piece.mp4"});
    std::ifstream kept(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the user's old file");
}

TEST_F(CaptureTest, CtrlCStopsCleanlyAndTakesFfmpegAlong)
{
    // ffmpeg itself, behind a stand-in that notes its process id first.
    const std::string real = RunProgram("sh", {"-c", "command -v ffmpeg"}).out;
    ASSERT_FALSE(real.empty());
    const std::string pidFile = Path("ffmpeg.pid");
    const std::string wrapper = m_folder.Write(
        "bin/ffmpeg", "#!/bin/sh\necho $$ > " + pidFile + "\nexec " + real.substr(0, real.find('\n')) + " \"$@\"\n");
    fs::permissions(wrapper, fs::perms::owner_all);
    fs::create_directory(m_folder.Path() / "out");

    const std::string path = std::string(std::getenv("PATH") ? std::getenv("PATH") : "");
    ::setenv("PATH", (Path("bin") + ":" + path).c_str(), 1);
    const pid_t lantern = StartProgram(LanternPath(), {"capture", Path("out/piece.mp4"), "--from", "0", "--to", "300",
                                                       "--data", LANTERN_BUILD_DIR},
                                       Path("log.txt"));
    ::setenv("PATH", path.c_str(), 1);
    ASSERT_GT(lantern, 0);

    // Frames are flowing once ffmpeg has written into the hidden file.
    bool writing = false;
    for (int i = 0; i < 600 && !writing; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (const auto& entry : fs::directory_iterator(m_folder.Path() / "out"))
            writing |= fs::file_size(entry.path()) > 0 && fs::exists(pidFile);
    }
    EXPECT_TRUE(writing);
    ::kill(lantern, SIGINT);
    EXPECT_EQ(WaitProgram(lantern), 128 + SIGINT);

    EXPECT_TRUE(FilesIn(m_folder.Path() / "out").empty());
    std::ifstream log(Path("log.txt"));
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(log), {}).find("interrupted"), std::string::npos);
    std::ifstream pid(pidFile);
    pid_t ffmpeg = 0;
    pid >> ffmpeg;
    ASSERT_GT(ffmpeg, 0);
    EXPECT_EQ(::kill(ffmpeg, 0), -1) << "ffmpeg outlived the capture";
}

} // namespace
