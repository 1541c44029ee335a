#pragma once

// Texts from the service and the message file are bytes: shown as UTF-8 when they are valid
// UTF-8, else as Windows-1252.

#include <QString>

#include <string>

QString DisplayText(const std::string& bytes);
