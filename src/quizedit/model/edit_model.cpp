#include "quizedit/model/edit_model.h"

#include <algorithm>

#include "convert/convert.h"
#include "game/verdict.h"
#include "window/form_ops.h"

namespace quizedit {

namespace {

constexpr const char* kNewTitle = "Новая викторина";

std::size_t at(int index) { return static_cast<std::size_t>(index); }

// A one-line text (the title, a verdict): any line break becomes a blank.
void setOneLine(quiz::DocLine& line, std::string_view text) {
    std::string joined(text);
    std::replace_if(joined.begin(), joined.end(), [](char c) { return c == '\r' || c == '\n'; },
                    ' ');
    if (joined == line.text) return;
    line.text = std::move(joined);
    line.bytes.reset();
}

}  // namespace

std::string joinLines(const std::vector<quiz::DocLine>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i].text;
    }
    return text;
}

std::vector<quiz::DocLine> splitLines(std::string_view text,
                                      const std::vector<quiz::DocLine>& old) {
    std::vector<quiz::DocLine> lines;
    if (text.empty()) return lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::string_view line = text.substr(start, end - start);
        const std::size_t i = lines.size();
        if (i < old.size() && old[i].text == line) {
            lines.push_back(old[i]);
        } else {
            lines.emplace_back(std::string(line));
            if (i < old.size()) lines.back().end = old[i].end;
        }
        if (end == std::string_view::npos) break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

int resultsRow(const quiz::QuizDocument& document) {
    const int score = static_cast<int>(document.questions.size());
    if (score >= window::kLadderSteps) return 0;
    return game::verdictRow(score, [&](int i) {
        return at(i) <= document.verdicts.size() ? document.verdicts[at(i - 1)].minScore : 0;
    });
}

quiz::DocQuestion emptyQuestion() {
    quiz::DocQuestion question;
    question.answers.resize(kMaxAnswers);
    question.answers.front().right = true;
    return question;
}

quiz::QuizDocument newQuiz() { return convert::newDocument(kNewTitle, {emptyQuestion()}); }

EditModel::EditModel(quiz::QuizDocument document) {
    versions_.push_back({std::move(document), {}});
    saved_ = 0;
    const std::size_t size = written().bytes.size() + 1;
    maxSteps_ = std::clamp(kHistoryBytes / size, kMinSteps, kMaxSteps);
}

std::string EditModel::text(const Field& field) const {
    const quiz::QuizDocument& doc = document();
    switch (field.kind) {
        case Field::Kind::Title:
            return doc.title.text;
        case Field::Kind::Introduction:
            return joinLines(doc.introduction);
        case Field::Kind::Minimum:
            return std::to_string(minimum(field.item));
        case Field::Kind::Verdict:
            return at(field.item) < doc.verdicts.size() ? doc.verdicts[at(field.item)].verdict.text
                                                        : std::string();
        case Field::Kind::QuestionText:
            return joinLines(doc.questions.at(at(field.question)).lines);
        case Field::Kind::Answer:
            return joinLines(
                doc.questions.at(at(field.question)).answers.at(at(field.item)).lines);
    }
    return {};
}

std::int16_t EditModel::minimum(int row) const {
    const std::vector<quiz::DocVerdict>& rows = document().verdicts;
    return at(row) < rows.size() ? rows[at(row)].minScore : 0;
}

void EditModel::setText(const Field& field, std::string_view text) {
    quiz::QuizDocument doc = start();
    switch (field.kind) {
        case Field::Kind::Title:
            setOneLine(doc.title, text);
            break;
        case Field::Kind::Introduction:
            doc.introduction = splitLines(text, doc.introduction);
            break;
        case Field::Kind::Minimum:
            return;  // a number: setMinimum
        case Field::Kind::Verdict: {
            if (field.item < 0 || field.item >= kVerdictRows) return;
            if (doc.verdicts.size() <= at(field.item)) doc.verdicts.resize(at(field.item) + 1);
            setOneLine(doc.verdicts[at(field.item)].verdict, text);
            break;
        }
        case Field::Kind::QuestionText:
            if (!validQuestion(field.question)) return;
            doc.questions[at(field.question)].lines =
                splitLines(text, doc.questions[at(field.question)].lines);
            break;
        case Field::Kind::Answer: {
            if (!validQuestion(field.question)) return;
            std::vector<quiz::DocAnswer>& answers = doc.questions[at(field.question)].answers;
            if (at(field.item) >= answers.size()) return;
            answers[at(field.item)].lines = splitLines(text, answers[at(field.item)].lines);
            break;
        }
    }
    commit(std::move(doc), field, true);
}

void EditModel::setMinimum(int row, std::int16_t value) {
    if (row < 0 || row >= kVerdictRows) return;
    quiz::QuizDocument doc = start();
    if (doc.verdicts.size() <= at(row)) doc.verdicts.resize(at(row) + 1);
    doc.verdicts[at(row)].minScore = value;
    commit(std::move(doc), {Field::Kind::Minimum, -1, row}, true);
}

void EditModel::setRight(int question, int answer) {
    if (!validQuestion(question)) return;
    quiz::QuizDocument doc = start();
    std::vector<quiz::DocAnswer>& answers = doc.questions[at(question)].answers;
    if (at(answer) >= answers.size()) return;
    for (std::size_t j = 0; j < answers.size(); ++j) answers[j].right = j == at(answer);
    commit(std::move(doc), {Field::Kind::Answer, question, answer});
}

void EditModel::addAnswer(int question) {
    if (!validQuestion(question)) return;
    quiz::QuizDocument doc = start();
    std::vector<quiz::DocAnswer>& answers = doc.questions[at(question)].answers;
    if (answers.size() >= kMaxAnswers) return;
    answers.emplace_back();
    commit(std::move(doc), {Field::Kind::Answer, question, static_cast<int>(answers.size()) - 1});
}

void EditModel::removeAnswer(int question, int answer) {
    if (!validQuestion(question)) return;
    quiz::QuizDocument doc = start();
    std::vector<quiz::DocAnswer>& answers = doc.questions[at(question)].answers;
    if (answers.size() <= 1 || at(answer) >= answers.size()) return;
    const bool wasRight = answers[at(answer)].right;
    answers.erase(answers.begin() + answer);
    const bool anyRight =
        std::any_of(answers.begin(), answers.end(), [](const quiz::DocAnswer& a) { return a.right; });
    if (wasRight && !anyRight) answers.front().right = true;
    commit(std::move(doc), {Field::Kind::Answer, question, std::min(answer, int(answers.size()) - 1)});
}

void EditModel::insertQuestion(int place) {
    quiz::QuizDocument doc = start();
    if (place < 0 || at(place) > doc.questions.size()) return;
    doc.questions.insert(doc.questions.begin() + place, emptyQuestion());
    commit(std::move(doc), {Field::Kind::QuestionText, place});
}

void EditModel::duplicateQuestion(int question) {
    if (!validQuestion(question)) return;
    quiz::QuizDocument doc = start();
    const quiz::DocQuestion copy = doc.questions[at(question)];
    doc.questions.insert(doc.questions.begin() + question + 1, copy);
    commit(std::move(doc), {Field::Kind::QuestionText, question + 1});
}

void EditModel::removeQuestion(int question) {
    if (!validQuestion(question) || document().questions.size() <= 1) return;
    quiz::QuizDocument doc = start();
    doc.questions.erase(doc.questions.begin() + question);
    const int shown = std::min(question, static_cast<int>(doc.questions.size()) - 1);
    commit(std::move(doc), {Field::Kind::QuestionText, shown});
}

void EditModel::moveQuestion(int from, int to) {
    if (!validQuestion(from) || !validQuestion(to) || from == to) return;
    quiz::QuizDocument doc = start();
    std::vector<quiz::DocQuestion>& questions = doc.questions;
    if (from < to) {
        std::rotate(questions.begin() + from, questions.begin() + from + 1, questions.begin() + to + 1);
    } else {
        std::rotate(questions.begin() + to, questions.begin() + from, questions.begin() + from + 1);
    }
    commit(std::move(doc), {Field::Kind::QuestionText, to});
}

void EditModel::setEncoding(quiz::Encoding encoding) {
    quiz::QuizDocument doc = start();
    doc.encoding = encoding;
    commit(std::move(doc), {});
}

Field EditModel::undo() {
    merging_ = false;
    if (!canUndo()) return {};
    return versions_[current_--].field;
}

Field EditModel::redo() {
    merging_ = false;
    if (!canRedo()) return {};
    return versions_[++current_].field;
}

void EditModel::commit(quiz::QuizDocument doc, const Field& field, bool merge) {
    if (doc == document()) return;
    const bool extend = merge && merging_ && versions_[current_].field == field &&
                        current_ > 0 && saved_ != current_;
    versions_.resize(current_ + 1);
    if (saved_ && *saved_ > current_) saved_.reset();
    if (extend && versions_[current_ - 1].document == doc) {
        versions_.pop_back();  // typed back to what it was: no step
        --current_;
    } else if (extend) {
        versions_[current_].document = std::move(doc);
    } else {
        versions_.push_back({std::move(doc), field});
        ++current_;
    }
    merging_ = merge;
    if (versions_.size() > maxSteps_) {
        versions_.erase(versions_.begin());
        --current_;
        if (saved_ && *saved_ == 0) saved_.reset();
        else if (saved_) --*saved_;
    }
}

bool EditModel::validQuestion(int question) const {
    return question >= 0 && at(question) < document().questions.size();
}

}  // namespace quizedit
