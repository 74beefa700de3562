// Puts the shell browsing controls into the class registry, so that stored layouts can create
// them by name. The program calls it once at start; later calls do nothing new.
#pragma once

void RegisterShellControls();
