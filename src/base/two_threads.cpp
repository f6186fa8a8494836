// The helper thread behind SplitOverTwoThreads.
#include "base/two_threads.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Takes one range at a time and lives until the program ends.
class HelperThread {
public:
    static HelperThread& Instance()
    {
        static HelperThread helper;
        return helper;
    }

    void Start(void (*body)(const void*, int, int), const void* context, int begin, int end)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_body = body;
        m_context = context;
        m_begin = begin;
        m_end = end;
        m_cue.notify_one();
    }

    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return m_body == nullptr; });
    }

    ~HelperThread()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
            m_cue.notify_one();
        }
        m_thread.join();
    }

    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

private:
    HelperThread() : m_thread([this] { Serve(); }) {}

    void Serve()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cue.wait(lock, [this] { return m_stopping || m_body != nullptr; });
            if (m_stopping) return;
            lock.unlock();
            m_body(m_context, m_begin, m_end);
            lock.lock();
            m_body = nullptr;
            m_done.notify_one();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cue, m_done;
    void (*m_body)(const void*, int, int) = nullptr;
    const void* m_context = nullptr;
    int m_begin = 0, m_end = 0;
    bool m_stopping = false;
    std::thread m_thread; // last: starts once everything it reads is made
};

} // namespace

void SplitOverTwoThreads(int count, void (*body)(const void* context, int begin, int end), const void* context)
{
    if (count <= 0) return;
    const int half = count / 2;
    HelperThread& helper = HelperThread::Instance();
    helper.Start(body, context, half, count);
    body(context, 0, half);
    helper.Wait();
}

namespace {

struct Background {
    void (*run)(const void*);
    const void* context;
};

// Waits for the helper even when the calling thread's work throws: the helper's work may read
// what the caller's frame owns.
class HelperJoin {
public:
    explicit HelperJoin(HelperThread& helper) : m_helper(helper) {}
    ~HelperJoin() { m_helper.Wait(); }
    HelperJoin(const HelperJoin&) = delete;
    HelperJoin& operator=(const HelperJoin&) = delete;

private:
    HelperThread& m_helper;
};

} // namespace

void RunAlongside(void (*background)(const void* context), const void* backgroundContext,
                  void (*foreground)(const void* context), const void* foregroundContext)
{
    const Background work{background, backgroundContext};
    HelperThread& helper = HelperThread::Instance();
    helper.Start([](const void* context, int, int) {
        const Background& handed = *static_cast<const Background*>(context);
        handed.run(handed.context);
    }, &work, 0, 0);
    const HelperJoin join(helper);
    foreground(foregroundContext);
}
