// SplitOverTwoThreads: a loop over [0, count) cut in two halves, the first run on the calling
// thread and the second on a helper thread at the same time. The renderer here does a frame's
// processor work on one core and rasterises only when that work is done, so for the length of
// a scene's placement loops the second core has nothing else to do. RunAlongside hands the
// helper a whole job instead, to run while the calling thread sends GL calls. Where the system
// gives no second thread (a browser's WebAssembly), both parts run on the calling thread, one
// after the other. Depends on nothing.
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

// background(context) on the helper thread while foreground(context) runs on the calling thread;
// returns when both are done. For processor work that needs no GL (placing leaves) beside the GL
// calls that only the calling thread may make (sending the rest of the frame). The two run at
// once, so neither may write what the other reads. The helper must be idle: not from inside
// SplitOverTwoThreads or another RunAlongside.
void RunAlongside(void (*background)(const void* context), const void* backgroundContext,
                  void (*foreground)(const void* context), const void* foregroundContext);

template <class Background, class Foreground>
void RunAlongside(const Background& background, const Foreground& foreground)
{
    RunAlongside([](const void* context) { (*static_cast<const Background*>(context))(); }, &background,
                 [](const void* context) { (*static_cast<const Foreground*>(context))(); }, &foreground);
}
