#include "quiz/document.h"

#include <sstream>
#include <utility>

#include "quiz/words.h"

namespace quiz {

namespace {

// Fills a document from the lines the reader reports.
class DocumentBuilder final : public ReadObserver {
public:
    explicit DocumentBuilder(QuizDocument& document) : doc_(document) {}

    void lineRead(const ReadLine& line) override {
        if (!lineEndSeen_ && line.end != LineEnd::None) {
            doc_.lineEnd = line.end;
            lineEndSeen_ = true;
        }
        switch (line.part) {
            case LinePart::Title:
                doc_.title = kept(line, 0);
                break;
            case LinePart::Introduction:
                doc_.introduction.push_back(kept(line, 0));
                break;
            case LinePart::IntroductionEnd:
                doc_.introductionEnd = kept(line, 1);
                break;
            case LinePart::Verdict:
                doc_.verdicts.push_back({kept(line, 0), {}, 0});
                break;
            case LinePart::MinimumScore:
                doc_.verdicts.back().minimum = kept(line, 0);
                break;
            case LinePart::LevelTableEnd:
                doc_.levelTableEnd = kept(line, 1);
                break;
            case LinePart::QuestionText:
                question(line).lines.push_back(kept(line, 0));
                break;
            case LinePart::QuestionTextEnd:
                question(line).textEnd = kept(line, 1);
                break;
            case LinePart::AnswerText:
                answer(line).lines.push_back(kept(line, 0));
                break;
            case LinePart::AnswerMarker:
                answer(line).marker = kept(line, 2);
                break;
            case LinePart::Trailing:
                doc_.trailing.push_back(kept(line, 0));
                break;
        }
    }

private:
    // The line from `from` on (what follows its marker characters), with the
    // bytes it was read from where its text would not give them back.
    DocLine kept(const ReadLine& line, std::size_t from) const {
        DocLine kept(std::string(line.text.substr(from)), line.number);
        kept.end = line.end;
        const std::string_view bytes = line.bytes.substr(from);
        std::string again;
        if (doc_.encoding == Encoding::Utf8) {
            again = kept.text;
        } else {
            appendUtf8AsWindows1251(kept.text, again);
        }
        if (again != bytes) kept.bytes = std::string(bytes);
        return kept;
    }

    DocQuestion& question(const ReadLine& line) {
        if (doc_.questions.size() <= static_cast<std::size_t>(line.question)) {
            doc_.questions.resize(static_cast<std::size_t>(line.question) + 1);
        }
        return doc_.questions[static_cast<std::size_t>(line.question)];
    }

    DocAnswer& answer(const ReadLine& line) {
        std::vector<DocAnswer>& answers = question(line).answers;
        if (answers.size() <= static_cast<std::size_t>(line.item)) {
            answers.resize(static_cast<std::size_t>(line.item) + 1);
        }
        return answers[static_cast<std::size_t>(line.item)];
    }

    QuizDocument& doc_;
    bool lineEndSeen_ = false;
};

}  // namespace

std::string describe(const DocPlace& place) {
    switch (place.part) {
        case LinePart::Title:
            return std::string(words::kTitle);
        case LinePart::Introduction:
        case LinePart::IntroductionEnd:
            return std::string(words::kIntroduction);
        case LinePart::Verdict:
            return words::verdict(place.item + 1);
        case LinePart::MinimumScore:
            return words::verdict(place.item + 1) + ", наименьшее число баллов";
        case LinePart::LevelTableEnd:
            return std::string(words::kLevelTable);
        case LinePart::QuestionText:
        case LinePart::QuestionTextEnd:
            return words::question(place.question + 1) + ", " + std::string(words::kQuestionText);
        case LinePart::AnswerText:
        case LinePart::AnswerMarker:
            return words::answer(place.question + 1, place.item + 1);
        case LinePart::Trailing:
            break;
    }
    return "конец файла";
}

QuizDocument readDocument(std::istream& in, const std::string& fileName) {
    QuizDocument document;
    document.encoding = detectEncoding(in);
    DocumentBuilder builder(document);
    QuizReader reader(in, fileName, document.encoding, LineSource::kDefaultBufferSize, &builder);
    reader.readTitle();
    reader.readIntroduction();
    const std::vector<LevelRow> rows = reader.readLevelTable();
    for (std::size_t i = 0; i < rows.size(); ++i) document.verdicts[i].minScore = rows[i].minScore;
    // "Ok" reads the first question whatever atEnd says, as the game does.
    std::size_t number = 0;
    Question question;
    do {
        reader.readQuestion(question);
        for (std::size_t j = 0; j < question.answers.size(); ++j) {
            document.questions[number].answers[j].right = question.answers[j].points == 1;
        }
        ++number;
    } while (!reader.atEnd());
    document.byteOrderMark = reader.byteOrderMark();
    return document;
}

QuizDocument readDocument(std::string_view bytes, const std::string& fileName) {
    std::istringstream in{std::string(bytes)};
    return readDocument(in, fileName);
}

std::vector<DocLine> docLines(std::string_view text) {
    std::vector<DocLine> lines;
    std::istringstream in{std::string(text)};
    LineSource source(in, LineSource::kDefaultBufferSize, text.size());
    std::string_view line;
    while (source.next(line)) lines.emplace_back(std::string(line));
    return lines;
}

}  // namespace quiz
