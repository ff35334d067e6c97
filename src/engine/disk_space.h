// The check before installing now lives in check_targets.h; this name stays until the
// wizard's directory page and its test include that header.
#pragma once

#include "engine/check_targets.h"
