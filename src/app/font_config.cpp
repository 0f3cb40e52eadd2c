#include "app/font_config.h"

#include <malloc.h>

namespace app {

Configuration loadConfiguration(const char* file) {
    Configuration config(FcConfigCreate());
    if (!config || !FcConfigParseAndLoad(config.get(), reinterpret_cast<const FcChar8*>(file), FcTrue)) return nullptr;
    // The cache folders the files name; where they name none, FcInit adds
    // its defaults.
    const std::unique_ptr<FcStrList, decltype(&FcStrListDone)> cacheDirs(FcConfigGetCacheDirs(config.get()),
                                                                        &FcStrListDone);
    if (!cacheDirs || FcStrListNext(cacheDirs.get()) == nullptr || !FcConfigBuildFonts(config.get())) return nullptr;
    return config;
}

void loadFontConfig() {
    // The current configuration holds a reference of its own.
    if (const Configuration config = loadConfiguration(); config && FcConfigSetCurrent(config.get())) return;
    FcInit();
}

bool helperProcessors(const cpu_set_t& allowed, int current, cpu_set_t& helper) {
    if (current < 0 || current >= CPU_SETSIZE || !CPU_ISSET(current, &allowed) || CPU_COUNT(&allowed) < 2)
        return false;
    helper = allowed;
    CPU_CLR(current, &helper);
    return true;
}

FontConfigLoad::FontConfigLoad(Load load) noexcept : load_(load) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return;
    cpu_set_t allowed;
    cpu_set_t helper;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && helperProcessors(allowed, sched_getcpu(), helper))
        pthread_attr_setaffinity_np(&attributes, sizeof helper, &helper);
    running_ = pthread_create(&thread_, &attributes, &FontConfigLoad::run, this) == 0;
    pthread_attr_destroy(&attributes);
}

void* FontConfigLoad::run(void* self) {
    static_cast<FontConfigLoad*>(self)->load_();
    return nullptr;
}

FontConfigLoad::~FontConfigLoad() { wait(); }

void FontConfigLoad::wait() noexcept {
    if (!running_) return;
    running_ = false;
    pthread_join(thread_, nullptr);
    // What the helper freed stays with it, of no use to this thread: back
    // to the system.
    malloc_trim(0);
}

}  // namespace app
