#include "main/share_command.h"

#include "virtual/browser_share.h"
#include "virtual/qr_code.h"

namespace kd {

namespace {

constexpr const char* kProgram = "kelvane-display";

VirtualCompanions sharingOnly(BrowserShare& share) {
    VirtualCompanions companions;
    companions.isSharing = [&share] { return share.running.get(); };
    companions.stopSharing = [&share] { share.stop(); };
    companions.startSharing = [&share](DisplayID display) { share.start(display); };
    return companions;
}

}  // namespace

int runShareCommand(const ShareCommandPorts& ports, QtEventLoop& loop,
                    std::optional<ShareSize> size, std::ostream& out, std::ostream& err) {
    auto& host = ports.host;
    BrowserShare share(ports.platform);
    host.setCompanions(sharingOnly(share));
    if (size) {
        host.width.set(size->width);
        host.height.set(size->height);
    }
    int status = 0;
    const auto fail = [&](const std::string& message) {
        err << kProgram << ": " << message << '\n';
        status = 1;
        loop.quit();
    };

    // Each new display (the first, and any the host brings back) is shared
    // at once and said where to draw on.
    const auto displaySubscription = host.displayID.subscribe([&](std::optional<DisplayID> id) {
        if (!id) return;
        if (const auto x = ports.xDisplayOf(*id)) {
            err << "Programs on X display " << *x
                << " appear in the browser, for example: DISPLAY=" << *x << " xterm &\n";
        } else if (!ports.xvfbInstalled) {
            err << "Xvfb is not installed, so the display shows a generated picture.\n";
        }
        if (!share.running.get()) share.start(*id);
    });
    const auto actual = host.actual.subscribe([&](const std::string& mode) {
        if (!mode.empty()) err << "The virtual display runs at " << mode << ".\n";
    });
    const auto hostStatus = host.status.subscribe([&](const std::string& message) {
        if (!message.empty() && !host.isRunning()) fail(message);
    });
    const auto shareStatus = share.status.subscribe([&](const std::string& message) {
        if (!message.empty() && !share.running.get()) fail(message);
    });
    const auto running = share.running.subscribe([&](bool on) {
        if (!on) return;
        auto urls = share.urls();
        if (urls.empty()) {
            err << "No network: only this machine can watch.\n";
            urls.push_back("http://127.0.0.1:" + std::to_string(share.port()) + "/" +
                           share.token());
        }
        for (const auto& url : urls) out << url << '\n';
        out.flush();
        err << "Open " << urls.front() << " in a browser, or scan:\n";
        for (const auto& line : terminalQr(urls.front())) err << line << '\n';
        err << "Viewers: 0. Press Ctrl+C to stop.\n";
        err.flush();
    });
    const auto viewers = share.viewers.subscribe([&](int count) {
        if (share.running.get()) err << "Viewers: " << count << '\n';
    });

    ports.platform.scheduler.post(Queue::main(), [&host] { host.start(); });
    const int loopStatus = loop.run();
    share.stop();
    host.stop();
    host.setCompanions({});
    err << "Sharing stopped.\n";
    return status != 0 ? status : loopStatus;
}

}  // namespace kd
