// Preloaded into a Qt program (LD_PRELOAD) by startup_bench: notes when the
// program's first frame is out and writes the moments of its start-up to the
// pipe whose descriptor QUIZ_FRAME_FD names, then lets the program go on
// unchanged. Nothing in the measured program knows about it.
//
// The one line written, all CLOCK_MONOTONIC nanoseconds:
//     "<app> <appDone> <exec> <flush> <frame> <width> <height>\n"
// app, appDone: the QApplication constructor entered and left; exec: the event
// loop entered; flush: the first backing-store flush entered; frame: that frame
// is out. Under xcb "out" means the X server has carried out the drawing into
// the window (a round trip after the flush: the server handles one client's
// requests in order); under offscreen, where no screen exists, it is the return
// of the first flush. width, height: the size of the window flushed.
#include <QBackingStore>
#include <QGuiApplication>
#include <QPoint>
#include <QRegion>
#include <QWindow>

#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The interposed Qt functions, by their symbol names.
extern "C" {
void firstFrameAppConstructor(void* app, int& argc, char** argv, int flags) __asm__("_ZN12QApplicationC1ERiPPci");
int firstFrameExec() __asm__("_ZN12QApplication4execEv");
void firstFrameFlush(QBackingStore* store, const QRegion& region, QWindow* window, const QPoint& offset) __asm__(
    "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint");
}

namespace {

using AppConstructor = void (*)(void*, int&, char**, int);
using Exec = int (*)();
using Flush = void (*)(QBackingStore*, const QRegion&, QWindow*, const QPoint&);

struct Moments {
    std::int64_t app = 0;
    std::int64_t appDone = 0;
    std::int64_t exec = 0;
    std::int64_t flush = 0;
    std::int64_t frame = 0;
};

Moments moments;
bool frameReported = false;

std::int64_t now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

template <typename Function>
Function next(const char* symbol) {
    void* found = dlsym(RTLD_NEXT, symbol);
    if (found == nullptr) {
        std::fprintf(stderr, "first_frame: %s not found\n", symbol);
        std::abort();
    }
    Function function;
    static_assert(sizeof function == sizeof found);
    std::memcpy(&function, &found, sizeof function);
    return function;
}

// Waits until the X server has handled every request sent so far on Qt's
// connection. libxcb is already loaded by the xcb platform plugin; it is looked
// up rather than linked so that other platforms do not load it.
void xcbRoundTrip() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr || xcb == nullptr) return;
    struct Cookie {
        unsigned int sequence;
    };
    using Request = Cookie (*)(xcb_connection_t*);
    using Reply = void* (*)(xcb_connection_t*, Cookie, void**);
    void* request = dlsym(xcb, "xcb_get_input_focus");
    void* reply = dlsym(xcb, "xcb_get_input_focus_reply");
    if (request != nullptr && reply != nullptr) {
        Request sendRequest;
        Reply waitReply;
        std::memcpy(&sendRequest, &request, sizeof request);
        std::memcpy(&waitReply, &reply, sizeof reply);
        xcb_connection_t* connection = x11->connection();
        std::free(waitReply(connection, sendRequest(connection), nullptr));
    }
    dlclose(xcb);
}

void report(const QWindow* window) {
    const char* fdText = std::getenv("QUIZ_FRAME_FD");
    if (fdText == nullptr) return;
    const QSize size = window != nullptr ? window->size() : QSize();
    char line[256];
    const int length = std::snprintf(line, sizeof line, "%lld %lld %lld %lld %lld %d %d\n",
                                     static_cast<long long>(moments.app), static_cast<long long>(moments.appDone),
                                     static_cast<long long>(moments.exec), static_cast<long long>(moments.flush),
                                     static_cast<long long>(moments.frame), size.width(), size.height());
    // One write of less than PIPE_BUF bytes arrives whole.
    if (write(std::atoi(fdText), line, static_cast<std::size_t>(length)) != length)
        std::fprintf(stderr, "first_frame: cannot report the first frame\n");
}

}  // namespace

void firstFrameAppConstructor(void* app, int& argc, char** argv, int flags) {
    static const auto real = next<AppConstructor>("_ZN12QApplicationC1ERiPPci");
    moments.app = now();
    real(app, argc, argv, flags);
    moments.appDone = now();
}

int firstFrameExec() {
    static const auto real = next<Exec>("_ZN12QApplication4execEv");
    if (moments.exec == 0) moments.exec = now();
    return real();
}

void firstFrameFlush(QBackingStore* store, const QRegion& region, QWindow* window, const QPoint& offset) {
    static const auto real = next<Flush>("_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint");
    if (frameReported) {
        real(store, region, window, offset);
        return;
    }
    frameReported = true;
    moments.flush = now();
    real(store, region, window, offset);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) xcbRoundTrip();
    moments.frame = now();
    report(window != nullptr ? window : store->window());
}
