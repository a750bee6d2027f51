#include "arguments.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <memory>
#include <string>

namespace {

std::string utf8(const wchar_t* wide) {
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating NUL
    return text;
}

// An argument of argv, in the ANSI code page, in UTF-8.
std::string utf8FromAnsi(const char* text) {
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1) return "";
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    return utf8(wide.c_str());
}

struct LocalFreeing {
    void operator()(wchar_t** list) const { LocalFree(list); }
};

}  // namespace

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
    int count = 0;
    std::unique_ptr<wchar_t*, LocalFreeing> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (wide == nullptr || count != argc) {
        // The wide command line does not read as argv did: argv, made UTF-8.
        for (int k = 0; k < argc; ++k) texts_.push_back(utf8FromAnsi(argv[k]));
    } else {
        for (int k = 0; k < count; ++k) texts_.push_back(utf8(wide.get()[k]));
    }
    for (std::string& text : texts_) pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
}
