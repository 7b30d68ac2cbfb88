// What the desktop is: display refresh rate and adapter, the GL strings, Windows, CPU, cores.
#pragma once

#include "run_record.h"

DesktopFacts CollectDesktopFacts();
