// Writing OUT on Windows: a new file beside it, created where no file of
// that name was, written, flushed to disk and moved over OUT in one step.
// The move replaces OUT's own name only: other hard links keep the old file.
#include "output_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <system_error>

#include "system_path.h"

namespace {

std::string reason(const char* what, DWORD error) {
    return std::string(what) + ": " + std::system_category().message(static_cast<int>(error));
}

// The temporary file, deleted by the destructor unless moved over OUT.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& folder) {
        unsigned long long seed =
            GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
        for (int attempt = 0; attempt < 100 && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
            name_ = folder + L".tlc" + std::to_wstring((seed + static_cast<unsigned>(attempt)) % 1000000);
            handle_ = CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
            if (handle_ == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
        }
        error_ = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    ~TemporaryFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!moved_ && error_ == 0) DeleteFileW(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    DWORD error() const { return error_; }

    // 0 or the error of the write, the flush or the close.
    DWORD write(const Pieces& content) {
        DWORD error = 0;
        content([&](std::string_view piece) {
            for (std::size_t done = 0; error == 0 && done < piece.size();) {
                DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size() - done, 1u << 30));
                DWORD written = 0;
                if (!WriteFile(handle_, piece.data() + done, chunk, &written, nullptr))
                    error = GetLastError();
                done += written;
            }
            return error == 0;
        });
        if (error != 0) return error;
        if (!FlushFileBuffers(handle_)) return GetLastError();
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? 0 : GetLastError();
    }
    DWORD moveOver(const std::wstring& target) {
        if (!MoveFileExW(name_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return GetLastError();
        moved_ = true;
        return 0;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::wstring name_;
    DWORD error_ = 0;
    bool moved_ = false;
};

// How many names the file at path has besides path; 0 when there is none.
unsigned long otherLinksOf(const std::wstring& path) {
    struct Closer {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };
    HANDLE handle = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    std::unique_ptr<void, Closer> file(handle);
    BY_HANDLE_FILE_INFORMATION information{};
    bool known = GetFileInformationByHandle(file.get(), &information) != 0;
    return known && information.nNumberOfLinks > 1 ? information.nNumberOfLinks - 1 : 0;
}

}  // namespace

std::string writeOutputFile(const std::string& target, const Pieces& content, unsigned long* otherLinks) {
    if (otherLinks != nullptr) *otherLinks = 0;
    const std::wstring path = systemPath(target).native();
    const unsigned long links = otherLinksOf(path);
    TemporaryFile temporary(path.substr(0, path.find_last_of(L"/\\:") + 1));
    if (temporary.error() != 0)
        return reason("cannot create a temporary file in its folder", temporary.error());
    DWORD error = temporary.write(content);
    if (error == 0) error = temporary.moveOver(path);
    if (error != 0) return reason("cannot write", error);
    if (otherLinks != nullptr) *otherLinks = links;
    return "";
}
