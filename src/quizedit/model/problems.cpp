#include "quizedit/model/problems.h"

#include <algorithm>
#include <sstream>

#include "quiz/writer.h"
#include "quizcheck/report.h"

namespace quizedit {

namespace {

// The place of line `line` (1-based) of the written file; a line past the
// end (the file ended where more was expected) is the last one's place.
quiz::DocPlace placeOfLine(const quiz::Written& written, int line) {
    if (written.places.empty()) return {};
    const std::size_t index = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(line, 1)),
                                                      1, written.places.size());
    return written.places[index - 1];
}

}  // namespace

bool Problems::inQuestion(int question) const {
    return std::any_of(list.begin(), list.end(),
                       [&](const Problem& p) { return p.place.question == question; });
}

Problems findProblems(const quiz::QuizDocument& document, const quizcheck::CheckOptions& options) {
    const quiz::Written written = quiz::writeDocument(document);
    Problems problems;
    problems.canSave = written.ok();
    for (const quiz::WriteProblem& p : written.problems) {
        problems.list.push_back({p.error, p.place, quiz::describe(p.place) + ": " + p.message});
    }
    std::vector<std::pair<int, Problem>> checked;
    quizcheck::Report report([&](const quizcheck::Finding& finding) {
        if (finding.kind == quizcheck::Finding::Kind::Summary) {
            problems.summary = finding.message;
            return;
        }
        const bool error = finding.kind == quizcheck::Finding::Kind::Error;
        checked.push_back(
            {finding.line, {error, placeOfLine(written, finding.line), finding.message}});
    });
    std::istringstream in(written.bytes);
    quizcheck::checkQuiz("", in, report, options);
    // The writer's own problems first, then the check's in the order of their lines.
    std::stable_sort(checked.begin(), checked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [line, problem] : checked) problems.list.push_back(std::move(problem));
    return problems;
}

}  // namespace quizedit
