#pragma once

// The views' interface belongs to the platform's document base.
#include "platform/DocumentObserver.h"
