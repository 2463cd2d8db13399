#pragma once

#include "ui/pill/pill_rules.h"

#include <QMarginsF>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <memory>
#include <optional>

namespace kavo {

class FloatingWindowSystem;
class PillView;

/// The pill's window: where it sits (its bottom-centre anchor kept on a screen), how wide it is, the shadow around it
/// that clicks pass through, and the presses on it, which are clicks when they stay within a few pixels and drag
/// the pill when they go further. The window never takes the keyboard focus, so the application being dictated into
/// keeps it.
class PillPanel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the pill's window")
    Q_PROPERTY(bool composited READ isComposited NOTIFY compositedChanged)
    Q_PROPERTY(double shadowLeft READ shadowLeft CONSTANT)
    Q_PROPERTY(double shadowTop READ shadowTop CONSTANT)

public:
    /// The room around the pill that its shadow is drawn in.
    static constexpr QMarginsF shadowMargins { 32, 16, 32, 48 };
    /// How long a narrower pill waits before its window narrows, so that the pill's own shrinking finishes first.
    static constexpr std::chrono::milliseconds shrinkDelay { 260 };
    static constexpr double startWidth = PillRules::height;

    /// `windowSystem` may be null (no X11 display): then the window has only Qt's flags.
    PillPanel(PillView& view, FloatingWindowSystem* windowSystem, QObject* parent = nullptr);
    ~PillPanel() override;

    /// Takes the window made from the pill's QML, with this panel and the view as its properties.
    void attach(std::unique_ptr<QQuickWindow> window);
    QQuickWindow* window() const { return m_window.get(); }

    /// Places the pill at the stored bottom-centre point, or at the default place when either coordinate is missing.
    void restorePosition(std::optional<double> x, std::optional<double> y);
    void show();
    void hide();
    bool isVisible() const { return m_window && m_window->isVisible(); }

    /// The pill's own frame in screen coordinates, without the shadow around it.
    QRectF pillFrame() const;
    double panelWidth() const { return m_panelWidth; }
    bool isComposited() const { return m_composited; }
    double shadowLeft() const { return shadowMargins.left(); }
    double shadowTop() const { return shadowMargins.top(); }

    /// The width the pill's content laid itself out at: a wider window at once, a narrower one after `shrinkDelay`.
    Q_INVOKABLE void setPillWidth(double width);
    /// A press on the pill, its moves and its release (`inside`: the pointer is still over the pill), each at the
    /// screen position of the mouse event being handled.
    Q_INVOKABLE void press();
    Q_INVOKABLE void move();
    Q_INVOKABLE void release(bool inside);
    Q_INVOKABLE void showToolTip(const QString& text);
    Q_INVOKABLE static void hideToolTip();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void compositedChanged();
    /// A drag ended with the pill's bottom-centre at `anchor`.
    void moved(QPointF anchor);

private:
    struct Press
    {
        QPoint pointer;
        QPoint origin;
        bool dragging = false;
    };

    void layout();
    void updateShape();
    void updateComposited();

    PillView& m_view;
    FloatingWindowSystem* m_windowSystem;
    std::unique_ptr<QQuickWindow> m_window;
    std::optional<QPointF> m_anchor;
    double m_pillWidth = startWidth;
    double m_panelWidth = startWidth;
    QTimer m_shrink;
    std::optional<Press> m_press;
    QPoint m_pointer;
    bool m_composited = false;
};

} // namespace kavo
