// The system's font configuration, loaded ahead of the window's first text.
//
// The toolkit loads the configuration the first time a text is measured, and
// every program that starts parses its dozens of files anew: a few
// milliseconds, the largest single step of the window's start. A
// FontConfigLoad loads it on a helper thread while the toolkit starts and
// connects to the display, so that the window finds it loaded. Nothing else
// changes: the toolkit asks the same library for the same configuration, and
// where the helper cannot start the toolkit loads it as before.
#pragma once

#include <pthread.h>
#include <sched.h>

namespace app {

// Loads fontconfig's configuration (FcInit), as the toolkit would.
void loadFontConfig();

class FontConfigLoad {
public:
    using Load = void (*)();

    // Starts `load` (fontconfig's configuration, unless a test gives another
    // one) on a helper thread, on another processor than the caller's where
    // it may. Where no thread can start, nothing is loaded ahead.
    explicit FontConfigLoad(Load load = loadFontConfig) noexcept;
    // Waits for the helper, as wait() does.
    ~FontConfigLoad();
    FontConfigLoad(const FontConfigLoad&) = delete;
    FontConfigLoad& operator=(const FontConfigLoad&) = delete;

    // Returns once the loading is done: the configuration is loaded, or its
    // loading failed (the toolkit then tries again and reports as it always
    // does). What the helper freed goes back to the system.
    void wait() noexcept;

private:
    static void* run(void* self);

    Load load_;
    pthread_t thread_{};
    bool running_ = false;
};

// The processors a helper thread should run on: those in `allowed` but
// `current`, the one its creator runs on. Left to itself the scheduler often
// queues a new thread behind its creator, and the two then take turns
// instead of running at once. False, and `helper` unchanged, when no other
// processor is allowed or `current` is unknown (negative) or not among them.
bool helperProcessors(const cpu_set_t& allowed, int current, cpu_set_t& helper);

}  // namespace app
