// Plays through a private PulseAudio server with a null sink and records the sink's monitor:
// sound must arrive while playing and end soon after Stop. Hostile recordings played by the real
// player in a child process leave it small and its window painting.

#include "agent/audio/SoundPlayer.h"

#include "tests/agent/audio/WaveFiles.h"
#include "tests/support/TestSupport.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

using vandu::test::TempDir;

constexpr int kRecordRate = 8000; // the monitor is recorded as s16le mono at this rate
constexpr int kBytesPerMs = kRecordRate * 2 / 1000;

bool WriteGsmTone(const std::string& path, double seconds)
{
    const std::string bytes
        = vandu::test::wave::Tone(SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, static_cast<int64_t>(seconds * 8000));
    vandu::test::WriteFile(path, bytes);
    return !bytes.empty();
}

// RMS in dBFS of the recorded bytes [fromMs, toMs).
double WindowDbfs(const std::string& pcm, int fromMs, int toMs)
{
    const size_t from = static_cast<size_t>(fromMs) * kBytesPerMs;
    const size_t to = std::min(pcm.size(), static_cast<size_t>(toMs) * kBytesPerMs) & ~size_t {1};
    if (to <= from) {
        return -200.0;
    }
    double sum = 0;
    for (size_t i = from; i < to; i += 2) {
        const auto s = static_cast<int16_t>(static_cast<uint8_t>(pcm[i]) | (static_cast<uint8_t>(pcm[i + 1]) << 8));
        sum += static_cast<double>(s) * s;
    }
    const double rms = std::sqrt(sum / static_cast<double>((to - from) / 2));
    return rms <= 0 ? -200.0 : 20.0 * std::log10(rms / 32768.0);
}

class SoundPlayerE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string pulse = vandu::test::FindProgram("pulseaudio");
        m_parec = vandu::test::FindProgram("parec");
        VANDU_REQUIRE_PEER(!pulse.empty() && !m_parec.empty(), "pulseaudio and parec");
        m_socket = m_dir.File("native");
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("HOME", QString::fromStdString(m_dir.Path()));
        m_env.insert("PULSE_RUNTIME_PATH", QString::fromStdString(m_dir.Path()));
        m_env.insert("PULSE_SERVER", QString::fromStdString("unix:" + m_socket));
        m_server.setProcessEnvironment(m_env);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        // As root the server warns but runs; it must not go away while idle between sounds.
        m_server.start(QString::fromStdString(pulse),
            {"--daemonize=no", "-n", "--exit-idle-time=-1", "--disable-shm=yes", "--log-level=error",
                "--load=module-null-sink sink_name=vandu_null",
                QString::fromStdString("--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket)});
        ASSERT_TRUE(m_server.waitForStarted(5000));
        ASSERT_TRUE(WaitForServer()) << "pulseaudio did not come up";
        // Qt's audio backend reads these when it first connects, which happens after this point.
        setenv("PULSE_SERVER", ("unix:" + m_socket).c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", m_dir.Path().c_str(), 1);
    }

    void TearDown() override
    {
        if (m_recorder.state() != QProcess::NotRunning) {
            m_recorder.kill();
            m_recorder.waitForFinished(3000);
        }
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(5000)) {
                m_server.kill();
                m_server.waitForFinished(3000);
            }
        }
    }

    bool WaitForServer()
    {
        for (int i = 0; i < 50; ++i) {
            QProcess info;
            info.setProcessEnvironment(m_env);
            info.start("pactl", {"info"});
            if (info.waitForFinished(2000) && info.exitCode() == 0) {
                return true;
            }
            QTest::qWait(100);
        }
        return false;
    }

    // Number of playback streams the server has right now.
    int SinkInputs()
    {
        QProcess list;
        list.setProcessEnvironment(m_env);
        list.start("pactl", {"list", "short", "sink-inputs"});
        list.waitForFinished(3000);
        return static_cast<int>(list.readAllStandardOutput().count('\n'));
    }

    void StartRecording()
    {
        m_recording = m_dir.File("monitor.raw");
        m_recorder.setProcessEnvironment(m_env);
        m_recorder.setStandardOutputFile(QString::fromStdString(m_recording));
        m_recorder.start(QString::fromStdString(m_parec),
            {"--latency-msec=20", "-d", "vandu_null.monitor", "--format=s16le", "--channels=1",
                QString("--rate=%1").arg(kRecordRate), "--raw"});
        ASSERT_TRUE(m_recorder.waitForStarted(5000));
        // The stream is up once bytes arrive (the idle null sink may first render a long block).
        for (int i = 0; i < 300 && RecordedMs() < 100; ++i) {
            QTest::qWait(20);
        }
        ASSERT_GE(RecordedMs(), 100) << "parec recorded nothing";
    }

    int RecordedMs() const { return static_cast<int>(vandu::test::ReadFile(m_recording).size() / kBytesPerMs); }

    std::string StopRecording()
    {
        ::kill(static_cast<pid_t>(m_recorder.processId()), SIGINT);
        EXPECT_TRUE(m_recorder.waitForFinished(5000));
        return vandu::test::ReadFile(m_recording);
    }

    TempDir m_dir;
    std::string m_socket;
    std::string m_parec;
    std::string m_recording;
    QProcessEnvironment m_env;
    QProcess m_server;
    QProcess m_recorder;
};

TEST_F(SoundPlayerE2e, PlaysVoiceAndBuiltInSoundAndStops)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    ASSERT_FALSE(device.isNull()) << "Qt found no audio output with PULSE_SERVER set";
    RecordProperty("audio_device", device.description().toStdString());
    const std::string voice = m_dir.File("voice.wav");
    ASSERT_TRUE(WriteGsmTone(voice, 3.0));

    int bells = 0;
    CSoundPlayer player(nullptr, [&bells] { ++bells; });
    StartRecording();
    struct Step {
        const char* name;
        std::function<void()> play;
        int playMs;
    };
    const Step steps[] = {
        {"voice message", [&] { player.PlayFile(voice); }, 1000},
        {"built-in chime", [&] { player.PlayBuiltIn(171); }, 500},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const int startMs = RecordedMs();
        step.play();
        ASSERT_TRUE(player.IsPlaying());
        QTest::qWait(step.playMs);
        EXPECT_EQ(SinkInputs(), 1);
        const int stopMs = RecordedMs();
        player.Stop();
        EXPECT_FALSE(player.IsPlaying());
        QTest::qWait(800);
        const std::string pcm = vandu::test::ReadFile(m_recording);
        // Allow the sink's start-up latency before the sound must be there.
        const double playing = WindowDbfs(pcm, startMs + 250, stopMs);
        const double after = WindowDbfs(pcm, stopMs + 300, stopMs + 700);
        RecordProperty(std::string(step.name) + " dBFS playing/after stop",
            std::to_string(playing) + " / " + std::to_string(after));
        EXPECT_GT(playing, -40.0);
        EXPECT_LT(after, -60.0);
        EXPECT_EQ(SinkInputs(), 0);
    }

    // A new sound cuts the one playing off: one stream at a time.
    player.PlayBuiltIn(171);
    QTest::qWait(200);
    player.PlayFile(voice);
    QTest::qWait(300);
    EXPECT_EQ(SinkInputs(), 1);
    player.Stop();

    // Left alone, the chime (about 1.5 s) ends by itself and gives the stream back.
    player.PlayBuiltIn(171);
    for (int i = 0; i < 50 && player.IsPlaying(); ++i) {
        QTest::qWait(100);
    }
    EXPECT_FALSE(player.IsPlaying());
    QTest::qWait(300);
    EXPECT_EQ(SinkInputs(), 0);
    StopRecording();
    EXPECT_EQ(bells, 0);
}

// What a child process printed and its exit status.
struct ChildRun {
    int status = -1;
    std::string output;
};

ChildRun RunChild(const std::vector<std::string>& args, const std::string& outputFile, int timeoutMs)
{
    ChildRun run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return run;
    }
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 20) {
        if (waited > timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        QTest::qWait(20);
    }
    run.status = status;
    run.output = vandu::test::ReadFile(outputFile);
    return run;
}

TEST_F(SoundPlayerE2e, HostileRecordingsLeaveThePlayerSmallAndTheWindowPainting)
{
    ASSERT_FALSE(QMediaDevices::defaultAudioOutput().isNull()) << "Qt found no audio output with PULSE_SERVER set";
    std::vector<std::string> args = {VANDU_PAINTING_PLAYER, "700"};
    std::vector<vandu::test::wave::Hostile> files = vandu::test::wave::HostileRecordings();
    // A sound that plays, so the stream is seen working between the hostile ones.
    files.push_back(
        {"GSM 6.10 voice message", vandu::test::wave::Tone(SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 8000 * 3), true});
    for (size_t i = 0; i < files.size(); ++i) {
        args.push_back(m_dir.File("recording" + std::to_string(i) + ".wav"));
        vandu::test::WriteFile(args.back(), files[i].bytes);
    }

    const ChildRun run = RunChild(args, m_dir.File("player.txt"), 60000);
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.output;

    std::istringstream lines(run.output);
    std::string word;
    size_t index = 0;
    int bell = 0;
    int playing = 0;
    int paints = 0;
    double maxUiCpuMs = 0;
    long peakRssKb = -1;
    size_t reported = 0;
    while (lines >> word) {
        if (word == "file" && lines >> index >> word >> bell >> word >> playing && index < files.size()) {
            SCOPED_TRACE(files[index].name);
            EXPECT_EQ(bell, files[index].playable ? 0 : 1);
            EXPECT_EQ(playing, files[index].playable ? 1 : 0);
            ++reported;
        } else if (word == "paints") {
            lines >> paints >> word >> maxUiCpuMs >> word >> peakRssKb;
        }
    }
    EXPECT_EQ(reported, files.size()) << run.output;
    RecordProperty("peak_rss_kb", std::to_string(peakRssKb));
    EXPECT_GT(peakRssKb, 0) << run.output;
    EXPECT_LT(peakRssKb, 100 * 1024) << "peak resident memory of the player";
    RecordProperty("max_ui_cpu_ms_between_paints", std::to_string(maxUiCpuMs));
    // Asked for every 10 ms over about 4 s: even a slow, loaded machine paints far more often.
    EXPECT_GE(paints, 50);
    // No decoding step keeps the user-interface thread from painting for longer than a few frames.
    EXPECT_LT(maxUiCpuMs, 50.0) << run.output;
}

} // namespace
