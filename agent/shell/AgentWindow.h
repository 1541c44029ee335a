#pragma once

// What the settings sheet, the signup wizard and the small dialogs ask of the main window, so that
// each of them can be built and tested without it. Qt-free.

class IAgentWindow {
public:
    virtual ~IAgentWindow() = default;

    // Appearance: a skin by its Color index, the LCD background by its LCDColor index; both repaint.
    virtual void SelectSkin(int colourIndex) = 0;
    virtual void SetLcdColour(int value) = 0;
    // Puts the window in the top-most band or takes it out, without moving it.
    virtual void SetTopMost(bool topMost) = 0;
    // The Identification page's OK counts as the first show.
    virtual void ClearFirstShowPending() = 0;
    // After the ID changed: minute counter 0 and a full cycle of requests at once.
    virtual void RestartCycle() = 0;
    // A mailbox count now, when the counter is enabled.
    virtual void StartMailCount() = 0;
    virtual void Repaint() = 0;
    // Runs the signup wizard modally.
    virtual void RunSignupWizard() = 0;
};
