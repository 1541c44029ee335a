#pragma once

// The Internet page: the HTTP proxy, the web browser the agent starts, and the kind of Internet
// connection (which decides whether the dial-up state is checked before requests).

#include "agent/settings/VanduSettingsPage.h"

#include <functional>
#include <string>

struct SAgentServices;
class QButtonGroup;
class QLineEdit;
class QPushButton;

class CVanduSettingsPageInternet : public CVanduSettingsPage {
    Q_OBJECT
public:
    // Programs here are files with the execute permission, whatever their name.
    static constexpr const char* kProgramFilter = "Executable files (*)";
    static constexpr const char* kNotAProgramText = "This file is not a program that can be started:\n";

    // webBrowser: the browser to show, as the browser launcher finds it (the stored one, else the
    // desktop's registered browser, cleaned and in lower case).
    CVanduSettingsPageInternet(
        SAgentServices& services, std::function<std::string()> webBrowser, QWidget* parent = nullptr);

    void OnOK() override;

private slots:
    void OnBrowse();

private:
    SAgentServices& m_services;
    QLineEdit* m_proxyAddress;
    QLineEdit* m_proxyPort;
    QLineEdit* m_browserPath;
    QPushButton* m_browse;
    QButtonGroup* m_connectionTypes;
};
