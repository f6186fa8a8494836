// lantern bench: the figures it reports, and the whole piece's figures weighted by playing
// time.
#include "capture/frame_bench.h"
#include "run_program.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(FrameBench, WholePieceFiguresWeighFramesByTheirShareOfTheSpan)
{
    // Ten cheap frames standing for a second each, ten dear ones for a hundredth each: the
    // dear ones are on screen for 1 % of the time, below the 95th percentile.
    std::vector<TimedFrame> frames;
    for (int i = 0; i < 10; ++i) frames.push_back({2.0, 1000.0});
    for (int i = 0; i < 10; ++i) frames.push_back({50.0, 10.0});
    const FrameTimeSummary piece = SummariseFrames(frames);
    EXPECT_DOUBLE_EQ(piece.p95, 2.0);
    EXPECT_NEAR(piece.mean, (2.0 * 10000 + 50.0 * 100) / 10100, 1e-9);
    EXPECT_DOUBLE_EQ(piece.worst, 50.0);

    // Equal weights: the 95th percentile is the 114th of 120 frames in order.
    std::vector<TimedFrame> even;
    for (int i = 120; i >= 1; --i) even.push_back({double(i), 1.0});
    EXPECT_DOUBLE_EQ(SummariseFrames(even).p95, 114.0);
    EXPECT_DOUBLE_EQ(SummariseFrames({}).p95, 0.0);
}

TEST(FrameBench, JsonNamesTheRendererTheFrameAndEveryScene)
{
    const ProgramRun run = RunProgram(LanternPath(), {"bench", "--frames", "3", "--passes", "2", "--scene", "title",
                                                      "--scene", "intro", "--json", "--data", LANTERN_BUILD_DIR});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\"renderer\": \"[^\"]+\", \"width\": 640, \"height\": 480, "
                                                      "\"frames_per_scene\": 3, \"passes\": 2")))
        << run.out;
    std::smatch reference;
    ASSERT_TRUE(std::regex_search(run.out, reference, std::regex("\"reference\": \"title\", \"reference_mean_ms\": ([0-9.]+)")))
        << run.out;
    const double titleMean = std::stod(reference[1]);
    const std::regex scene("\\{\"scene\": \"(\\w+)\", \"timeline\": (true|false), \"mean_ms\": ([0-9.]+), "
                           "\"p95_ms\": ([0-9.]+), \"worst_ms\": ([0-9.]+), \"p95_ratio\": ([0-9.]+), "
                           "\"cpu_ms\": ([0-9.]+)\\}");
    std::vector<std::string> seen;
    for (auto match = std::sregex_iterator(run.out.begin(), run.out.end(), scene); match != std::sregex_iterator(); ++match) {
        seen.push_back((*match)[1].str() + " " + (*match)[2].str());
        const double mean = std::stod((*match)[3]), p95 = std::stod((*match)[4]), worst = std::stod((*match)[5]);
        EXPECT_GT(mean, 0.0);
        EXPECT_LE(p95, worst);
        EXPECT_LE(mean, worst);
        EXPECT_NEAR(std::stod((*match)[6]), p95 / titleMean, 0.002) << "the 95th percentile over the title's mean";
        // The renderer's threads work while the frame is drawn: a frame takes processor time.
        EXPECT_GT(std::stod((*match)[7]), 0.0);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"title true", "intro false"}));
    EXPECT_NE(run.out.find("\"piece\": {\"mean_ms\""), std::string::npos);

    // The title is timed in every run, as the reference, and stays out of the piece's figures.
    // Its row's mean is the one the table divides each p95 by: the title's own, and the
    // outro's (figures of two decimals: the ratios agree to what the rounding leaves).
    const ProgramRun alone = RunProgram(LanternPath(), {"bench", "--frames", "2", "--scene", "outro", "--data", LANTERN_BUILD_DIR});
    ASSERT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_NE(alone.out.find("p95/title"), std::string::npos) << alone.out;
    const std::string figures = " +([0-9.]+) +([0-9.]+) +([0-9.]+) +([0-9.]+) +[0-9.]+";
    std::smatch title, outro, piece;
    ASSERT_TRUE(std::regex_search(alone.out, title, std::regex("\ntitle +timeline" + figures + "  \\(reference\\)\n")))
        << alone.out;
    ASSERT_TRUE(std::regex_search(alone.out, outro, std::regex("\noutro +timeline" + figures))) << alone.out;
    ASSERT_TRUE(std::regex_search(alone.out, piece, std::regex("\nwhole piece +([0-9.]+)"))) << alone.out;
    const double tableTitleMean = std::stod(title[1]);
    for (const std::smatch* row : {&title, &outro}) {
        const double p95 = std::stod((*row)[2]), ratio = std::stod((*row)[4]);
        EXPECT_NEAR(ratio, p95 / tableTitleMean, 0.006 + 0.006 * (1 + ratio) / tableTitleMean) << alone.out;
    }
    EXPECT_EQ(outro[1], piece[1]);

    const ProgramRun unknown = RunProgram(LanternPath(), {"bench", "--scene", "nosuch", "--data", LANTERN_BUILD_DIR});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("no scene is called \"nosuch\""), std::string::npos) << unknown.err;
    const ProgramRun noPasses = RunProgram(LanternPath(), {"bench", "--passes", "0", "--data", LANTERN_BUILD_DIR});
    EXPECT_NE(noPasses.exitCode, 0);
    EXPECT_NE(noPasses.err.find("--passes"), std::string::npos) << noPasses.err;
}

} // namespace
