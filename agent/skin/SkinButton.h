#pragma once

#include "agent/skin/SkinBitmap.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

// A button that looks like part of the skin: it paints the piece of its background source that
// lies under it, then its bitmap with white transparent. A click counts only when the left button
// is released over the button; leaving the button while pressed cancels, even if the pointer
// comes back. The command id goes out as the Command signal and to the handler, if one is set.
//
// The background source is an image owned by someone else that must outlive the button (the face
// bitmap of the main window, or the LCD renderer's image). backgroundOrigin is where that image's
// (0,0) lies in the parent: (0,0) for the face, the LCD's corner (29,60) for the LCD image; the
// button copies the image from (x, y) - backgroundOrigin.
//
// Construct without parent and call Create or CreateSingle once; Create makes the widget a child
// of the given parent. A button kept as a member of its owner is destroyed before the parent's
// widget base, which Qt allows (the child leaves its parent).
class CSkinButton : public QWidget {
    Q_OBJECT

public:
    explicit CSkinButton(QWidget* parent = nullptr);

    // Two-state button: normal and pressed bitmaps. Returns false when the normal bitmap is missing.
    bool Create(int normalId, int pressedId, const QImage* background, int x, int y, QWidget* parent, int commandId,
        QPoint backgroundOrigin = QPoint(0, 0));
    // Single-bitmap button: while held only the background is drawn, so the bitmap vanishes.
    bool CreateSingle(int normalId, const QImage* background, int x, int y, QWidget* parent, int commandId,
        QPoint backgroundOrigin = QPoint(0, 0));

    void ShowButton(); // no effect when already shown
    void HideButton(); // no effect when hidden
    void SetBackground(const QImage* background, QPoint backgroundOrigin);
    void SetCommandHandler(std::function<void(int)> handler) { m_handler = std::move(handler); }
    // Sends the command as a completed click does (assistive technology's press action).
    void Press();

    int CommandId() const { return m_commandId; }
    bool IsReleased() const { return m_released; }
    bool IsTwoState() const { return m_twoState; }
    bool IsShown() const { return m_shown; }

signals:
    void Command(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool CreateCommon(
        int normalId, const QImage* background, int x, int y, QWidget* parent, int commandId, QPoint backgroundOrigin);
    bool IsInside(QPoint point) const;

    CSkinBitmap m_normal;
    CSkinBitmap m_pressed;
    const QImage* m_background = nullptr;
    QPoint m_backgroundOrigin;
    int m_x = 0;
    int m_y = 0;
    int m_commandId = 0;
    bool m_released = true;
    bool m_captured = false;
    bool m_twoState = false;
    bool m_shown = false;
    std::function<void(int)> m_handler;
};
