#pragma once

// Recording stand-ins for the machine's edge: the LCD, the loudspeaker and the clock.

#include "agent/audio/SoundPlayerInterface.h"
#include "agent/lcd/TimeSource.h"
#include "agent/store/LcdRendererInterface.h"
#include "agent/store/StoredMessage.h"

#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vandu::test {

class CRecordingRenderer : public ILcdRenderer {
public:
    struct DrawCall {
        std::optional<CStoredMessage> message;
        int number = 0;
        bool resetScroll = false;
        std::string statusText;
        bool statusOverride = false;
    };

    void Setup(int left, int top, int width, int height) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        setups.push_back({left, top, width, height});
    }
    // Marks a shown unread text message read, as the real renderer does.
    int Draw(CStoredMessage* message, int number, bool resetScroll, const std::string& statusText,
        bool statusOverride) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        draws.push_back({message ? std::optional<CStoredMessage>(*message) : std::nullopt, number, resetScroll,
            statusText, statusOverride});
        if (message && !message->IsVoice() && statusText.empty() && !statusOverride && message->Read() == 0) {
            message->SetRead(1);
            return 1;
        }
        return 0;
    }
    void DrawTitle(const std::string& text) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        titles.push_back(text);
    }
    void ScrollUp(const CStoredMessage* message) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        scrolls.push_back(std::string("up:") + (message ? message->Text() : "<none>"));
    }
    void ScrollDown(const CStoredMessage* message) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        scrolls.push_back(std::string("down:") + (message ? message->Text() : "<none>"));
    }

    std::mutex mutex;
    std::vector<std::vector<int>> setups;
    std::vector<DrawCall> draws;
    std::vector<std::string> titles;
    std::vector<std::string> scrolls;
};

class CRecordingPlayer : public ISoundPlayer {
public:
    void PlayFile(const std::string& path) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back("file:" + path);
    }
    void PlayBuiltIn(int id) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back("builtin:" + std::to_string(id));
    }
    void Stop() override
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back("stop");
    }

    std::mutex mutex;
    std::vector<std::string> calls;
};

class CFixedTimeSource : public ITimeSource {
public:
    CFixedTimeSource(std::time_t now, int bias)
        : m_now(now)
        , m_bias(bias)
    {
    }
    std::time_t Now() const override { return m_now; }
    int BiasMinutes() const override { return m_bias; }

private:
    std::time_t m_now;
    int m_bias;
};

} // namespace vandu::test
