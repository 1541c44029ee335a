#pragma once

// What every page of the settings sheet has: its tab title, the check made before it is left, and
// the OK that writes its values back. Each page reads the settings store when it is built, so the
// values shown are those of the moment the sheet was opened.

#include <QWidget>

#include <string>

class QLabel;

class CVanduSettingsPage : public QWidget {
    Q_OBJECT
public:
    CVanduSettingsPage(const QString& title, QWidget* parent);

    const QString& Title() const { return m_title; }

    // Called before the page is left (another tab, or OK): false keeps the sheet on this page,
    // after the page told the user why.
    virtual bool OnKillActive() { return true; }
    // Writes the page's values to the settings store and applies them to the running agent.
    virtual void OnOK() = 0;

protected:
    // A label for a control: the label's mnemonic moves to the control, and the control's
    // accessible name is the label's text without the "&".
    static QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);
    // The accessible name of a control whose visible text is given with its mnemonic.
    static QString Plain(const QString& text);

    // Settings hold bytes: texts are UTF-8, paths in the local file-name encoding.
    static QString FromBytes(const std::string& bytes);
    static std::string ToBytes(const QString& text);
    static QString FromPath(const std::string& path);
    static std::string ToPath(const QString& path);

private:
    QString m_title;
};
