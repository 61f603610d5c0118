#pragma once
// The COM pointer is shared with the skin code below the browser: see there.

#include "ui/framework/ComPtr.h"
