#pragma once

#include "tests/support/AssertRecorder.h"
#include "tests/support/Canvas.h"

namespace drawtest {

using testsupport::AssertRecorder;
using testsupport::kAssertsActive;

using Surface = testsupport::Canvas;

}  // namespace drawtest
