// The three stored game configurations (Ultra, Maximum, Minimum details) that a benchmark
// writes as the game's "system.cfg", and the form of one setting line.
#pragma once

#include <string>

#include "platform/StringList.h"

enum TConfigTemplate { ctUltra, ctMaximum, ctMinimum };

// Number of settings in every template.
constexpr int kConfigSettingCount = 147;

// One setting as the game writes it: name = "value".
std::string SettingLine(const std::string& name, const std::string& value);

// Replaces the lines of `lines` with the stored template: the writer's comment, an empty
// line, the settings in byte order of their names, then closing lines of one blank.
void LoadConfigTemplate(TConfigTemplate which, TStrings& lines);
