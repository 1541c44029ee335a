#pragma once

// The key-value store under the settings: one read or one write per call, no cache.
// The programs use a QSettings implementation (common/QtSettingsBackend); core tests use
// CMemorySettingsBackend.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

class ISettingsBackend {
public:
    virtual ~ISettingsBackend() = default;

    // An integer value; nullopt when missing or not readable as a 32-bit integer.
    virtual std::optional<int32_t> ReadInt(const std::string& name) = 0;
    // A string value; nullopt when missing.
    virtual std::optional<std::string> ReadString(const std::string& name) = 0;
    // Writes are silent on failure; a failed write leaves every other value intact.
    virtual void WriteInt(const std::string& name, int32_t value) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void Remove(const std::string& name) = 0;
};

// In-memory backend for tests; thread-safe like the real one.
class CMemorySettingsBackend : public ISettingsBackend {
public:
    std::optional<int32_t> ReadInt(const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& name) override;
    void WriteInt(const std::string& name, int32_t value) override;
    void WriteString(const std::string& name, const std::string& value) override;
    void Remove(const std::string& name) override;

    // What is stored, as the store wrote it (for tests that look at the stored form).
    std::optional<std::variant<int32_t, std::string>> Raw(const std::string& name);

private:
    std::mutex m_mutex;
    std::map<std::string, std::variant<int32_t, std::string>> m_values;
};
