// SplitOverTwoThreads: a loop over [0, count) cut in two halves, the first run on the calling
// thread and the second on a helper thread at the same time. The renderer here does a frame's
// processor work on one core and rasterises only when that work is done, so for the length of
// a scene's placement loops the second core has nothing else to do. Depends on nothing.
#pragma once

// body(context, begin, end) for [0, count / 2) here and [count / 2, count) on the helper;
// returns when both are done. The helper thread is started on first use and lives until the
// program ends; the handover allocates nothing. The two halves run at once, so body may
// write only what belongs to its own range and read only what neither half writes.
void SplitOverTwoThreads(int count, void (*body)(const void* context, int begin, int end), const void* context);

template <class Body>
void SplitOverTwoThreads(int count, const Body& body)
{
    SplitOverTwoThreads(
        count, [](const void* context, int begin, int end) { (*static_cast<const Body*>(context))(begin, end); },
        &body);
}
