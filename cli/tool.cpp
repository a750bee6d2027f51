#include "tool.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <streambuf>
#include <utility>

#include "arguments.h"

int usageError(const Tool& tool, const std::string& problem) {
    std::cerr << tool.name << ": " << problem << "\nTry '" << tool.name << " --help' for more information.\n";
    return tool.failedStatus;
}

std::optional<int> readArguments(const Tool& tool, int argc, char** argv, std::vector<Option> options,
                                 std::size_t operandLimit,
                                 const std::function<std::string(const Argument&)>& take) {
    ArgumentReader reader(argc, argv, std::move(options), operandLimit);
    for (Argument argument = reader.next(); argument.kind != Argument::Kind::End; argument = reader.next()) {
        switch (argument.kind) {
            case Argument::Kind::Help: tool.printHelp(); return 0;
            case Argument::Kind::Version:
                std::cout << tool.name << " (telephone directory) " << TELEDIR_VERSION << '\n';
                return 0;
            case Argument::Kind::Problem: return usageError(tool, argument.value);
            default: {
                std::string problem = take(argument);
                if (!problem.empty()) return usageError(tool, problem);
            }
        }
    }
    return std::nullopt;
}

namespace {

// Passes everything on to another buffer, keeping the errno of the first
// write that fails there. A failure in the middle of a long result leaves
// the stream failed, and errno is long gone by the time the run ends.
class ErrorKeepingBuffer : public std::streambuf {
public:
    explicit ErrorKeepingBuffer(std::streambuf* target) : target_(target) {}
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const int before = starting();
        const int_type put = target_->sputc(traits_type::to_char_type(c));
        return ended(before, !traits_type::eq_int_type(put, traits_type::eof())) ? put : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        const int before = starting();
        const std::streamsize written = target_->sputn(text, count);
        ended(before, written == count);
        return written;
    }
    int sync() override {
        const int before = starting();
        return ended(before, target_->pubsync() == 0) ? 0 : -1;
    }

private:
    // errno is cleared for each write, so that a failure without one is
    // told apart, and put back after one that did not fail.
    static int starting() {
        const int before = errno;
        errno = 0;
        return before;
    }
    bool ended(int before, bool written) {
        if (written) {
            errno = before;
        } else if (!failed_) {
            failed_ = true;
            error_ = errno;
        }
        return written;
    }

    std::streambuf* target_;
    bool failed_ = false;
    int error_ = 0;
};

// Standard output through buffer while it lives, keeping its state after.
class StandardOutputThrough {
public:
    explicit StandardOutputThrough(std::streambuf* buffer) : saved_(std::cout.rdbuf(buffer)) {}
    ~StandardOutputThrough() {
        const std::ios::iostate state = std::cout.rdstate();
        std::cout.rdbuf(saved_);
        std::cout.setstate(state);
    }
    StandardOutputThrough(const StandardOutputThrough&) = delete;
    StandardOutputThrough& operator=(const StandardOutputThrough&) = delete;

private:
    std::streambuf* saved_;
};

}  // namespace

int runTool(const Tool& tool, int (*run)(int, char**), int argc, char** argv) {
    ErrorKeepingBuffer kept(std::cout.rdbuf());
    StandardOutputThrough through(&kept);
    try {
        Utf8Arguments arguments(argc, argv);
        const int status = run(arguments.count(), arguments.values());
        if (std::cout.flush()) return status;
        std::cerr << tool.name << ": write error"
                  << (kept.error() != 0 ? std::string(": ") + std::strerror(kept.error()) : "") << std::endl;
        return tool.failedStatus;
    } catch (const std::exception& error) {  // whatever the run did not catch: exhausted memory, say
        std::cerr << tool.name << ": " << error.what() << std::endl;
        return tool.failedStatus;
    }
}
