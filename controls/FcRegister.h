// Puts the control library's components into the class registry, so that stored layouts can
// create them by name. The program calls it once at start; later calls do nothing new.
#pragma once

void RegisterControlLibrary();
