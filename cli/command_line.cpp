#include "command_line.h"

#include <string_view>
#include <utility>

#include "message_text.h"

namespace {

Argument problem(std::string text) {
    Argument argument;
    argument.kind = Argument::Kind::Problem;
    argument.value = std::move(text);
    return argument;
}

}  // namespace

std::string shownArgument(std::string_view argument) { return "'" + escapedShort(argument) + "'"; }

ArgumentReader::ArgumentReader(int argc, const char* const* argv, std::vector<Option> options,
                               std::size_t operandLimit)
    : argc_(argc), argv_(argv), options_(std::move(options)), operandLimit_(operandLimit) {}

Argument ArgumentReader::next() {
    if (clusterAt_ > 0) return shortOption();
    if (index_ >= argc_) return Argument();
    const std::string arg = argv_[index_];
    if (optionsEnded_ || arg.size() < 2 || arg[0] != '-') {
        ++index_;
        return operand(arg);
    }
    if (arg == "--") {
        optionsEnded_ = true;
        ++index_;
        return next();
    }
    if (arg[1] == '-') {
        ++index_;
        return longOption(arg);
    }
    clusterAt_ = 1;
    return shortOption();
}

Argument ArgumentReader::longOption(const std::string& arg) {
    const std::size_t equals = arg.find('=');
    const bool withValue = equals != std::string::npos;
    const std::string name = withValue ? arg.substr(2, equals - 2) : arg.substr(2);
    Argument found;
    found.name = "--" + name;
    const Option* option = findLong(name);
    if (option == nullptr && name != "help" && name != "version")
        return problem("unrecognized option " + shownArgument(arg));
    if (withValue && (option == nullptr || !option->takesValue))
        return problem("option '" + found.name + "' doesn't allow an argument");
    if (option == nullptr) {
        found.kind = name == "help" ? Argument::Kind::Help : Argument::Kind::Version;
        return found;
    }
    found.kind = Argument::Kind::Option;
    found.option = option;
    if (withValue) {
        found.value = arg.substr(equals + 1);
    } else if (option->takesValue) {
        if (index_ >= argc_) return problem("option '" + found.name + "' requires an argument");
        found.value = argv_[index_++];
    }
    return found;
}

Argument ArgumentReader::shortOption() {
    const std::string_view arg = argv_[index_];
    const char name = arg[clusterAt_++];
    const bool rest = clusterAt_ < arg.size();  // more of the run follows this one
    if (!rest) {
        clusterAt_ = 0;
        ++index_;
    }
    const Option* option = findShort(name);
    if (option == nullptr) return problem("invalid option -- " + shownArgument(std::string(1, name)));
    Argument found;
    found.kind = Argument::Kind::Option;
    found.option = option;
    found.name = std::string("-") + name;
    if (!option->takesValue) return found;
    if (rest) {
        found.value = std::string(arg.substr(clusterAt_));
        clusterAt_ = 0;
        ++index_;
    } else if (index_ < argc_) {
        found.value = argv_[index_++];
    } else {
        return problem("option requires an argument -- " + shownArgument(std::string(1, name)));
    }
    return found;
}

Argument ArgumentReader::operand(const std::string& arg) {
    if (operands_ == operandLimit_) return problem("extra operand " + shownArgument(arg));
    ++operands_;
    Argument found;
    found.kind = Argument::Kind::Operand;
    found.value = arg;
    return found;
}

const Option* ArgumentReader::findLong(const std::string& name) const {
    for (const Option& option : options_)
        if (option.longName != nullptr && name == option.longName) return &option;
    return nullptr;
}

const Option* ArgumentReader::findShort(char name) const {
    for (const Option& option : options_)
        if (option.shortName != '\0' && option.shortName == name) return &option;
    return nullptr;
}
