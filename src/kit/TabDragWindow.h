#pragma once

#include "kit/DesktopCompositing.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;

// The floating picture that follows the pointer while a tab is dragged. Over a tab bar it shows the
// tab and snaps onto the bar; away from every bar it shows a faded picture of the tab's window, in a
// borderless window of its own that travels with it. Screen coordinates throughout.
class TabDragWindow : public QWidget
{
    Q_OBJECT
public:
    // Within this distance of a bar, vertically, the picture snaps onto it.
    static constexpr int snapDistance = 60;
    // How strongly the window picture shows while the drag is away from every bar.
    static constexpr qreal offTabAlpha = 0.8;

    // translucent: the desktop blends translucent windows with what lies beneath, and the two pictures
    // fade into each other. Without that both are opaque and one is shown while the other is hidden;
    // the window picture is then faded over a plain background instead of over the desktop.
    explicit TabDragWindow(const QRect &contentRect, bool translucent = DesktopCompositing::isActive());
    ~TabDragWindow() override;

    bool isTranslucent() const { return translucent_; }
    // Puts the drag on screen; which picture shows follows onTab from then on.
    void orderFront();

    void setTabImage(const QPixmap &image, const QSize &size, qreal alpha);
    void setImage(const QPixmap &image, const QSize &size, qreal alpha);
    // The bar under the drag, or none; snapping is evaluated again at once.
    void setSnappingTabBar(QWidget *tabBar);
    QWidget *snappingTabBar() const { return snappingTabBar_; }
    void setSuggestedWidth(float) {}
    // The move that follows the pointer, snapping onto the bar when near it.
    void setOrigin(const QPoint &origin);
    void setOnTab(bool onTab);
    bool onTab() const { return onTab_; }
    float originalWidth() const { return originalWidth_; }
    void setOriginalWidth(float width) { originalWidth_ = width; }
    QWidget *subWindow() const { return subWindow_.get(); }

    // Where a picture of the given width proposed at origin lands near a bar at barRect; onTab tells
    // whether it snapped.
    static QPoint snappedOrigin(const QRect &barRect, int width, const QPoint &origin, bool *onTab);

private:
    void placeSubWindow();
    void fade(QWidget *window, qreal to);
    void showPictures();

    const bool translucent_;
    bool orderedFront_ = false;
    bool onTab_ = false;
    float originalWidth_ = 0;
    std::unique_ptr<QWidget> subWindow_;
    QLabel *tabPicture_ = nullptr;
    QLabel *windowPicture_ = nullptr;
    QPointer<QWidget> snappingTabBar_;
};
