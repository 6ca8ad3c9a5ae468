#pragma once

#include "core/Outcome.h"

class Session;

// The customer's words for the main entities, shared by all workstations
// through kp_remplacement.
namespace Vocabulary {

// Replaces the session's words by the rows of kp_remplacement whose code is
// one of the five entities; other rows are ignored. On failure the built-in
// words stay.
Outcome load(Session &session);

// Writes the session's five words (update when the row exists, else insert),
// then reloads them.
Outcome save(Session &session);

} // namespace Vocabulary
