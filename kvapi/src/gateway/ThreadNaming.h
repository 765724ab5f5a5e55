#pragma once

namespace kv {

// Gives a thread a name for debuggers where the platform offers it; `id` names
// the thread on platforms that address threads by number. On Linux it does
// nothing: thread names there are limited to 15 characters and nothing relies
// on them.
void SetThreadName(const char* name, unsigned id);

} // namespace kv
