// The conversion by Windows' code pages: MultiByteToWideChar from the set's
// code page to UTF-16, then to UTF-8.
#ifdef _WIN32  // tools that read every source on another system find nothing here

#include <windows.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "charset_system.h"
#include "text_encoding.h"

namespace {

constexpr wchar_t kReplacement = 0xFFFD;
constexpr UINT kUtf16Le = 1200, kUtf16Be = 1201;

struct NamedPage {
    std::string_view key;  // as charsetKey gives it
    UINT page;
};

// The names a vCard gives sets that are not windows-N, cpN, ibmN or
// ISO-8859-N.
constexpr NamedPage kNamedPages[] = {
    {"shiftjis", 932},    {"sjis", 932},      {"mskanji", 932},      {"eucjp", 20932},
    {"iso2022jp", 50220}, {"gb2312", 936},    {"gbk", 936},          {"gb18030", 54936},
    {"big5", 950},        {"euckr", 949},     {"ksc56011987", 949},  {"koi8r", 20866},
    {"koi8u", 21866},     {"usascii", 20127}, {"utf16le", kUtf16Le}, {"utf16be", kUtf16Be},
    {"macintosh", 10000},
};

// The number that follows prefix in key, when the rest is 1 to 5 digits.
std::optional<UINT> numberAfter(std::string_view key, std::string_view prefix) {
    if (key.substr(0, prefix.size()) != prefix) return std::nullopt;
    const std::string_view digits = key.substr(prefix.size());
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    UINT number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<UINT>(c - '0');
    }
    return number;
}

std::optional<UINT> codePage(std::string_view charset) {
    const std::string key = charsetKey(charset);
    for (const NamedPage& named : kNamedPages) {
        if (named.key == key) return named.page;
    }
    if (auto part = numberAfter(key, "iso8859")) {
        if (*part >= 1 && *part <= 16) return 28590 + *part;
        return std::nullopt;
    }
    for (std::string_view prefix : {"windows", "cp", "ibm"}) {
        // 0 to 3 stand for this machine's own settings, not for a set.
        if (auto page = numberAfter(key, prefix)) {
            if (*page > CP_THREAD_ACP && *page <= 0xFFFF) return page;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

int toInt(std::size_t size) { return static_cast<int>(size); }

// bytes in page as UTF-16, all at once; nothing when some byte is not
// text in page or page checks nothing (error then tells which).
std::optional<std::wstring> wholeText(std::string_view bytes, UINT page, DWORD flags, DWORD& error) {
    const int length = toInt(bytes.size());
    const int size = MultiByteToWideChar(page, flags, bytes.data(), length, nullptr, 0);
    if (size == 0) {
        error = GetLastError();
        return std::nullopt;
    }
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(page, flags, bytes.data(), length, text.data(), size);
    return text;
}

// Appends bytes in page to text as UTF-16, one character at a time: the
// fewest bytes that the system takes as one character, else U+FFFD for the
// first byte. False when some byte became U+FFFD.
bool appendByCharacter(std::wstring& text, std::string_view bytes, UINT page) {
    CPINFO info{};
    const std::size_t longest = GetCPInfo(page, &info) ? std::clamp<UINT>(info.MaxCharSize, 1, 4) : 4;
    bool whole = true;
    text.reserve(bytes.size());
    wchar_t units[8];
    while (!bytes.empty()) {
        std::size_t taken = 0;
        for (std::size_t length = 1; length <= std::min(longest, bytes.size()) && taken == 0; ++length) {
            const int size =
                MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), toInt(length), units, 8);
            if (size > 0) {
                text.append(units, static_cast<std::size_t>(size));
                taken = length;
            }
        }
        if (taken == 0) {
            text += kReplacement;
            taken = 1;
            whole = false;
        }
        bytes.remove_prefix(taken);
    }
    return whole;
}

}  // namespace

CharsetText systemConvertToUtf8(std::string_view bytes, const std::string& charset) {
    const std::optional<UINT> page = codePage(charset);
    if (!page || (*page != kUtf16Le && *page != kUtf16Be && !IsValidCodePage(*page))) {
        return {CharsetOutcome::Unknown, {}};
    }
    CharsetText result{CharsetOutcome::Converted, {}};
    if (bytes.empty()) return result;
    std::wstring text;
    bool whole = true;
    DWORD error = 0;
    if (*page == kUtf16Le || *page == kUtf16Be) {
        // UTF-16 in either byte order is no code page MultiByteToWideChar takes.
        Utf16Decoder decoder(LoneSurrogate::Replaced,
                             *page == kUtf16Be ? ByteOrder::BigEndian : ByteOrder::LittleEndian);
        decoder.decode(bytes, result.text);
        decoder.finish(result.text);
        if (decoder.damaged()) result.outcome = CharsetOutcome::Replaced;
        return result;
    }
    if (bytes.size() > INT_MAX) {
        whole = appendByCharacter(text, bytes, *page);
    } else if (auto checked = wholeText(bytes, *page, MB_ERR_INVALID_CHARS, error)) {
        text = std::move(*checked);
    } else if (error == ERROR_INVALID_FLAGS) {
        // A set with shift states (ISO-2022-JP), whose page checks nothing
        // but puts U+FFFD for what it cannot read.
        text = wholeText(bytes, *page, 0, error).value_or(std::wstring(1, kReplacement));
        whole = text.find(kReplacement) == std::wstring::npos;
    } else {
        whole = appendByCharacter(text, bytes, *page);
    }
    result.text.reserve(text.size());
    Utf16Decoder decoder(LoneSurrogate::Replaced);
    for (wchar_t unit : text) decoder.take(static_cast<char16_t>(unit), result.text);
    decoder.finish(result.text);
    if (decoder.damaged()) whole = false;
    if (!whole) result.outcome = CharsetOutcome::Replaced;
    return result;
}

#endif  // _WIN32
