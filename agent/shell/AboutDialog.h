#pragma once

// The "About Vandu" box: the subscriber's ID, the service's toll-free number and the subscriber's
// name as the service knows them, the version, and the side picture. Modal, with OK.

#include <QDialog>

struct SAgentServices;
class QLabel;

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "About Vandu";
    static constexpr const char* kBuild = "0719";

    explicit CAboutDialog(const SAgentServices& services, QWidget* parent = nullptr);

    // "Version 4.2 (Build 0719)".
    static QString VersionText();

    QLabel* IdValue() const { return m_id; }
    QLabel* TollFreeValue() const { return m_tollFree; }
    QLabel* NameValue() const { return m_name; }
    QLabel* VersionLabel() const { return m_version; }
    QLabel* Picture() const { return m_picture; }

private:
    QLabel* m_id = nullptr;
    QLabel* m_tollFree = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_picture = nullptr;
};
