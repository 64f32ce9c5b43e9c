#pragma once

#include "platform/DialogTemplate.h"

#include <QDialog>
#include <cstdint>

// The About box (dialog template 100): the program icon, its name and version, and a notice line.
class AboutBox final : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr);

    static constexpr int32_t OkId = platform::DialogOkId;
    static constexpr int32_t VersionTextId = 1100;
    static constexpr int32_t NoticeTextId = 1101;
};
