// Reading a command-line tool's arguments the way GNU programs take them:
// "--name", "--name=VALUE" or "--name VALUE"; "-x", short options run
// together ("-ab"), "-oVALUE" or "-o VALUE"; "--" ending the options; "-"
// and everything not starting with "-" an operand, wherever it stands.
// Problems are worded as GNU getopt words them, every argument escaped.
#ifndef CLI_COMMAND_LINE_H
#define CLI_COMMAND_LINE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// An option a tool takes. --help and --version every tool takes: they are
// not listed.
struct Option {
    int id;                // the tool's own name for it
    char shortName;        // 'o' for -o; '\0' when it has none
    const char* longName;  // "output" for --output; nullptr when it has none
    bool takesValue;
};

struct Argument {
    enum class Kind {
        Option,   // option, with value when it takes one
        Operand,  // value
        Help,     // --help
        Version,  // --version
        Problem,  // value: what is wrong, "extra operand 'b.dat'"
        End,      // no more arguments
    };
    Kind kind = Kind::End;
    const Option* option = nullptr;
    std::string name;   // the option as given: "--to" for --to=csv, "-o" for -oOUT
    std::string value;  // the option's value, the operand or the problem
};

class ArgumentReader {
public:
    // Reads argv[1] to argv[argc - 1]; argv must outlive the reader. An
    // operand after the first operandLimit is a problem.
    ArgumentReader(int argc, const char* const* argv, std::vector<Option> options, std::size_t operandLimit);

    // The next option, operand or problem in command-line order; End after
    // the last. Reading goes on after a problem.
    Argument next();

private:
    Argument longOption(const std::string& arg);
    Argument shortOption();
    Argument operand(const std::string& arg);
    const Option* findLong(const std::string& name) const;
    const Option* findShort(char name) const;

    int argc_;
    const char* const* argv_;
    std::vector<Option> options_;
    std::size_t operandLimit_;
    int index_ = 1;              // the argument to read next
    std::size_t clusterAt_ = 0;  // within argv_[index_], the next short option of a run, or 0
    bool optionsEnded_ = false;
    std::size_t operands_ = 0;
};

// An argument as a usage problem shows it, of any length and any bytes:
// 'two\x1B[31m'.
std::string shownArgument(std::string_view argument);

#endif  // CLI_COMMAND_LINE_H
