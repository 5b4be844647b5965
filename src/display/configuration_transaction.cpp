#include "display/configuration_transaction.h"

namespace kd {

bool applyConfiguration(DisplayServices& displays, const ConfigurationStep& configure) {
    ConfigRef config = 0;
    if (displays.beginConfiguration(&config) != 0) return false;
    if (configure(config) != 0) {
        displays.cancelConfiguration(config);
        return false;
    }
    return displays.completeConfiguration(config, ConfigureOption::permanently) == 0;
}

}  // namespace kd
