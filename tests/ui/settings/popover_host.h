#pragma once

// The settings popover in a window of its own, over a fixture's view
// models, opened, with helpers to find and click its items by objectName.

#include <QtQuickTest/quicktest.h>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <memory>

#include "settings_fixture.h"

namespace kd {

class PopoverHost {
  public:
    PopoverHost(SettingsFixture& f, bool dark) {
        engine_.addImportPath(QStringLiteral("qrc:/"));
        QQmlComponent component(
            &engine_,
            QUrl::fromLocalFile(QStringLiteral(KD_TESTS_DIR "/ui/settings/PopoverHost.qml")));
        window_.reset(qobject_cast<QQuickWindow*>(component.createWithInitialProperties(
            {{"settings", QVariant::fromValue(f.settings.get())},
             {"updates", QVariant::fromValue(f.updates.get())},
             {"account", QVariant::fromValue(f.accountView.get())},
             {"dark", dark}})));
        if (!window_) qFatal("%s", qPrintable(component.errorString()));
        popover_ = window_->findChild<QObject*>(QStringLiteral("settingsPopover"));
        QMetaObject::invokeMethod(popover_, "open");
    }

    QQuickWindow* window() const { return window_.get(); }
    QObject* popover() const { return popover_; }

    // Waits until the window is shown and laid out.
    bool settle() const {
        return QTest::qWaitForWindowExposed(window_.get()) &&
               QQuickTest::qWaitForPolish(window_.get());
    }

    // The visible item of that name, searched through the items on screen
    // (delegates have no QObject parent to search through).
    QQuickItem* item(const QString& name) const { return find(window_->contentItem(), name); }

    bool click(const QString& name) const {
        if (!settle()) return false;
        auto* target = item(name);
        if (!target) return false;
        const auto centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(window_.get(), Qt::LeftButton, {}, centre.toPoint());
        return true;
    }

  private:
    static QQuickItem* find(QQuickItem* from, const QString& name) {
        for (auto* child : from->childItems()) {
            if (!child->isVisible()) continue;
            if (child->objectName() == name) return child;
            if (auto* found = find(child, name)) return found;
        }
        return nullptr;
    }

    QQmlEngine engine_;
    std::unique_ptr<QQuickWindow> window_;
    QObject* popover_ = nullptr;
};

}  // namespace kd
