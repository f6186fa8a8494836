// `lantern sheet`: the piece at a glance. One thumbnail every so many milliseconds of music,
// drawn in time order in one process (each frame as a run from 0 draws it), a quarter of the
// frame's size, with a caption under it: the music time and the scene that plays, written
// with the piece's own font atlas.
#pragma once

#include "base/output_file.h"
#include "capture/frame_grabber.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The layout: thumbnails a quarter of the frame on each side (the frame's 4x4 pixel blocks
// averaged: 160x120 for the 640x480 frame), each with a caption strip under it, in rows of
// `columns`, with gaps and a margin around.
constexpr int SheetShrink = 4;
constexpr int SheetCaptionHeight = 18;
constexpr int SheetGap = 8;

// The thumbnails' size for frames of that size.
PixelSize SheetThumbnailSize(PixelSize frame);
// The top-left corner of thumbnail `index` on a sheet of `columns` columns.
void SheetThumbnailOrigin(int index, int columns, PixelSize thumbnail, int& x, int& y);

struct SheetOptions {
    std::string output;                // PNG
    int everyMs = 4528;                // eight beats
    int columns = 8;
    std::optional<double> fromSeconds; // default: 0
    std::optional<double> toSeconds;   // default: where the piece ends itself
    OutputFrame frame;                 // the frames the thumbnails are made from
};

class StopSignals;

class ContactSheet {
public:
    // Settles the options and opens the output (its hidden file is made now), before the
    // long start-up; Ctrl-C is caught from here on. FatalError with the message for the
    // user. Needs the scene table.
    explicit ContactSheet(const SheetOptions& options);
    ~ContactSheet();
    ContactSheet(const ContactSheet&) = delete;
    ContactSheet& operator=(const ContactSheet&) = delete;

    // With the piece started off-screen: the sheet's RGB rows, top first; empty when a stop
    // signal came first.
    std::vector<uint8_t> Render(int& width, int& height);
    // Renders, writes the PNG and prints a summary. Returns the exit code: 0; 1 after a
    // message; 128 + the signal's number when interrupted (nothing written).
    int Run();

    // Music times of the thumbnails, in order.
    const std::vector<int32_t>& Times() const { return m_times; }

private:
    SheetOptions m_options;
    std::vector<int32_t> m_times;
    std::unique_ptr<StopSignals> m_stopSignals;
    std::unique_ptr<OutputFile> m_file; // goes before the signals are let go

};
