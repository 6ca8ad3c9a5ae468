#pragma once

// The codec now lives in core; this name stays until every user includes it from there.
#include "core/PasswordCodec.h"
