#include "support/support.h"

#include <iconv.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder(bool inMemory) {
    fs::path base = fs::temp_directory_path();
    if (inMemory && ::access("/dev/shm", W_OK | X_OK) == 0) base = "/dev/shm";
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
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::string in(utf8), out(in.size() + 1, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("not Windows-1251: " + in);
    out.resize(out.size() - outLeft);
    return out;
}

std::string crlf(std::string_view lines) {
    std::string text(lines);
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t bar = text.find('|', start);
        out += text.substr(start, bar - start) + "\r\n";
        if (bar == std::string::npos) return out;
        start = bar + 1;
    }
}

std::string makeQuiz(int questions, std::string_view levels) {
    std::string text = "Викторина|Привет!|.";
    if (!levels.empty()) text.append("|").append(levels);
    text += "|.";
    for (int n = 1; n <= questions; ++n) {
        const std::string q = std::to_string(n);
        text += "|Вопрос " + q + "|.";
        for (int j = 1; j <= 4; ++j) {
            text += "|Ответ " + q + "." + std::to_string(j) + "|" + (j == 4 ? "." : ",");
            text += j == rightOption(n) ? "1" : "0";
        }
    }
    return crlf(text);
}

TrickleBuf::int_type TrickleBuf::underflow() {
    if (next_ >= text_.size()) return traits_type::eof();
    const std::size_t n = std::min(step_, text_.size() - next_);
    char* start = text_.data() + next_;
    setg(start, start, start + n);
    next_ += n;
    return traits_type::to_int_type(*start);
}

std::streamsize TrickleBuf::xsgetn(char* out, std::streamsize count) {
    if (gptr() == egptr() && underflow() == traits_type::eof()) return 0;
    const auto n = std::min<std::streamsize>(count, egptr() - gptr());
    std::copy(gptr(), gptr() + n, out);
    gbump(static_cast<int>(n));
    return n;
}

namespace {
__user_cap_header_struct capHeader() { return {_LINUX_CAPABILITY_VERSION_3, 0}; }
}  // namespace

WithoutRootOverrides::WithoutRootOverrides() {
    __user_cap_header_struct header = capHeader();
    __user_cap_data_struct caps[2]{};
    if (::syscall(SYS_capget, &header, caps) != 0) return;
    auto saved = std::make_unique<unsigned[]>(2);
    for (int i = 0; i < 2; ++i) saved[i] = caps[i].effective;
    for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        caps[cap / 32].effective &= ~(1u << (cap % 32));
    }
    if (::syscall(SYS_capset, &header, caps) == 0) saved_ = std::move(saved);
}

WithoutRootOverrides::~WithoutRootOverrides() {
    if (!saved_) return;
    __user_cap_header_struct header = capHeader();
    __user_cap_data_struct caps[2]{};
    ::syscall(SYS_capget, &header, caps);
    for (int i = 0; i < 2; ++i) caps[i].effective = saved_[i];
    ::syscall(SYS_capset, &header, caps);
}

}  // namespace testing_support
