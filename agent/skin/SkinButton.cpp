#include "agent/skin/SkinButton.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

#include <mutex>

namespace {

// What assistive technology sees of a skin button: a push button named by its tooltip that it can
// press like a click.
class CSkinButtonAccessible : public QAccessibleWidget {
public:
    explicit CSkinButtonAccessible(CSkinButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction()) {
            static_cast<CSkinButton*>(widget())->Press();
        }
    }
};

QAccessibleInterface* SkinButtonAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CSkinButton") && object && object->isWidgetType()) {
        return new CSkinButtonAccessible(static_cast<CSkinButton*>(object));
    }
    return nullptr;
}

} // namespace

CSkinButton::CSkinButton(QWidget* parent)
    : QWidget(parent)
{
    static std::once_flag accessibleFactory;
    std::call_once(accessibleFactory, [] { QAccessible::installFactory(SkinButtonAccessibleFactory); });
    setFocusPolicy(Qt::NoFocus);
    QWidget::hide();
}

void CSkinButton::Press()
{
    emit Command(m_commandId);
    if (m_handler)
        m_handler(m_commandId);
}

bool CSkinButton::Create(int normalId, int pressedId, const QImage* background, int x, int y, QWidget* parent,
    int commandId, QPoint backgroundOrigin)
{
    m_twoState = true;
    m_pressed.LoadFromResource(pressedId);
    return CreateCommon(normalId, background, x, y, parent, commandId, backgroundOrigin);
}

bool CSkinButton::CreateSingle(
    int normalId, const QImage* background, int x, int y, QWidget* parent, int commandId, QPoint backgroundOrigin)
{
    m_twoState = false;
    return CreateCommon(normalId, background, x, y, parent, commandId, backgroundOrigin);
}

bool CSkinButton::CreateCommon(
    int normalId, const QImage* background, int x, int y, QWidget* parent, int commandId, QPoint backgroundOrigin)
{
    m_x = x;
    m_y = y;
    m_commandId = commandId;
    m_background = background;
    m_backgroundOrigin = backgroundOrigin;
    m_normal.LoadFromResource(normalId);
    if (parent != nullptr && parentWidget() != parent)
        setParent(parent);
    setGeometry(x, y, m_normal.Width(), m_normal.Height());
    m_released = true;
    m_captured = false;
    m_shown = false;
    ShowButton();
    return !m_normal.IsNull();
}

void CSkinButton::ShowButton()
{
    if (m_shown)
        return;
    show();
    m_shown = true;
}

void CSkinButton::HideButton()
{
    if (!m_shown)
        return;
    hide();
    m_shown = false;
}

void CSkinButton::SetBackground(const QImage* background, QPoint backgroundOrigin)
{
    m_background = background;
    m_backgroundOrigin = backgroundOrigin;
    update();
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_background != nullptr && !m_background->isNull()) {
        const QPoint source = QPoint(m_x, m_y) - m_backgroundOrigin;
        painter.drawImage(QPoint(0, 0), *m_background, QRect(source, size()));
    }
    if (m_twoState)
        (m_released ? m_normal : m_pressed).DrawTransparent(painter, 0, 0);
    else if (m_released)
        m_normal.DrawTransparent(painter, 0, 0);
}

bool CSkinButton::IsInside(QPoint point) const
{
    // Both bounds count as inside, so the pointer on the last row or column does not cancel.
    return point.x() >= 0 && point.x() <= m_normal.Width() && point.y() >= 0 && point.y() <= m_normal.Height();
}

void CSkinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_captured = true;
    m_released = false;
    update();
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_captured || IsInside(event->position().toPoint()))
        return;
    // Leaving cancels the press for good: coming back does not re-arm it.
    m_captured = false;
    m_released = true;
    update();
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_captured && IsInside(event->position().toPoint());
    m_captured = false;
    m_released = true;
    update();
    if (!click)
        return;
    Press();
}
