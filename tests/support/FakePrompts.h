#pragma once

#include "platform/DocumentPrompts.h"

#include <QString>
#include <QStringList>

// Answers the document procedures' questions as told and writes down every text shown.
class FakePrompts final : public platform::DocumentPrompts {
public:
    Answer AskYesNoCancel(const QString& text) override
    {
        shown << text;
        return answer;
    }
    Answer AskYesNo(const QString& text) override
    {
        shown << text;
        return answer == Answer::Yes ? Answer::Yes : Answer::No;
    }
    QString AskSavePath(const QString& suggested, const QString&, const QString&) override
    {
        shown << QStringLiteral("save as ") + suggested;
        return savePath;
    }
    void ReportFailure(const QString& text) override { shown << text; }

    Answer answer = Answer::Cancel;
    QString savePath;
    QStringList shown;
};
