#pragma once

// The real file and folder dialogs (QFileDialog).

#include "common/FileDialogs.h"

class QWidget;

class CQtFileDialogs : public IFileDialogs {
public:
    explicit CQtFileDialogs(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }
    void SetParent(QWidget* parent) { m_parent = parent; }

    std::string GetOpenFileName(
        const std::string& caption, const std::string& directory, const std::string& filter) override;
    std::string GetExistingDirectory(const std::string& caption, const std::string& directory) override;

private:
    QWidget* m_parent;
};
