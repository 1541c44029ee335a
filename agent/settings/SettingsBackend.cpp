#include "agent/settings/SettingsBackend.h"

std::optional<int32_t> CMemorySettingsBackend::ReadInt(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(name);
    if (it == m_values.end() || !std::holds_alternative<int32_t>(it->second)) {
        return std::nullopt;
    }
    return std::get<int32_t>(it->second);
}

std::optional<std::string> CMemorySettingsBackend::ReadString(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(name);
    if (it == m_values.end() || !std::holds_alternative<std::string>(it->second)) {
        return std::nullopt;
    }
    return std::get<std::string>(it->second);
}

void CMemorySettingsBackend::WriteInt(const std::string& name, int32_t value)
{
    std::lock_guard lock(m_mutex);
    m_values[name] = value;
}

void CMemorySettingsBackend::WriteString(const std::string& name, const std::string& value)
{
    std::lock_guard lock(m_mutex);
    m_values[name] = value;
}

void CMemorySettingsBackend::Remove(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    m_values.erase(name);
}

std::optional<std::variant<int32_t, std::string>> CMemorySettingsBackend::Raw(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(name);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}
