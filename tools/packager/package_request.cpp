#include "package_request.h"

#include <utility>

const char kUsage[] =
    "usage: packager --game GAME.exe --name NAME --id N --channel N --skin DIR\n"
    "                --services TarvelArcade.dll --out DIR [--zip OUT.zip]\n"
    "                [--wrapper WRAPPER.exe] [--exe NAME.exe]\n"
    "                [--logo LOGO.jpg [--mask MASK.jpg]]\n"
    "                [--font-color-app RRGGBB] [--font-color-description RRGGBB]\n"
    "                [--font-color-buttons RRGGBB] [--font-color-build RRGGBB]\n"
    "                [--build-x N] [--build-y N] [--brand-x N] [--brand-y N]\n"
    "                [--multithreaded-ui 0|1]\n"
    "       packager --check DIR\n";

std::string ParseRequest(const std::vector<std::string>& args, PackageRequest* request) {
    const std::pair<const char*, std::string*> paths[] = {
        {"--check", &request->check},     {"--game", &request->game},
        {"--wrapper", &request->wrapper}, {"--exe", &request->exeName},
        {"--skin", &request->skin},       {"--logo", &request->logo},
        {"--mask", &request->mask},       {"--services", &request->services},
        {"--out", &request->out},         {"--zip", &request->zip},
    };
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            return "option " + option + " needs a value";
        }
        const std::string& value = args[i + 1];
        std::string* target = nullptr;
        for (const auto& path : paths) {
            if (option == path.first) {
                target = path.second;
            }
        }
        const SettingKey* key = FindSettingOption(option);
        bool repeated = target != nullptr && !target->empty();
        for (const Setting& setting : request->settings) {
            repeated = repeated || setting.key == key;
        }
        if (target == nullptr && key == nullptr) {
            return "unknown option " + option;
        }
        if (repeated) {
            return "option " + option + " is given twice";
        }
        if (target != nullptr) {
            if (value.empty()) {
                return "option " + option + " needs a value";
            }
            *target = value;
            continue;
        }
        std::string problem = CheckSettingValue(key->kind, value);
        if (!problem.empty()) {
            return "option " + option + ": \"" + value + "\" " + problem;
        }
        request->settings.push_back({key, value});
    }
    if (!request->check.empty()) {
        return args.size() == 2 ? "" : "option --check takes no other options";
    }
    const std::pair<const char*, const std::string*> required[] = {
        {"--game", &request->game},
        {"--skin", &request->skin},
        {"--services", &request->services},
        {"--out", &request->out},
    };
    for (const auto& path : required) {
        if (path.second->empty()) {
            return std::string("option ") + path.first + " is missing";
        }
    }
    for (const SettingKey& key : SettingKeys()) {
        bool given = false;
        for (const Setting& setting : request->settings) {
            given = given || setting.key == &key;
        }
        if (key.required && !given) {
            return std::string("option ") + key.option + " is missing";
        }
    }
    if (!request->mask.empty() && request->logo.empty()) {
        return "option --mask needs --logo";
    }
    return "";
}
