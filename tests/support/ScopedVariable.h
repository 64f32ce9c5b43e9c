#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets an environment variable while it lives, and puts back what was there.
struct ScopedVariable {
    ScopedVariable(const char* name, const QByteArray& value)
        : name(name), saved(qgetenv(name)), wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable() { wasSet ? qputenv(name, saved) : qunsetenv(name); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    const char* name;
    QByteArray saved;
    bool wasSet;
};
