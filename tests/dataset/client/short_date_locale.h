#pragma once
// Gives a test the user's short date format and decimal separator it needs:
// a locale whose LC_TIME carries the format, and LC_NUMERIC the separator,
// is compiled with localedef into a directory of the test
// program's own and named by LOCPATH and LC_ALL, so that no locale has to be
// installed on the machine. The previous settings come back at the end.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace dataset::test {

class ShortDateLocale {
public:
    // dateFormat as strftime conversions, such as "%d/%m/%y".
    explicit ShortDateLocale(const std::string& dateFormat, char decimalPoint = '.')
        : savedAll_(variable("LC_ALL")), savedPath_(variable("LOCPATH")) {
        const std::optional<std::string> name = compiled(dateFormat, decimalPoint);
        if (!name) {
            return;
        }
        ::setenv("LOCPATH", directory().c_str(), 1);
        ::setenv("LC_ALL", name->c_str(), 1);
        ready_ = true;
    }
    ~ShortDateLocale() {
        restore("LC_ALL", savedAll_);
        restore("LOCPATH", savedPath_);
    }
    ShortDateLocale(const ShortDateLocale&) = delete;
    ShortDateLocale& operator=(const ShortDateLocale&) = delete;

    // False when localedef could not build the locale.
    bool ready() const { return ready_; }

private:
    static std::optional<std::string> variable(const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }

    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    static const std::string& directory() {
        static const std::string path = [] {
            const char* tmp = std::getenv("PELMORA_TEST_TMP");
            const std::filesystem::path base = tmp != nullptr
                                                   ? std::filesystem::path(tmp)
                                                   : std::filesystem::temp_directory_path();
            // The C library keeps a locale it has loaded: every program builds
            // its own afresh, and each format once.
            const std::filesystem::path dir =
                base / (std::string("locales-") + program_invocation_short_name);
            std::filesystem::remove_all(dir);
            std::filesystem::create_directories(dir);
            return dir.string();
        }();
        return path;
    }

    // The name of a locale with the format and separator, built on first use.
    static std::optional<std::string> compiled(const std::string& dateFormat, char decimalPoint) {
        static std::map<std::string, std::string> built;
        const std::string key = dateFormat + '\n' + decimalPoint;
        if (const auto found = built.find(key); found != built.end()) {
            return found->second;
        }
        const std::string name = "pelmora" + std::to_string(built.size());
        const std::filesystem::path dir(directory());
        writeCharmap(dir / "ascii.charmap");
        writeSource(dir / (name + ".src"), dateFormat, decimalPoint);
        const std::string command = "localedef -c -f '" + (dir / "ascii.charmap").string() +
                                    "' -i '" + (dir / (name + ".src")).string() + "' '" +
                                    (dir / name).string() + "' > /dev/null 2>&1";
        // With -c, localedef reports the categories left out and still writes.
        (void)std::system(command.c_str());
        if (!std::filesystem::exists(dir / name / "LC_TIME") ||
            !std::filesystem::exists(dir / name / "LC_NUMERIC")) {
            return std::nullopt;
        }
        built.emplace(key, name);
        return name;
    }

    static void writeCharmap(const std::filesystem::path& path) {
        std::ofstream out(path);
        out << "<code_set_name> ASCII\n<comment_char> %\n<escape_char> /\nCHARMAP\n";
        static const char hex[] = "0123456789ABCDEF";
        for (int code = 0; code < 128; ++code) {
            const char high = hex[code / 16];
            const char low = hex[code % 16];
            out << "<U00" << high << low << "> /x" << high << low << "\n";
        }
        out << "END CHARMAP\n";
    }

    static void writeSource(const std::filesystem::path& path, const std::string& dateFormat,
                            char decimalPoint) {
        // The escape character of the source is "/", written twice for one.
        std::string escaped;
        for (const char c : dateFormat) {
            escaped += c == '/' ? std::string("//") : std::string(1, c);
        }
        std::ofstream out(path);
        out << "comment_char %\nescape_char /\nLC_TIME\n"
            << "abday \"Sun\";\"Mon\";\"Tue\";\"Wed\";\"Thu\";\"Fri\";\"Sat\"\n"
            << "day \"Sunday\";\"Monday\";\"Tuesday\";\"Wednesday\";\"Thursday\";\"Friday\";"
               "\"Saturday\"\n"
            << "abmon \"Jan\";\"Feb\";\"Mar\";\"Apr\";\"May\";\"Jun\";\"Jul\";\"Aug\";\"Sep\";"
               "\"Oct\";\"Nov\";\"Dec\"\n"
            << "mon \"January\";\"February\";\"March\";\"April\";\"May\";\"June\";\"July\";"
               "\"August\";\"September\";\"October\";\"November\";\"December\"\n"
            << "am_pm \"AM\";\"PM\"\n"
            << "d_t_fmt \"%a %d %b %Y %T\"\n"
            << "d_fmt \"" << escaped << "\"\n"
            << "t_fmt \"%T\"\n"
            << "t_fmt_ampm \"%I:%M:%S %p\"\n"
            << "END LC_TIME\n"
            << "LC_NUMERIC\n"
            << "decimal_point \"<U00" << hexOf(decimalPoint) << ">\"\n"
            << "thousands_sep \"\"\n"
            << "grouping -1\n"
            << "END LC_NUMERIC\n";
    }

    static std::string hexOf(char c) {
        static const char hex[] = "0123456789ABCDEF";
        const auto code = static_cast<unsigned char>(c);
        return {hex[code / 16], hex[code % 16]};
    }

    std::optional<std::string> savedAll_;
    std::optional<std::string> savedPath_;
    bool ready_ = false;
};

} // namespace dataset::test
