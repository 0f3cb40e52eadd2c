#include "quizcheck/command_line.h"

#include <string_view>

#include "quizcheck/folder_check.h"
#include "quizcheck/quiz_check.h"
#include "quizcheck/report.h"

namespace fs = std::filesystem;

namespace quizcheck {

namespace {

constexpr std::string_view kUsage =
    "Использование: quizcheck [ФАЙЛ...]\n"
    "\n"
    "Проверяет файлы викторины так же, как их читает игра, до самого конца.\n"
    "Каждая находка занимает строку, под ней приведена сама строка файла:\n"
    "  ФАЙЛ:СТРОКА: ошибка: ...          на этом игра остановится;\n"
    "  ФАЙЛ:СТРОКА: предупреждение: ...  игра пойдёт, но это, скорее всего, опечатка\n"
    "                                    или то, чего игрок не увидит.\n"
    "После каждого файла итог: кодировка, число вопросов и чем закончится игра.\n"
    "\n"
    "Без ФАЙЛОВ проверяет текущую папку так, как её видит игра: счётчик tet0.txt\n"
    "(и сможет ли игра сдвинуть его после игры), выбранный им файл викторины\n"
    "и файлы круга test3.txt, test2.txt, test1.txt.\n"
    "\n"
    "  -h, --help     показать эту справку\n"
    "  -v, --version  показать версию\n"
    "\n"
    "Код возврата: 0 — ошибок нет (предупреждения не в счёт), 1 — есть ошибки,\n"
    "2 — неверный вызов.\n";

}  // namespace

int run(const std::vector<std::string>& args, const fs::path& folder, std::ostream& out,
        std::ostream& err, const CheckOptions& options) {
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            out << kUsage;
            return kExitClean;
        } else if (arg == "-v" || arg == "--version") {
            out << "quizcheck (Лестница вопросов), версия " QUIZ_VERSION "\n";
            return kExitClean;
        } else {
            err << "quizcheck: неизвестный параметр «" << quotedLine(arg) << "»\n"
                << "Справка: quizcheck --help\n";
            return kExitBadUsage;
        }
    }

    Report report(out);
    if (files.empty()) {
        checkFolder(folder, report, options);
    } else {
        for (const std::string& file : files) {
            checkQuizFile(folder / file, file, report, {}, options);
        }
    }
    // A report that could not be written is no all-clear.
    out.flush();
    if (!out) {
        err << "quizcheck: не удалось вывести отчёт\n";
        return kExitErrors;
    }
    return report.hasError() ? kExitErrors : kExitClean;
}

}  // namespace quizcheck
