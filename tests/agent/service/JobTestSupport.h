#pragma once

// What the request-job tests share: a job rig (settings in memory, a real message store over a
// temporary msg folder, account info, connection state), a scripted loopback HTTP server for the
// failure paths, and the reference service run as a child process.

#include "agent/audio/SoundPlayerInterface.h"
#include "agent/lcd/TimeSource.h"
#include "agent/service/ServiceJob.h"
#include "agent/settings/SettingsBackend.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/ConnectionState.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/LcdRendererInterface.h"
#include "agent/store/MessageStore.h"
#include "tests/support/TestSupport.h"

#include <sys/types.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vandu::test {

class CNullRenderer : public ILcdRenderer {
public:
    void Setup(int, int, int, int) override { }
    int Draw(CStoredMessage*, int, bool, const std::string&, bool) override { return 0; }
    void DrawTitle(const std::string&) override { }
    void ScrollUp(const CStoredMessage*) override { }
    void ScrollDown(const CStoredMessage*) override { }
};

class CNullPlayer : public ISoundPlayer {
public:
    void PlayFile(const std::string&) override { }
    void PlayBuiltIn(int) override { }
    void Stop() override { }
};

class CFixedTime : public ITimeSource {
public:
    std::time_t Now() const override { return m_now; }
    int BiasMinutes() const override { return 0; }
    std::time_t m_now = 946684800; // 2000-01-01
};

// Points the service configuration at home for the life of the object.
class CServiceHome {
public:
    explicit CServiceHome(const std::string& home);
    ~CServiceHome();
};

// Everything a job needs, with the message folder inside a temporary directory.
struct CJobRig {
    // folder: the message folder to use (made when missing); empty: one inside Dir.
    explicit CJobRig(
        const std::string& vanduId = "7", const std::string& password = "1234", const std::string& folder = "");
    std::string MsgFile(const std::string& name) const { return Folder + "/" + name; }

    TempDir Dir;
    std::string Folder;
    CMemorySettingsBackend Backend;
    CSettingsStore Settings;
    CAccountInfo Account;
    CConnectionState Connection;
    CNullRenderer Renderer;
    CNullPlayer Player;
    CFixedTime Time;
    std::unique_ptr<CMessageStore> Store;
};

struct SScriptedAnswer {
    int Status = 200;
    std::string Body;
    int DelayMs = 0; // held back this long before answering
};

// A loopback HTTP/1.0 server answering each request by the first rule whose text the request
// target contains; a rule with several answers gives them in turn and then repeats its last one.
// Unmatched requests get 404. Every request target is recorded in arrival order. Each connection
// is answered on its own thread, so a held-back answer does not hold up the others.
class CScriptedServer {
public:
    explicit CScriptedServer(const std::string& host = "127.0.0.1");
    ~CScriptedServer();
    CScriptedServer(const CScriptedServer&) = delete;
    CScriptedServer& operator=(const CScriptedServer&) = delete;

    void On(const std::string& targetPart, std::vector<SScriptedAnswer> answers);
    int Port() const { return m_port; }
    std::string Home() const;
    std::vector<std::string> Requests() const;
    // How many recorded targets contain the text.
    int Count(const std::string& targetPart) const;

private:
    void Serve();
    void Answer(int fd);
    SScriptedAnswer Lookup(const std::string& target);

    std::string m_host;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop {false};
    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, std::deque<SScriptedAnswer>>> m_rules;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_connections;
    std::thread m_thread;
};

// Path of the reference service program in the build tree; empty when it was not built.
std::string VanduServiceProgram();

// Runs a program to its end (at most timeoutMs); returns its exit status or -1, with its stdout.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr, int timeoutMs = 20000);

// A program run in the background, stopped (SIGTERM, then SIGKILL) on destruction.
class CChildProcess {
public:
    explicit CChildProcess(const std::vector<std::string>& argv);
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;
    bool Started() const { return m_pid > 0; }
    void Stop();

private:
    pid_t m_pid = -1;
};

// The reference service on a loopback address, with its own database, stopped on destruction.
class CVanduService {
public:
    explicit CVanduService(const std::string& folder, const std::string& host = "127.0.0.1");
    ~CVanduService();
    CVanduService(const CVanduService&) = delete;
    CVanduService& operator=(const CVanduService&) = delete;

    bool Running() const { return m_up; }
    std::string Home() const;
    // One administration command (add-subscriber, deposit-voice, ...) on the same database.
    int Admin(std::vector<std::string> args, std::string* output = nullptr) const;

private:
    std::string m_program;
    std::string m_db;
    std::string m_host;
    int m_port = 0;
    std::unique_ptr<CChildProcess> m_process;
    bool m_up = false;
};

// Sets the job's inputs from the rig, runs one kind to its end and clears the busy flag.
void RunJob(CServiceJob& job, CJobRig& rig, int kind);

// A GetMessage2 answer for a text message; with a sender it is one from a subscriber (type 3).
std::string TextAnswer(const std::string& text, const std::string& sender = "");

// A home on which nothing listens: every command gets -1.
std::string DeadHome();

// A WAV file of the given total size: a valid header over silent 16-bit PCM.
std::string MakeWave(std::size_t totalBytes);

} // namespace vandu::test
