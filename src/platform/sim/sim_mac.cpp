#include "platform/sim/sim_mac.h"

#include <nlohmann/json.hpp>

namespace kd {

namespace {

PrefDict sidecarDefaults(const nlohmann::json& settings) {
    const auto value = prefValueFromPlainJson(settings);
    const auto* dict = value.asDict();
    return dict == nullptr ? PrefDict{} : *dict;
}

}  // namespace

SimMac::SimMac(Scenario scenario, Scheduler& scheduler)
    : scenario_(std::move(scenario)),
      windowServer_(scenario_.displays, scheduler, scenario_.configuration),
      virtualDisplays_(scenario_.virtualDisplays, windowServer_, scheduler),
      sidecar_(std::make_shared<SimSidecar>(scenario_.sidecarDevices, windowServer_, scheduler)),
      frameworks_(scenario_, windowServer_, sidecar_),
      accessibility_(scenario_.accessibilityTrusted),
      controlCentre_(
          scenario_.airPlayReceivers, scenario_.sidecarDevices, windowServer_, *sidecar_,
          [this] { return frameworks_.tvConnectPolicy(); }, scheduler),
      sidecarSettings_(sidecarDefaults(scenario_.sidecarSettings)),
      tools_(scenario_.mac),
      network_(scenario_.airPlayReceivers, scheduler),
      powerManager_(scenario_.power, tools_),
      workspace_(scheduler),
      soundPlayer_(scheduler),
      screenCapture_(scheduler, windowServer_),
      screenCapturePermission_(scenario_.screenRecordingAllowed) {}

}  // namespace kd
