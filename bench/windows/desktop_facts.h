// What the desktop is: display refresh rate and adapter, the GL strings, Windows, CPU, cores.
#pragma once

#include "raw_record.h"

DesktopFacts CollectDesktopFacts();
