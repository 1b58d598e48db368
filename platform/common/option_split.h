// The command-line option splitter of the programs: "--name=value", or "--name value" for an
// option that takes a value.
//
//   SplitOption  reads the option at argv[index] into `name` and `value`; an option named in
//                `valued` takes the text after '=' or, without one, the next argument (index
//                then moves past it). False with a message when a valued option has no value
//                or another is given one. Anything else (an unknown name, a bare word) is split
//                as it stands, for the caller to judge.
// Header only: the programs' option parsers live in libraries that share nothing else.
#ifndef ZARVO_PLATFORM_COMMON_OPTION_SPLIT_H
#define ZARVO_PLATFORM_COMMON_OPTION_SPLIT_H

#include <initializer_list>
#include <string>

namespace platform {

inline bool SplitOption(int argc, char** argv, int& index,
                        std::initializer_list<const char*> valued, std::string& name,
                        std::string& value, std::string& message) {
    name = argv[index] != nullptr ? argv[index] : "";
    value.clear();
    bool hasValue = false;
    const std::size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
        hasValue = true;
    }
    bool takesValue = false;
    for (const char* option : valued) {
        takesValue = takesValue || name == option;
    }
    if (takesValue && !hasValue) {
        if (index + 1 >= argc) {
            message = "option " + name + " needs a value";
            return false;
        }
        value = argv[++index];
    } else if (!takesValue && hasValue) {
        message = "option " + name + " takes no value";
        return false;
    }
    return true;
}

} // namespace platform

#endif
