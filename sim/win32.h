// The simulated Windows that the Linux build compiles the plug-in against.
#pragma once

#include "types.h"
#include "kernel.h"
#include "user.h"
#include "gdi.h"
#include "console.h"
#include "registry.h"
#include "shell.h"
#include "sim.h"
