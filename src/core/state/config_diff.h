#pragma once

#include "store/config.h"

#include <optional>

namespace kavo {

/// What applying new settings must restart in the running application, given the settings applied before. Nothing
/// applied yet (the first apply, or after a new phone code) counts as every setting changed. The appearance, the
/// pill and the tray are refreshed on every apply and need no entry here.
struct ConfigDiff
{
    bool hotkey = false; ///< `hotkey` or `hotkeyMode`: a running monitor starts again
    bool phoneServer = false; ///< a setting of the phone server: it starts, restarts or stops
    bool historyDays = false; ///< History is pruned with the new number of days
    bool apiKey = false; ///< the key status goes back to unknown, and a key that is set is checked
    bool noiseReduction = false; ///< noise reduction, when on, is prepared for the device
    bool microphone = false; ///< `noiseReduction` or `inputDeviceID`: a running microphone test starts again

    static ConfigDiff between(const std::optional<Config>& applied, const Config& now);

    friend bool operator==(const ConfigDiff&, const ConfigDiff&) = default;
};

} // namespace kavo
