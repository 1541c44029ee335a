#pragma once

// Opening a web page in the user's browser, behind an interface: the browser started is the edge
// of the machine, so tests record the URLs instead (CRecordedUrlOpener). The real opener is
// CBrowserLauncher. Qt-free.

#include <string>
#include <vector>

class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;

    // Reports its own failures to the user; returns nothing, like the command it serves.
    virtual void OpenUrl(const std::string& url) = 0;
};

class CRecordedUrlOpener : public IUrlOpener {
public:
    void OpenUrl(const std::string& url) override { m_opened.push_back(url); }
    const std::vector<std::string>& Opened() const { return m_opened; }

private:
    std::vector<std::string> m_opened;
};
