#pragma once

#include "engine/base/Settings.h"

#include <QString>
#include <QTemporaryDir>

// The two stores of the help tips' switch in a temporary folder.
class TempSettings {
public:
    TempSettings() : settings(m_dir.filePath("SMG.ini"), m_dir.filePath("registry.ini")) {}
    QString IniPath() const { return m_dir.filePath("SMG.ini"); }
    QString RegistryPath() const { return m_dir.filePath("registry.ini"); }

private:
    QTemporaryDir m_dir;

public:
    Settings settings;
};
