// The system's font configuration, loaded ahead of the window's first text.
//
// The toolkit loads the configuration the first time a text is measured, and
// every program that starts parses its dozens of files anew: a few
// milliseconds, the largest single step of the window's start. A
// FontConfigLoad loads it on a helper thread while the toolkit starts and
// connects to the display, so that the window finds it loaded. Nothing else
// changes: the toolkit asks the same library for the same configuration
// (built without a catalogue that FcInit parses and nothing uses, see
// loadConfiguration), and where the helper cannot start the toolkit loads it
// as before.
#pragma once

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>

#include <memory>

namespace app {

struct ConfigurationRelease {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
using Configuration = std::unique_ptr<FcConfig, ConfigurationRelease>;

// The font configuration that FcInit loads: the same files (the system's main
// file, or `file`), the same font folders, caches and fonts, built apart and
// not made current. FcInit also parses every template of the folder of
// configurations a system may enable (/usr/share/fontconfig/conf.avail), only
// to list their descriptions (fc-conflist); none of them takes effect, and
// they cost as much as all the rest. Null where FcInit would do more: the
// files fail to load, or name no cache folder (FcInit then adds its own).
Configuration loadConfiguration(const char* file = nullptr);

// Makes the font configuration current, as the toolkit's FcInit() would:
// loadConfiguration()'s where it gives one, else FcInit()'s own. Nothing else
// in the process may use fontconfig meanwhile.
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
