#pragma once

// A dock controller on the simulated Mac with the main window's view model
// over it, on virtual time; and the dock view loaded around that view model.

#include <QQuickItem>
#include <QQuickView>
#include <QTest>
#include <chrono>
#include <memory>

#include "dock/dock_harness.h"
#include "support/quick_items.h"
#include "ui/dock/device_art_provider.h"
#include "ui/dock/dock_view_model.h"

namespace kd {

inline Scenario scenarioWithoutDevices() {
    auto scenario = defaultScenario();
    scenario.sidecarDevices.clear();
    scenario.airPlayReceivers.clear();
    return scenario;
}

// Stands in for AirPlay receivers answering "/info": the view's requests
// never leave the test.
class ReceiverAnswers : public HttpClient {
  public:
    std::optional<HttpResponse> perform(const HttpRequest& request) override {
        urls.push_back(request.url);
        return answer;
    }
    std::optional<HttpResponse> answer;  // none: the receiver does not answer
    std::vector<std::string> urls;
};

struct DockFixture {
    explicit DockFixture(Scenario scenario = defaultScenario())
        : harness(std::move(scenario)),
          viewPlatform(testing::simPlatform(harness.scheduler, harness.mac, harness.defaults,
                                            harness.machine, harness.platform.soundsFolder,
                                            &receivers)) {
        harness.state = DockState::start(harness.ports());
        viewModel = std::make_unique<DockViewModel>(*harness.state, viewPlatform, *harness.values,
                                                    harness.virtualDisplay);
        harness.advance(std::chrono::seconds(2));
    }
    DockState& state() { return *harness.state; }
    void advance(std::chrono::milliseconds by) { harness.advance(by); }

    // A virtual display extending the Mac on the right.
    void plugInVirtualDisplay() {
        ScenarioDisplay screen;
        screen.name = "Virtual";
        screen.bounds = Rect{1512, 0, 1280, 800};
        screen.modes = {ScenarioMode{1, 1280, 800, 1280, 800, 60, true, false}};
        screen.currentMode = 1;
        harness.virtualDisplay.publish(harness.mac.windowServer().plugInExtending(screen));
        state().reconcile();
    }

    DockHarness harness;
    ReceiverAnswers receivers;
    Platform viewPlatform;
    std::unique_ptr<DockViewModel> viewModel;
};

// The dock view around a fixture's view model, in a window of the main
// window's size.
class DockViewWindow {
  public:
    explicit DockViewWindow(DockFixture& fixture, bool dark = false) {
        addDeviceArt(*view_.engine(), fixture.harness.platform.typeDatabase);
        view_.engine()->addImportPath(QStringLiteral("qrc:/"));
        view_.setInitialProperties(
            {{"viewModel", QVariant::fromValue(fixture.viewModel.get())}, {"dark", dark}});
        view_.setResizeMode(QQuickView::SizeRootObjectToView);
        view_.resize(476, 420);
        view_.setSource(QUrl(QStringLiteral("qrc:/Kd/Dock/DockView.qml")));
        view_.show();
        exposed_ = QTest::qWaitForWindowExposed(&view_);
    }
    DockViewWindow(const DockViewWindow&) = delete;
    DockViewWindow& operator=(const DockViewWindow&) = delete;

    bool ready() const { return exposed_ && view_.status() == QQuickView::Ready; }
    QQuickView& view() { return view_; }
    // Popovers live beside the view, in the window's overlay.
    QQuickItem* item(const QString& name) { return findItem(view_.contentItem(), name); }
    // The item named `name` inside the item named `within`.
    QQuickItem* item(const QString& within, const QString& name) {
        return findItem(item(within), name);
    }
    // Waits, within a bound, until the window has shown `frames` more frames:
    // popups place themselves, lists lay out and canvases paint in the
    // frames after a change.
    bool settle(int frames = 3) {
        int shown = 0;
        const auto counting = QObject::connect(&view_, &QQuickWindow::frameSwapped, [&] {
            ++shown;
            view_.update();
        });
        view_.update();
        const bool done = QTest::qWaitFor([&] { return shown >= frames; }, 5000);
        QObject::disconnect(counting);
        return done;
    }
    void click(QQuickItem* target) {
        const auto centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(&view_, Qt::LeftButton, {}, centre.toPoint());
    }

  private:
    QQuickView view_;
    bool exposed_ = false;
};

}  // namespace kd
