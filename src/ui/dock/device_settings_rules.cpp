#include "ui/dock/device_settings_rules.h"

#include <algorithm>
#include <cstdio>

#include "display/estimated_modes.h"
#include "model/host_info.h"

namespace kd {

namespace {

ResOption sizeOf(const DisplayMode& mode) {
    return ResOption{mode.width, mode.height, mode.hidpi};
}

ResOption sizeOf(const ModePref& pref) {
    return ResOption{pref.width, pref.height, pref.hidpi};
}

std::string headroomText(double headroom) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", headroom);
    return text;
}

void addRate(std::vector<int>& rates, int rate) {
    if (rate >= 1 && std::ranges::find(rates, rate) == rates.end()) rates.push_back(rate);
}

}  // namespace

SizeSource sizeSource(const SettingsScan& scan) {
    if (scan.target && !scan.modes.empty()) return SizeSource::liveDisplay;
    if (!scan.cached.empty()) return SizeSource::cache;
    if (scan.sidecar) return SizeSource::sidecarConfig;
    if (scan.profile) return SizeSource::panelEstimate;
    return SizeSource::unknown;
}

std::string sourceLabel(SizeSource source, const std::string& model) {
    switch (source) {
        case SizeSource::liveDisplay:
            return "Scanned from the connected display";
        case SizeSource::cache:
            return "Last scan of this device";
        case SizeSource::sidecarConfig:
            return "Reported by Sidecar";
        case SizeSource::panelEstimate:
            return "Estimated from " + model;
        case SizeSource::unknown:
            return "Connect once to scan this device";
    }
    return "";
}

std::vector<ResOption> offeredSizes(SizeSource source, const SettingsScan& scan) {
    std::vector<ResOption> sizes;
    switch (source) {
        case SizeSource::liveDisplay:
            for (const auto& mode : scan.modes) sizes.push_back(sizeOf(mode));
            break;
        case SizeSource::cache: {
            auto cached = scan.cached;
            // Wider first, HiDPI before plain at equal width, as the ladder goes.
            std::ranges::stable_sort(cached, [](const ModePref& a, const ModePref& b) {
                if (a.width != b.width) return a.width > b.width;
                if (a.height != b.height) return a.height > b.height;
                return a.hidpi && !b.hidpi;
            });
            for (const auto& pref : cached) sizes.push_back(sizeOf(pref));
            break;
        }
        case SizeSource::sidecarConfig:
            if (scan.sidecar->width >= 1) {
                sizes.push_back(
                    ResOption{scan.sidecar->width, scan.sidecar->height, scan.sidecar->scale > 1});
            }
            break;
        case SizeSource::panelEstimate:
            for (const auto& mode : estimatedModes(*scan.profile)) {
                sizes.push_back(ResOption{mode.width, mode.height, mode.hidpi});
            }
            break;
        case SizeSource::unknown:
            break;
    }
    std::vector<ResOption> unique;
    for (const auto& size : sizes) {
        if (std::ranges::find(unique, size) == unique.end()) unique.push_back(size);
    }
    return unique;
}

std::optional<ResOption> nativeSize(const SettingsScan& scan) {
    if (scan.target && scan.recommended) return sizeOf(*scan.recommended);
    if (scan.profile) {
        return ResOption{scan.profile->pointWidth(), scan.profile->pointHeight(), true};
    }
    return std::nullopt;
}

std::vector<int> refreshRates(SizeSource source, const SettingsScan& scan, const ResOption& size) {
    std::vector<int> rates;
    switch (source) {
        case SizeSource::liveDisplay:
            for (const auto& mode : scan.modes) {
                if (sizeOf(mode) == size) addRate(rates, mode.refresh);
            }
            break;
        case SizeSource::cache:
            for (const auto& pref : scan.cached) {
                if (sizeOf(pref) == size) addRate(rates, pref.refresh);
            }
            break;
        case SizeSource::sidecarConfig:
            addRate(rates, scan.sidecar->framerate);
            break;
        case SizeSource::panelEstimate:
            for (const auto rate : scan.profile->refreshRates) addRate(rates, rate);
            break;
        case SizeSource::unknown:
            break;
    }
    std::ranges::sort(rates, std::greater<>());
    return rates;
}

std::string hdrStatusText(SizeSource source, const SettingsScan& scan) {
    if (scan.target && !scan.modes.empty() && scan.hdr) {
        if (scan.hdrToggleable) {
            return scan.hdrOn ? "On" + std::string(kPartSeparator) + "headroom \u00D7" +
                                    headroomText(scan.hdr->headroom)
                              : "Off";
        }
        if (scan.hdr->active) {
            return "Active" + std::string(kPartSeparator) + "headroom \u00D7" +
                   headroomText(scan.hdr->headroom);
        }
        return scan.hdr->capable ? "Supported, currently off"
                                 : "This link is SDR \u2014 no HDR on offer";
    }
    if (scan.sidecar && source == SizeSource::sidecarConfig) {
        return scan.sidecar->hdr ? "Sidecar will negotiate HDR"
                                 : "Sidecar negotiates SDR for this iPad";
    }
    if (scan.airplay && scan.airplay->hdrCapability) {
        return "Receiver reports " + *scan.airplay->hdrCapability + kPartSeparator +
               "screen mirroring is usually SDR";
    }
    if (scan.profile)
        return scan.profile->hdr ? "Device panel supports HDR" : "Device panel is SDR";
    return "Unknown until connected";
}

std::string settingsTitle(const std::optional<std::string>& systemName, const SettingsScan& scan,
                          const std::string& model) {
    if (systemName && !systemName->empty()) return *systemName;
    if (scan.profile && !scan.profile->marketing.empty()) return scan.profile->marketing;
    return model;
}

std::string settingsSubtitle(const std::string& title, const SettingsScan& scan) {
    std::vector<std::string> parts{title};
    if (scan.profile) {
        parts.push_back(std::to_string(scan.profile->pixelWidth) + " \u00D7 " +
                        std::to_string(scan.profile->pixelHeight));
    }
    if (scan.airplay && scan.airplay->hdrCapability) {
        parts.push_back("receiver " + *scan.airplay->hdrCapability);
    }
    if (scan.airplay && !scan.airplay->supportsScreen) parts.emplace_back("no screen support");
    std::string subtitle;
    for (const auto& part : parts) {
        if (part.empty()) continue;
        if (!subtitle.empty()) subtitle += kPartSeparator;
        subtitle += part;
    }
    return subtitle;
}

std::optional<SidecarScan> sidecarScanFor(const std::vector<SidecarScan>& scans,
                                          const std::string& model, const std::string& name) {
    const auto first = [&](auto matches) -> std::optional<SidecarScan> {
        const auto found = std::ranges::find_if(scans, matches);
        return found == scans.end() ? std::nullopt : std::optional(*found);
    };
    if (!model.empty()) {
        if (auto scan = first([&](const SidecarScan& s) { return s.model == model; })) return scan;
    }
    if (auto scan = first([&](const SidecarScan& s) { return s.name == name; })) return scan;
    return first([](const SidecarScan& s) { return s.offersDisplay; });
}

}  // namespace kd
