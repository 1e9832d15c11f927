#include "cli/ClassifyOptions.h"

#include "cli/CliCommands.h"

#include <algorithm>

namespace vaskel {

std::string ParseClassifyOptions(const std::vector<std::string>& args,
                                 const std::vector<std::string>& valued,
                                 const std::vector<std::string>& flags, TClassifyOptions& o) {
    auto isIn = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (onlyOperands || a == "-" || a.rfind("-", 0) != 0) {
            o.Operands.push_back(a);
            continue;
        }
        if (IsHelpArgument(a)) return "help";
        if (a == "--") {
            onlyOperands = true;
            continue;
        }
        std::string name = a, value;
        const auto eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        if (name == "--train-bus" && eq == std::string::npos) {
            o.Bus = TBusType::bsTrainBus;
        } else if (isIn(flags, name) && eq == std::string::npos) {
            o.Flags.push_back(name);
        } else if (name == "--catalogue" || isIn(valued, name)) {
            if (eq == std::string::npos) {
                if (k + 1 >= args.size()) return name + " needs a value";
                value = args[++k];
            }
            if (name == "--catalogue")
                o.Catalogue = value;
            else
                o.Valued.push_back({name, value});
        } else {
            return "unknown option " + a;
        }
    }
    return "";
}

} // namespace vaskel
