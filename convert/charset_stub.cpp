#include "charset.h"
#include "text_encoding.h"
CharsetText convertToUtf8(std::string_view bytes, std::string_view charset) {
    std::string name(charset);
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (name == "UTF-8") return {CharsetOutcome::Converted, std::string(bytes)};
    if (name == "ISO-8859-1") return {CharsetOutcome::Converted, toUtf8(bytes, false)};
    if (name == "WINDOWS-1252") return {CharsetOutcome::Converted, toUtf8(bytes, true)};
    return {CharsetOutcome::Unknown, ""};
}
