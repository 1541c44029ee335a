// Plays through a private PulseAudio server with a null sink and records the sink's monitor:
// sound must arrive while playing and end soon after Stop.

#include "agent/audio/SoundPlayer.h"

#include "tests/support/TestSupport.h"

#include <QMediaDevices>
#include <QProcess>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <vector>

namespace {

using vandu::test::TempDir;

constexpr int kRecordRate = 8000; // the monitor is recorded as s16le mono at this rate
constexpr int kBytesPerMs = kRecordRate * 2 / 1000;

bool WriteGsmTone(const std::string& path, double seconds)
{
    SF_INFO info {};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_GSM610;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<short> samples(static_cast<size_t>(seconds * 8000));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<short>(12000 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / 8000.0));
    }
    const auto frames = static_cast<sf_count_t>(samples.size());
    const bool ok = sf_writef_short(file, samples.data(), frames) == frames;
    sf_close(file);
    return ok;
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

} // namespace
