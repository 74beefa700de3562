// Puts the services' components into the class registry, so that stored layouts can create
// them by name. The program calls it once at start.
#pragma once

void RegisterServiceClasses();
