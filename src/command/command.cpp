// The TICKRAIL command.
#include "plugin/plugin.h"

// The options arrive with the command module; until then the command
// accepts every tail and changes nothing.
extern "C" int WINAPI tickrail(LPWSTR) { return 0; }
