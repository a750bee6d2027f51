// The conversion by iconv: glibc's, or libiconv on macOS and the BSDs.
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "charset_system.h"
#include "text_encoding.h"

namespace {

// An iconv descriptor from one set to UTF-8, closed with its holder.
class ToUtf8 {
public:
    explicit ToUtf8(const std::string& from) : descriptor_(iconv_open("UTF-8", from.c_str())) {}
    ~ToUtf8() {
        if (isOpen()) iconv_close(descriptor_);
    }
    ToUtf8(const ToUtf8&) = delete;
    ToUtf8& operator=(const ToUtf8&) = delete;

    // iconv_open gives (iconv_t)-1 when it cannot convert from the set.
    bool isOpen() const { return reinterpret_cast<std::intptr_t>(descriptor_) != -1; }
    CharsetText convert(std::string_view bytes);

private:
    iconv_t descriptor_;
};

CharsetText ToUtf8::convert(std::string_view bytes) {
    constexpr auto kFailed = static_cast<std::size_t>(-1);
    CharsetText result{CharsetOutcome::Converted, {}};
    result.text.reserve(bytes.size());
    // iconv takes char** as POSIX has it, but never writes through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    char* out = nullptr;
    std::size_t outLeft = 0;
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);  // the initial shift state
    while (inLeft > 0) {
        out = buffer;
        outLeft = sizeof buffer;
        const std::size_t done = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        result.text.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done != kFailed || (error == E2BIG && out != buffer)) continue;
        appendUtf8(result.text, 0xFFFD);
        result.outcome = CharsetOutcome::Replaced;
        if (error == EINVAL) break;  // a character cut short by the end
        ++in;                        // EILSEQ: a byte the set has no character for
        --inLeft;
    }
    // A set with shift states or that holds a letter back for an accent to
    // come (windows-1258) gives its last character here.
    out = buffer;
    outLeft = sizeof buffer;
    iconv(descriptor_, nullptr, nullptr, &out, &outLeft);
    result.text.append(buffer, static_cast<std::size_t>(out - buffer));
    return result;
}

}  // namespace

CharsetText systemConvertToUtf8(std::string_view bytes, const std::string& charset) {
    ToUtf8 converter(charset);
    if (!converter.isOpen()) return {CharsetOutcome::Unknown, {}};
    return converter.convert(bytes);
}
