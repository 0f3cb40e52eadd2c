// Spreadsheets saved as text (CSV, or tab-separated "Unicode text"): one row a
// question, its text, up to four answers, then the right answer's number or
// letter. Quoting as RFC 4180 has it.
#include <array>
#include <utility>

#include "convert/convert.h"
#include "convert/text.h"

namespace convert {

namespace {

namespace say {
constexpr const char* kOpenQuote = "кавычка, которой начинается ячейка, не закрыта до конца файла";
constexpr const char* kNoRows = "в таблице нет ни одного вопроса";
constexpr const char* kNoAnswers =
    "в строке нет ответов: нужны текст вопроса, от одного до четырёх ответов и номер или буква "
    "правильного ответа";
constexpr const char* kNotRight =
    "в последней ячейке не номер правильного ответа (от 1 до 4) и не "
    "его буква (А, Б, В, Г или A, B, C, D): «";
constexpr const char* kTooMany = " ответов, а у вопроса в игре их не больше четырёх";
constexpr const char* kRightBeyond = "правильный ответ — ";
constexpr const char* kNoQuestion = "нет текста вопроса: первая ячейка пустая";
}  // namespace say

struct Cell {
    std::string text;
    int line = 0;  // where it begins
};

struct Row {
    int line = 0;
    std::vector<Cell> cells;
};

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// The separator of the first row that has one, outside quotes: the most
// frequent of tab, ";" and "," (in that order when as frequent).
char separatorOf(std::string_view text) {
    constexpr std::array<char, 3> kSeparators = {'\t', ';', ','};
    std::array<int, 3> counts{};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (isLineBreak(c) && counts != std::array<int, 3>{}) break;
        for (std::size_t i = 0; i < kSeparators.size(); ++i)
            counts[i] += c == kSeparators[i] ? 1 : 0;
    }
    std::size_t best = 1;
    for (const std::size_t i : {0, 2}) {
        if (counts[i] > counts[best] || (i == 0 && counts[i] == counts[best] && counts[i] > 0))
            best = i;
    }
    return kSeparators[best];
}

// Reads rows cell by cell. False when a quoted cell is not closed; `line` is
// then where it began.
class RowReader {
public:
    RowReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    bool read(std::vector<Row>& rows, int& openAt) {
        while (at_ < text_.size()) {
            Row row{line_, {}};
            for (bool more = true; more;) {
                Cell cell{{}, line_};
                if (!readCell(cell.text)) {
                    openAt = cell.line;
                    return false;
                }
                row.cells.push_back(std::move(cell));
                more = at_ < text_.size() && text_[at_] == separator_;
                if (more) ++at_;
            }
            lineBreak();
            rows.push_back(std::move(row));
        }
        return true;
    }

private:
    // Takes a line break at at_ (CR LF, LF or CR) into `out` as LF.
    void lineBreak(std::string* out = nullptr) {
        if (at_ >= text_.size() || !isLineBreak(text_[at_])) return;
        at_ += text_.compare(at_, 2, "\r\n") == 0 ? 2 : 1;
        ++line_;
        if (out != nullptr) *out += '\n';
    }

    bool readCell(std::string& out) {
        bool quoted = at_ < text_.size() && text_[at_] == '"';
        if (quoted) ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (quoted && c == '"') {
                quoted = text_.compare(at_, 2, "\"\"") == 0;  // a doubled quote stands for one
                if (quoted) out += '"';
                at_ += quoted ? 2 : 1;
            } else if (quoted && isLineBreak(c)) {
                lineBreak(&out);
            } else if (!quoted && (c == separator_ || isLineBreak(c))) {
                break;
            } else {
                out += c;
                ++at_;
            }
        }
        return !quoted;
    }

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    int line_ = 1;
};

// The right answer's number in a cell: 1 to 4, or a letter.
int rightAnswer(std::string_view cell) {
    const std::string_view text = trimmed(cell);
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') return text[0] - '0';
    return answerOfLetter(text);
}

bool isEmpty(const Cell& cell) {
    return trimmed(cell.text).find_first_not_of("\r\n") == std::string_view::npos;
}

// One row as a question, or the problem that it cannot be one.
std::optional<std::string> rowQuestion(Row& row, quiz::DocQuestion& question) {
    std::vector<Cell>& cells = row.cells;
    if (cells.size() < 3) return say::kNoAnswers;
    const int right = rightAnswer(cells.back().text);
    if (right == 0) return say::kNotRight + std::string(trimmed(cells.back().text)) + "»";
    std::vector<Cell> answers(cells.begin() + 1, cells.end() - 1);
    while (!answers.empty() && isEmpty(answers.back())) answers.pop_back();
    if (answers.empty()) return say::kNoAnswers;
    if (answers.size() > 4) return std::to_string(answers.size()) + say::kTooMany;
    const auto r = static_cast<std::size_t>(right - 1);
    if (r >= answers.size() || isEmpty(answers[r])) {
        return say::kRightBeyond + std::to_string(right) + "-й, а " +
               (r >= answers.size() ? "ответов в строке " + std::to_string(answers.size())
                                    : std::string("этот ответ пустой"));
    }
    if (isEmpty(cells.front())) return say::kNoQuestion;
    question.lines = textLines(cells.front().text, cells.front().line);
    for (std::size_t j = 0; j < answers.size(); ++j) {
        question.answers.push_back({textLines(answers[j].text, answers[j].line), j == r, {}});
    }
    return std::nullopt;
}

}  // namespace

Questions readSpreadsheet(std::string_view bytes) {
    const std::string text = decodeInput(bytes, true);
    const std::vector<TextLine> lines = splitLines(text);
    const auto lineText = [&](int number) {
        const auto at = static_cast<std::size_t>(number - 1);
        return at < lines.size() ? std::string(lines[at].text) : std::string();
    };
    Questions out;
    std::vector<Row> rows;
    int openAt = 0;
    const bool closed = RowReader(text, separatorOf(text)).read(rows, openAt);
    bool first = true;
    for (Row& row : rows) {
        while (!row.cells.empty() && isEmpty(row.cells.back())) row.cells.pop_back();
        if (row.cells.empty()) continue;
        // A first row whose last cell names no right answer is the header.
        const bool header = first && rightAnswer(row.cells.back().text) == 0;
        first = false;
        if (header) continue;
        quiz::DocQuestion question;
        if (const std::optional<std::string> problem = rowQuestion(row, question)) {
            out.problems.push_back({row.line, lineText(row.line), *problem});
        } else {
            out.questions.push_back(std::move(question));
        }
    }
    if (!closed) out.problems.push_back({openAt, lineText(openAt), say::kOpenQuote});
    if (out.questions.empty() && out.problems.empty())
        out.problems.push_back({0, {}, say::kNoRows});
    return out;
}

}  // namespace convert
