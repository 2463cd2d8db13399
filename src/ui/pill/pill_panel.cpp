#include "pill_panel.h"

#include "ui/pill/floating_window_system.h"
#include "ui/pill/pill_view.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QRegion>
#include <QScreen>
#include <QToolTip>

namespace kavo {

namespace {

// Qt's window type for notifications on X11 (QXcbWindow::Notification), which window managers never focus.
constexpr int notificationWindowType = 0x800;

QRegion roundedRegion(const QRect& rect)
{
    const int diameter = rect.height();
    QRegion region(rect.adjusted(diameter / 2, 0, -diameter / 2, 0));
    region += QRegion(QRect(rect.left(), rect.top(), diameter, diameter), QRegion::Ellipse);
    region += QRegion(QRect(rect.right() + 1 - diameter, rect.top(), diameter, diameter), QRegion::Ellipse);
    return region;
}

double distance(const QRectF& rect, QPointF point)
{
    const double dx = std::max({ rect.left() - point.x(), 0.0, point.x() - rect.right() });
    const double dy = std::max({ rect.top() - point.y(), 0.0, point.y() - rect.bottom() });
    return std::hypot(dx, dy);
}

} // namespace

PillPanel::PillPanel(PillView& view, FloatingWindowSystem* windowSystem, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_windowSystem(windowSystem)
{
    m_shrink.setSingleShot(true);
    m_shrink.setInterval(shrinkDelay);
    connect(&m_shrink, &QTimer::timeout, this, [this] {
        m_panelWidth = m_pillWidth;
        layout();
    });
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, &PillPanel::layout);
        layout();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &PillPanel::layout, Qt::QueuedConnection);
    for (QScreen* screen : QGuiApplication::screens())
        connect(screen, &QScreen::availableGeometryChanged, this, &PillPanel::layout);
}

PillPanel::~PillPanel() = default;

void PillPanel::attach(std::unique_ptr<QQuickWindow> window)
{
    m_window = std::move(window);
    m_window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    m_window->setProperty("_q_xcb_wm_window_type", notificationWindowType);
    QSurfaceFormat format = m_window->format();
    format.setAlphaBufferSize(8);
    m_window->setFormat(format);
    m_window->setColor(Qt::transparent);
    m_window->create();
    m_window->installEventFilter(this);
    layout();
}

bool PillPanel::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        // Where the event happened on the screen, not where the pointer is by the time it is handled.
        m_pointer = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void PillPanel::restorePosition(std::optional<double> x, std::optional<double> y)
{
    if (x && y) {
        m_anchor = QPointF(*x, *y);
    } else {
        const QScreen* primary = QGuiApplication::primaryScreen();
        m_anchor = primary ? std::optional(PillRules::defaultAnchor(primary->availableGeometry())) : std::nullopt;
    }
    layout();
}

void PillPanel::show()
{
    if (!m_window || m_window->isVisible())
        return;
    if (m_windowSystem)
        m_windowSystem->keepAside(*m_window);
    layout();
    m_window->show();
    updateShape();
    m_view.setVisible(true);
}

void PillPanel::hide()
{
    if (!m_window || !m_window->isVisible())
        return;
    hideToolTip();
    m_window->hide();
    m_view.setVisible(false);
}

QRectF PillPanel::pillFrame() const
{
    if (!m_window)
        return {};
    return QRectF(m_window->geometry()).marginsRemoved(shadowMargins);
}

void PillPanel::setPillWidth(double width)
{
    if (width <= 0)
        return;
    m_pillWidth = width;
    m_shrink.stop();
    if (width >= m_panelWidth) {
        m_panelWidth = width;
        layout();
    } else {
        m_shrink.start();
    }
    updateShape();
}

void PillPanel::layout()
{
    if (!m_window)
        return;
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    const QRectF current = pillFrame();
    const QPointF point = m_anchor.value_or(QPointF(current.center().x(), current.bottom()));
    QList<QRectF> frames;
    QList<QRectF> areas;
    qsizetype nearest = 0;
    for (QScreen* screen : screens) {
        frames << QRectF(screen->geometry());
        areas << QRectF(screen->availableGeometry());
        if (distance(frames.back(), point) < distance(frames[nearest], point))
            nearest = frames.size() - 1;
    }
    const QRectF pill = PillRules::frame(m_anchor, m_panelWidth, current, frames, areas, areas[nearest]);
    const QRect frame = pill.marginsAdded(shadowMargins).toRect();
    if (m_window->geometry() != frame)
        m_window->setGeometry(frame);
    updateComposited();
    updateShape();
}

void PillPanel::updateShape()
{
    if (!m_window || !m_window->handle())
        return;
    const double left = shadowMargins.left() + (m_panelWidth - m_pillWidth) / 2;
    const QRect pill = QRectF(left, shadowMargins.top(), m_pillWidth, PillRules::height).toRect();
    if (m_windowSystem)
        m_windowSystem->setInputRegion(*m_window, pill);
    // Without a compositor translucent pixels come out black: the window is cut to the pill itself.
    m_window->setMask(m_composited ? QRegion() : roundedRegion(pill));
}

void PillPanel::updateComposited()
{
    const bool composited = m_windowSystem && m_windowSystem->isComposited();
    if (std::exchange(m_composited, composited) != composited)
        Q_EMIT compositedChanged();
}

void PillPanel::press()
{
    if (!m_window)
        return;
    m_press = Press { .pointer = m_pointer, .origin = m_window->position() };
}

void PillPanel::move()
{
    if (!m_press || !m_window)
        return;
    if (!m_press->dragging && !PillRules::isDrag(m_press->pointer, m_pointer))
        return;
    m_press->dragging = true;
    hideToolTip();
    m_window->setPosition(m_press->origin + m_pointer - m_press->pointer);
}

void PillPanel::release(bool inside)
{
    move();
    const std::optional<Press> press = std::exchange(m_press, std::nullopt);
    if (!press)
        return;
    if (!press->dragging) {
        if (inside)
            m_view.toggle();
        return;
    }
    const QRectF frame = pillFrame();
    m_anchor = QPointF(frame.center().x(), frame.bottom());
    layout();
    const QRectF placed = pillFrame();
    m_anchor = QPointF(placed.center().x(), placed.bottom());
    Q_EMIT moved(*m_anchor);
}

void PillPanel::showToolTip(const QString& text)
{
    if (text.isEmpty())
        hideToolTip();
    else
        QToolTip::showText(QCursor::pos(), text);
}

void PillPanel::hideToolTip()
{
    QToolTip::hideText();
}

} // namespace kavo
