#include "config_diff.h"

#include <tuple>

namespace kavo {

ConfigDiff ConfigDiff::between(const std::optional<Config>& applied, const Config& now)
{
    const auto changed = [&](auto field) { return !applied || (*applied).*field != now.*field; };
    const auto phoneSettings = [](const Config& config) {
        return std::tie(config.phoneServerEnabled, config.phonePort, config.phonePlainEnabled, config.phonePlainPort,
            config.phoneToken);
    };
    ConfigDiff diff;
    diff.hotkey = changed(&Config::hotkey) || changed(&Config::hotkeyMode);
    diff.phoneServer = !applied || phoneSettings(*applied) != phoneSettings(now);
    diff.historyDays = changed(&Config::historyDays);
    diff.apiKey = changed(&Config::apiKey);
    diff.microphone = changed(&Config::noiseReduction) || changed(&Config::inputDeviceID);
    diff.noiseReduction = now.noiseReduction && diff.microphone;
    return diff;
}

} // namespace kavo
