#include "WizardFixture.h"

#include "support/LayerPictures.h"

Layer* WizardTest::Add(std::unique_ptr<Layer> layer)
{
    Layer* added = layer.release();
    added->LinkBefore(&document.layers);
    return added;
}
