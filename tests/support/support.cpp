#include "support/support.h"

#include <iconv.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder(bool inMemory) {
    const fs::path base = inMemory && ::access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = (base / "quizladder-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + name);
    return path_ / name;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> TempFolder::files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string toWindows1251(std::string_view utf8) {
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    std::string in(utf8), out(in.size() + 1, '\0');
    char *inPtr = in.data(), *outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("not Windows-1251: " + in);
    out.resize(out.size() - outLeft);
    return out;
}

bool matches(std::string_view text, std::string_view pattern) {
    const std::size_t gap = pattern.find("…");
    if (gap == pattern.npos || !text.starts_with(pattern.substr(0, gap))) return text == pattern;
    const std::string_view rest = pattern.substr(gap + std::string_view("…").size());
    for (std::size_t at = gap; at <= text.size() && (at == gap || text[at - 1] != '\n'); ++at)
        if (rest.empty() || matches(text.substr(at), rest)) return true;
    return false;
}

std::string crlf(std::string_view lines) {
    std::string out;
    for (std::size_t start = 0, bar = 0; bar != std::string_view::npos; start = bar + 1) {
        bar = lines.find('|', start);
        out.append(lines.substr(start, bar - start)).append("\r\n");
    }
    return out;
}

std::string makeQuiz(int questions, std::string_view levels) {
    std::string text = "Викторина|Привет!|.";
    if (!levels.empty()) text.append("|").append(levels);
    text += "|.";
    for (int n = 1; n <= questions; ++n) {
        const std::string q = std::to_string(n);
        text += "|Вопрос " + q + "|.";
        for (int j = 1; j <= 4; ++j)
            text += "|Ответ " + q + "." + std::to_string(j) + (j == 4 ? "|." : "|,") + (j == rightOption(n) ? "1" : "0");
    }
    return crlf(text);
}

std::optional<std::array<unsigned, 2>> WithoutRootOverrides::setEffective(std::optional<std::array<unsigned, 2>> caps) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return std::nullopt;
    const std::array<unsigned, 2> before{data[0].effective, data[1].effective};
    for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) data[cap / 32].effective &= ~(1u << (cap % 32));
    if (caps) data[0].effective = (*caps)[0], data[1].effective = (*caps)[1];
    ::syscall(SYS_capset, &header, data);
    return before;
}

}  // namespace testing_support
