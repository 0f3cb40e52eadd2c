// Showing very long texts in the window: a 10 MB introduction, question and
// answer, from setting the caption to the window painted, on the offscreen
// platform. Goal: each within a second, and memory a few times the text's
// own, whatever its length.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QImage>
#include <string>

#include "window/form1.h"

namespace {

constexpr std::size_t kTextBytes = 10'000'000;

// Lines of Cyrillic words, each line ended with CR LF as the reader joins an
// introduction's lines.
std::string longText() {
    const std::string line = "Это очень длинное вступление к викторине, строка за строкой.\r\n";
    std::string text;
    text.reserve(kTextBytes + line.size());
    while (text.size() < kTextBytes) text += line;
    return text;
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

// As start-up shows an introduction: options hidden, Label2 wrapping; as
// play shows a question and an answer: options shown.
void showLongText(benchmark::State& state, window::ControlRef control, bool optionsShown) {
    const std::string text = longText();
    for (auto _ : state) {
        window::Form1 form;
        form.setWordWrapAutoSize(window::Label2);
        for (int k = 1; k <= 4; ++k) form.setVisible(window::option(k), optionsShown);
        form.setCaption(control, text);
        benchmark::DoNotOptimize(form.grab().toImage());
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["peak_MiB"] = peakMiB();
}

void BM_Introduction(benchmark::State& state) { showLongText(state, window::Label2, false); }
void BM_Question(benchmark::State& state) { showLongText(state, window::Label2, true); }
void BM_Answer(benchmark::State& state) { showLongText(state, window::Option4, true); }
BENCHMARK(BM_Introduction)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Question)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Answer)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
