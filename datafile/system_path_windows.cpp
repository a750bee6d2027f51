#include "system_path.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <limits>
#include <utility>

std::filesystem::path systemPath(const std::string& name) {
    if (name.empty() || name.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const int size = static_cast<int>(name.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, name.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, name.data(), size, wide.data(), length);
    return std::filesystem::path(std::move(wide));
}
