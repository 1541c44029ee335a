#pragma once

// What the message store asks of the LCD renderer. The store calls it under its own lock, on the
// UI thread only; the real implementation (CLcdRenderer) paints into an image of the LCD area.

#include <string>

class CStoredMessage;

class ILcdRenderer {
public:
    virtual ~ILcdRenderer() = default;

    virtual void Setup(int left, int top, int width, int height) = 0;
    // Shows the status text when it is not empty, else the message (or nothing). Returns 1 when
    // showing an unread text message marked it read, else 0.
    virtual int Draw(
        CStoredMessage* message, int number, bool resetScroll, const std::string& statusText, bool statusOverride)
        = 0;
    virtual void DrawTitle(const std::string& text) = 0;
    virtual void ScrollUp(const CStoredMessage* message) = 0;
    virtual void ScrollDown(const CStoredMessage* message) = 0;
};
