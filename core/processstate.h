#pragma once
#include <QString>

// The few process-wide texts that several parts of the programme share.
namespace ProcessState {
// "YES" while start-up sites are not to be loaded (left Control held at start).
inline QString skipstr;
}
