#include "agent/audio/SoundPlayer.h"

#include "agent/audio/AudioModule.h"
#include "agent/audio/AudioModuleEntry.h"
#include "agent/audio/SoundOutput.h"

#include <QApplication>
#include <QFile>

#include <algorithm>

namespace {

// Stored paths come with Windows separators (".\msg\..."); this platform wants slashes.
std::string NativePath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

CSoundPlayer::CSoundPlayer(QObject* parent, std::function<void()> bell)
    : QObject(parent)
    , m_bell(bell ? std::move(bell) : std::function<void()>([] { QApplication::beep(); }))
{
}

CSoundPlayer::~CSoundPlayer()
{
    Stop();
}

ISoundOutput* CSoundPlayer::Output()
{
    if (!m_output && !m_module) {
        m_module = std::make_unique<CAudioModule>(vandu::audio::kSoundModule);
        const auto create = reinterpret_cast<vandu::audio::CreateOutputFunction>(
            m_module->Load() ? m_module->Resolve(vandu::audio::kCreateOutputEntry) : nullptr);
        if (create != nullptr) {
            m_output.reset(create());
        }
    }
    return m_output.get();
}

void CSoundPlayer::PlayFile(const std::string& path)
{
    Stop();
    ISoundOutput* output = path.empty() ? nullptr : Output();
    if (output == nullptr || output->PlayFile(NativePath(path)) != 1) {
        m_bell();
    }
}

void CSoundPlayer::PlayBuiltIn(int id)
{
    Stop();
    QFile resource(QStringLiteral(":/sounds/%1.wav").arg(id));
    ISoundOutput* output = resource.open(QIODevice::ReadOnly) ? Output() : nullptr;
    if (output == nullptr || output->PlayMemory(resource.readAll().toStdString()) != 1) {
        m_bell();
    }
}

void CSoundPlayer::Stop()
{
    if (m_output) {
        m_output->Stop();
    }
}

bool CSoundPlayer::IsPlaying() const
{
    return m_output && m_output->IsPlaying();
}
