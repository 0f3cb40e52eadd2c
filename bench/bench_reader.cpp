// The quiz reader against a floor that only splits the same bytes into lines
// and decodes them, in each encoding: the reader should keep at least 0.8 of
// the floor's speed (the ratios are printed at the end, from the medians of
// repetitions taking turns). And the peak memory of the game's start-up and of
// quizcheck on files of one huge line, against an ordinary quiz: within a few
// MiB of it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "game/game.h"
#include "quiz/encoding.h"
#include "quiz/quiz_reader.h"

namespace {

constexpr int kQuestions = 100'000;
// Turns of the speed benchmarks: each turn runs each of them once, so a
// change of load on the machine hits floor and reader alike.
constexpr int kTurns = 9;
constexpr double kReaderGoal = 0.8;

// Windows-1251 words to build questions from.
constexpr std::string_view kWords[] = {
    "\xC2\xEE\xEF\xF0\xEE\xF1",      // Вопрос
    "\xF1\xF2\xEE\xEB\xE8\xF6\xE0",  // столица
    "\xF0\xE5\xEA\xE0",              // река
    "\xE3\xEE\xF0\xEE\xE4",          // город
    "\xEA\xE0\xEA\xEE\xE9",          // какой
    "\xF1\xE0\xEC\xFB\xE9",          // самый
    "\xE4\xEB\xE8\xED\xED\xFB\xE9",  // длинный
    "\xA8\xEB\xEA\xE0",              // Ёлка
    "planet",
    "1812",
};
constexpr std::size_t kWordCount = std::size(kWords);

std::string phrase(int seed, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i > 0) text += ' ';
        text += kWords[static_cast<std::size_t>(seed + i * 7) % kWordCount];
    }
    return text;
}

// A well-formed quiz of kQuestions questions with 2 to 4 answers each, in
// Windows-1251 with CR LF.
const std::string& generatedQuiz() {
    static const std::string quiz = [] {
        std::string q = "Benchmark\r\n" + phrase(1, 12) + "\r\n" + phrase(2, 12) + "\r\n.\r\n";
        for (int row = 0; row < 4; ++row)
            q += phrase(row, 4) + "\r\n" + std::to_string(12 - 4 * row) + "\r\n";
        q += ".\r\n";
        for (int n = 0; n < kQuestions; ++n) {
            q += phrase(n, 9) + "\r\n" + phrase(n + 3, 6) + "?\r\n.\r\n";
            const int answers = 2 + n % 3;
            for (int a = 0; a < answers; ++a) {
                q += phrase(n + a, 3) + "\r\n";
                q += a + 1 < answers ? ',' : '.';
                q += a == n % answers ? "1\r\n" : "0\r\n";
            }
        }
        return q;
    }();
    return quiz;
}

// The generated quiz in UTF-8.
const std::string& generatedUtf8Quiz() {
    static const std::string utf8 = quiz::windows1251ToUtf8(generatedQuiz());
    return utf8;
}

// Reads a string in memory without copying it; can seek, as a file can.
class MemoryBuf : public std::streambuf {
public:
    explicit MemoryBuf(const std::string& bytes) {
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        const off_type base = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? gptr() - eback()
                                                          : egptr() - eback();
        return seekpos(pos_type(base + off), std::ios_base::in);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode) override {
        const off_type off = pos;
        if (off < 0 || off > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + off, egptr());
        return pos;
    }
};

// A window that shows nothing: the game's start-up runs on it as on the real one.
class NullForm final : public window::FormOps {
public:
    void setTitle(const std::string&) override {}
    void setCaption(window::ControlRef, const std::string&) override {}
    std::string caption(window::ControlRef) const override { return {}; }
    void setVisible(window::ControlRef, bool) override {}
    void setEnabled(window::ControlRef, bool) override {}
    void setBackColor(window::ControlRef, window::Color) override {}
    void setForeColor(window::ControlRef, window::Color) override {}
    void setWordWrapAutoSize(window::ControlRef) override {}
    std::string tag(window::ControlRef) const override { return {}; }
    void setTag(window::ControlRef, const std::string&) override {}
    void clearSelection(window::ControlRef) override {}
    window::Reply messageBox(const std::string&, const std::string&, window::Buttons,
                             window::Icon) override {
        return window::Reply::Ok;
    }
    [[noreturn]] void endProgram() override { throw window::ProgramEnd{0}; }
    [[noreturn]] void stopOnFailure(const std::string&) override { throw window::ProgramEnd{1}; }
};

// The game's start-up on `file`, given by name (the quiz is read and checked
// before the introduction shows); runs in a process of its own.
int startGame(const char* file) {
    NullForm form;
    game::Game game(form, game::GivenQuiz{file});
    try {
        game.load();
        return 0;
    } catch (const std::exception&) {
        return 1;
    }
}

std::string programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Runs `argv` to its end; its peak resident memory in MiB and its seconds. The
// figure includes what this process holds when it forks (a few MiB here: the
// memory figures run first).
std::pair<double, double> peakOf(std::vector<std::string> argv) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        // Its report is no figure of the benchmark.
        if (std::FILE* nothing = std::freopen("/dev/null", "w", stdout); nothing == nullptr)
            ::_exit(126);
        std::vector<char*> args;
        for (std::string& arg : argv) args.push_back(arg.data());
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {static_cast<double>(usage.ru_maxrss) / 1024.0, took.count()};
}

// A sparse file of `size` zero bytes: one line, costing no disk.
std::string sparseFile(std::uintmax_t size) {
    const std::string path =
        std::filesystem::temp_directory_path() / ("bench_reader_line_" + std::to_string(size));
    std::ofstream(path, std::ios::binary).close();
    std::filesystem::resize_file(path, size);
    return path;
}

// The generated quiz of kQuestions questions as a file, written by a process
// of its own: this one forks for the figures, and its memory would count.
std::string generatedFile() {
    const std::string path = std::filesystem::temp_directory_path() / "bench_reader_questions.txt";
    peakOf({programFolder() + "/bench_reader", "--write-questions", path});
    return path;
}

// state.range(0): 0 the bundled test1.txt, 1 the generated quiz, else a file
// of one line of that many MiB.
void peakMemory(benchmark::State& state, bool quizcheck) {
    const std::int64_t mib = state.range(0);
    const std::string file = mib == 0   ? QUIZ_SOURCE_DIR "/quizzes/test1.txt"
                             : mib == 1 ? generatedFile()
                                        : sparseFile(std::uintmax_t(mib) << 20);
    const std::string program = programFolder() + (quizcheck ? "/quizcheck" : "/bench_reader");
    std::pair<double, double> peak;
    for (auto _ : state) {
        peak = quizcheck ? peakOf({program, file}) : peakOf({program, "--start-game", file});
    }
    if (mib != 0) std::filesystem::remove(file);
    state.counters["peak_rss_MiB"] = peak.first;
    state.counters["seconds"] = peak.second;
}
BENCHMARK_CAPTURE(peakMemory, game_start, false)
    ->Arg(0)
    ->Arg(1)
    ->Arg(256)
    ->Arg(2048)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peakMemory, quizcheck, true)
    ->Arg(0)
    ->Arg(1)
    ->Arg(256)
    ->Arg(2048)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// atEnd over ten million blank lines after the last question, read from a
// file as the game reads quizzes: the reader must not keep them. Runs before
// the generated quiz is built, so that the peak memory of the process is its
// own.
void BM_AtEndOverTenMillionBlankLines(benchmark::State& state) {
    constexpr std::size_t kBlankLines = 10'000'000;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "bench_reader_blank_lines.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "T\r\n.\r\n.\r\nQ\r\n.\r\nA\r\n.1\r\n";
        std::string chunk;
        for (int i = 0; i < 100'000; ++i) chunk += "\r\n";
        for (std::size_t n = 0; n < kBlankLines; n += 100'000) out << chunk;
    }
    const auto size = std::filesystem::file_size(file);
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        quiz::QuizReader reader(in, "bench.txt");
        reader.readTitle();
        reader.readIntroduction();
        reader.readLevelTable();
        reader.readQuestion();
        if (!reader.atEnd()) state.SkipWithError("not at end");
    }
    std::filesystem::remove(file);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["file_MiB"] = static_cast<double>(size) / (1024.0 * 1024.0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_AtEndOverTenMillionBlankLines)->Unit(benchmark::kMillisecond);

// The floor: chunks from the stream buffer, lines split at LF with a CR
// before it dropped, each line decoded.
void splitAndDecode(benchmark::State& state, const std::string& quiz,
                    void (*decode)(std::string_view, std::string&)) {
    std::string chunk(64 * 1024, '\0');
    std::string carry, line;
    for (auto _ : state) {
        MemoryBuf buffer(quiz);
        std::size_t total = 0;
        carry.clear();
        for (std::streamsize got;
             (got = buffer.sgetn(chunk.data(), static_cast<std::streamsize>(chunk.size()))) > 0;) {
            std::string_view rest(chunk.data(), static_cast<std::size_t>(got));
            for (const char* lf;
                 (lf = static_cast<const char*>(std::memchr(rest.data(), '\n', rest.size())));) {
                std::string_view raw = rest.substr(0, static_cast<std::size_t>(lf - rest.data()));
                rest.remove_prefix(raw.size() + 1);
                if (!carry.empty()) {
                    carry.append(raw);
                    raw = carry;
                }
                if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
                line.clear();
                decode(raw, line);
                total += line.size();
                carry.clear();
            }
            carry.append(rest);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * quiz.size()));
}

void BM_FloorSplitAndDecode(benchmark::State& state) {
    splitAndDecode(state, generatedQuiz(), quiz::appendWindows1251AsUtf8);
}

void BM_FloorSplitAndDecodeUtf8(benchmark::State& state) {
    splitAndDecode(state, generatedUtf8Quiz(), quiz::appendUtf8Checked);
}

void readQuiz(benchmark::State& state, const std::string& quiz, quiz::Encoding encoding) {
    for (auto _ : state) {
        MemoryBuf buffer(quiz);
        std::istream in(&buffer);
        quiz::QuizReader reader(in, "bench.txt", encoding);
        std::size_t total = reader.readTitle().size() + reader.readIntroduction().size();
        total += reader.readLevelTable().size();
        // One question read into again and again, as the game's check and
        // quizcheck read.
        quiz::Question q;
        int questions = 0;
        while (!reader.atEnd()) {
            reader.readQuestion(q);
            total += q.text.size() + q.answers.size();
            ++questions;
        }
        if (questions != kQuestions) state.SkipWithError("wrong question count");
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * quiz.size()));
}

void BM_QuizReader(benchmark::State& state) {
    readQuiz(state, generatedQuiz(), quiz::Encoding::Windows1251);
}

void BM_QuizReaderUtf8(benchmark::State& state) {
    readQuiz(state, generatedUtf8Quiz(), quiz::Encoding::Utf8);
}

// Shows each run as the console does, and keeps the bytes a second of each
// speed benchmark (the median of its turns, or of its repetitions when the
// command line asks for them), for the reader's share of its floor.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.error_occurred || rate == run.counters.end()) continue;
            if (run.run_type == Run::RT_Iteration)
                rates_[run.run_name.function_name].push_back(rate->second.value);
            else if (run.aggregate_name == "median")
                medians_[run.run_name.function_name] = rate->second.value;
        }
    }

    // The reader's median against its floor's, in each encoding.
    void printRatios() const {
        for (const auto& [encoding, reader, floor] :
             {std::tuple{"Windows-1251", "BM_QuizReader", "BM_FloorSplitAndDecode"},
              std::tuple{"UTF-8", "BM_QuizReaderUtf8", "BM_FloorSplitAndDecodeUtf8"}}) {
            const double ratio = rate(reader) / rate(floor);
            if (!(ratio > 0)) continue;
            std::printf("reader / floor, %-12s %.2f  (goal >= %.2f: %s)\n", encoding, ratio, kReaderGoal,
                        ratio >= kReaderGoal ? "met" : "MISSED");
        }
    }

private:
    // NaN for a benchmark that did not run.
    double rate(const std::string& name) const {
        if (medians_.contains(name)) return medians_.at(name);
        if (!rates_.contains(name)) return std::nan("");
        std::vector<double> values = rates_.at(name);
        std::ranges::sort(values);
        const std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    std::map<std::string, std::vector<double>> rates_;
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--start-game") return startGame(argv[2]);
    if (argc == 3 && std::string_view(argv[1]) == "--write-questions") {
        std::ofstream(argv[2], std::ios::binary) << generatedQuiz();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    // After the memory figures (registered first), which must run before the
    // generated quiz is built.
    for (int turn = 0; turn < kTurns; ++turn) {
        using Function = void (*)(benchmark::State&);
        for (const auto& [name, function] :
             {std::pair<const char*, Function>{"BM_FloorSplitAndDecode", BM_FloorSplitAndDecode},
              {"BM_QuizReader", BM_QuizReader},
              {"BM_FloorSplitAndDecodeUtf8", BM_FloorSplitAndDecodeUtf8},
              {"BM_QuizReaderUtf8", BM_QuizReaderUtf8}})
            benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
