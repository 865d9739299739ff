#include "platform/qt/fireworks.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <vector>

#include "platform/qt/screens.h"

namespace ld::qt {

namespace {

constexpr double kStep = 1.0 / 120.0;  // simulation step, independent of the frame rate
constexpr double kGravity = 160.0;     // pixels per second squared
constexpr double kPi = 3.14159265358979;

struct Particle {
    QPointF pos, vel, prev;
    QColor color;
    double age = 0, life = 1.5, drag = 1.2, gravity = 1.0, size = 2.5;
    bool glitter = false;  // splits into a small burst once, half-way through its life
};

struct Shell {
    QPointF pos, vel;
    double lift = 0;  // deceleration on the way up
    QColor color;
    int shape = 0;  // 0 sphere, 1 willow, 2 ring, 3 heart
};

class FireworksView : public QWidget {
public:
    FireworksView(QWidget* parent, int animation) : QWidget(parent), animation_(animation) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        backdrop_ = GrabBackdrop(parent);
        frames_.setTimerType(Qt::PreciseTimer);
        QScreen* screen = StageScreen();
        double hz = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
        frames_.setInterval(std::max(1, static_cast<int>(std::lround(1000.0 / hz))));
        connect(&frames_, &QTimer::timeout, this, [this] { frame(); });
        clock_.start();
        frames_.start();
    }

    void stop() {
        frames_.stop();
        particles_.clear();
        shells_.clear();
        hide();
    }
    bool running() const { return frames_.isActive(); }
    int particles() const { return static_cast<int>(particles_.size() + shells_.size()); }
    void advance(double seconds) {
        for (double t = 0; t < seconds; t += kStep) step();
    }

protected:
    void hideEvent(QHideEvent*) override { frames_.stop(); }
    void paintEvent(QPaintEvent*) override;

private:
    static QPixmap GrabBackdrop(QWidget* window);
    void frame() {
        // Catch up with the clock in fixed steps, so the motion is the same at any refresh.
        const double now = clock_.nsecsElapsed() / 1e9;
        while (simulated_ + kStep <= now) step();
        update();
    }
    void step();
    void launchScheduled();
    void launch(int shape, double xFraction);
    void explode(const Shell& shell);
    void fountain(double xFraction);
    void spark(QPointF pos, QPointF vel, const QColor& color, double life, double drag,
               double gravity, double size, bool glitter = false);
    double random(double low, double high) { return low + rng_.generateDouble() * (high - low); }
    QColor brightColor() { return QColor::fromHsv(rng_.bounded(360), 160 + rng_.bounded(96), 255); }

    int animation_;
    QPixmap backdrop_;
    QTimer frames_;
    QElapsedTimer clock_;
    double simulated_ = 0, nextLaunch_ = 0;
    std::vector<Particle> particles_;
    std::vector<Shell> shells_;
    QRandomGenerator rng_{QRandomGenerator::global()->generate()};
};

QPixmap FireworksView::GrabBackdrop(QWidget* window) {
    // What the operator sees: the screen where the system lets us read it, with the
    // program's own stage drawn fresh over it (the screen may not show the winner yet, the
    // stage is painted later). Dimmed once, so the window looks translucent with or without
    // a compositor.
    QScreen* screen = StageScreen();
    QWidget* owner = window ? window->parentWidget() : nullptr;
    if (!screen) return {};
    QPixmap shot = screen->grabWindow(0);
    // Some systems give the whole desktop of several screens: the stage's part of it.
    const QRect desktop = screen->virtualGeometry(), own = screen->geometry();
    if (!shot.isNull() && desktop != own &&
        shot.deviceIndependentSize().toSize() == desktop.size()) {
        const qreal ratio = shot.devicePixelRatio();
        const QRectF part(QPointF(own.topLeft() - desktop.topLeft()) * ratio,
                          QSizeF(own.size()) * ratio);
        shot = shot.copy(part.toRect());
        shot.setDevicePixelRatio(ratio);
    }
    if (shot.isNull()) {
        shot = QPixmap(screen->geometry().size() * screen->devicePixelRatio());
        shot.setDevicePixelRatio(screen->devicePixelRatio());
        shot.fill(QColor(8, 8, 24));
    }
    QPainter painter(&shot);
    if (owner && owner->isVisible())
        painter.drawPixmap(owner->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft(),
                           owner->grab());
    painter.fillRect(QRect(QPoint(0, 0), screen->geometry().size()), QColor(0, 0, 16, 120));
    return shot;
}

void FireworksView::spark(QPointF pos, QPointF vel, const QColor& color, double life, double drag,
                          double gravity, double size, bool glitter) {
    Particle p;
    p.pos = p.prev = pos;
    p.vel = vel;
    p.color = color;
    p.life = life;
    p.drag = drag;
    p.gravity = gravity;
    p.size = size;
    p.glitter = glitter;
    particles_.push_back(p);
}

void FireworksView::launch(int shape, double xFraction) {
    Shell s;
    s.pos = QPointF(width() * xFraction, height() + 10);
    // Up to half or four fifths of the height in well under a second, slowing to the apex:
    // the show lasts only four seconds.
    const double rise = height() * random(0.5, 0.8), flight = random(0.7, 1.0);
    s.vel = QPointF(random(-40, 40), -2 * rise / flight);
    s.lift = 2 * rise / (flight * flight);
    s.color = brightColor();
    s.shape = shape;
    shells_.push_back(s);
}

void FireworksView::explode(const Shell& s) {
    const double scale = std::max(0.6, height() / 1080.0);
    switch (s.shape) {
        case 1:  // willow: long, slow, drooping golden strands
            for (int i = 0; i < 120; ++i) {
                double a = random(0, 2 * kPi), v = random(60, 200) * scale;
                spark(s.pos, QPointF(std::cos(a) * v, std::sin(a) * v), QColor(255, 200, 90),
                      random(2.2, 3.2), 0.9, 0.6, 2.8 * scale);
            }
            break;
        case 2:  // ring, tilted
            for (int i = 0; i < 96; ++i) {
                double a = 2 * kPi * i / 96, v = 260 * scale;
                spark(s.pos, QPointF(std::cos(a) * v, std::sin(a) * v * 0.55), s.color, 1.6, 1.4,
                      0.8, 3.5 * scale);
            }
            break;
        case 3:  // heart: x = 16 sin^3 t, y = 13 cos t - 5 cos 2t - 2 cos 3t - cos 4t
            for (int i = 0; i < 90; ++i) {
                double t = 2 * kPi * i / 90;
                double x = 16 * std::pow(std::sin(t), 3);
                double y = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) -
                             std::cos(4 * t));
                spark(s.pos, QPointF(x, y) * 16 * scale, QColor(255, 80, 140), 1.8, 1.6, 0.5, 3.0);
            }
            break;
        default:  // sphere with a few glittering stars
            for (int i = 0; i < 160; ++i) {
                double a = random(0, 2 * kPi), v = random(0.55, 1.0) * 300 * scale;
                spark(s.pos, QPointF(std::cos(a) * v, std::sin(a) * v), s.color, random(1.2, 1.9),
                      1.3, 1.0, 3.2 * scale, animation_ == 3 && i % 9 == 0);
            }
            break;
    }
}

void FireworksView::fountain(double xFraction) {
    const double scale = std::max(0.6, height() / 1080.0);
    QPointF base(width() * xFraction, height());
    {
        double a = -kPi / 2 + random(-0.25, 0.25), v = random(380, 520) * scale;
        spark(base, QPointF(std::cos(a) * v, std::sin(a) * v), QColor(255, 215, 120),
              random(1.0, 1.6), 0.6, 1.2, 2.0);
    }
}

void FireworksView::launchScheduled() {
    if (simulated_ < nextLaunch_) return;
    switch (animation_) {
        case 2:
            launch(1, random(0.2, 0.8));
            nextLaunch_ = simulated_ + random(0.7, 1.0);
            break;
        case 3:
            launch(rng_.bounded(3) == 0 ? 3 : rng_.bounded(2) * 2, random(0.15, 0.85));
            nextLaunch_ = simulated_ + random(0.35, 0.55);
            break;
        default:
            launch(0, random(0.1, 0.9));
            nextLaunch_ = simulated_ + random(0.15, 0.3);
            break;
    }
}

void FireworksView::step() {
    simulated_ += kStep;
    if (width() <= 0 || height() <= 0) return;
    launchScheduled();
    if (animation_ == 2)
        for (double x : {0.12, 0.31, 0.5, 0.69, 0.88}) fountain(x);
    for (size_t i = 0; i < shells_.size();) {
        Shell& s = shells_[i];
        s.vel.ry() += s.lift * kStep;
        s.pos += s.vel * kStep;
        if (s.vel.y() >= -20) {  // at the apex
            Shell burst = s;
            shells_.erase(shells_.begin() + static_cast<long>(i));
            explode(burst);
            continue;
        }
        if (rng_.bounded(3) == 0)
            spark(s.pos, QPointF(random(-20, 20), random(20, 60)), QColor(255, 230, 180), 0.4, 2.0,
                  0.3, 1.5);
        ++i;
    }
    std::vector<Particle> born;
    for (Particle& p : particles_) {
        p.prev = p.pos;
        p.age += kStep;
        p.vel *= std::max(0.0, 1.0 - p.drag * kStep);
        p.vel.ry() += kGravity * p.gravity * kStep;
        p.pos += p.vel * kStep;
        if (p.glitter && p.age > p.life / 2) {
            p.glitter = false;
            for (int k = 0; k < 8; ++k) {
                double a = 2 * kPi * k / 8;
                Particle q = p;
                q.vel = p.vel * 0.3 + QPointF(std::cos(a), std::sin(a)) * 90.0;
                q.age = 0;
                q.life = 0.7;
                q.size = 1.8;
                q.color = QColor(255, 255, 220);
                born.push_back(q);
            }
        }
    }
    std::erase_if(particles_, [this](const Particle& p) {
        return p.age >= p.life || p.pos.y() > height() + 20;
    });
    particles_.insert(particles_.end(), born.begin(), born.end());
}

void FireworksView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (backdrop_.isNull())
        painter.fillRect(rect(), QColor(8, 8, 24));
    else
        painter.drawPixmap(rect(), backdrop_);
    // Sparks are a few pixels wide: plain lines and squares, added up so that crossing
    // sparks glow, are sharp enough and cheap enough for a frame every refresh.
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    for (const Particle& p : particles_) {
        const double fade = std::clamp(1.0 - p.age / p.life, 0.0, 1.0);
        QColor c = p.color;
        c.setAlphaF(static_cast<float>(fade));
        painter.setPen(QPen(c, std::max(1.0, p.size * 0.5)));
        painter.drawLine(p.prev - (p.pos - p.prev) * 3, p.pos);
        const double r = p.size * fade + 0.5;
        painter.fillRect(QRectF(p.pos.x() - r, p.pos.y() - r, 2 * r, 2 * r), c);
    }
    for (const Shell& s : shells_)
        painter.fillRect(QRectF(s.pos.x() - 2, s.pos.y() - 2, 4, 4), QColor(255, 240, 200));
}

FireworksView* Cast(QWidget* w) { return dynamic_cast<FireworksView*>(w); }

}  // namespace

QWidget* CreateFireworks(QWidget* parent, int animation) {
    return new FireworksView(parent, animation);
}

void StopFireworks(QWidget* fireworks) {
    if (auto* f = Cast(fireworks)) f->stop();
}

int FireworksParticles(QWidget* fireworks) {
    auto* f = Cast(fireworks);
    return f ? f->particles() : 0;
}

bool FireworksRunning(QWidget* fireworks) {
    auto* f = Cast(fireworks);
    return f && f->running();
}

void AdvanceFireworks(QWidget* fireworks, double seconds) {
    if (auto* f = Cast(fireworks)) f->advance(seconds);
}

}  // namespace ld::qt
