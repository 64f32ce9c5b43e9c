#pragma once

#include "engine/layers/Layer.h"

// The smallest concrete layer: the list, geometry and record tests need no content.
class TestLayer final : public Layer {
public:
    TestLayer(int32_t flags, int32_t tag) : Layer(flags, tag) {}
    bool LoadFile(const QString&) override { return false; }
};
