// The system version, asked once per process, and the gate both programs run before anything else.
#pragma once

#include <cstdint>

#include "platform/alerts.h"
#include "platform/desktop.h"
#include "shared/string_table.h"

namespace lensbrook {

// 0 until a query succeeds; then the version, for the rest of the process.
extern std::int32_t gSystemVersion;

// The cached version; asks `source` while none is cached. A failed query caches nothing, so the
// next call asks again. Returns 0 when the version cannot be obtained.
std::int32_t GetSystemVersion(SystemVersionSource& source);

// The oldest version the programs run on; anything at or below kLastRefusedSystemVersion is refused.
constexpr std::int32_t kLastRefusedSystemVersion = 0x102F;

// Returns true when the system is new enough. Otherwise shows the "required" alert from `texts`
// with its single QUIT button, asks `application` to terminate and returns false.
bool passesSystemVersionGate(SystemVersionSource& source, Alerts& alerts, Application& application,
                             const StringTable& texts);

}  // namespace lensbrook
