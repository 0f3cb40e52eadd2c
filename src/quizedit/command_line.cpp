#include "quizedit/command_line.h"

#include <algorithm>
#include <string_view>

#include "quizcheck/report.h"

namespace quizedit {

namespace {

constexpr std::string_view kUsage =
    "Использование:\n"
    "  quizedit [ФАЙЛ]\n"
    "  quizedit --convert ВХОД --output ВЫХОД [--from quiz|csv|aiken|gift]\n"
    "           [--encoding windows-1251|utf-8] [--title ТЕКСТ]\n"
    "\n"
    "Без --convert открывает окно редактора викторин, с ФАЙЛом, если он указан.\n"
    "С --convert преобразует в файл викторины для игры таблицу (CSV из Excel или\n"
    "LibreOffice Calc, текст Юникод), файл Aiken или GIFT (Moodle) или другой файл\n"
    "викторины.\n"
    "Каждая найденная ошибка занимает строку «ВХОД:СТРОКА: ошибка: ...», и тогда\n"
    "ничего не записывается. Записанный файл проверяется так же, как его проверил бы\n"
    "quizcheck, и его предупреждения выводятся.\n"
    "\n"
    "  --convert ВХОД   что преобразовать\n"
    "  --output ВЫХОД   куда записать викторину (файл заменяется целиком)\n"
    "  --from ВИД       quiz, csv, aiken или gift; без него вид узнаётся по имени\n"
    "                   (.csv, .tsv, .gift) и по содержимому\n"
    "  --encoding КОД   windows-1251 (так по умолчанию для новой викторины) или utf-8;\n"
    "                   файл викторины без него сохраняет свою кодировку\n"
    "  --title ТЕКСТ    заголовок викторины; без него — имя входного файла\n"
    "  -h, --help       показать эту справку\n"
    "  -v, --version    показать версию\n"
    "\n"
    "Код возврата: 0 — файл записан, 1 — есть ошибки и ничего не записано,\n"
    "2 — неверный вызов.\n";

constexpr std::string_view kValueOptions[] = {"--convert", "--output", "--from", "--encoding",
                                              "--title"};

std::optional<quiz::Encoding> encodingByName(std::string_view name) {
    if (name == "windows-1251") return quiz::Encoding::Windows1251;
    if (name == "utf-8") return quiz::Encoding::Utf8;
    return std::nullopt;
}

// Sets the option `name` of `command` to `value`; the mistake, if any.
std::optional<std::string> setOption(Command& command, std::string_view name,
                                     const std::string& value) {
    if (name == "--convert") {
        command.mode = Command::Mode::Convert;
        command.input = value;
    } else if (name == "--output") {
        command.output = value;
    } else if (name == "--from") {
        command.from = convert::kindByName(value);
        if (!command.from)
            return "неизвестный вид «" + quizcheck::quotedLine(value) +
                   "»: quiz, csv, aiken или gift";
    } else if (name == "--encoding") {
        command.encoding = encodingByName(value);
        if (!command.encoding)
            return "неизвестная кодировка «" + quizcheck::quotedLine(value) +
                   "»: windows-1251 или utf-8";
    } else {
        command.title = value;
    }
    return std::nullopt;
}

std::optional<std::string> checkCombination(const Command& command, bool converting) {
    if (!converting &&
        (!command.output.empty() || command.from || command.encoding || command.title)) {
        return "--output, --from, --encoding и --title нужны только вместе с --convert";
    }
    if (converting && command.output.empty()) return "не указано, куда записать: --output ВЫХОД";
    if (converting && command.file) return "с --convert файл указывают после него, а не отдельно";
    return std::nullopt;
}

// Reads the arguments into `command`; the mistake, if any. Sets `status` for
// help and version.
std::optional<std::string> readArguments(const std::vector<std::string>& args, Command& command,
                                         std::ostream& out, std::optional<int>& status) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size() && !status; ++i) {
        const std::string& arg = args[i];
        const std::string name = arg.substr(0, arg.find('='));
        const bool takesValue = std::find(std::begin(kValueOptions), std::end(kValueOptions),
                                          name) != std::end(kValueOptions);
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            if (command.file) return "можно открыть только один файл";
            command.file = arg;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            out << kUsage;
            status = kExitDone;
        } else if (arg == "-v" || arg == "--version") {
            out << "quizedit (Лестница вопросов), версия " QUIZ_VERSION "\n";
            status = kExitDone;
        } else if (takesValue && (name.size() < arg.size() || i + 1 < args.size())) {
            const std::string value =
                name.size() < arg.size() ? arg.substr(name.size() + 1) : args[++i];
            if (auto mistake = setOption(command, name, value)) return mistake;
        } else {
            return (takesValue ? "у параметра нет значения: «" : "неизвестный параметр «") +
                   quizcheck::quotedLine(arg) + "»";
        }
    }
    return std::nullopt;
}

}  // namespace

std::variant<Command, int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                            std::ostream& err) {
    Command command;
    std::optional<int> status;
    std::optional<std::string> mistake = readArguments(args, command, out, status);
    if (status) return *status;
    if (!mistake) mistake = checkCombination(command, command.mode == Command::Mode::Convert);
    if (!mistake) return command;
    err << "quizedit: " << *mistake << "\nСправка: quizedit --help\n";
    return kExitBadUsage;
}

}  // namespace quizedit
