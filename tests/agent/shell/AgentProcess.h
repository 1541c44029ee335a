#pragma once

// Drives the built agent as a separate process, copied alone into a temporary folder, with its
// own settings, runtime and data folders.

#include "tests/support/TestSupport.h"

#include <sys/types.h>

#include <map>
#include <string>

namespace vandu::test {

class AgentSandbox {
public:
    AgentSandbox();

    const std::string& ProgramDir() const { return m_programDir; }
    std::string Program() const { return m_programDir + "/Vandu"; }
    std::string SettingsFile() const { return m_root.Path() + "/config/Vandu/Vandu.conf"; }
    std::string SocketPath() const { return m_root.Path() + "/run/VanduClassWindow"; }
    // Value of key in [Main] of the settings file; "<missing>" when absent.
    std::string Setting(const std::string& key) const;
    // Writes a settings file as another program would, with the given mode.
    void WriteSettings(const std::map<std::string, std::string>& values, int mode);
    std::map<std::string, std::string> Environment() const;

private:
    TempDir m_root;
    std::string m_programDir;
};

class AgentProcess {
public:
    explicit AgentProcess(const AgentSandbox& sandbox);
    ~AgentProcess();

    // Sets (or overrides) a variable of the agent's environment for the next Start.
    void SetEnv(const std::string& name, const std::string& value) { m_env[name] = value; }
    // Passes on only PATH and LANG of the test's own environment (besides the sandbox's and SetEnv's).
    void SetBareEnvironment() { m_bare = true; }
    // Sends the agent's standard error to this file.
    void SetStderrFile(const std::string& path) { m_stderrFile = path; }
    bool Start();
    // Starts the agent on its own: bare environment, every service request refused at once, the
    // first frame reported on standard error, which goes to stderrFile.
    bool StartOffline(const std::string& stderrFile);
    pid_t Pid() const { return m_pid; }
    bool Running() const;
    // Waits until the agent says on its channel that it has finished starting.
    bool WaitReady(int timeoutMs = 10000);
    void Signal(int signalNumber);
    // Exit status (0..255), -signal when killed, or -1000 when it did not end in time.
    int WaitExit(int timeoutMs);

private:
    const AgentSandbox& m_sandbox;
    std::map<std::string, std::string> m_env;
    bool m_bare = false;
    std::string m_stderrFile;
    pid_t m_pid = -1;
};

} // namespace vandu::test
