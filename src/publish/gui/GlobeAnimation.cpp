#include "publish/gui/GlobeAnimation.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace tessel {

namespace {

constexpr int kTickMs = 80;
constexpr int kMeridians = 6;  // one every 30 degrees of longitude
constexpr double kParallels[] = {-60.0, -30.0, 0.0, 30.0, 60.0};

// Outlines of land, as (longitude, latitude) in degrees: rough enough to read as a globe.
struct TPoint {
    double lon;
    double lat;
};
constexpr TPoint kLandA[] = {{-120, 50}, {-80, 60}, {-60, 45}, {-80, 25}, {-100, 20}, {-120, 35}};
constexpr TPoint kLandB[] = {{-75, 10}, {-40, -5}, {-55, -30}, {-70, -50}, {-80, -10}};
constexpr TPoint kLandC[] = {{-10, 35}, {30, 30}, {50, 10}, {35, -30}, {15, -30}, {-15, 10}};
constexpr TPoint kLandD[] = {{0, 50},   {40, 65}, {100, 70}, {140, 50},
                             {110, 25}, {70, 25}, {30, 45}};
constexpr TPoint kLandE[] = {{115, -20}, {150, -15}, {150, -38}, {120, -35}};

}  // namespace

TGlobeAnimation::TGlobeAnimation(QWidget* parent) : QWidget(parent) {
    setMinimumSize(48, 48);
    setMaximumSize(48, 48);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &TGlobeAnimation::NextFrame);
}

void TGlobeAnimation::Play() {
    timer_.start();
}

void TGlobeAnimation::Stop() {
    timer_.stop();
}

void TGlobeAnimation::NextFrame() {
    frame_ = (frame_ + 1) % kFrames;
    update();
}

void TGlobeAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height()) - 2.0;
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double r = side / 2.0;
    const double turn = 360.0 * frame_ / kFrames;
    constexpr double kDegree = std::numbers::pi / 180.0;

    QRadialGradient sea(centre - QPointF(r / 3, r / 3), r * 1.4);
    sea.setColorAt(0.0, QColor(120, 190, 255));
    sea.setColorAt(1.0, QColor(10, 60, 150));
    painter.setPen(QPen(QColor(10, 40, 100), 1.0));
    painter.setBrush(sea);
    painter.drawEllipse(centre, r, r);

    // Orthographic view from the equator: a point is seen when its longitude, turned, lies on
    // the near half.
    auto project = [&](double lon, double lat, bool* near) {
        const double l = (lon + turn) * kDegree;
        const double p = lat * kDegree;
        *near = std::cos(l) * std::cos(p) >= 0.0;
        return QPointF(centre.x() + r * std::cos(p) * std::sin(l), centre.y() - r * std::sin(p));
    };

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 160, 70));
    auto drawLand = [&](const TPoint* points, int count) {
        QPolygonF shape;
        bool anyNear = false;
        for (int i = 0; i < count; ++i) {
            bool near = false;
            QPointF at = project(points[i].lon, points[i].lat, &near);
            if (!near) {
                // Pressed onto the rim, so a coast that turns away slides behind the edge.
                const QPointF offset = at - centre;
                const double length = std::hypot(offset.x(), offset.y());
                at = length > 0 ? centre + offset * (r / length) : centre;
            }
            anyNear = anyNear || near;
            shape << at;
        }
        if (anyNear) {
            painter.drawPolygon(shape);
        }
    };
    drawLand(kLandA, std::size(kLandA));
    drawLand(kLandB, std::size(kLandB));
    drawLand(kLandC, std::size(kLandC));
    drawLand(kLandD, std::size(kLandD));
    drawLand(kLandE, std::size(kLandE));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 110), 0.8));
    for (double lat : kParallels) {
        const double y = centre.y() - r * std::sin(lat * kDegree);
        const double half = r * std::cos(lat * kDegree);
        painter.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
    }
    for (int m = 0; m < kMeridians; ++m) {
        // Meridians seen edge-on are ellipses with a horizontal radius of r·|sin(lon)|.
        const double lon = (m * 180.0 / kMeridians + turn) * kDegree;
        const double rx = r * std::abs(std::sin(lon));
        painter.drawEllipse(centre, rx, r);
    }
    painter.setPen(QPen(QColor(10, 40, 100), 1.0));
    painter.drawEllipse(centre, r, r);
}

}  // namespace tessel
